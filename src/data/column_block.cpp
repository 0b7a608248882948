#include "data/column_block.h"

#include "base/ansi_text.h"

namespace zedora {
namespace {

// Characters from..to (1-based, inclusive) of a line.
QString columns(const QString& line, int from, int to)
{
    return line.mid(from - 1, to - from + 1);
}

bool isMarker(const QString& line)
{
    return line.compare(QLatin1String(kBlockMarker), Qt::CaseInsensitive) == 0;
}

} // namespace

QStringList defaultColumnLines()
{
    return {
        QStringLiteral("NAME               Name                                    20"),
        QStringLiteral("VORNAME            Vorname                                 20"),
        QStringLiteral("KLASSE             Klasse                                  5"),
        QStringLiteral("DE                 De                                      2"),
    };
}

ColumnLine parseColumnLine(const QString& line)
{
    ColumnLine c;
    c.name = upperAscii(columns(line, 1, 9).trimmed());
    c.name18 = upperAscii(columns(line, 1, 18).trimmed());
    c.caption = columns(line, 20, 58);
    c.width = columns(line, 60, 64).trimmed();
    c.exempt = !columns(line, 70, 71).trimmed().isEmpty();
    return c;
}

bool isColumnLine(const QString& line)
{
    return !columns(line, 1, 18).trimmed().isEmpty();
}

int blockMarkerIndex(const QStringList& lines)
{
    for (int i = 1; i < lines.size(); ++i) {
        if (isMarker(lines[i]))
            return i;
    }
    return -1;
}

QStringList blockColumnLines(const QStringList& lines)
{
    QStringList result;
    const int marker = blockMarkerIndex(lines);
    if (marker < 0)
        return result;
    for (int i = marker + 1; i < lines.size(); ++i) {
        if (isColumnLine(lines[i]))
            result << lines[i];
    }
    return result;
}

void cutBlock(QStringList& lines)
{
    const int marker = blockMarkerIndex(lines);
    if (marker > 0)
        lines.erase(lines.begin() + marker, lines.end());
}

void replaceBlock(QStringList& lines, const QStringList& columnLines)
{
    cutBlock(lines);
    lines << QString() << QLatin1String(kBlockMarker);
    lines << columnLines;
}

bool ensureBlock(QStringList& lines)
{
    if (blockColumnLines(lines).size() >= 3)
        return true;
    if (!hasBlock(lines)) {
        cutBlock(lines);
        lines << QString() << QLatin1String(kBlockMarker);
    }
    lines << defaultColumnLines() << QString();
    return false;
}

QString abbreviationFileName(const QStringList& layoutLines)
{
    for (int i = 1; i < layoutLines.size() && i <= 16; ++i) {
        const QString& line = layoutLines[i];
        if (upperAscii(line.left(16)) == QLatin1String("KUERZELDATEINAME"))
            return line.mid(17, 50).trimmed();
    }
    return QStringLiteral("KUERZEL.TXT");
}

} // namespace zedora
