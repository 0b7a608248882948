#include "schoolyear/ui/history_commands.h"

#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "schoolyear/ui/TFHist.h"

#include <QAbstractButton>
#include <QAction>
#include <QFrame>

namespace zedora {

void installHistory(MainFrame& frame)
{
    // One window for the whole run, made when first asked for.
    auto* window = new TFHist*(nullptr);
    QObject::connect(&frame.window(), &QObject::destroyed, [window] { delete window; });
    const auto show = [&frame, window] {
        if (!*window)
            *window = new TFHist(frame, &frame.window());
        (*window)->openView();
    };
    for (const char* name : {"history", "showHistory"}) {
        if (QAction* a = frame.menu().action(QString::fromLatin1(name))) {
            frame.adminCommands().setAvailable(a, true);
            QObject::connect(a, &QAction::triggered, &frame.window(), show);
        }
    }
    if (auto* button = frame.iconBar().findChild<QAbstractButton*>(QStringLiteral("SpeedButton4"))) {
        frame.adminCommands().setAvailable(button, true);
        QObject::connect(button, &QAbstractButton::clicked, &frame.window(), show);
    }
}

} // namespace zedora
