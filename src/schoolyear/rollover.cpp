#include "schoolyear/rollover.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/safe_file.h"
#include "data/file_assignments.h"
#include "data/student_files.h"
#include "data/student_schema.h"
#include "dbase/error.h"
#include "dbase/index.h"
#include "dbase/raw_file.h"
#include "data/student_file_access.h"
#include "dbase/table.h"
#include "schoolyear/code_lists.h"
#include "schoolyear/rollover_comparison.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <memory>

namespace zedora {
namespace {

std::string native(const QString& path) { return QFileInfo(path).absoluteFilePath().toStdString(); }

QString companion(const QString& dbf, const char* ext)
{
    return QString::fromStdString(dbase::companionPath(native(dbf), ext));
}

const char* const kParts[] = {".DBF", ".DBT", ".MDX", ".INI"};

void removeScratch(const QString& scratch)
{
    for (const char* ext : kParts)
        QFile::remove(companion(scratch, ext));
}

// Copies every record by field name, so an older file takes today's form.
int copyRecords(dbase::Table& from, dbase::Table& to)
{
    std::vector<std::pair<int, int>> fields; // from, to
    for (int i = 0; i < to.fieldCount(); ++i) {
        const int f = from.findField(to.field(i).name);
        if (f >= 0 && (from.field(f).type == 'M') == (to.field(i).type == 'M'))
            fields.emplace_back(f, i);
    }
    int copied = 0;
    for (from.first(); !from.eof() && !from.isEmpty(); from.next()) {
        to.append();
        for (const auto& [f, t] : fields) {
            if (to.field(t).type == 'M') {
                const std::string memo = from.memo(f);
                if (!memo.empty())
                    to.setMemo(t, memo);
            } else {
                to.setText(t, from.textView(f));
            }
        }
        to.post();
        ++copied;
    }
    return copied;
}

void setClass(dbase::Table& t, const QString& klasse)
{
    const std::string value = toAnsiStd(klasse);
    for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
        t.edit();
        t.setText("KLASSE", value);
        t.post();
    }
}

int clearColumns(dbase::Table& t, const QStringList& names, Interaction& ui)
{
    std::vector<int> fields;
    for (const QString& n : names) {
        const int f = t.findField(toAnsiStd(upperAscii(n.trimmed())));
        if (f >= 0 && std::find(fields.begin(), fields.end(), f) == fields.end())
            fields.push_back(f);
    }
    if (fields.empty())
        return 0;
    // Removed students still occupy records; only the live ones count.
    int total = 0;
    for (t.first(); !t.eof() && !t.isEmpty(); t.next())
        ++total;
    ProgressScope progress(ui, QStringLiteral("Spalteninhalte werden gelöscht ..."), total);
    int done = 0;
    for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
        t.edit();
        for (const int f : fields) {
            if (t.field(f).type == 'M')
                t.setMemo(f, {});
            else
                t.setText(f, {});
        }
        t.post();
        progress.step(++done);
    }
    return int(fields.size());
}

bool isDataDirectoryName(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^ZE-\\d{4}-[0-2]$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

} // namespace

QStringList comparisonFieldNames()
{
    return {"NAME", "VORNAME", "KLASSE", "GEBOREN", "GEB_ORT", "GESCHLECHT", "STAAT", "AG1", "AG2", "AG3",
            "FOERDER1", "FOERDER2", "L_KU_MA_FA", "L_KU_EN_FA", "WPK1_FACH", "WPK2_FACH", "WPK3_FACH",
            "WPK4_FACH"};
}

QString rolloverTarget(const RolloverRequest& r)
{
    QString name = lastComponent(r.newName.trimmed());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    const QString dir = resolvePath(joinPath(r.workspace, r.dataDirectory.trimmed()));
    return joinPath(dir, upperAscii(name) + QStringLiteral(".DBF")).left(250);
}

