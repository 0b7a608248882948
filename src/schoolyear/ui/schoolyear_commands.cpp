#include "schoolyear/ui/schoolyear_commands.h"

#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "schoolyear/ui/TFschulhj.h"

#include <QAction>

namespace zedora {

void installSchoolYear(MainFrame& frame)
{
    QAction* a = frame.menu().action(QStringLiteral("SpeichUnter"));
    if (!a)
        return;
    frame.adminCommands().setAvailable(a, true);
    QObject::connect(a, &QAction::triggered, &frame.window(), [&frame] {
        StudentTable& table = frame.studentFile().table();
        frame.takeOverInput();
        if (!table.savePending())
            return;
        // The dialog works in alphabetical order; the user's order returns after.
        const QString tag = table.tag();
        table.setTag(QStringLiteral("NAME"));
        {
            TFschulhj dialog(frame, &frame.window());
            dialog.exec();
        }
        if (frame.studentFile().table().isOpen() && frame.studentFile().table().tag() == QLatin1String("NAME"))
            frame.studentFile().table().setTag(tag);
    });
}

} // namespace zedora
