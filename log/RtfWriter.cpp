#include "log/RtfWriter.h"

#include <QList>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <optional>

namespace {

// The character formatting that RTF records, as indices into the font and colour tables.
struct RunFormat {
    int font = 0;
    int halfPoints = 0;
    int colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const RunFormat&) const = default;
};

// The font table's family class, for readers that lack the face itself; unknown faces get none.
QByteArray familyClass(const QString& family)
{
    static const QStringList swiss{"Tahoma", "Arial", "Helvetica", "Verdana", "MS Sans Serif",
                                   "Microsoft Sans Serif", "Segoe UI", "Calibri", "DejaVu Sans",
                                   "Liberation Sans", "Sans Serif", "sans-serif"};
    static const QStringList roman{"Times New Roman", "Times", "Georgia", "MS Serif", "DejaVu Serif",
                                   "Liberation Serif", "serif"};
    static const QStringList modern{"Courier New", "Courier", "Consolas", "Lucida Console",
                                    "DejaVu Sans Mono", "Liberation Mono", "Monospace"};
    if (swiss.contains(family, Qt::CaseInsensitive))
        return "\\fswiss";
    if (roman.contains(family, Qt::CaseInsensitive))
        return "\\froman";
    if (modern.contains(family, Qt::CaseInsensitive))
        return "\\fmodern";
    return "\\fnil";
}

// What a reader that does not know \uN shows instead: the character itself where the document's code page
// has it, otherwise a question mark. Written as a hex escape: some readers drop the blank after a literal
// fallback character.
QByteArray fallback(char16_t unit)
{
    // Code page 1252 agrees with Latin-1 from 0xA0 on.
    const int byte = unit >= 0xA0 && unit <= 0xFF ? unit : '?';
    return "\\'" + QByteArray::number(byte, 16).rightJustified(2, '0');
}

// Text in RTF: 7-bit ASCII with RTF's specials escaped and everything else as \uN on UTF-16 units, so
// characters outside the basic plane become the surrogate pair that readers expect.
void appendEscaped(QByteArray& out, QStringView text)
{
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            out += '\\';
            out += char(unit);
        } else if (unit == u'\t') {
            out += "\\tab ";
        } else if (unit == QChar::LineSeparator) {
            out += "\\line ";
        } else if (unit < 0x20 || unit == 0x7F || unit == QChar::ObjectReplacementCharacter) {
            // Control characters have no meaning in the text; an embedded object is not written.
            continue;
        } else if (unit < 0x80) {
            out += char(unit);
        } else {
            out += "\\u" + QByteArray::number(static_cast<qint16>(unit)) + fallback(unit);
        }
    }
}

class RtfBuilder {
public:
    explicit RtfBuilder(const RtfDefaults& defaults) : defaults_(defaults)
    {
        fontIndex(defaults.font.family());
        colourIndex(defaults.text);
        colourIndex(defaults.background);
    }

    QByteArray write(const QTextDocument& document)
    {
        const QByteArray body = paragraphs(document);
        // Readers that find no generator take the file for an old word processor's and widen runs of
        // blanks the way it did; the log's blanks are meant exactly.
        return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n" + fontTable() + colourTable()
            + "{\\*\\generator Quillet2005;}\n" + body + "}\n";
    }

private:
    QByteArray paragraphs(const QTextDocument& document)
    {
        // Paragraph shading carries over every \par, so the background is set once.
        QByteArray out = "\\pard\\cbpat" + QByteArray::number(colourIndex(defaults_.background)) + '\n';
        std::optional<RunFormat> current;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            if (block != document.begin())
                out += "\\par\n";
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const RunFormat format = runFormat(it.fragment().charFormat());
                if (format != current) {
                    out += controlWords(format);
                    current = format;
                }
                appendEscaped(out, it.fragment().text());
            }
        }
        return out;
    }

    RunFormat runFormat(const QTextCharFormat& format)
    {
        // Only what the fragment sets itself is in its font; the rest comes from the document's default.
        const QFont font = format.font().resolve(defaults_.font);
        const QBrush foreground = format.foreground();
        RunFormat run;
        run.font = fontIndex(font.family());
        run.halfPoints = std::max(1, qRound(2 * points(font)));
        run.colour = colourIndex(foreground.style() == Qt::NoBrush ? defaults_.text : foreground.color());
        run.bold = font.bold();
        run.italic = font.italic();
        run.underline = font.underline();
        run.strikeOut = font.strikeOut();
        return run;
    }

    static double points(const QFont& font)
    {
        // Pasted text may be sized in pixels; the view shows 96 of them per inch.
        return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    }

    static QByteArray controlWords(const RunFormat& format)
    {
        return "\\f" + QByteArray::number(format.font) + "\\fs" + QByteArray::number(format.halfPoints)
            + "\\cf" + QByteArray::number(format.colour) + (format.bold ? "\\b" : "\\b0")
            + (format.italic ? "\\i" : "\\i0") + (format.underline ? "\\ul" : "\\ulnone")
            + (format.strikeOut ? "\\strike" : "\\strike0") + ' ';
    }

    int fontIndex(const QString& family)
    {
        qsizetype index = fonts_.indexOf(family);
        if (index < 0) {
            index = fonts_.size();
            fonts_.append(family);
        }
        return int(index);
    }

    // Entry 0 of the colour table is the reader's automatic colour, so ours start at 1.
    int colourIndex(const QColor& colour)
    {
        const QRgb rgb = colour.rgb();
        qsizetype index = colours_.indexOf(rgb);
        if (index < 0) {
            index = colours_.size();
            colours_.append(rgb);
        }
        return int(index) + 1;
    }

    QByteArray fontTable() const
    {
        QByteArray out = "{\\fonttbl";
        for (qsizetype i = 0; i < fonts_.size(); ++i) {
            out += "{\\f" + QByteArray::number(i) + familyClass(fonts_[i]) + "\\fcharset0 ";
            // A semicolon would end the name early, and RTF has no escape for it there.
            appendEscaped(out, QString(fonts_[i]).remove(u';'));
            out += ";}";
        }
        return out + "}\n";
    }

    QByteArray colourTable() const
    {
        QByteArray out = "{\\colortbl;";
        for (const QRgb rgb : colours_)
            out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb))
                + "\\blue" + QByteArray::number(qBlue(rgb)) + ';';
        return out + "}\n";
    }

    const RtfDefaults& defaults_;
    QStringList fonts_;
    QList<QRgb> colours_;
};

}  // namespace

QByteArray writeRtf(const QTextDocument& document, const RtfDefaults& defaults)
{
    return RtfBuilder(defaults).write(document);
}
