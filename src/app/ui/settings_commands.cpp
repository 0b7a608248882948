#include "app/ui/settings_commands.h"

#include "app/ui/TFEinstell.h"
#include "base/deferring_interaction.h"
#include "base/interaction.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "core/ui/progress_panel.h"
#include "data/current_student_file.h"
#include "entry/abbreviation_tables.h"
#include "entry/storable_text.h"
#include "entry/student_table_checks.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>

namespace zedora {

namespace {

void openSettings(MainFrame& frame, TFEinstell::Page page)
{
    CurrentStudentFile& file = frame.studentFile();
    if (!file.table().savePending())
        return;
    SettingsDialogOptions options;
    options.fileFields = file.table().fieldNames();
    options.reopenStudentFile = [&file] { file.reopen(); };
    openSettingsDialog(frame.context(), frame.abbreviations(), page, &frame.window(), options);
    frame.applyColourScheme();
    // The abbreviation file's name in the status line.
    if (QWidget* status = frame.progressPanel().parentWidget()) {
        if (auto* label = status->findChild<QLabel*>(QStringLiteral("Label5")))
            label->setText(frame.abbreviations().grades.label());
    }
}

// Every change of a grade, course level, head grade or graduation code is
// checked against the tables, whatever made it.
void installValueChecks(MainFrame& frame)
{
    CurrentStudentFile& file = frame.studentFile();
    StudentTableCheckHooks hooks;
    hooks.context = [&file](const QString& field) {
        AbbreviationCheckContext c;
        c.exempt = file.layout().columns.isExempt(field);
        c.nameEmpty = file.table().value(QStringLiteral("NAME")).trimmed().isEmpty();
        return c;
    };
    Interaction& ui = frame.context().ui;
    file.table().setErrorReport([&ui](const QString& text) { ui.error(text); });
    // A record without a name takes no grades: its pending edit is dropped.
    hooks.discardEdit = [&file] { file.table().cancel(); };
    // Text the files cannot hold is refused with a message rather than
    // stored as question marks.
    DeferringInteraction& messages = frame.checkMessages();
    StudentTable::ChangeCheck codes = makeStudentTableCheck(frame.abbreviations(), messages, hooks);
    file.table().setChangeCheck(
        [&messages, codes](const QString& field, const QString& value) -> std::optional<QString> {
            if (!isStorable(value)) {
                messages.warning(unstorableCharactersText());
                return std::nullopt;
            }
            return codes(field, value);
        });
}

} // namespace

void installSettingsCommands(MainFrame& frame)
{
    frame.abbreviations().loadAtStart(frame.context().settings);
    installValueChecks(frame);

    QWidget& window = frame.window();
    AdminCommands& admin = frame.adminCommands();
    const auto open = [&](const char* name, TFEinstell::Page page) {
        QObject* item = frame.menu().action(QLatin1String(name));
        if (!item)
            item = window.findChild<QToolButton*>(QLatin1String(name));
        if (auto* a = qobject_cast<QAction*>(item)) {
            admin.setAvailable(a, true);
            QObject::connect(a, &QAction::triggered, &window, [&frame, page] { openSettings(frame, page); });
        } else if (auto* b = qobject_cast<QToolButton*>(item)) {
            admin.setAvailable(b, true);
            QObject::connect(b, &QToolButton::clicked, &window, [&frame, page] { openSettings(frame, page); });
        }
    };
    open("MEin1", TFEinstell::Page::Allgemeines1);
    open("Voreinstellungen1", TFEinstell::Page::Allgemeines1);
    open("SpeedButton16", TFEinstell::Page::Allgemeines1);
    open("MEin3", TFEinstell::Page::Kuerzel);
    open("Durchschnittsnotenfestlegen1", TFEinstell::Page::Durchschnitt);
    if (QAction* settingsMenu = frame.menu().action(QStringLiteral("Einstellungen2")))
        admin.setAvailable(settingsMenu, true);
}

} // namespace zedora
