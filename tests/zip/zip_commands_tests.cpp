// The installer on a main window frame: the items and buttons it takes over,
// the common checks, and the import's follow-up that opens the imported file.
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "entry/abbreviation_tables.h"
#include "exchange/ui/TfExport.h"
#include "exchange/ui/zip_commands.h"
#include "exchange/zip_archive.h"
#include "exchange/zip_export.h"
#include "support/test_main_frame.h"
#include "zip/zip_support.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QMainWindow>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <cstdlib>

namespace zedora::test {
namespace {

class Frame : public TestMainFrame {
public:
    ZipWorkspace ws;

    Frame()
    {
        for (const QString& f : QDir(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER")).entryList(QDir::Files))
            QFile::copy(shareFile(f), ws.root + QStringLiteral("MUSTER/") + f);
        ws.addClass(QStringLiteral("5A"));
        open(ws.ui, ProgramPaths{QStringLiteral(ZEDORA_SHARE_DIR "/"), ws.root, QStringLiteral("PC1")},
             ws.root + QStringLiteral("ZE-2021-1/5A.DBF"));
        for (const char* name : {"SpeedButton9", "SpeedButton11"}) {
            auto* b = new QToolButton(bar);
            b->setObjectName(QLatin1String(name));
            admin.add(b, AdminCommands::Access::Everyone, false);
        }
        buildMenu();
        installZipExchange(*this);
        ws.ui.clear();
    }
};

TEST(ZipCommands, ItemsAndButtonsBecomeAvailableAndTheLockStopsThem)
{
    Frame f;
    for (const char* name : {"zipExport", "zipImport", "backup", "readColumns", "readRecord"}) {
        QAction* a = f.mainMenu.action(QLatin1String(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_TRUE(f.admin.isAvailable(a)) << name;
    }
    EXPECT_TRUE(f.admin.isAvailable(f.bar->findChild<QToolButton*>(QStringLiteral("SpeedButton9"))));

    f.ctx->settings.SperreOption = true;
    f.mainMenu.action(QStringLiteral("zipExport"))->trigger();
    f.bar->findChild<QToolButton*>(QStringLiteral("SpeedButton11"))->click();
    f.mainMenu.action(QStringLiteral("readColumns"))->trigger();
    EXPECT_EQ(f.ws.ui.messages(), QStringList(3, QStringLiteral("Import ist nicht möglich, Tabelle ist gesperrt!\n")));
}

TEST(ZipCommands, ExportOpensTheExportWindowForTheOpenFile)
{
    Frame f;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<TfExport*>(QApplication::activeModalWidget());
        seen = w != nullptr;
        if (w) {
            EXPECT_EQ(w->selection().studentFiles, QStringList{QStringLiteral("5A.DBF")});
            w->close();
        }
    });
    f.mainMenu.action(QStringLiteral("zipExport"))->trigger();
    EXPECT_TRUE(seen);
}

TEST(ZipCommands, ImportOpensTheImportedFileOrReportsTheCancel)
{
    Frame f;
    // A class 6B from another computer.
    ZipWorkspace other;
    const QString six = other.addClass(QStringLiteral("6B"), QStringLiteral("ZE-2122-1"));
    ExportSelection s;
    s.workspace = other.root;
    s.studentFile = six;
    s.studentFiles = {QStringLiteral("6B.DBF")};
    QString imex1;
    const QString zip = other.root + QStringLiteral("6b.zip");
    other.ui.texts.enqueue(zip);
    ASSERT_EQ(runExport(s, ExportMode::Export, other.ui, imex1).result, PackResult::Ok);

    f.ws.ui.answers.enqueue(Answer::Yes);
    f.ws.ui.texts.enqueue(zip);
    f.mainMenu.action(QStringLiteral("zipImport"))->trigger();
    EXPECT_TRUE(f.ws.ui.messages().contains(QStringLiteral("Import verlief erfolgreich!\n")))
        << f.ws.ui.messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(QFileInfo(f.file->path()).fileName().toUpper(), QStringLiteral("6B.DBF"));
    EXPECT_TRUE(f.file->table().isOpen());
    EXPECT_EQ(f.ctx->settings.ImEx1, QDir::cleanPath(other.root));

    // A refused question: the file open before is opened again.
    f.ws.ui.clear();
    f.ws.ui.answers.enqueue(Answer::No);
    f.mainMenu.action(QStringLiteral("zipImport"))->trigger();
    EXPECT_EQ(f.ws.ui.messages().last(), QStringLiteral("Der Datenimport wurde abgebrochen!\n"));
    EXPECT_EQ(QFileInfo(f.file->path()).fileName().toUpper(), QStringLiteral("6B.DBF"));
    EXPECT_TRUE(f.file->table().isOpen());
}

} // namespace
} // namespace zedora::test
