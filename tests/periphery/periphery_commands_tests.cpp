// The periphery's installer on a main window frame: the menu items it takes
// over become available and open their windows with the open file's
// student, the manuals are looked for in the program folder, and the photo
// page finds the class of the open file by itself.
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_schema.h"
#include "dbase/table.h"
#include "entry/abbreviation_tables.h"
#include "periphery/photo_pictures.h"
#include "periphery/ui/TFFoto.h"
#include "periphery/ui/periphery_commands.h"
#include "periphery/ui/photo_workshop_page.h"
#include "periphery/ui/picture_view.h"
#include "periphery_test_support.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>
#include <gtest/gtest.h>

#include "support/test_main_frame.h"

using namespace zedora;
using namespace zedora::testing;

namespace {

void writeClass(const QString& path, const QList<QStringList>& students)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    dbase::Table::create(path.toStdString(), studentFileFields());
    auto t = dbase::Table::open(path.toStdString());
    for (const QStringList& s : students) {
        t->append();
        // Student files hold Windows-1252 text.
        t->setText("NAME", s.at(0).toLatin1().toStdString());
        t->setText("VORNAME", s.at(1).toLatin1().toStdString());
        t->setText("KLASSE", "5a");
        t->setText("GEBOREN", s.at(2).toLatin1().toStdString());
        t->setText("MW", s.at(3).toLatin1().toStdString());
        t->post();
    }
}

class Frame : public zedora::test::TestMainFrame {
public:
    QTemporaryDir tmp;
    QString ws = tmp.path() + QStringLiteral("/ws/");
    ScriptedInteraction ui;

    Frame()
    {
        QDir().mkpath(ws + QStringLiteral("TMP"));
        writeClass(ws + QStringLiteral("MUSTER/tpl.dbf"), {});
        QFile::rename(ws + QStringLiteral("MUSTER/tpl.dbf"), ws + QStringLiteral("MUSTER/MUSTER.MS1"));
        QFile::rename(ws + QStringLiteral("MUSTER/tpl.dbt"), ws + QStringLiteral("MUSTER/MUSTER.MS3"));
        writeClass(ws + QStringLiteral("ZE-1920-1/5A.DBF"),
                   {{"Müller", "Anna", "05.03.2008", "w"}, {"Schmidt", "Paul", "17.11.2007", "m"}});
        open(ui, ProgramPaths{tmp.path() + QStringLiteral("/share/"), ws, "PC1"}, ws + QStringLiteral("ZE-1920-1/5A.DBF"));
        ctx->settings.SibankFotoordner = tmp.path() + QStringLiteral("/fotos");
        buildMenu();
        admin.setAdministratorMode(true);
        installPeriphery(*this);
        ui.clear();  // what opening the file had to say
    }

    // Triggers a menu item whose window is modal; inspect sees the window
    // and closes it.
    void triggerModal(const char* name, std::function<void(QWidget*)> inspect)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            seen = modal != nullptr;
            if (modal) {
                inspect(modal);
                modal->close();
            }
        });
        mainMenu.action(QLatin1String(name))->trigger();
        EXPECT_TRUE(seen) << name;
    }
};

} // namespace

TEST(PeripheryCommands, TakenOverMenuItemsBecomeAvailable)
{
    Frame f;
    for (const char* name : {"ZeigeSchlerfoto1", "OnlineUpdate1", "documentArchive", "manualPdf", "faqPdf", "historyPdf"}) {
        QAction* a = f.mainMenu.action(QLatin1String(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_TRUE(f.admin.isAvailable(a)) << name;
    }
    EXPECT_TRUE(f.admin.isAdminOnly(f.mainMenu.action(QStringLiteral("OnlineUpdate1"))));
}

TEST(PeripheryCommands, StudentPhotoWindowShowsTheCurrentStudent)
{
    Frame f;
    QDir().mkpath(f.ctx->settings.SibankFotoordner);
    ASSERT_TRUE(writeJpeg(patternImage(30, 40), f.ctx->settings.SibankFotoordner + QStringLiteral("/MüA05031.JPG")));
    ASSERT_TRUE(f.file->table().first());
    f.triggerModal("ZeigeSchlerfoto1", [](QWidget* w) {
        auto* photo = qobject_cast<TFFoto*>(w);
        ASSERT_NE(photo, nullptr);
        EXPECT_EQ(photo->windowTitle(), QStringLiteral("Anna Müller"));
        EXPECT_TRUE(photo->picture().hasImage());
    });
    ASSERT_TRUE(f.file->table().next());
    f.triggerModal("ZeigeSchlerfoto1", [](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Paul Schmidt"));
        EXPECT_FALSE(qobject_cast<TFFoto*>(w)->picture().hasImage());
    });
}

TEST(PeripheryCommands, ArchiveAndUpdateWindowsOpenAndMissingManualsAreNamed)
{
    Frame f;
    f.triggerModal("documentArchive", [](QWidget* w) { EXPECT_EQ(w->windowTitle(), QStringLiteral("Dokumenten Archiv")); });
    f.triggerModal("OnlineUpdate1", [](QWidget* w) { EXPECT_EQ(w->windowTitle(), QStringLiteral("Online - Update")); });
    EXPECT_TRUE(QFileInfo(f.tmp.path() + QStringLiteral("/share/Update")).isDir());

    f.mainMenu.action(QStringLiteral("faqPdf"))->trigger();
    EXPECT_EQ(f.ui.messages().join('|').toStdString(),
              (QStringLiteral("Die zu öffnende Datei\n\"") + f.tmp.path()
               + QStringLiteral("/share/PDF/ZDR_FAQ.PDF\"\nwurde nicht gefunden!")).toStdString());
}

TEST(PeripheryCommands, PhotoPageFindsTheOpenFilesStudents)
{
    Frame f;
    QDialog dialog(&f.main);
    auto* page = new PhotoWorkshopPage(f.ctx->settings, f.ui, *f.ctx->files, f.ws, &dialog);
    (new QVBoxLayout(&dialog))->addWidget(page);
    dialog.show();
    ASSERT_EQ(page->classList()->rowCount(), 2);
    EXPECT_EQ(page->classList()->item(0, 0)->text(), QStringLiteral("Müller"));
    EXPECT_EQ(page->classList()->item(1, 5)->text(), QStringLiteral("SCP17110"));
}
