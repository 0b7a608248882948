#include "exchange/export_mail_merge_run.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "core/settings.h"
#include "data/student_table.h"

#include <QDir>
#include <QFileInfo>

namespace zedora {
namespace {

// The file's columns: the shown fields in the order of the student file.
// NAME and VORNAME lead every line already; a second column of the same
// name would leave the word processor guessing which one a letter means.
QStringList columnsOf(const StudentTable& table, const QStringList& shown)
{
    QStringList wanted;
    for (const QString& f : shown)
        wanted << upperAscii(f.trimmed());
    QStringList columns;
    for (int i = 0; i < table.fieldCount(); ++i) {
        const QString name = upperAscii(table.fieldName(i));
        if (name == QLatin1String("NAME") || name == QLatin1String("VORNAME"))
            continue;
        if (wanted.contains(name) && !columns.contains(name))
            columns << name;
    }
    return columns;
}

} // namespace

std::optional<QString> exportMailMerge(Interaction& ui, StudentTable& table, const Settings& settings,
                                       const MailMergeRequest& request, const MailMergeMeanings& meanings)
{
    const auto chosen = ui.saveFile(QStringLiteral("Seriendruckdatei speichern unter ..."),
                                    QStringLiteral("Seriendruckdateien (*.doc)"), request.workspace,
                                    kMailMergeDefaultName);
    if (!chosen || chosen->trimmed().isEmpty())
        return std::nullopt;
    QString path = mailMergeFileName(*chosen);
    if (QFileInfo(path).isRelative())
        path = joinPath(request.workspace, path);
    path = resolvePath(path);
    if (QFileInfo::exists(path)) {
        ui.beep();
        if (ui.ask(QStringLiteral("Datei existiert bereits!\n\nSoll sie überschrieben werden?\n"),
                   Buttons::YesNoCancel) != Answer::Yes)
            return std::nullopt;
    }
    const QString klasse = table.value(QStringLiteral("KLASSE")).trimmed().left(5);
    if (ui.ask(QStringLiteral("Die aktuelle Klasse (") + klasse + QStringLiteral(") wird in die Datei\n\n") +
                   QDir::toNativeSeparators(path) + QStringLiteral("\n\n") + QStringLiteral("exportiert!\n\n"),
               Buttons::YesNoCancel) != Answer::Yes)
        return std::nullopt;

    BusyScope busy(ui);
    const QString ownTag = table.tag();
    table.setTag(settings.Sortierung == 2 ? QStringLiteral("MW") : QStringLiteral("KLASSE"));
    const QStringList columns = columnsOf(table, request.shownFields);
    QVector<int> fields;
    for (const QString& c : columns)
        fields << table.findField(c);
    const int name = table.findField(QStringLiteral("NAME"));
    const int vorname = table.findField(QStringLiteral("VORNAME"));
    QVector<QStringList> rows;
    rows.reserve(table.rowCount());
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList line{table.valueAt(row, name), table.valueAt(row, vorname)};
        for (int i = 0; i < fields.size(); ++i)
            line << mailMergeColumn(columns[i], table.valueAt(row, fields[i]), meanings);
        line << settings.AusgabeOrt << settings.AusgabeDatum << settings.AusgabeDatum2 << settings.Halbjahr
             << settings.Schuljahr;
        rows << line;
    }
    const QString failure = writeMailMergeFile(path, mailMergeHeader(columns), rows);
    table.setTag(ownTag);
    table.first();
    if (!failure.isEmpty()) {
        ui.error(failure);
        return std::nullopt;
    }
    return path;
}

} // namespace zedora
