#include "exchange/sibank_format.h"

#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/dates.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/safe_file.h"
#include "base/workspace_files.h"
#include "core/settings.h"
#include "data/student_file_access.h"
#include "dbase/table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <stdexcept>

namespace zedora {
namespace {

std::string native(const QString& path)
{
    return QFileInfo(path).absoluteFilePath().toStdString();
}

QString mdxOf(const QString& dbf)
{
    return dbf.left(dbf.size() - 4) + QStringLiteral(".MDX");
}

void removeTable(const QString& dbf)
{
    for (const QString& p : {dbf, mdxOf(dbf), dbf.left(dbf.size() - 4) + QStringLiteral(".mdx")})
        QFile::remove(p);
}

struct RowError {
    QString text;
};

struct TextField {
    const char* field;
    int column;
};

// In the order they are set; GEBOREN is a date and set separately.
const TextField kTextFields[] = {
    {"NAME", ImportColumn::Name},       {"VORNAME", ImportColumn::Vorname},
    {"GESCHLECHT", ImportColumn::MW},   {"KLASSE", ImportColumn::Klasse},
    {"WPK1_FACH", ImportColumn::WPK1},  {"WPK2_FACH", ImportColumn::WPK2},
    {"WPK3_FACH", ImportColumn::WPK3},  {"WPK4_FACH", ImportColumn::WPK4},
    {"AG1", ImportColumn::AG1},         {"AG2", ImportColumn::AG2},
    {"AG3", ImportColumn::AG3},         {"FOERDER1", ImportColumn::FOE1},
    {"FOERDER2", ImportColumn::FOE2},
};
const TextField kTextFieldsAfterDate[] = {
    {"GEB_ORT", ImportColumn::GebOrt}, {"VON_SCHULE", ImportColumn::StammF2},
    {"STAAT", ImportColumn::Staats},   {"KONFESSION", ImportColumn::Konf},
    {"STRASSE", ImportColumn::Strasse}, {"PLZ", ImportColumn::PLZ},
    {"ORT", ImportColumn::Ort},         {"IDENT", ImportColumn::ZedoraID},
};

void fillRecord(dbase::Table& t, const ImportTable& table, int r)
{
    for (const TextField& f : kTextFields) {
        QString v = table.cell(r, f.column);
        if (f.column == ImportColumn::Klasse)
            v = v.trimmed();
        t.setText(f.field, toAnsiStd(v));
    }
    const QString levels = table.cell(r, ImportColumn::KM);
    const std::pair<const char*, char> subjects[] = {
        {"L_KU_MA_FA", 'M'}, {"L_KU_EN_FA", 'E'}, {"L_KU_DE_FA", 'D'}, {"L_KU_NW_FA", 'N'}};
    for (const auto& [field, letter] : subjects)
        t.setText(field, toAnsiStd(courseLevel(levels, QLatin1Char(letter))));
    const QString geboren = table.cell(r, ImportColumn::Geboren);
    const auto date = parseGermanDate(geboren);
    if (!date)
        throw RowError{QStringLiteral("Zeile %1 (").arg(r) + table.cell(r, ImportColumn::Name) + QStringLiteral(", ")
                       + table.cell(r, ImportColumn::Vorname) + QStringLiteral("): \"") + geboren
                       + QStringLiteral("\" ist kein gültiges Geburtsdatum.")};
    t.setValue("GEBOREN", dbase::Date{date->year(), date->month(), date->day()});
    for (const TextField& f : kTextFieldsAfterDate)
        t.setText(f.field, toAnsiStd(table.cell(r, f.column)));
}

} // namespace

std::vector<dbase::FieldDesc> sibankTemplateFields()
{
    // Sibank's own layout; the subject and group fields are wide enough for
    // the course names the school server delivers.
    const std::pair<const char*, int> text[] = {
        {"KLASSE", 10},     {"NAME", 30},      {"VORNAME", 30},    {"GEBOREN", 0},
        {"GEB_ORT", 30},    {"GESCHLECHT", 10}, {"TELEFON", 20},   {"STAAT", 25},
        {"KONFESSION", 25}, {"ORT", 30},       {"STRASSE", 40},    {"PLZ", 10},
        {"KL_LEHRER", 30},  {"VON_SCHULE", 40}, {"NAME_W", 30},    {"TITEL_W", 15},
        {"NAME_M", 30},     {"TITEL_M", 15},   {"ABGANG_DAT", 0},  {"WPK1_FACH", 30},
        {"WPK2_FACH", 30},  {"WPK3_FACH", 30}, {"WPK4_FACH", 30},  {"AG1", 30},
        {"AG2", 30},        {"AG3", 30},       {"FOERDER1", 25},   {"FOERDER2", 25},
        {"L_KU_MA_FA", 2},  {"L_KU_EN_FA", 2}, {"L_KU_DE_FA", 2},  {"L_KU_NW_FA", 2},
        {"SGL", 3},         {"IDENT", 15},
    };
    std::vector<dbase::FieldDesc> fields;
    for (const auto& [name, width] : text) {
        dbase::FieldDesc f;
        f.name = name;
        f.type = width == 0 ? 'D' : 'C';
        f.length = width == 0 ? 8 : width;
        fields.push_back(f);
    }
    return fields;
}

void writeSibankTemplate(const QString& path)
{
    const QFileInfo target(path);
    QDir().mkpath(target.path());
    const QString staging = joinPath(target.path(), QStringLiteral("sib-leer-neu.dbf"));
    QFile::remove(staging);
    dbase::Table::create(native(staging), sibankTemplateFields());
    QFile::remove(path);
    if (!QFile::rename(staging, path)) {
        QFile::remove(staging);
        throw std::runtime_error(toAnsiStd(QStringLiteral("Die Vorlage ") + path + QStringLiteral(" konnte nicht geschrieben werden.")));
    }
}

bool buildSibankIndexTags(const QString& dbfPath)
{
    try {
        dbase::Table::clearProductionIndexFlag(native(dbfPath));
        auto t = dbase::Table::open(native(dbfPath), dbase::OpenMode::Exclusive);
        t->addIndexTag("GESCH", "UPPER(KLASSE)+GESCHLECHT+UPPER(left(NAME,10))+left(VORNAME,10)", false);
        t->addIndexTag("UNIKLAS", "UPPER(KLASSE)", true);
        t->addIndexTag("SGL", "upper(sgl+klasse)+upper(left(name,10))", false);
        t->addIndexTag("INDIV", "dtos(GEBOREN)+upper(left(NAME,10))+left(VORNAME,5)", false);
        t->addIndexTag("KLASSE", "upper(KLASSE)+upper(left(NAME,10))+left(VORNAME,10)", false);
        t->addIndexTag("NAME", "upper(left(NAME,12))+left(VORNAME,10)", false);
        t->addIndexTag("SGLKLAS", "SGL+KLASSE", true);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QString sibankTargetName(const QString& chosen)
{
    const QFileInfo fi(chosen);
    const QString dir = chosen.left(chosen.size() - fi.fileName().size());
    QString name = fi.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return dir + name + QStringLiteral(".DBF");
}

QString conversionTarget(const QString& workspace)
{
    return joinPath(resolveIn(workspace, QStringLiteral("TMP")), QStringLiteral("TolvoToSibank.DBF"));
}

bool writeSibankFile(const ImportTable& table, const QString& target, const QString& workspace,
                     Interaction& ui, WorkspaceFiles& files)
{
    BusyScope busy(ui);
    const QString dbf = resolvePath(target);
    const QFileInfo fi(dbf);
    QDir().mkpath(fi.path());
    const QString staging = joinPath(fi.path(), QStringLiteral("~") + fi.completeBaseName() + QStringLiteral(".DBF"));
    const QString templ = resolveIn(workspace, QStringLiteral("MUSTER\\sib-leer.mst"));
    const auto fail = [&](const QString& why) {
        removeTable(staging);
        ui.error(QStringLiteral("Die Datei im Sibank-Format wurde nicht erstellt:\n") + why
                 + (QFileInfo::exists(dbf) ? QStringLiteral("\nDie vorhandene Datei ") + dbf + QStringLiteral(" ist unverändert.")
                                           : QString()));
        return false;
    };
    removeTable(staging);
    if (!pathExists(templ) || !copyFileSafely(templ, staging))
        return fail(QStringLiteral("Die Vorlage ") + templ + QStringLiteral(" fehlt oder ist nicht lesbar."));
    try {
        auto t = dbase::Table::open(native(staging), dbase::OpenMode::Exclusive);
        t->setWriteThrough(false);
        for (int r = 1; r < table.rowCount(); ++r) {
            t->append();
            fillRecord(*t, table, r);
            t->post();
        }
        t->flush();
    } catch (const RowError& e) {
        return fail(e.text);
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
    if (!buildSibankIndexTags(staging))
        return fail(QStringLiteral("Die Indizes konnten nicht angelegt werden."));
    // Replaced as a whole, only once the new file is complete.
    ReplaceOutcome outcome = ReplaceOutcome::Failed;
    try {
        outcome = replaceTable(dbf, stagedTableFor(dbf, staging));
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
    if (outcome == ReplaceOutcome::InUse)
        return fail(inUseMessage(dbf, QStringLiteral("überschrieben")).trimmed());
    if (outcome != ReplaceOutcome::Done)
        return fail(QStringLiteral("Die Datei ") + dbf + QStringLiteral(" konnte nicht ersetzt werden."));
    files.createdFiles().registerFile(dbf);
    files.createdFiles().registerFile(mdxOf(dbf));
    ui.info(QStringLiteral("DBF-Datei im Sibank-Format im Verzeichnis\n\n") + QDir::toNativeSeparators(fi.path())
            + QStringLiteral("\n\n") + QStringLiteral("erstellt!\n"));
    return true;
}

SibankResult convertToSibank(const ImportTable& table, bool conversionMode, const QString& workspace,
                     Settings& settings, Interaction& ui, WorkspaceFiles& files)
{
    QString target;
    if (conversionMode) {
        files.createDirectory(joinPath(workspace, QStringLiteral("TMP")));
        target = conversionTarget(workspace);
    } else {
        const QFileInfo current(settings.SibankDatei);
        const auto chosen = ui.saveFile(QStringLiteral("Im Sibank-Format speichern ..."),
                                        QStringLiteral("Sibank-Dateien (S*.DBF) (#S_20*.dbf)"),
                                        current.path(), current.fileName());
        if (chosen && !chosen->trimmed().isEmpty()) {
            target = sibankTargetName(chosen->trimmed());
            if (pathExists(target)
                && ui.ask(QStringLiteral("Datei ist bereits vorhanden, soll sie überschrieben werden?\n"),
                          Buttons::YesNoCancel) != Answer::Yes)
                target.clear();
        }
        if (target.isEmpty()) {
            ui.warning(QStringLiteral("Datei wurde nicht angelegt!"));
            return SibankResult::Refused;
        }
    }
    settings.SibankDatei = target.left(200);
    return writeSibankFile(table, target, workspace, ui, files) ? SibankResult::Written : SibankResult::Failed;
}

} // namespace zedora
