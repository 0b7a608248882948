#include "print/table_printout.h"

#include "base/ansi_text.h"
#include "print/list_page.h"
#include "print/placeholders.h"
#include "print/print_job.h"

#include <QFileInfo>

namespace zedora {

namespace {

struct TableGeometry {
    int left, headerY, firstRowY, right, bottom, points, rowHeight;
};

TableGeometry geometryOf(const TablePrintInput& in)
{
    TableGeometry g;
    g.left = in.tabLinks;
    g.headerY = in.tabOben;
    g.firstRowY = in.tabOben + 135;
    if (in.landscape) {
        g.right = 2950 - in.tabRechts;
        g.bottom = 2070 - in.tabUnten;
        g.points = 8;
        g.rowHeight = 70;
    } else {
        g.right = 2070 - in.tabRechts;
        g.bottom = 2950 - in.tabUnten;
        g.points = 10;
        g.rowHeight = 85;
    }
    return g;
}

// Breaks a text into lines no wider than width, at blanks where it can.
QStringList wrapped(const ListPage& p, const QString& text, int width)
{
    QStringList lines;
    for (const QString& paragraph : QString(text).replace(u'\r', QString()).split(u'\n')) {
        QString line;
        for (const QString& word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
            const QString candidate = line.isEmpty() ? word : line + u' ' + word;
            if (!line.isEmpty() && p.width(candidate) > width) {
                lines << line;
                line = word;
            } else {
                line = candidate;
            }
        }
        lines << line;
    }
    return lines;
}

} // namespace

int tableColumnWidth(int displayWidth)
{
    const int w = std::max(3, displayWidth);
    return 14 * w + (w <= 4 ? 25 : 0);
}

QVector<QVector<int>> tableStrips(const TablePrintInput& in)
{
    QVector<QVector<int>> strips;
    const int columns = std::min<int>(int(in.columns.size()), kMaxTableColumns);
    QVector<int> strip;
    int used = kNameColumnWidth;
    for (int c = 0; c < columns; ++c) {
        // The first strip has 2000, the others 2050 minus the right margin; landscape 900 more.
        const int limit = (strips.isEmpty() ? 2000 : 2050 - in.tabRechts) + (in.landscape ? 900 : 0);
        const int w = tableColumnWidth(in.columns[c].displayWidth);
        if (!strip.isEmpty() && used + w > limit) {
            strips << strip;
            strip.clear();
            used = kNameColumnWidth;
        }
        strip << c;
        used += w;
    }
    if (!strip.isEmpty() || strips.isEmpty())
        strips << strip;
    return strips;
}

QString tableName(const QString& surname, const QString& firstName)
{
    return nameTurnedRound(surname.trimmed()).trimmed() + QStringLiteral(", ") + firstName.trimmed();
}

void fillTableRows(TablePrintInput& input, PrintRecords& records, const QString& klasse)
{
    const std::uint64_t here = records.position();
    const QString wanted = upperAscii(klasse.trimmed());
    if (records.first()) {
        do {
            if (upperAscii(records.value(QStringLiteral("KLASSE")).trimmed()) != wanted)
                continue;
            input.names << tableName(records.value(QStringLiteral("NAME")), records.value(QStringLiteral("VORNAME")));
            QStringList row;
            for (const TableColumn& c : input.columns)
                row << records.value(c.field).trimmed();
            input.cells << row;
        } while (records.next());
    }
    records.restore(here);
}

int drawEntryTable(DrawSurface& surface, const PrintMetrics& metrics, const TablePrintInput& in)
{
    ListPage p(surface, metrics);
    const TableGeometry g = geometryOf(in);
    const QVector<QVector<int>> strips = tableStrips(in);
    bool firstPage = true;
    for (int s = 0; s < strips.size(); ++s) {
        const QVector<int>& cols = strips[s];
        QVector<int> xs{g.left, g.left + kNameColumnWidth};
        for (int c : cols)
            xs << xs.last() + tableColumnWidth(in.columns[c].displayWidth);
        int row = 0;
        do {
            if (!firstPage) {
                if (in.firstPageOnly)
                    return p.page();
                p.newPage();
            }
            firstPage = false;
            // Page header.
            p.font(10, true);
            QString head = QStringLiteral("Klasse: ") + in.klasse;
            if (s == 0)
                head += QStringLiteral("  Schuljahr: ") + in.schuljahr + QStringLiteral(" / ") + in.halbjahr;
            p.text(g.left, g.headerY, head);
            p.font(8);
            const QString school = in.landscape ? (in.schoolName1 + u' ' + in.schoolName2).trimmed() : in.schoolName1;
            p.text(g.left, g.headerY + 45, school + QStringLiteral(" / Zedora ") + QString::fromLatin1(kProgramVersion) +
                                               QStringLiteral(" / Druck am ") + ListPage::today() + QStringLiteral(" / ") +
                                               in.layoutName);
            p.font(g.points, true);
            const int titleY = g.firstRowY - 15;
            p.text(xs[0] + 10, titleY, QStringLiteral("Name"));
            for (int k = 0; k < cols.size(); ++k)
                p.text(xs[k + 1] + 10, titleY, p.cut(in.columns[cols[k]].title, tableColumnWidth(in.columns[cols[k]].displayWidth) - 25));
            p.line(g.left, g.firstRowY, xs.last(), g.firstRowY, 2);
            // Rows.
            p.font(g.points);
            int y = g.firstRowY;
            const int pageTop = y;
            while (row < in.names.size() && y + g.rowHeight <= g.bottom) {
                const int base = y + g.rowHeight - 20;
                p.text(g.left - 10, base, QString::number(row + 1) + u'.', TextAlign::Right);
                p.text(xs[0] + 10, base, p.cut(in.names[row], kNameColumnWidth - 25));
                if (!in.empty) {
                    for (int k = 0; k < cols.size(); ++k) {
                        const TableColumn& c = in.columns[cols[k]];
                        const QString v = in.cells.value(row).value(cols[k]);
                        p.text(xs[k + 1] + 10, base, p.cut(v, tableColumnWidth(c.displayWidth) - (c.memo ? 40 : 25)));
                    }
                }
                y += g.rowHeight;
                p.line(g.left, y, xs.last(), y);
                ++row;
            }
            for (int x : xs)
                p.line(x, pageTop - g.rowHeight + 10, x, y);
        } while (row < in.names.size());
    }
    return p.page();
}

ListJob entryTableJob(const TablePrintInput& input, const QString& studentFile)
{
    ListJob job;
    job.kind = input.empty ? JobKind::TableEmpty : JobKind::TableWithData;
    job.title = jobTitle(job.kind, QFileInfo(QString(studentFile).replace(u'\\', u'/')).fileName(), QString());
    job.landscape = input.landscape;
    job.draw = [input](DrawSurface& s, const PrintMetrics& m) { return drawEntryTable(s, m, input); };
    return job;
}

int drawTextBlockColumn(DrawSurface& surface, const PrintMetrics& metrics, const TextColumnInput& in)
{
    ListPage p(surface, metrics);
    const auto header = [&] {
        p.font(10);
        p.text(200, 100, QStringLiteral("Klasse ") + in.klasse + QStringLiteral("   Schuljahr: ") + in.schuljahr +
                             QStringLiteral(" / ") + in.halbjahr + QStringLiteral(" Hj.     ") + in.title);
        p.line(200, 110, 2000, 110, 2);
        p.text(200, 200, QStringLiteral("Name, Vorname"));
        p.text(500, 200, in.title);
        p.line(200, 210, 2000, 210, 1);
        p.font(8);
    };
    header();
    int y = 280;
    const int lineHeight = 40;
    for (const TextColumnInput::Row& r : in.rows) {
        const QStringList lines = wrapped(p, r.text, 1500);
        const int height = std::max(2, int(lines.size())) * lineHeight + 20;
        if (y + height > 2750 && y > 280) {
            p.newPage();
            header();
            y = 280;
        }
        p.text(200, y, r.surname);
        p.text(230, y + lineHeight, r.firstName);
        for (int k = 0; k < lines.size(); ++k)
            p.text(500, y + k * lineHeight, lines[k]);
        y += height;
        p.line(200, y - lineHeight + 5, 2000, y - lineHeight + 5, 1, PenStyle::Dotted);
    }
    return p.page();
}

ListJob textBlockColumnJob(const TextColumnInput& input)
{
    ListJob job;
    job.kind = JobKind::TextBlockColumn;
    job.title = jobTitle(job.kind, QString(), QString());
    job.draw = [input](DrawSurface& s, const PrintMetrics& m) { return drawTextBlockColumn(s, m, input); };
    return job;
}

} // namespace zedora