std::optional<RolloverCounts> rollOver(const RolloverRequest& r, const RolloverSettings& s,
                                       Interaction& ui, const RolloverHook& hook)
{
    const auto step = [&](RolloverStep st) {
        if (hook)
            hook(st);
    };
    const QString source = resolvePath(r.sourcePath);
    const QString dirName = r.dataDirectory.trimmed();
    if (!isDataDirectoryName(dirName) || QFileInfo(resolvePath(joinPath(r.workspace, dirName))).isFile()) {
        ui.error(QStringLiteral("Das Zielverzeichnis ") + dirName
                 + QStringLiteral(" ist kein Datenverzeichnis (ZE-JJZZ-H)!"));
        return std::nullopt;
    }
    QString name = r.newName.trimmed();
    if (name.isEmpty()) {
        ui.error(QStringLiteral("Neuer Dateiname fehlt"));
        return std::nullopt;
    }
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.startsWith(QLatin1Char('.'))) {
        ui.error(QStringLiteral("Der Dateiname ") + name + QStringLiteral(" ist nicht zulässig!"));
        return std::nullopt;
    }
    const QString target = rolloverTarget(r);
    if (upperAscii(QFileInfo(target).absoluteFilePath()) == upperAscii(QFileInfo(source).absoluteFilePath())) {
        ui.error(QStringLiteral("Das geht nicht, es ist die aktuelle Datei!"));
        return std::nullopt;
    }
    if (!QFileInfo(source).isFile()) {
        ui.error(QStringLiteral("Die aktuelle Datei ") + source + QStringLiteral(" ist nicht vorhanden!"));
        return std::nullopt;
    }
    // A replacement killed earlier is finished first, so the question below
    // is about the file as it really is.
    finishInterruptedReorganisation(target);
    std::unique_ptr<dbase::Table> heldTarget;
    if (QFileInfo(target).exists()) {
        if (ui.ask(QStringLiteral("Datei ist bereits vorhanden!\nSoll sie überschrieben werden?\n"),
                   Buttons::YesNoCancel) != Answer::Yes)
            return std::nullopt;
        try {
            // Held until it is replaced: nobody may work in it meanwhile.
            heldTarget = dbase::Table::open(native(target), dbase::OpenMode::ExclusiveWithoutIndex);
        } catch (const std::exception&) {
            ui.error(QStringLiteral("Die Datei ") + QFileInfo(target).fileName()
                     + QStringLiteral(" wird gerade auf einem anderen Computer benutzt\n"
                                      "und kann jetzt nicht überschrieben werden!"));
            return std::nullopt;
        }
    }
    const QString klasse = r.newClass.trimmed();
    if (r.compare && !QFileInfo(r.compareFile).isFile()) {
        ui.error(QStringLiteral("Abgleichdatei ist nicht vorhanden,\nbitte \"Bereitstellung\" anwählen!"));
        return std::nullopt;
    }
    const int classWidth = findStudentField(QStringLiteral("KLASSE"))->width;
    if (klasse.size() > classWidth) {
        ui.error(QStringLiteral("Der Klassenname ") + klasse + QStringLiteral(" ist zu lang (höchstens ")
                 + QString::number(classWidth) + QStringLiteral(" Zeichen)!"));
        return std::nullopt;
    }
    // Without a class the comparison would find no one and remove everyone.
    if (r.compare && klasse.isEmpty()) {
        ui.error(QStringLiteral("Für den Abgleich muss angegeben sein, welche Klasse die neue Datei enthält!"));
        return std::nullopt;
    }
    std::unique_ptr<dbase::Table> comparison;
    if (r.compare) {
        try {
            comparison = openToRead(r.compareFile).table;
        } catch (const std::exception&) {
            ui.error(QStringLiteral("Die Abgleichdatei ") + r.compareFile
                     + QStringLiteral("\nist keine Datei im Sibank-Format!"));
            return std::nullopt;
        }
        const QStringList missing = missingComparisonFields(*comparison);
        if (!missing.isEmpty()) {
            ui.error(QStringLiteral("In der Abgleichdatei ") + r.compareFile + QStringLiteral("\nfehlen die Felder ")
                     + missing.join(QStringLiteral(", ")) + QLatin1Char('!'));
            return std::nullopt;
        }
    }
    if (ui.ask(QStringLiteral("Folgende Schritte werden durchgeführt:\n\n1. Kopie der aktuellen Datei wird unter "
                              "angegebenem Namen erstellt!\n\n2. Markierte Spalteninhalte werden gelöscht!\n\n")
                   + (r.compare ? QStringLiteral("3. Ein Abgleich mit der Schülerdatei wird durchgeführt!")
                                : QStringLiteral("3. Ein Abgleich mit der Schülerdatei wird NICHT durchgeführt!"))
                   + QStringLiteral("\n\n") + QStringLiteral(" S T A R T ?"),
               Buttons::YesNoCancel) != Answer::Yes)
        return std::nullopt;
    step(RolloverStep::Checked);

    BusyScope busy(ui);
    const QString tmpDir = resolvePath(joinPath(r.workspace, QStringLiteral("TMP")));
    QDir().mkpath(tmpDir);
    QDir().mkpath(QFileInfo(target).absolutePath());
    const QString computer = s.computerName.isEmpty() ? QStringLiteral("PC") : s.computerName;
    const QString scratch = joinPath(tmpDir, computer + QLatin1Char('-') + upperAscii(dirName) + QLatin1Char('-')
                                                 + QFileInfo(target).completeBaseName() + QStringLiteral(".DBF"));
    removeScratch(scratch);

    RolloverCounts counts;
    try {
        {
            // The current file is only read.
            auto from = openToRead(source).table;
            std::vector<std::string> names;
            for (int i = 0; i < from->fieldCount(); ++i)
                names.push_back(from->field(i).name);
            if (!hasStudentFileFields(names))
                throw dbase::DbfError(QStringLiteral("%1 ist keine Schülerdatei").arg(source).toStdString());
            dbase::Table::create(native(scratch), studentFileFields());
            auto to = dbase::Table::open(native(scratch), dbase::OpenMode::Exclusive);
            counts.copied = copyRecords(*from, *to);
            step(RolloverStep::Copied);
            if (!klasse.isEmpty())
                setClass(*to, klasse);
            step(RolloverStep::ClassRenamed);
            if (comparison) {
                if (!isClassFile(*to)) {
                    ui.info(QStringLiteral("Ein Abgleich mit der Schülerdatei\nkann nur durchgeführt werden, wenn es "
                                           "sich um\neine Klassendatei handelt. Das ist bei dieser Datei\nnicht so!\n\n"));
                } else {
                    ComparisonOptions o;
                    o.klasse = upperAscii(klasse).left(10);
                    o.keepWorkingGroups = r.keepWorkingGroups;
                    o.keepElectives = r.keepElectives;
                    o.leaversToo = s.leaversToo;
                    o.female = s.female;
                    o.male = s.male;
                    o.now = s.now;
                    o.workingGroups = readCodeList(resolvePath(joinPath(r.codeListFolder, QStringLiteral("AG.TXT"))));
                    o.electives = readCodeList(resolvePath(joinPath(r.codeListFolder, QStringLiteral("WPK.TXT"))));
                    ProgressScope progress(ui, QStringLiteral("Abgleich mit der Schülerdatei ..."),
                                           int(comparison->recordCount()));
                    o.progress = [&progress](int done, int) { progress.step(done); };
                    const ComparisonCounts c = compareWithAdministration(*to, *comparison, o);
                    counts.added = c.added;
                    counts.left = c.removed;
                    counts.refreshed = c.refreshed;
                    counts.compared = true;
                    ui.info(QString::number(c.added) + QStringLiteral(" Schüler wurde(n) ergänzt \n\n")
                            + QString::number(c.removed) + QStringLiteral(" Schüler wurde(n) entfernt!\n"));
                }
            }
            step(RolloverStep::Compared);
            counts.cleared = clearColumns(*to, r.clearFields, ui);
            to->flush();
            step(RolloverStep::ColumnsCleared);
        }
        comparison.reset();
        {
            auto indexed = dbase::Table::open(native(scratch), dbase::OpenMode::Exclusive);
            for (const dbase::TagSpec& tag : studentIndexTagSpecs())
                indexed->addIndexTag(tag.name, tag.expression, tag.unique);
            indexed->flush();
        }
        // The index must carry the name the file will have.
        dbase::MdxIndex::renameTable(native(companion(scratch, ".MDX")),
                                     QFileInfo(target).completeBaseName().toStdString());
        const QString sourceIni = assignmentsPath(source);
        if (QFileInfo(sourceIni).isFile() && !copyFileSafely(sourceIni, companion(scratch, ".INI")))
            throw dbase::DbfError("INI");
        step(RolloverStep::Indexed);
    } catch (const std::exception& e) {
        removeScratch(scratch);
        ui.error(QStringLiteral("Die neue Datei konnte nicht erstellt werden:\n") + QString::fromLocal8Bit(e.what())
                 + QStringLiteral("\nDie aktuelle Datei ist unverändert."));
        return std::nullopt;
    }

    // The table comes last: until it is in place there is no new file. An
    // old file's assignments do not belong to the new one.
    std::vector<MovePart> parts;
    for (const char* ext : {".DBT", ".MDX", ".INI", ".DBF"}) {
        const QString from = companion(scratch, ext);
        if (QFileInfo::exists(from) || QLatin1String(ext) == QLatin1String(".INI"))
            parts.push_back({QString::fromLatin1(ext), QFileInfo::exists(from) ? from : QString()});
    }
    const RolloverStep placed[] = {RolloverStep::MemosPlaced, RolloverStep::IndexPlaced,
                                   RolloverStep::AssignmentsPlaced, RolloverStep::TablePlaced};
    bool ok = moveTableIntoPlace(target, parts, [&](int moved) {
        if (moved == 0) {
            step(RolloverStep::JournalWritten);
            step(RolloverStep::OldTargetRemoved);
        } else {
            step(placed[std::min(moved, 4) - 1]);
        }
    });
    heldTarget.reset();
    if (!ok)
        ok = finishPendingMove(target) == PendingMove::Finished && QFileInfo::exists(target);
    // Parts a journal still names are left for whoever finishes it.
    if (ok || !QFileInfo::exists(journalPathOf(target)))
        removeScratch(scratch);
    if (!ok) {
        ui.error(QStringLiteral("Die neue Datei konnte nicht in ") + dirName
                 + QStringLiteral(" abgelegt werden.\nDie aktuelle Datei ist unverändert."));
        return std::nullopt;
    }
    step(RolloverStep::Done);
    return counts;
}

} // namespace zedora
