#include "exchange/dbase_import.h"

#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/dates.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/safe_file.h"
#include "base/workspace_files.h"
#include "core/settings.h"
#include "data/student_identity.h"
#include "data/student_file_access.h"
#include "dbase/table.h"

#include <QFileInfo>
#include <memory>
#include <variant>

namespace zedora {
namespace {

class Reader {
public:
    explicit Reader(const dbase::Table& t) : t_(t) {}
    bool has(const QString& name) const { return !name.isEmpty() && t_.findField(toAnsiStd(name)) >= 0; }
    QString text(const QString& name) const
    {
        if (!has(name))
            return {};
        return fromAnsi(t_.textView(t_.findField(toAnsiStd(name))));
    }
    std::optional<QDate> date(const QString& name) const
    {
        if (!has(name))
            return std::nullopt;
        const dbase::Value v = t_.value(t_.findField(toAnsiStd(name)));
        if (const auto* d = std::get_if<dbase::Date>(&v)) {
            const QDate q(d->year, d->month, d->day);
            if (q.isValid())
                return q;
        }
        return std::nullopt;
    }

private:
    const dbase::Table& t_;
};

// Course codes padded to 7 characters, followed by the long name.
QStringList courseNames(const QString& importFile)
{
    QStringList list;
    const QString path = resolvePath(joinPath(QFileInfo(importFile).path(), QStringLiteral("FACHKURS.DBF")));
    if (!pathExists(path))
        return list;
    try {
        auto t = openToRead(path).table;
        Reader r(*t);
        for (t->first(); !t->eof(); t->next())
            list << r.text(QStringLiteral("FACHKURZ")).leftJustified(7, QLatin1Char(' '), true)
                        + r.text(QStringLiteral("FACHLANG"));
    } catch (const std::exception&) {
        list.clear();
    }
    return list;
}

QString electiveName(const QString& value, const QStringList& courses)
{
    const QString code = upperAscii(value).trimmed().left(10);
    QString result = code;
    if (code.isEmpty())
        return result;
    for (const QString& entry : courses) {
        if (!entry.isEmpty() && upperAscii(entry.left(7)).trimmed() == code)
            result = entry.mid(7, 30);
    }
    return result;
}

void sibankSalutations(const Reader& r, ImportRow& row)
{
    const QString nw = QStringLiteral("NAME_W"), nm = QStringLiteral("NAME_M"),
                  tw = QStringLiteral("TITEL_W"), tm = QStringLiteral("TITEL_M");
    if (!r.has(nw) || !r.has(nm) || !r.has(tw) || !r.has(tm))
        return;
    const QString woman = r.text(nw).trimmed(), man = r.text(nm).trimmed();
    const QString frau = QStringLiteral("Sehr geehrte Frau ") + r.text(tw).trimmed() + QLatin1Char(' ') + woman + QLatin1Char('!');
    const QString herr = QStringLiteral("Sehr geehrter Herr ") + r.text(tm).trimmed() + QLatin1Char(' ') + man + QLatin1Char('!');
    if (!woman.isEmpty()) {
        row[ImportColumn::ANR1] = frau;
        row[ImportColumn::ANR2] = man.isEmpty() ? QString() : herr;
    } else if (!man.isEmpty()) {
        row[ImportColumn::ANR1] = herr;
    }
}

// A student who has left: the leaving date lies before now. An unreadable
// or empty leaving date counts as far in the future.
bool hasLeft(const Reader& r, const QDateTime& now)
{
    const QString field = QStringLiteral("ABGANG_DAT");
    if (!r.has(field))
        return false;
    QDate leaving = r.date(field).value_or(QDate());
    if (!leaving.isValid())
        leaving = parseGermanDate(r.text(field)).value_or(QDate());
    if (!leaving.isValid() || leaving.year() < 1960)
        leaving = QDate(2060, 1, 1);
    return now > QDateTime(leaving, QTime(0, 0));
}

QString birthDate(const Reader& r, const QString& field, ImportSource source)
{
    if (const auto d = r.date(field))
        return formatGermanDate(*d);
    const QString text = r.text(field);
    return source == ImportSource::Dbase ? birthDateNormalForm(text.trimmed()) : text;
}

} // namespace

ImportSource importSourceFromSetting(int importArt)
{
    if (importArt == 2)
        return ImportSource::Sibank;
    if (importArt == 3)
        return ImportSource::Dbase;
    return ImportSource::Server;
}

SourceFieldNames sibankFieldNames(const Settings& s)
{
    return {QStringLiteral("KLASSE"), QStringLiteral("NAME"), QStringLiteral("VORNAME"),
            QStringLiteral("GEBOREN"), QStringLiteral("GEB_ORT"), QStringLiteral("GESCHLECHT"),
            QStringLiteral("TELEFON"), QStringLiteral("STAAT"), QStringLiteral("KONFESSION"),
            QStringLiteral("ORT"), QStringLiteral("STRASSE"), s.FreiFeld1.trimmed(), s.FreiFeld2.trimmed(),
            QStringLiteral("PLZ"), QStringLiteral("AG1"), QStringLiteral("AG2"), QStringLiteral("AG3")};
}

SourceFieldNames mappedFieldNames(const Settings& s)
{
    const auto up = [](const QString& v) { return upperAscii(v.trimmed()).left(30); };
    return {up(s.ip_Klasse), up(s.ip_Name),    up(s.ip_Vorname), up(s.ip_Geboren), up(s.ip_GebOrt),
            up(s.ip_Geschlecht), up(s.ip_Telefon), up(s.ip_Staat), up(s.ip_Konf), up(s.ip_Wohnort),
            up(s.ip_Strasse), up(s.ip_Frei1), up(s.ip_Frei2), up(s.ip_plz), up(s.ip_ag1),
            up(s.ip_ag2), up(s.ip_ag3)};
}

bool readDbaseSource(const QString& path, ImportSource source, const Settings& settings,
                     ImportTable& table, Interaction& ui, const QDateTime& now)
{
    BusyScope busy(ui);
    table.clear();
    const QString file = resolvePath(path.trimmed());
    if (path.trimmed().isEmpty() || !QFileInfo(file).isFile()) {
        ui.warning(path.trimmed() + QStringLiteral(" nicht gefunden!"));
        return false;
    }
    const bool sibank = source == ImportSource::Sibank;
    const SourceFieldNames f = sibank ? sibankFieldNames(settings) : mappedFieldNames(settings);
    const QStringList courses = sibank ? courseNames(file) : QStringList();

    std::unique_ptr<dbase::Table> t;
    try {
        t = openToRead(file).table;
    } catch (const std::exception& e) {
        ui.error(QStringLiteral("Die Datei ") + path.trimmed()
                 + QStringLiteral(" ist keine lesbare dBase-Datei.\nEs wurden keine Daten übernommen.\n\n")
                 + QString::fromUtf8(e.what()));
        return false;
    }
    const Reader r(*t);
    QStringList required = {f.klasse, f.name, f.vorname, f.geboren};
    if (sibank)
        required << QStringLiteral("WPK1_FACH") << QStringLiteral("WPK2_FACH") << QStringLiteral("WPK3_FACH")
                 << QStringLiteral("WPK4_FACH");
    for (const QString& name : required) {
        if (!r.has(name)) {
            ui.error(QStringLiteral("Das Feld ") + (name.isEmpty() ? QStringLiteral("(ohne Namen)") : name)
                     + QStringLiteral(" fehlt in der Datei ") + path.trimmed()
                     + QStringLiteral(".\nEs wurden keine Daten übernommen."));
            return false;
        }
    }

    ProgressScope progress(ui, QStringLiteral("Daten werden gelesen ..."), static_cast<int>(t->recordCount()));
    int visited = 0;
    try {
        for (t->first(); !t->eof(); t->next()) {
            if (++visited % 256 == 0)
                progress.step(visited);
            ImportRow row;
            row[ImportColumn::Klasse] = r.text(f.klasse).trimmed();
            row[ImportColumn::Name] = r.text(f.name);
            row[ImportColumn::Vorname] = r.text(f.vorname);
            row[ImportColumn::Geboren] = birthDate(r, f.geboren, source);
            row[ImportColumn::GebOrt] = r.text(f.gebOrt);
            row[ImportColumn::MW] = r.text(f.geschlecht).left(1);
            row[ImportColumn::Telefon] = r.text(f.telefon).trimmed();
            row[ImportColumn::Staats] = r.text(f.staat).trimmed();
            row[ImportColumn::Konf] = r.text(f.konf).trimmed();
            row[ImportColumn::PLZ] = r.text(f.plz).trimmed().left(15);
            row[ImportColumn::Ort] = r.text(f.ort).trimmed();
            row[ImportColumn::Strasse] = r.text(f.strasse).trimmed();
            row[ImportColumn::StammF1] = r.text(f.frei1).trimmed();
            row[ImportColumn::StammF2] = r.text(f.frei2).trimmed();
            if (sibank) {
                sibankSalutations(r, row);
                for (int i = 0; i < 4; ++i)
                    row[static_cast<size_t>(ImportColumn::WPK1 + i)] =
                        electiveName(r.text(QStringLiteral("WPK%1_FACH").arg(i + 1)), courses);
            }
            row[ImportColumn::AG1] = r.text(f.ag1).trimmed();
            row[ImportColumn::AG2] = r.text(f.ag2).trimmed();
            row[ImportColumn::AG3] = r.text(f.ag3).trimmed();
            if (!settings.AbgImport && hasLeft(r, now))
                continue;
            if (sibank) {
                row[ImportColumn::FOE1] = r.text(QStringLiteral("FOERDER1"));
                row[ImportColumn::FOE2] = r.text(QStringLiteral("FOERDER2"));
                QString levels;
                const std::pair<const char*, const char*> subjects[] = {
                    {"L_KU_MA_FA", "-M"}, {"L_KU_EN_FA", "-E"}, {"L_KU_DE_FA", "-D"}, {"L_KU_NW_FA", "-N"}};
                for (const auto& [field, marker] : subjects) {
                    const QString v = r.text(QLatin1String(field)).trimmed();
                    if (!v.isEmpty())
                        levels += QLatin1String(marker) + v.left(1);
                }
                row[ImportColumn::KM] = levels;
            }
            table.append(std::move(row));
        }
    } catch (const std::exception& e) {
        table.clear();
        ui.error(QStringLiteral("Die Datei ") + path.trimmed()
                 + QStringLiteral(" konnte nicht vollständig gelesen werden.\nEs wurden keine Daten übernommen.\n\n")
                 + QString::fromUtf8(e.what()));
        return false;
    }
    table.number();
    postProcess(table, settings, false);
    return true;
}

void reportDoubtfulRows(const ImportTable& table, Interaction& ui)
{
    const QStringList noDate = rowsWithoutBirthDate(table);
    const QStringList twice = duplicateStudents(table);
    QString text;
    const auto listed = [](const QStringList& lines) {
        QStringList shown = lines.mid(0, 20);
        if (lines.size() > 20)
            shown << QStringLiteral("... und %1 weitere").arg(lines.size() - 20);
        return shown.join(QLatin1Char('\n'));
    };
    if (!noDate.isEmpty())
        text += QStringLiteral("Ohne gültiges Geburtsdatum (keine Schüler-ID):\n") + listed(noDate) + QStringLiteral("\n\n");
    if (!twice.isEmpty())
        text += QStringLiteral("Doppelt vorhandene Schüler(-innen):\n") + listed(twice) + QStringLiteral("\n\n");
    if (!text.isEmpty())
        ui.warning(text + QStringLiteral("Bitte die Angaben in den erstellten Dateien prüfen!"));
}

QString dbaseWorkingCopy(const QString& chosen, WorkspaceFiles& files)
{
    const QFileInfo fi(resolvePath(chosen));
    if (!fi.isFile() || fi.fileName().compare(QStringLiteral("IMPORTX.DBF"), Qt::CaseInsensitive) == 0)
        return chosen;
    const QString copy = joinPath(fi.path(), QStringLiteral("IMPORTX.DBF"));
    return files.copyFile(fi.absoluteFilePath(), copy) ? resolvePath(copy) : chosen;
}

QStringList writeClassList(const ImportTable& table, const QString& workspace, WorkspaceFiles& files)
{
    QStringList list = importClasses(table);
    list.sort();
    list.prepend(QStringLiteral("ALLE"));
    const QString path = joinPath(workspace, QStringLiteral("KLASSEN.TXT"));
    QByteArray content;
    for (const QString& k : list)
        content += toAnsi(k) + "\r\n";
    if (writeFileSafely(resolvePath(path), content))
        files.createdFiles().registerFile(resolvePath(path));
    return list;
}

} // namespace zedora
