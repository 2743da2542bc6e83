#include "script/ScriptCsv.h"

#include "core/Failure.h"
#include "log/LogFileOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace {

constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");
constexpr qsizetype FieldsPerRow = 3;
constexpr qsizetype ShownValueLength = 24;
const char* const HeaderNames[FieldsPerRow] = {"line", "command", "data"};

bool isBlank(char byte)
{
    return byte == ' ' || byte == '\t';
}

// Bytes no text file holds: control characters other than tab and line ends.
bool isControl(char byte)
{
    const auto code = static_cast<unsigned char>(byte);
    return (code < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || code == 0x7F;
}

QString notText()
{
    return QStringLiteral("it is not UTF-8 text");
}

// Splits the bytes into records of fields, RFC 4180 style, keeping count of the lines.
class CsvScanner {
public:
    explicit CsvScanner(QByteArrayView bytes) : bytes_(bytes) {}

    int line() const { return line_; }

    // Skips blank lines; false at the end of the input.
    bool skipBlankLines()
    {
        for (;;) {
            qsizetype at = position_;
            while (at < bytes_.size() && isBlank(bytes_[at]))
                ++at;
            const qsizetype end = lineEndLength(at);
            if (at == bytes_.size())
                return false;
            if (end == 0)
                return true;
            position_ = at + end;
            ++line_;
        }
    }

    // The separator is whichever of comma and semicolon comes first outside quotes on the current line.
    void chooseSeparator()
    {
        bool quoted = false;
        for (qsizetype at = position_; at < bytes_.size(); ++at) {
            const char byte = bytes_[at];
            if (byte == '"')
                quoted = !quoted;
            else if (!quoted && byte == '\n')
                return;
            else if (!quoted && (byte == ',' || byte == ';')) {
                separator_ = byte;
                return;
            }
        }
    }

    // Reads one record; its fields are unquoted but not trimmed.
    std::optional<ScriptCsvProblem> readRecord(QList<QByteArray>& fields)
    {
        fields.clear();
        for (;;) {
            QByteArray field;
            if (std::optional<ScriptCsvProblem> problem = readField(field))
                return problem;
            fields.append(std::move(field));
            if (position_ < bytes_.size() && bytes_[position_] == separator_) {
                ++position_;
                continue;
            }
            const qsizetype end = lineEndLength(position_);
            position_ += end;
            if (end > 0)
                ++line_;
            return std::nullopt;
        }
    }

private:
    // 1 for LF, 2 for CR LF, 0 elsewhere; at the end of the input a record ends too, with nothing to skip.
    qsizetype lineEndLength(qsizetype at) const
    {
        if (at < bytes_.size() && bytes_[at] == '\n')
            return 1;
        if (at + 1 < bytes_.size() && bytes_[at] == '\r' && bytes_[at + 1] == '\n')
            return 2;
        return 0;
    }

    bool atFieldEnd(qsizetype at) const
    {
        return at == bytes_.size() || bytes_[at] == separator_ || lineEndLength(at) > 0;
    }

    std::optional<ScriptCsvProblem> readField(QByteArray& field)
    {
        qsizetype at = position_;
        while (at < bytes_.size() && isBlank(bytes_[at]))
            ++at;
        if (at < bytes_.size() && bytes_[at] == '"')
            return readQuotedField(at + 1, field);
        at = position_;
        while (!atFieldEnd(at)) {
            if (isControl(bytes_[at]) || bytes_[at] == '\r')
                return ScriptCsvProblem{line_, notText()};
            ++at;
        }
        field = bytes_.sliced(position_, at - position_).toByteArray();
        position_ = at;
        return std::nullopt;
    }

    // A quoted field may hold separators, line breaks and doubled quotes; only blanks may follow it.
    std::optional<ScriptCsvProblem> readQuotedField(qsizetype at, QByteArray& field)
    {
        const int opened = line_;
        for (;;) {
            if (at == bytes_.size())
                return ScriptCsvProblem{opened, QStringLiteral("a quoted field is not closed")};
            const char byte = bytes_[at];
            if (isControl(byte))
                return ScriptCsvProblem{line_, notText()};
            if (byte == '"') {
                if (at + 1 < bytes_.size() && bytes_[at + 1] == '"') {
                    field.append('"');
                    at += 2;
                    continue;
                }
                ++at;
                break;
            }
            if (byte == '\n')
                ++line_;
            field.append(byte);
            ++at;
        }
        while (at < bytes_.size() && isBlank(bytes_[at]))
            ++at;
        position_ = at;
        if (!atFieldEnd(at))
            return ScriptCsvProblem{line_, QStringLiteral("text follows a closing quote")};
        return std::nullopt;
    }

    QByteArrayView bytes_;
    qsizetype position_ = 0;
    int line_ = 1;
    char separator_ = ',';
};

bool isHeader(const QList<QByteArray>& fields)
{
    if (fields.size() != FieldsPerRow)
        return false;
    for (qsizetype field = 0; field < FieldsPerRow; ++field)
        if (fields[field].trimmed().toLower() != HeaderNames[field])
            return false;
    return true;
}

QString shown(const QString& value)
{
    const QString simple = value.simplified();
    return simple.size() > ShownValueLength ? simple.left(ShownValueLength) + QChar(0x2026) : simple;
}

// A whole number from -2147483648 to 2147483647 with an optional sign, or nothing for an empty field.
std::optional<ScriptCsvProblem> toValue(const QByteArray& field, int line, std::optional<qint32>& value)
{
    const QByteArray text = field.trimmed();
    value.reset();
    if (text.isEmpty())
        return std::nullopt;
    const qsizetype digitsFrom = text.front() == '+' || text.front() == '-' ? 1 : 0;
    const QByteArrayView digits = QByteArrayView(text).sliced(digitsFrom);
    const bool allDigits = !digits.isEmpty()
                           && std::all_of(digits.begin(), digits.end(), [](char byte) { return byte >= '0' && byte <= '9'; });
    if (!allDigits) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = decoder(text);
        if (decoder.hasError())
            return ScriptCsvProblem{line, notText()};
        return ScriptCsvProblem{line, QStringLiteral("\"%1\" is not a whole number").arg(shown(decoded))};
    }
    // Beyond ten significant digits a number is out of range, and the count keeps the conversion from
    // overflowing.
    const qsizetype leadingZeros = std::find_if(digits.begin(), digits.end(), [](char byte) { return byte != '0'; })
                                   - digits.begin();
    bool converted = false;
    const qlonglong number = digits.size() - leadingZeros <= 10 ? text.toLongLong(&converted) : 0;
    if (!converted || number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        return ScriptCsvProblem{line, QStringLiteral("%1 is outside the range -2147483648 to 2147483647").arg(shown(QString::fromLatin1(text)))};
    value = qint32(number);
    return std::nullopt;
}

std::optional<ScriptCsvProblem> toRow(const QList<QByteArray>& fields, int line, ScriptRow& row)
{
    if (fields.size() > FieldsPerRow)
        return ScriptCsvProblem{line, QStringLiteral("it has more than three fields")};
    std::optional<qint32>* const cells[FieldsPerRow] = {&row.id, &row.command, &row.data};
    for (qsizetype field = 0; field < fields.size(); ++field)
        if (std::optional<ScriptCsvProblem> problem = toValue(fields[field], line, *cells[field]))
            return problem;
    return std::nullopt;
}

ScriptCsvReading failed(ScriptCsvProblem problem)
{
    ScriptCsvReading reading;
    reading.problem = std::move(problem);
    return reading;
}

// The system's description of a failure, without the full stop that the error box adds itself.
QString failureReason(QString reason)
{
    while (!reason.isEmpty() && (reason.back().isSpace() || reason.back() == u'.'))
        reason.chop(1);
    return reason;
}

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

void appendCell(QByteArray& out, const std::optional<qint32>& cell)
{
    if (cell)
        out.append(QByteArray::number(*cell));
}

}  // namespace

