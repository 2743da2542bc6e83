#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>

class QTextDocument;

// What unformatted text of the document looks like where it is shown: the document's default font, the
// text colour and the background of the view. The document itself does not record the colours.
struct RtfDefaults {
    QFont font;
    QColor text;
    QColor background;
};

// The whole document as one RTF 1.x document in 7-bit ASCII: one paragraph per text block, with each
// fragment's font, size, colour, bold, italic, underline and strike-out; every paragraph is shaded with
// the background colour so that the text stays as readable as in the view.
QByteArray writeRtf(const QTextDocument& document, const RtfDefaults& defaults);
