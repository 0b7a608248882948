#include "exchange/import_table.h"

#include "base/ansi_text.h"
#include "base/dates.h"
#include "core/settings.h"
#include "data/student_identity.h"

#include <QHash>

namespace zedora {

namespace {

const char* const kCaptions[ImportColumn::Count] = {
    "Lfd. Nr.", "NAME", "VORNAME", "MW", "KLASSE", "WPK1", "WPK2", "WPK3", "WPK4", "AG1", "AG2",
    "AG3", "FOE1", "FOE2", "KM", "KE", "GEBOREN", "GEBORT", "TELEFON", "STAATS", "KONF",
    "STRASSE", "PLZ", "ORT", "STAMMF1", "STAMMF2", "ANR1", "ANR2", "ZedoraID", "Spezial",
};

QString studentLabel(const ImportRow& r)
{
    return r[ImportColumn::Name].trimmed() + QStringLiteral(", ") + r[ImportColumn::Vorname].trimmed();
}

} // namespace

ImportTable::ImportTable()
{
    clear();
}

void ImportTable::setCell(int r, int c, const QString& value)
{
    row(r)[static_cast<size_t>(c)] = value.left(kImportCellLength);
}

void ImportTable::append(ImportRow r)
{
    for (QString& cell : r)
        cell.truncate(kImportCellLength);
    rows_.push_back(std::move(r));
}

void ImportTable::clear()
{
    rows_.assign(1, ImportRow{});
    number();
}

void ImportTable::number()
{
    for (int c = 0; c < ImportColumn::Count; ++c)
        rows_[0][static_cast<size_t>(c)] = caption(c);
    for (size_t r = 1; r < rows_.size(); ++r)
        rows_[r][ImportColumn::LfdNr] = QString::number(r);
}

QString ImportTable::caption(int column)
{
    return QString::fromLatin1(kCaptions[column]);
}

void postProcess(ImportTable& table, const Settings& settings, bool fromServer)
{
    for (int r = 1; r < table.rowCount(); ++r) {
        ImportRow& row = table.row(r);
        QString& geboren = row[ImportColumn::Geboren];
        if (fromServer) {
            // YYYY-MM-DD from the server; 0000-00-00 and the like become empty.
            const QString g = geboren;
            const QString german = g.mid(8, 2) + QLatin1Char('.') + g.mid(5, 2) + QLatin1Char('.') + g.left(4);
            const auto date = parseGermanDate(german);
            geboren = date ? formatGermanDate(*date) : QString();
        }
        QString& mw = row[ImportColumn::MW];
        mw = mw.left(1).toUpper() == QStringLiteral("W") ? settings.Weiblich : settings.Maennlich;
        const auto birth = parseGermanDate(geboren);
        row[ImportColumn::ZedoraID] =
            birth ? studentIdentity(*birth, row[ImportColumn::Name], row[ImportColumn::Vorname]).trimmed()
                  : QString();
    }
}

QStringList importClasses(const ImportTable& table)
{
    QStringList classes;
    for (int r = 1; r < table.rowCount(); ++r) {
        const QString k = table.cell(r, ImportColumn::Klasse).trimmed().left(8);
        if (!classes.contains(k))
            classes << k;
    }
    return classes;
}

bool ClassFilter::passes(const QString& klasse) const
{
    // The class list keeps 8 characters; comparing more would leave a longer
    // class out of every file.
    return all || text.contains(QLatin1Char('#') + klasse.trimmed().left(8) + QLatin1Char('#'));
}

void wrapSalutations(ImportRow& row)
{
    QString& a1 = row[ImportColumn::ANR1];
    QString& a2 = row[ImportColumn::ANR2];
    const auto wrapped = [](const QString& s) { return upperAscii(s.left(4)) == QStringLiteral("SEHR"); };
    if (!wrapped(a1) && !wrapped(a2)) {
        if (!a1.trimmed().isEmpty())
            a1 = QStringLiteral("Sehr geehrte Frau ") + a1.trimmed() + QLatin1Char('!');
        if (!a2.trimmed().isEmpty())
            a2 = QStringLiteral("Sehr geehrter Herr ") + a2.trimmed() + QLatin1Char('!');
    }
    for (QString* s : {&a1, &a2}) {
        *s = s->trimmed().left(100);
        const qsizetype twin = s->indexOf(QStringLiteral("  "));
        if (twin >= 0)
            s->remove(twin, 1);
    }
}

QString courseLevel(const QString& levels, QChar subject)
{
    const qsizetype at = levels.indexOf(QLatin1Char('-') + QString(subject));
    if (at < 0)
        return {};
    return levels.mid(at + 2, 1);
}

QStringList duplicateStudents(const ImportTable& table)
{
    QStringList lines;
    QHash<QString, int> first;
    for (int r = 1; r < table.rowCount(); ++r) {
        const QString id = table.cell(r, ImportColumn::ZedoraID);
        if (id.isEmpty())
            continue;
        const auto it = first.constFind(id);
        if (it == first.constEnd())
            first.insert(id, r);
        else
            lines << QStringLiteral("Zeile %1 und %2: ").arg(*it).arg(r) + studentLabel(table.row(r));
    }
    return lines;
}

QStringList rowsWithoutBirthDate(const ImportTable& table)
{
    QStringList lines;
    for (int r = 1; r < table.rowCount(); ++r) {
        if (!table.cell(r, ImportColumn::ZedoraID).isEmpty())
            continue;
        const QString g = table.cell(r, ImportColumn::Geboren);
        lines << QStringLiteral("Zeile %1: ").arg(r) + studentLabel(table.row(r))
                     + (g.isEmpty() ? QStringLiteral(" (leer)") : QStringLiteral(" (") + g + QLatin1Char(')'));
    }
    return lines;
}

} // namespace zedora
