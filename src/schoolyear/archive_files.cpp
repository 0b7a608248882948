#include "schoolyear/archive_files.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "data/student_file_access.h"
#include "dbase/table.h"

#include <QDir>
#include <QFileInfo>

#include <set>

namespace zedora {
namespace {

bool hasIndex(const QString& dbf)
{
    return pathExists(dbf.left(dbf.size() - 4) + QStringLiteral(".MDX"));
}

QString studentName(const dbase::Table& t)
{
    const int name = t.findField("NAME"), vorname = t.findField("VORNAME");
    QString out = name >= 0 ? fromAnsi(t.text(name)).trimmed() : QString();
    if (vorname >= 0)
        out += QStringLiteral(", ") + fromAnsi(t.text(vorname)).trimmed();
    return out;
}

// Fields are copied by position, so the source must hold the archive's
// fields at the same places; anything else would scramble the archive.
bool sameLayout(const dbase::Table& source, const dbase::Table& target)
{
    if (source.fieldCount() < target.fieldCount())
        return false;
    for (int i = 0; i < target.fieldCount(); ++i)
        if (source.field(i).name != target.field(i).name || source.field(i).type != target.field(i).type)
            return false;
    return true;
}

} // namespace

bool isArchiveName(const QString& baseName)
{
    const QString n = baseName.toUpper();
    if (n.size() < 8)
        return false;
    const auto in = [&](int pos, const char* allowed) {
        return QString::fromLatin1(allowed).contains(n.at(pos - 1));
    };
    // Any decade: restricting the year digits to 9, 0 and 1 would refuse
    // every school year from 2020 on.
    return in(1, "A") && in(2, "0123456789") && in(4, "-") && in(5, "0123456789") && in(7, "-") && in(8, "12");
}

QString archivePathFor(const QString& workspace, const QString& chosenName)
{
    QString base = lastComponent(QString(chosenName).replace(QLatin1Char('\\'), QLatin1Char('/')));
    if (base.endsWith(QLatin1String(".DBF"), Qt::CaseInsensitive))
        base.chop(4);
    return joinPath(workspace, QStringLiteral("ARCHIV/")) + base.toUpper() + QStringLiteral(".DBF");
}

std::optional<QString> createArchiveFile(const QString& chosenName, const StudentFileContext& context)
{
    const QString path = archivePathFor(context.workspace, chosenName);
    const QString base = QFileInfo(path).completeBaseName();
    if (!isArchiveName(base)) {
        context.ui.error(kArchiveNameError);
        return std::nullopt;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (pathExists(path)) {
        context.ui.beep();
        context.ui.error(kArchiveExists);
        return std::nullopt;
    }
    if (!createEmptyStudentFile(path, context))
        return std::nullopt;
    return path;
}

std::optional<ArchiveTransfer> transferIntoArchive(const QString& sourcePath, const QString& archivePath,
                                                   const StudentFileContext& context,
                                                   const std::function<void(int)>& afterRecord)
{
    const QString source = resolvePath(sourcePath), target = resolvePath(archivePath);
    if (QFileInfo(source) == QFileInfo(target)) {
        context.ui.error(QStringLiteral("Eine Archivdatei kann nicht in sich selbst übertragen werden!"));
        return std::nullopt;
    }
    for (const QString& f : {source, target})
        if (!hasIndex(f) && !reorganiseStudentFile(f, context))
            return std::nullopt;
    ArchiveTransfer t;
    try {
        OpenedTable read = openToRead(source);
        auto& from = read.table;
        auto into = openToEdit(target);
        if (!sameLayout(*from, *into)) {
            context.ui.error(QStringLiteral("Die Datei %1 hat nicht den Aufbau der Archivdatei %2!\n\n"
                                            "Übertragung nicht möglich.")
                                 .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(target)));
            return std::nullopt;
        }
        // Each ID is taken once whatever the order.
        if (!read.withoutIndex)
            from->selectTag("ID");
        into->selectTag("ID");
        const int id = from->fieldIndex("ID");
        std::set<std::string> seen;
        for (from->first(); !from->isEmpty() && !from->eof(); from->next()) {
            std::string key = from->text(id);
            while (!key.empty() && key.back() == ' ')
                key.pop_back();
            if (key.empty()) {
                t.withoutId << studentName(*from);
                continue;
            }
            if (!seen.insert(key).second) {
                t.duplicateId << studentName(*from);
                continue;
            }
            if (into->findKey(key)) {
                into->edit();
                ++t.updated;
            } else {
                into->append();
                ++t.added;
            }
            for (int i = 0; i < into->fieldCount(); ++i) {
                if (into->field(i).type == 'M')
                    into->setMemo(i, from->memo(i));
                else
                    into->setText(i, from->text(i));
            }
            into->post();
            if (afterRecord)
                afterRecord(t.added + t.updated);
        }
    } catch (const std::exception& e) {
        context.ui.error(QStringLiteral("Fehler beim Übertragen in %1:\n%2")
                             .arg(QDir::toNativeSeparators(target), QString::fromLocal8Bit(e.what())));
        return std::nullopt;
    }
    return t;
}

QString transferReport(const QString& archivePath, const ArchiveTransfer& t)
{
    QString text = QStringLiteral("Datei ") + QDir::toNativeSeparators(archivePath) + QStringLiteral(":") +
                   QStringLiteral("\n\n") + QStringLiteral("   Datensätze neu angelegt: ") + QString::number(t.added) +
                   QStringLiteral("\n") + QStringLiteral("   Datensätze aktualisiert: ") + QString::number(t.updated);
    if (!t.withoutId.isEmpty())
        text += QStringLiteral("\n\nOhne ID nicht übertragen: ") + t.withoutId.join(QStringLiteral("; "));
    if (!t.duplicateId.isEmpty())
        text += QStringLiteral("\n\nDoppelte ID, nicht übertragen: ") + t.duplicateId.join(QStringLiteral("; "));
    return text;
}

} // namespace zedora
