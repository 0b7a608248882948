#include "exchange/ui/export_commands.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "entry/abbreviation_tables.h"
#include "exchange/export_mail_merge_run.h"
#include "exchange/export_medium.h"

#include <QAction>
#include <QWidget>

#include <functional>

namespace zedora {
namespace {

// What the user typed belongs in the files before they are read or copied.
bool savedFirst(MainFrame& frame)
{
    frame.takeOverInput();
    return frame.studentFile().table().savePending();
}

MailMergeMeanings meaningsOf(const AbbreviationTables& tables, int which)
{
    MailMergeMeanings m;
    m.grade = [&tables, which](const QString& value) -> std::optional<QString> {
        const QString v = value.trimmed();
        if (v.isEmpty() || !tables.grades.isDefined(upperAscii(v)))
            return std::nullopt;
        return tables.grades.meaning(v, which).trimmed();
    };
    m.graduation = [&tables](const QString& code) -> std::optional<QString> {
        const QString c = upperAscii(code.trimmed());
        if (c.isEmpty())
            return std::nullopt;
        for (const GraduationCode& g : tables.graduation.entries())
            if (upperAscii(g.code.trimmed()) == c)
                return g.longName.trimmed();
        return std::nullopt;
    };
    return m;
}

void mailMerge(MainFrame& frame, int which)
{
    if (!savedFirst(frame))
        return;
    AppContext& ctx = frame.context();
    MailMergeRequest request;
    request.workspace = ctx.workspace;
    StudentTableModel& model = frame.entryModel();
    for (int c = 0; c < model.columnCount(); ++c)
        if (const ColumnSpec* column = model.column(c))
            request.shownFields << column->field;
    exportMailMerge(ctx.ui, frame.studentFile().table(), ctx.settings, request,
                    meaningsOf(frame.abbreviations(), which));
}

void toMedium(MainFrame& frame)
{
    if (!savedFirst(frame))
        return;
    AppContext& ctx = frame.context();
    transferToMedium(ctx.ui, *ctx.files, ctx.workspace, frame.studentFile().path());
}

void hook(MainFrame& frame, const char* name, std::function<void()> run)
{
    QAction* a = frame.menu().action(QString::fromLatin1(name));
    if (!a)
        return;
    frame.adminCommands().setAvailable(a, true);
    QObject::connect(a, &QAction::triggered, &frame.window(), [run = std::move(run)] { run(); });
}

} // namespace

void installExports(MainFrame& frame)
{
    hook(frame, "mailMergeMeaning1", [&frame] { mailMerge(frame, 1); });
    hook(frame, "mailMergeMeaning2", [&frame] { mailMerge(frame, 2); });
    hook(frame, "transferToMedium", [&frame] { toMedium(frame); });
}

} // namespace zedora
