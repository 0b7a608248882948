#include "print/listing_printouts.h"

#include "core/settings.h"
#include "data/averages.h"
#include "entry/abbreviation_file.h"
#include "entry/graduation_codes.h"
#include "print/layout_editor_io.h"
#include "print/list_page.h"
#include "print/placeholders.h"
#include "print/print_job.h"

#include <QFileInfo>

namespace zedora {

namespace {

constexpr int kContentTop = 240;
constexpr int kPageBottom = 2850;

ListingLine cellsAt(QStringList cells, QVector<int> xs, int points = 10, bool bold = false)
{
    ListingLine l;
    l.cells = std::move(cells);
    l.xs = std::move(xs);
    l.points = points;
    l.bold = bold;
    return l;
}

QString fileNameOf(const QString& path)
{
    return QFileInfo(QString(path).replace(u'\\', u'/')).fileName();
}

int advanceOf(const ListingLine& l)
{
    return l.advance > 0 ? l.advance : l.points * 5 + 5;
}

} // namespace

int drawListing(DrawSurface& surface, const PrintMetrics& metrics, const Listing& listing)
{
    ListPage p(surface, metrics);
    const int pageBottom = listing.kind == JobKind::DataSheet ? 1950 : kPageBottom;
    p.listHeader(listing.owner, listing.schuljahr, listing.halbjahr, listing.title);
    int y = kContentTop + 20;
    for (int i = 0; i < listing.lines.size(); ++i) {
        const ListingLine& l = listing.lines[i];
        const int need = advanceOf(l) + (l.newSection && i + 1 < listing.lines.size() ? advanceOf(listing.lines[i + 1]) : 0);
        if (y + need > pageBottom) {
            p.newPage();
            p.listHeader(listing.owner, listing.schuljahr, listing.halbjahr, listing.title);
            y = kContentTop + 20;
            if (listing.pageNumbers) {
                p.font(10);
                p.text(300, y + 50, QStringLiteral("Seite ") + QString::number(p.page()));
                y += 70;
            }
        }
        y += advanceOf(l);
        p.font(l.points, l.bold);
        for (int c = 0; c < l.cells.size() && c < l.xs.size(); ++c) {
            const int limit = c + 1 < l.xs.size() ? l.xs[c + 1] - l.xs[c] - 10 : 1950 - l.xs[c];
            p.text(l.xs[c], y, p.width(l.cells[c]) > limit ? p.cut(l.cells[c], limit) : l.cells[c]);
        }
        if (l.ruleAfter) {
            p.line(100, y + 15, 1900, y + 15, 2);
            y += 20;
        }
    }
    return p.page();
}

ListJob listingJob(const Listing& listing)
{
    ListJob job;
    job.kind = listing.kind;
    job.title = jobTitle(listing.kind, listing.jobSubject, listing.schuljahr);
    job.landscape = listing.kind == JobKind::DataSheet;
    job.draw = [listing](DrawSurface& s, const PrintMetrics& m) { return drawListing(s, m, listing); };
    return job;
}

Listing listingFor(int kind, const Settings& settings)
{
    Listing l;
    l.kind = kind;
    l.owner = (settings.SchulName1 + u' ' + settings.SchulName2).trimmed();
    l.schuljahr = settings.Schuljahr;
    l.halbjahr = settings.Halbjahr;
    return l;
}

Listing settingsListing(const Settings& s)
{
    Listing l = listingFor(JobKind::Settings, s);
    l.title = QStringLiteral("Voreinstellungen");
    ListingLine title = cellsAt({QStringLiteral("Voreinstellungen  - Allgemeines I und II -")}, {300}, 12, true);
    title.advance = 100;
    l.lines << title;
    const std::pair<const char*, QString> pairs[] = {
        {"Schulname 1:", s.SchulName1},
        {"Schulname 2:", s.SchulName2},
        {"Schulname 3:", s.SchulName3},
        {"Halbjahr:", s.Halbjahr},
        {"Schuljahr:", s.Schuljahr},
        {"Nächstes Schuljahr:", s.NaechSchuljahr},
        {"Ausgabeort:", s.AusgabeOrt},
        {"Ausgabedatum:", s.AusgabeDatum},
        {"Entlassdatum:", s.AusgabeDatum2},
        {"Entwertungszeichen für Textblock:", s.Entwertung},
        {"Format für Geburtsdatum (Beispiel):", formatDate(QStringLiteral("24.12.2005"), s.GebFormat)},
    };
    for (const auto& [label, value] : pairs) {
        ListingLine line = cellsAt({QString::fromUtf8(label), value}, {300, 1000});
        line.advance = 100;
        l.lines << line;
    }
    l.lines.last().ruleAfter = true;
    const std::pair<const char*, int> numbers[] = {
        {"Notenfeldmuster Typ", s.Musterart},
        {"Linke Randbreite beim Tabellendruck", s.TabLinks},
        {"Obere Randbreite beim Tabellendruck", s.TabOben},
        {"Untere Randbreite beim Tabellendruck", s.TabUnten},
    };
    for (const auto& [label, value] : numbers) {
        ListingLine line = cellsAt({QString::fromUtf8(label), QString::number(value)}, {300, 1000});
        line.advance = 100;
        l.lines << line;
    }
    return l;
}

Listing layoutContentsListing(const Settings& settings, const QString& layoutFile, const QStringList& layoutLines)
{
    Listing l = listingFor(JobKind::LayoutContents, settings);
    l.title = QStringLiteral("  Layoutdatei ") + fileNameOf(layoutFile);
    l.jobSubject = fileNameOf(layoutFile);
    l.pageNumbers = true;
    const LayoutEditorData data = readLayoutForEditing(layoutLines, layoutFile, QString());
    for (int k = 0; k < kElementKinds; ++k) {
        const LayoutGrid& grid = data.grids[k];
        ListingLine section = cellsAt({QStringLiteral("Sektion [") + sectionName(grid.kind) + u']'}, {100}, 10, true);
        section.advance = 90;
        section.newSection = true;
        l.lines << section;
        // The cells side by side: narrow columns, the text column wide.
        QVector<int> xs;
        int x = 100;
        for (const QString& caption : grid.captions) {
            xs << x;
            x += caption == QLatin1String("Inhalt") ? 420 : std::max(70, 30 + 18 * int(caption.size()));
        }
        l.lines << cellsAt(grid.captions, xs, 6, true);
        const int xColumn = 3;
        for (const QStringList& row : grid.rows) {
            if (row.value(xColumn).trimmed().isEmpty())
                continue;
            l.lines << cellsAt(row, xs, 6);
        }
    }
    return l;
}

Listing columnLayoutListing(const Settings& settings, const QString& layoutFile, const QStringList& layoutLines)
{
    Listing l = listingFor(JobKind::ColumnLayout, settings);
    l.title = QStringLiteral("Eingabelayout der Layoutdatei ") + fileNameOf(layoutFile);
    l.jobSubject = fileNameOf(layoutFile);
    const LayoutEditorData data = readLayoutForEditing(layoutLines, layoutFile, QString());
    l.lines << cellsAt({QStringLiteral("Feld"), QStringLiteral("Überschrift"), QStringLiteral("Breite"),
                        QStringLiteral("Befreiung")},
                       {300, 700, 1400, 1650}, 10, true);
    for (const QString& row : data.columnLines) {
        QStringList cells = row.split(u',');
        while (cells.size() < 4)
            cells << QString();
        for (QString& c : cells)
            c = c.trimmed();
        l.lines << cellsAt(cells.mid(0, 4), {300, 700, 1400, 1650});
    }
    return l;
}

Listing abbreviationsListing(const Settings& settings, const QString& abbreviationFile,
                             const QVector<Abbreviation>& grades, const QVector<GraduationCode>& graduation)
{
    Listing l = listingFor(JobKind::Abbreviations, settings);
    l.title = QStringLiteral("Notenkürzel mit Bedeutungen  (") + fileNameOf(abbreviationFile) + u')';
    l.jobSubject = fileNameOf(abbreviationFile);
    l.lines << cellsAt({QStringLiteral("Kürzel"), QStringLiteral("Bedeutung 1"), QStringLiteral("Bedeutung 2")},
                       {300, 550, 1200}, 10, true);
    for (const Abbreviation& a : grades)
        if (!a.code.trimmed().isEmpty() || !a.meaning1.trimmed().isEmpty())
            l.lines << cellsAt({a.code, a.meaning1, a.meaning2}, {300, 550, 1200}, 9);
    ListingLine head = cellsAt({QStringLiteral("Abschlusskürzel mit Bedeutungen")}, {300}, 10, true);
    head.advance = 110;
    head.newSection = true;
    l.lines << head;
    for (const GraduationCode& g : graduation)
        if (!g.code.isEmpty())
            l.lines << cellsAt({g.code, g.longName}, {300, 550}, 9);
    return l;
}

Listing textBlockListing(const Settings& settings, const QString& textBlockFile,
                         const QVector<std::pair<QString, QString>>& blocks)
{
    Listing l = listingFor(JobKind::TextBlockFile, settings);
    l.title = QStringLiteral("Textbausteindatei ") + fileNameOf(textBlockFile);
    l.jobSubject = fileNameOf(textBlockFile);
    l.lines << cellsAt({QStringLiteral("ID"), QStringLiteral("Inhalt")}, {300, 550}, 10, true);
    for (const auto& [id, text] : blocks) {
        // Long blocks go on as many lines as they need.
        QString rest = QString(text).replace(u'\n', u' ').replace(u'\r', QString()).simplified();
        bool first = true;
        do {
            const QString part = rest.left(110);
            int cut = part.size();
            if (rest.size() > 110 && part.lastIndexOf(u' ') > 40)
                cut = part.lastIndexOf(u' ');
            l.lines << cellsAt({first ? id : QString(), rest.left(cut)}, {300, 550}, 9);
            rest = rest.mid(cut).trimmed();
            first = false;
        } while (!rest.isEmpty());
    }
    return l;
}

Listing averageListing(const Settings& settings, const AverageDefinitions& averages)
{
    Listing l = listingFor(JobKind::AverageDefinitions, settings);
    l.title = QStringLiteral("Festlegung der Durchschnittsnoten");
    for (int i = 0; i < 3; ++i) {
        const QStringList subjects = averages.lists[size_t(i)].split(u'#', Qt::SkipEmptyParts);
        ListingLine line = cellsAt({QStringLiteral("D%1:").arg(i + 1), subjects.join(QStringLiteral(", "))}, {300, 450});
        line.advance = 90;
        l.lines << line;
    }
    ListingLine head = cellsAt({QStringLiteral("Kurskorrektur:")}, {300}, 10, true);
    head.advance = 120;
    l.lines << head;
    const std::pair<const char*, bool> corrections[] = {
        {"Englisch (KE)", averages.KE}, {"Mathematik (KM)", averages.KM},
        {"Deutsch (KD)", averages.KD}, {"NOTEX (KX)", averages.KX}};
    for (const auto& [label, on] : corrections)
        l.lines << cellsAt({QString::fromUtf8(label), on ? QStringLiteral("ja") : QStringLiteral("nein")}, {300, 800});
    return l;
}

Listing dataSheetListing(const Settings& settings, const QString& student,
                         const QVector<std::array<QString, 3>>& fields)
{
    Listing l = listingFor(JobKind::DataSheet, settings);
    l.title = QStringLiteral("Datenblatt ") + student;
    l.lines << cellsAt({QStringLiteral("Feld"), QStringLiteral("Bezeichnung"), QStringLiteral("Inhalt")},
                       {300, 550, 1000}, 10, true);
    for (const auto& f : fields)
        l.lines << cellsAt({f[0], f[1], QString(f[2]).replace(u'\n', u' ').replace(u'\r', QString())},
                           {300, 550, 1000}, 9);
    return l;
}

} // namespace zedora
