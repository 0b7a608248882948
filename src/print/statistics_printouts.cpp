#include "print/statistics_printouts.h"

#include "print/list_page.h"
#include "print/print_job.h"

namespace zedora {

namespace {

constexpr int kRowHeight = 50;
constexpr int kBottom = 2800;

// The heading of every statistics page; returns the y where the columns go.
void statisticsHeader(ListPage& p, const StatisticsHeader& h, const QString& title)
{
    p.font(10);
    p.text(1755, 105, h.heading, TextAlign::Right);
    p.line(200, 110, 1800, 110);
    p.text(1800, 165, QStringLiteral("- Seite ") + QString::number(p.page()) + QStringLiteral(" -"), TextAlign::Right);
    p.font(18, true);
    p.text(200, 200, QStringLiteral("Datenverzeichnis: ") + h.dataDirectory);
    p.font(10);
    p.text(1800, 200, QStringLiteral("Druckdatum ") + ListPage::today(), TextAlign::Right);
    p.font(12, true);
    p.text(200, 300, title);
    p.font(10);
}

// Rows of cells at xs (the first left-aligned, the others right-aligned at
// the next x minus a gap), with the column titles repeated on each page.
int tablePages(ListPage& p, const StatisticsHeader& h, const QString& title, const QStringList& titles,
               const QVector<int>& xs, const QVector<QStringList>& rows, const QStringList& sums,
               int* lastY = nullptr)
{
    const auto head = [&] {
        statisticsHeader(p, h, title);
        p.font(10, true);
        for (int c = 0; c < titles.size(); ++c) {
            // A title of two lines stands on the rule with its second line.
            const QStringList parts = titles[c].split(u'\n');
            p.text(xs[c], 440, parts.last());
            if (parts.size() > 1)
                p.text(xs[c], 400, parts.first());
        }
        p.line(200, 445, 1800, 445);
        p.font(10);
    };
    head();
    int y = 445;
    QVector<QStringList> all = rows;
    if (!sums.isEmpty())
        all << sums;
    for (int r = 0; r < all.size(); ++r) {
        if (y + kRowHeight > kBottom) {
            p.newPage();
            head();
            y = 445;
        }
        y += kRowHeight;
        const bool sumRow = !sums.isEmpty() && r == all.size() - 1;
        p.font(10, sumRow);
        for (int c = 0; c < all[r].size() && c < xs.size(); ++c)
            p.text(xs[c], y, all[r][c]);
        if (sumRow)
            p.line(200, y - kRowHeight + 5, 1800, y - kRowHeight + 5, 2);
    }
    if (lastY)
        *lastY = y;
    return p.page();
}

ListJob jobOf(int kind, std::function<int(ListPage&)> draw, bool landscape = false, const QString& subject = {})
{
    ListJob job;
    job.kind = kind;
    job.title = jobTitle(kind, subject, QString());
    job.landscape = landscape;
    job.draw = [draw = std::move(draw)](DrawSurface& s, const PrintMetrics& m) {
        ListPage p(s, m);
        return draw(p);
    };
    return job;
}

} // namespace

ListJob graduationStatisticsJob(const GraduationStatistics& s)
{
    return jobOf(JobKind::GraduationStatistics, [s](ListPage& p) {
        static const int pairX[] = {680, 860, 1040, 1220, 1400, 1580};
        QStringList titles{QStringLiteral("Klasse\n")};
        QVector<int> xs{230};
        const int n = std::min<int>(int(s.codes.size()), 6);
        for (int k = 0; k < n; ++k) {
            // The code above its pair, so that long codes do not run into the next one.
            titles << s.codes[k] + QStringLiteral("\nw    m");
            xs << pairX[k] - 60;
        }
        QVector<QStringList> rows;
        QVector<std::pair<int, int>> sum(n);
        for (const auto& r : s.rows) {
            QStringList cells{r.klasse};
            for (int k = 0; k < n; ++k) {
                const auto c = r.counts.value(k);
                cells << QStringLiteral("%1    %2").arg(c.first, 3).arg(c.second, 3);
                sum[k].first += c.first;
                sum[k].second += c.second;
            }
            rows << cells;
        }
        QStringList sums{QStringLiteral("SUMMEN:")};
        for (int k = 0; k < n; ++k)
            sums << QStringLiteral("%1    %2").arg(sum[k].first, 3).arg(sum[k].second, 3);
        return tablePages(p, s.header, QStringLiteral("Statistik der Abschlüsse"), titles, xs, rows, sums);
    });
}

ListJob gradeStatisticsJob(const GradeStatistics& s)
{
    return jobOf(JobKind::GradeStatistics, [s](ListPage& p) {
        const QStringList titles{QStringLiteral("Klasse"), QStringLiteral("Fach"), QStringLiteral("I"),
                                 QStringLiteral("II"),     QStringLiteral("III"),  QStringLiteral("IV"),
                                 QStringLiteral("V"),      QStringLiteral("VI"),   QStringLiteral("Ø")};
        const QVector<int> xs{230, 500, 850, 1000, 1150, 1300, 1450, 1600, 1700};
        QVector<QStringList> rows;
        for (const auto& r : s.rows) {
            QStringList cells{r.klasse, r.subject};
            for (int g : r.grades)
                cells << QString::number(g);
            cells << r.average;
            rows << cells;
        }
        return tablePages(p, s.header, QStringLiteral("Notenstatistiken"), titles, xs, rows, {});
    });
}

ListJob absenceStatisticsJob(const AbsenceStatistics& s)
{
    return jobOf(JobKind::AbsenceStatistics, [s](ListPage& p) {
        const QStringList titles{QStringLiteral("Klasse"), QStringLiteral("VS1"), QStringLiteral("UE1"),
                                 QStringLiteral("VS12"), QStringLiteral("UE12"), QStringLiteral("Schüler mit\nunent. Fehltagen")};
        const QVector<int> xs{230, 600, 800, 1000, 1200, 1450};
        QVector<QStringList> rows;
        AbsenceStatistics::Row sum;
        for (const auto& r : s.rows) {
            rows << QStringList{r.klasse, QString::number(r.vs1), QString::number(r.ue1), QString::number(r.vs12),
                                QString::number(r.ue12), QString::number(r.withUnexcused)};
            sum.vs1 += r.vs1;
            sum.ue1 += r.ue1;
            sum.vs12 += r.vs12;
            sum.ue12 += r.ue12;
            sum.withUnexcused += r.withUnexcused;
        }
        const QStringList sums{QStringLiteral("SUMMEN:"), QString::number(sum.vs1), QString::number(sum.ue1),
                               QString::number(sum.vs12), QString::number(sum.ue12), QString::number(sum.withUnexcused)};
        return tablePages(p, s.header, QStringLiteral("Statistik der Fehltage"), titles, xs, rows, sums);
    });
}

ListJob columnStatisticsJob(const ColumnStatistics& s)
{
    return jobOf(JobKind::ColumnStatistics, [s](ListPage& p) {
        StatisticsHeader h = s.header;
        if (h.heading.isEmpty())
            h.heading = QStringLiteral("Klasse ") + s.klasse + QStringLiteral("   Schuljahr: ") + s.schuljahr +
                        QStringLiteral(" / ") + s.halbjahr + QStringLiteral(" Hj.     ");
        QVector<QStringList> rows;
        for (const auto& [content, count] : s.values)
            rows << QStringList{content, QString::number(count)};
        int y = 0;
        int pages = tablePages(p, h, QStringLiteral("Statistik über Spalte >>  ") + s.column + QStringLiteral("  <<"),
                               {QStringLiteral("Inhalt"), QStringLiteral("Anzahl")}, {230, 900}, rows, {}, &y);
        const std::pair<const char*, QString> summary[] = {
            {"Durchschnittswert der Spalte: ", s.average},
            {"Anzahl bet. Schüler(-innen): ", s.students},
            {"Niedrigster Wert:", s.lowest},
            {"Höchster Wert:", s.highest}};
        y += 100;
        if (y + 4 * 60 > kBottom) {
            p.newPage();
            statisticsHeader(p, h, QStringLiteral("Statistik über Spalte >>  ") + s.column + QStringLiteral("  <<"));
            y = 500;
            pages = p.page();
        }
        p.font(10);
        for (const auto& [label, value] : summary) {
            p.text(230, y, QString::fromUtf8(label));
            p.text(900, y, value);
            y += 60;
        }
        return pages;
    });
}

ListJob historyJob(const HistoryList& h)
{
    return jobOf(JobKind::History, [h](ListPage& p) {
        const int bottom = 1950, left = 100, right = 2850;
        const int rowHeight = h.rowHeight > 0 ? h.rowHeight : 44;
        const int columns = int(h.columns.size());
        const int width = columns > 0 ? (right - left) / columns : right - left;
        const auto titles = [&](int y) {
            p.font(8, true);
            for (int c = 0; c < columns; ++c)
                p.text(left + c * width, y - 10, p.cut(h.columns[c], width - 10));
            p.line(left, y, right, y);
            p.font(8);
        };
        const auto head = [&](bool withTitles) {
            p.font(10, true);
            p.text(left, 100, QStringLiteral("Notenliste der Klasse ") + h.klasse + QStringLiteral("   Schuljahr: ") +
                                  h.schuljahr + QStringLiteral(" / ") + h.halbjahr + QStringLiteral(" Hj."));
            p.font(8);
            p.text(right, 100, QStringLiteral("Seite ") + QString::number(p.page()), TextAlign::Right);
            if (withTitles)
                titles(190);
            p.font(8);
        };
        head(true);
        int y = 190;
        for (int index = 0; index < h.rows.size(); ++index) {
            const QStringList& row = h.rows[index];
            const bool blockTitles = h.repeatHeader && h.blockRows > 0 && index > 0 && index % h.blockRows == 0;
            // Titles above a student stand half a row clear of the one before.
            const int titleSpace = rowHeight + rowHeight / 2;
            if (y + rowHeight + (blockTitles ? titleSpace : 0) > bottom) {
                p.newPage();
                head(h.repeatHeader || index == 0);
                y = 190;
            } else if (blockTitles) {
                y += titleSpace;
                titles(y);
            }
            y += rowHeight;
            for (int c = 0; c < columns && c < row.size(); ++c)
                p.text(left + c * width, y, p.cut(row[c], width - 10));
        }
        return p.page();
    }, true, h.layoutName);
}

} // namespace zedora