ScriptCsvReading parseScriptCsv(QByteArrayView bytes)
{
    if (bytes.startsWith(ByteOrderMark))
        bytes = bytes.sliced(ByteOrderMark.size());
    CsvScanner scanner(bytes);
    ScriptCsvReading reading;
    QList<QByteArray> fields;
    bool firstLine = true;
    while (scanner.skipBlankLines()) {
        if (firstLine)
            scanner.chooseSeparator();
        const int line = scanner.line();
        if (std::optional<ScriptCsvProblem> problem = scanner.readRecord(fields))
            return failed(*problem);
        const bool header = firstLine && isHeader(fields);
        firstLine = false;
        if (header)
            continue;
        ScriptRow row;
        if (std::optional<ScriptCsvProblem> problem = toRow(fields, line, row))
            return failed(*problem);
        reading.rows.append(row);
        reading.lines.append(line);
    }
    if (firstLine)
        return failed({1, QStringLiteral("the file is empty")});
    Q_ASSERT(reading.lines.size() == reading.rows.size());
    return reading;
}

QByteArray formatScriptCsv(const QList<ScriptRow>& rows)
{
    QByteArray out;
    out.reserve(20 + rows.size() * 24);
    out.append("Line,Command,Data\r\n");
    for (const ScriptRow& row : rows) {
        appendCell(out, row.id);
        out.append(',');
        appendCell(out, row.command);
        out.append(',');
        appendCell(out, row.data);
        out.append("\r\n");
    }
    return out;
}

ScriptCsvReading readScriptFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("Cannot open file \"%1\". %2").arg(shownPath(path), failureReason(file.errorString())));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(QStringLiteral("Cannot read file \"%1\". %2").arg(shownPath(path), failureReason(file.errorString())));
    ScriptCsvReading reading = parseScriptCsv(bytes);
    if (reading.problem)
        throw Failure(badLineMessage(path, reading.problem->line, reading.problem->text));
    return reading;
}

QString badLineMessage(const QString& path, int line, const QString& problem)
{
    return QStringLiteral("Line %1 of %2: %3").arg(line).arg(shownPath(path), problem);
}

void writeScriptFile(const QString& path, const QList<ScriptRow>& rows)
{
    LogFileOutput file(path);
    if (!file.write(formatScriptCsv(rows)))
        throw Failure(QStringLiteral("Failed to Save Stream"));
}
