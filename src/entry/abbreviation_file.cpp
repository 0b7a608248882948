#include "entry/abbreviation_file.h"

#include "base/ansi_text.h"
#include "base/safe_file.h"

#include <QFile>

namespace zedora {
namespace {

// Far more than any definition line needs; the rest of a longer line is skipped.
constexpr qint64 kMaxLineBytes = 4096;

QString fixedColumn(const QString& line, int start, int length)
{
    return line.mid(start, length);
}

// Code, meaning 1 and meaning 2 of a delimited line, untrimmed.
std::array<QString, 3> splitDelimited(const QString& line)
{
    std::array<QString, 3> parts;
    const qsizetype first = line.indexOf(QLatin1Char('|'));
    if (first < 0) {
        parts[0] = line;
        return parts;
    }
    parts[0] = line.left(first);
    const qsizetype second = line.indexOf(QLatin1Char('|'), first + 1);
    if (second < 0) {
        parts[1] = line.mid(first + 1);
        return parts;
    }
    parts[1] = line.mid(first + 1, second - first - 1);
    const qsizetype third = line.indexOf(QLatin1Char('|'), second + 1);
    parts[2] = third < 0 ? line.mid(second + 1) : line.mid(second + 1, third - second - 1);
    return parts;
}

QString twoCharacters(const QString& code)
{
    return code.leftJustified(2, QLatin1Char(' '), true);
}

// A '|' or a line break inside a value would split the line when it is read
// back, so they never reach the file as such.
QString fieldText(const QString& value)
{
    QString t = value;
    t.replace(QLatin1Char('|'), QChar(0x00A6));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t.trimmed();
}

} // namespace

std::optional<QStringList> readLeadingLines(const QString& path, int maxLines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList lines;
    while (lines.size() < maxLines && !file.atEnd()) {
        QByteArray line = file.readLine(kMaxLineBytes);
        if (line.isEmpty() && !file.atEnd())
            break; // read error
        if (!line.endsWith('\n')) {
            // Over-long line: skip what is left of it.
            while (!file.atEnd()) {
                const QByteArray rest = file.readLine(kMaxLineBytes);
                if (rest.isEmpty() || rest.endsWith('\n'))
                    break;
            }
        } else {
            line.chop(1);
        }
        if (line.endsWith('\r'))
            line.chop(1);
        lines << fromAnsi(line);
    }
    return lines;
}

bool isDelimited(const QStringList& lines)
{
    return !lines.isEmpty() && lines.first().contains(QLatin1Char('|'));
}

AbbreviationTable parseAbbreviationTable(const QStringList& lines)
{
    AbbreviationTable table;
    const bool delimited = isDelimited(lines);
    const int count = int(qMin<qsizetype>(lines.size(), kAbbreviationEntries));
    for (int i = 0; i < count; ++i) {
        const QString& line = lines.at(i);
        Abbreviation& e = table[size_t(i)];
        if (delimited) {
            const auto parts = splitDelimited(line);
            e.code = upperAscii(twoCharacters(parts[0].trimmed()));
            e.meaning1 = parts[1].trimmed().left(kMeaningLength);
            e.meaning2 = parts[2].trimmed().left(kMeaningLength);
        } else {
            e.code = upperAscii(fixedColumn(line, 0, 2));
            e.meaning1 = fixedColumn(line, 2, 20);
            e.meaning2 = fixedColumn(line, 22, 20);
        }
    }
    return table;
}

std::vector<Abbreviation> parseAbbreviationRows(const QStringList& lines)
{
    std::vector<Abbreviation> rows(kAbbreviationRows);
    const bool delimited = isDelimited(lines);
    const int count = int(qMin<qsizetype>(lines.size(), kAbbreviationRows));
    for (int i = 0; i < count; ++i) {
        const QString line = lines.at(i).left(kEditorLineLength);
        Abbreviation& r = rows[size_t(i)];
        if (delimited) {
            const auto parts = splitDelimited(line);
            r.code = twoCharacters(parts[0].trimmed()).trimmed();
            r.meaning1 = parts[1].trimmed();
            r.meaning2 = parts[2].trimmed();
        } else {
            r.code = fixedColumn(line, 0, 2).trimmed();
            r.meaning1 = fixedColumn(line, 2, 20).trimmed();
            r.meaning2 = fixedColumn(line, 22, 20).trimmed();
        }
    }
    return rows;
}

QString formatAbbreviationLine(const Abbreviation& row)
{
    QString code = row.code;
    code.replace(QLatin1Char('|'), QChar(0x00A6));
    code.replace(QLatin1Char('\r'), QLatin1Char(' '));
    code.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return upperAscii(twoCharacters(code)) + QLatin1Char('|') + fieldText(row.meaning1)
           + QLatin1Char('|') + fieldText(row.meaning2);
}

QByteArray formatAbbreviationFile(const std::vector<Abbreviation>& rows)
{
    QByteArray out;
    for (size_t i = 0; i < size_t(kAbbreviationRows); ++i) {
        const Abbreviation row = i < rows.size() ? rows[i] : Abbreviation{};
        out += toAnsi(formatAbbreviationLine(row));
        out += "\r\n";
    }
    return out;
}

bool writeAbbreviationFile(const QString& path, const std::vector<Abbreviation>& rows,
                           const FileWrittenCallback& written)
{
    if (!writeFileSafely(path, formatAbbreviationFile(rows)))
        return false;
    if (written)
        written(path);
    return true;
}

} // namespace zedora
