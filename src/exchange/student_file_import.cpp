#include "exchange/student_file_import.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "data/student_file_access.h"
#include "data/student_files.h"
#include "dbase/table.h"

#include <QFileInfo>
#include <stdexcept>

namespace zedora {
namespace {

QString withDbfExtension(const QString& path)
{
    const QFileInfo fi(path);
    QString name = fi.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    const QString dir = path.left(path.size() - fi.fileName().size());
    return dir + name + QStringLiteral(".DBF");
}

// 5 a/b -> 5_A_B, 10.1.2 -> 10_1.2: the first '/', blank and '.' each.
QString classFileName(const QString& klasse)
{
    QString name = upperAscii(klasse).trimmed();
    for (QChar c : {QLatin1Char('/'), QLatin1Char(' '), QLatin1Char('.')}) {
        const qsizetype at = name.indexOf(c);
        if (at >= 0)
            name[at] = QLatin1Char('_');
    }
    return name.left(10);
}

void setField(dbase::Table& t, const char* field, const QString& value)
{
    const int index = t.findField(field);
    if (index >= 0)
        t.setText(index, toAnsiStd(value));
}

QString question(const QString& fileName, const QString& dataDirectory)
{
    return QStringLiteral("Die Datei ") + fileName + QStringLiteral("\n\n") + QStringLiteral("im Notenverzeichnis ")
         + dataDirectory + QStringLiteral("\n\n") + QStringLiteral("wird erstellt!\n");
}

bool makeAndFill(const QString& path, ImportTable& table, const ClassFilter& filter,
                 const StudentFileContext& ctx, std::vector<CreatedFile>& created, bool nameRefusals)
{
    int students = 0;
    // Filled beside and only then put in place of an existing class.
    const auto fill = [&](const QString& staging) { students = fillStudentFile(staging, table, filter); };
    if (!createStudentFile(path, ctx, fill)) {
        // Without the question before each file the user would not know which one is missing.
        if (nameRefusals)
            ctx.ui.warning(QStringLiteral("Die Datei ") + withDbfExtension(path) + QStringLiteral(" wurde nicht angelegt."));
        return false;
    }
    created.push_back(CreatedFile{resolvePath(withDbfExtension(path)), students});
    return true;
}

} // namespace

QString proposedFileName(const QString& dataDirectory, bool perClass)
{
    return perClass ? QStringLiteral("%KL%") + dataDirectory.mid(2, 7) : QStringLiteral("Alle");
}

int fillStudentFile(const QString& dbfPath, ImportTable& table, const ClassFilter& filter)
{
    auto t = openToEdit(dbfPath);
    t->setWriteThrough(false);
    int written = 0;
    for (int r = 1; r < table.rowCount(); ++r) {
        ImportRow& row = table.row(r);
        if (!filter.passes(row[ImportColumn::Klasse]))
            continue;
        wrapSalutations(row);
        t->append();
        setField(*t, "NAME", row[ImportColumn::Name]);
        setField(*t, "VORNAME", row[ImportColumn::Vorname]);
        setField(*t, "MW", row[ImportColumn::MW]);
        setField(*t, "KLASSE", row[ImportColumn::Klasse].trimmed());
        setField(*t, "GEBOREN", row[ImportColumn::Geboren]);
        setField(*t, "GEBORT", row[ImportColumn::GebOrt]);
        setField(*t, "TELEFON", row[ImportColumn::Telefon]);
        setField(*t, "STAATS", row[ImportColumn::Staats]);
        setField(*t, "KONF", row[ImportColumn::Konf]);
        setField(*t, "STRASSE", row[ImportColumn::Strasse]);
        setField(*t, "PLZ", row[ImportColumn::PLZ]);
        setField(*t, "ORT", row[ImportColumn::Ort]);
        setField(*t, "STAMMF1", row[ImportColumn::StammF1]);
        setField(*t, "STAMMF2", row[ImportColumn::StammF2]);
        setField(*t, "ANR1", row[ImportColumn::ANR1]);
        setField(*t, "ANR2", row[ImportColumn::ANR2]);
        setField(*t, "AG1", row[ImportColumn::AG1]);
        setField(*t, "AG2", row[ImportColumn::AG2]);
        setField(*t, "AG3", row[ImportColumn::AG3]);
        setField(*t, "FOE1", row[ImportColumn::FOE1]);
        setField(*t, "FOE2", row[ImportColumn::FOE2]);
        const QString levels = row[ImportColumn::KM];
        const std::pair<const char*, char> subjects[] = {{"KM", 'M'}, {"KE", 'E'}, {"KD", 'D'}, {"KX", 'N'}};
        for (const auto& [field, letter] : subjects) {
            if (levels.contains(QStringLiteral("-") + QLatin1Char(letter)))
                setField(*t, field, courseLevel(levels, QLatin1Char(letter)));
        }
        setField(*t, "WPK1", row[ImportColumn::WPK1]);
        setField(*t, "WPK2", row[ImportColumn::WPK2]);
        setField(*t, "WPK3", row[ImportColumn::WPK3]);
        setField(*t, "WPK4", row[ImportColumn::WPK4]);
        setField(*t, "ID", row[ImportColumn::ZedoraID]);
        t->post();
        ++written;
    }
    t->flush();
    return written;
}

std::vector<CreatedFile> createStudentFiles(ImportTable& table, const CreateRequest& req,
                                            const StudentFileContext& ctx)
{
    std::vector<CreatedFile> created;
    Interaction& ui = ctx.ui;
    const QStringList classes = importClasses(table);
    if (table.studentCount() <= 0 || classes.isEmpty()) {
        ui.info(QStringLiteral("Es ist keine Erstellung möglich,\n\nweil keine Daten bereit stehen!\n"));
        return created;
    }
    const QString dir = req.dataDirectory.trimmed();
    if (req.fileName.trimmed().isEmpty() || dir.isEmpty()) {
        ui.warning(QStringLiteral("Keinen Dateinamen bzw. kein Verzeichnis gewählt!"));
        return created;
    }
    const QString dirPath = joinPath(ctx.workspace, dir);
    const QString target = withDbfExtension((dirPath + QLatin1Char('/') + req.fileName.trimmed()).left(250));
    ClassFilter filter;
    BusyScope busy(ui);

    if (req.perClass) {
        const QString name = upperAscii(QFileInfo(target).fileName()).left(30);
        if (!name.startsWith(QStringLiteral("%KL%"))) {
            ui.warning(QStringLiteral("Mit dem angegebenen Dateinamen können\nnicht verschiedene Dateien erstellt werden!"));
            return created;
        }
        const QString suffix = name.mid(4, 24);
        QStringList chosen;
        if (req.selected.contains(QStringLiteral("ALLE")) || req.selected.isEmpty())
            chosen = classes;
        else
            for (const QString& k : classes)
                if (req.selected.contains(k))
                    chosen << k;
        chosen.sort();
        ProgressScope progress(ui, QStringLiteral("Dateien werden erstellt ..."), static_cast<int>(chosen.size()));
        int done = 0;
        for (const QString& klasse : chosen) {
            progress.step(done++);
            filter.text = QLatin1Char('#') + klasse + QLatin1Char('#');
            filter.all = false;
            const QString fileName = classFileName(klasse) + suffix;
            const QString path = (dirPath + QLatin1Char('/') + fileName).left(200);
            const Answer a = req.confirmEach ? ui.ask(question(fileName, dir), Buttons::YesNoCancel) : Answer::Yes;
            if (a == Answer::Cancel)
                break;
            if (a == Answer::Yes)
                makeAndFill(path, table, filter, ctx, created, !req.confirmEach);
        }
        return created;
    }

    const bool all = req.selected.contains(QStringLiteral("ALLE")) || req.selected.isEmpty();
    for (const QString& k : req.selected) {
        if (k == QStringLiteral("ALLE"))
            continue;
        filter.text += k + QLatin1Char('#');
        filter.all = false;
    }
    QString paragraph;
    if (req.source == ImportSource::Dbase)
        paragraph = QStringLiteral("Die Stammdaten ")
                  + (all ? QStringLiteral("ALLER Schüler(-innen)") : QStringLiteral("der Schüler(-innen) der gewählten Klassen"))
                  + QStringLiteral("\n") + QStringLiteral("werden dann in diese Datei eingetragen!\n\n");
    const Answer a = req.confirmEach
                         ? ui.ask(question(QFileInfo(target).fileName(), dir) + paragraph + QStringLiteral("\n")
                                      + QStringLiteral("Beginnen?"),
                                  Buttons::YesNoCancel)
                         : Answer::Yes;
    if (a != Answer::Yes)
        return created;
    const size_t before = created.size();
    if (!makeAndFill(target, table, filter, ctx, created, !req.confirmEach) && created.size() == before)
        ui.warning(QStringLiteral("Datei konnte nicht erstellt werden!"));
    return created;
}

} // namespace zedora
