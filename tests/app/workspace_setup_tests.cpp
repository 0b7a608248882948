#include "app/start_parameter.h"
#include "app/workspace_setup.h"
#include "data/demo_directory.h"
#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "data/student_files.h"
#include "data/student_schema.h"
#include "dbase/table.h"
#include "support/other_computer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

void touch(const QString& path, const QByteArray& content = "x")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class WorkspaceSetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program = root.path() + "/share/";
        ws = root.path() + "/ws/";
        QDir().mkpath(ws);
        for (const char* f : {"demo.dbf", "demo.dbt", "#demo.dbf", "fdf.mst", "KLASSEN.MST",
                              "KUERZEL.MST", "DURCHSCHNITT.MST", "ABSCHL.MST", "DEMOLAY.MST",
                              "raster1.mst", "raster2.mst", "raster3.mst"})
            touch(program + "MUSTER/" + f, QByteArray("shipped ") + f);
    }
    QTemporaryDir root;
    QString program;
    QString ws;
    TNeueDateien reg{root.path() + "/ws/angelegteDateien.txt",
                     root.path() + "/ws/angelegteVerzeichnisse.txt"};
    WorkspaceFiles files{reg};
};

} // namespace

TEST_F(WorkspaceSetupTest, FreshWorkspaceGetsItsFoldersTemplatesAndDemo)
{
    reg.endDefer();
    installShippedTemplates(program, ws, files);
    ASSERT_TRUE(workspaceSetupNeeded(ws));
    runWorkspaceSetup(program, ws, files);

    for (const char* d : {"ARCHIV", "DOKU-PDF-ARCHIV/ZE-0910-1", "DOKU-PDF-ARCHIV/ZE-1516-2",
                          "ZE-0000-0", "ZE-1011-1", "ZE-1617-2", "TMP", "DEFINI/VORLAGEN-TBS",
                          "LAYOUT"})
        EXPECT_TRUE(QFileInfo(ws + d).isDir()) << d;
    EXPECT_FALSE(QFileInfo::exists(ws + "ZE-1718-1"));
    EXPECT_EQ(contentOf(ws + "ZE-0000-0/demo.dbf"), "shipped demo.dbf");
    EXPECT_EQ(contentOf(ws + "DEFINI/demo.fdf"), "shipped fdf.mst");
    EXPECT_EQ(contentOf(ws + "KUERZEL.TXT"), "shipped KUERZEL.MST");
    EXPECT_EQ(contentOf(ws + "LAYOUT/DEMO.LAY"), "shipped DEMOLAY.MST");
    EXPECT_EQ(contentOf(ws + "MUSTER/raster2.wmf"), "shipped raster2.mst");
    EXPECT_TRUE(reg.files().contains(ws + "KUERZEL.TXT"));
    EXPECT_TRUE(reg.directories().contains(ws + "ARCHIV"));
    EXPECT_TRUE(files.copied().isEmpty());
}

TEST_F(WorkspaceSetupTest, RepeatedSetupKeepsUserFilesButRenewsDemoAndIndexes)
{
    installShippedTemplates(program, ws, files);
    runWorkspaceSetup(program, ws, files);
    touch(ws + "KUERZEL.TXT", "edited by the school");
    touch(ws + "LAYOUT/DEMO.LAY", "changed");
    touch(ws + "ZE-0000-0/demo.dbf", "changed");
    touch(ws + "ZE-0000-0/demo.ini", "x");
    touch(ws + "ZE-1011-1/5A.DBF", "data");
    touch(ws + "ZE-1011-1/5A.MDX", "index");
    touch(ws + "ZE-2526-1/7B.MDX", "index of a newer year stays");
    touch(ws + "ARCHIV/a.mdx", "index");
    touch(ws + "DEFINI/alt.MST", "old");
    touch(ws + "DEMO.DBF", "obsolete");
    touch(ws + "LAYOUT/VORLAGEN-LAY/x.lay", "obsolete folder");

    runWorkspaceSetup(program, ws, files);
    EXPECT_EQ(contentOf(ws + "KUERZEL.TXT"), "edited by the school");
    EXPECT_EQ(contentOf(ws + "LAYOUT/DEMO.LAY"), "shipped DEMOLAY.MST");
    EXPECT_EQ(contentOf(ws + "ZE-0000-0/demo.dbf"), "shipped demo.dbf");
    EXPECT_FALSE(QFile::exists(ws + "ZE-0000-0/demo.ini"));
    EXPECT_EQ(contentOf(ws + "ZE-1011-1/5A.DBF"), "data");
    EXPECT_FALSE(QFile::exists(ws + "ZE-1011-1/5A.MDX"));
    EXPECT_TRUE(QFile::exists(ws + "ZE-2526-1/7B.MDX"));
    EXPECT_FALSE(QFile::exists(ws + "ARCHIV/a.mdx"));
    EXPECT_FALSE(QFile::exists(ws + "DEFINI/alt.MST"));
    EXPECT_FALSE(QFile::exists(ws + "DEMO.DBF"));
    EXPECT_FALSE(QFileInfo::exists(ws + "LAYOUT/VORLAGEN-LAY"));
}

TEST_F(WorkspaceSetupTest, ShippedTemplatesNeverOverwriteTheWorkspaceCopies)
{
    touch(ws + "MUSTER/KUERZEL.MST", "school's own");
    installShippedTemplates(program, ws, files);
    EXPECT_EQ(contentOf(ws + "MUSTER/KUERZEL.MST"), "school's own");
    EXPECT_EQ(contentOf(ws + "MUSTER/ABSCHL.MST"), "shipped ABSCHL.MST");
}

TEST_F(WorkspaceSetupTest, PostUpdateStepSwapsTemplateFolderAndReports)
{
    installShippedTemplates(program, ws, files);
    touch(program + "nachsetup.txt");
    touch(ws + "LAYOUT/LayoutVorlagen/alt.lay", "old");
    touch(ws + "LAYOUT/LayoutVorlagenNeu/neu.lay", "new");
    ASSERT_TRUE(postUpdatePending(program, ws));

    ScriptedInteraction ui;
    runPostUpdateStep(program, ws, files, ui);
    EXPECT_FALSE(postUpdatePending(program, ws));
    EXPECT_FALSE(QFile::exists(ws + "LAYOUT/LayoutVorlagen/alt.lay"));
    EXPECT_EQ(contentOf(ws + "LAYOUT/LayoutVorlagen/neu.lay"), "new");
    EXPECT_FALSE(QFileInfo::exists(ws + "LAYOUT/LayoutVorlagenNeu"));
    EXPECT_TRUE(QFile::exists(ws + "ZE-0000-0/demo.dbf")) << "the set-up ran";
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0],
              QString::fromUtf8("\nZedora Version 7.3 V-Nr.: 7306\n\nEine Datenreorganisation nach Neu- bzw. \n"
                                "Updateinstallation wurde durchgeführt.\n\nWICHTIGER HINWEIS: Daten-Verzeichnisse\n"
                                "(z.B. ZE-1920-?) dürfen NICHT umbenannt werden!\n\n"));
}

TEST_F(WorkspaceSetupTest, DemoDirectoryIsRebuiltWithoutIndex)
{
    installShippedTemplates(program, ws, files);
    touch(ws + "ZE-0000-0/DEMO.MDX", "stale");
    const QString demo = rebuildDemoDirectory(ws, files);
    EXPECT_EQ(demo, ws + "ZE-0000-0/demo.dbf");
    EXPECT_EQ(contentOf(demo), "shipped demo.dbf");
    EXPECT_FALSE(QFile::exists(ws + "ZE-0000-0/DEMO.MDX"));
}

// A demo class with one student's grade, indexed, as computers work in it.
void writeWorkedDemo(const QString& dbf, WorkspaceFiles& files)
{
    QFile::remove(dbf);
    QFile::remove(QFileInfo(dbf).path() + "/demo.dbt");
    dbase::Table::create(dbf.toStdString(), studentFileFields());
    {
        auto t = dbase::Table::open(dbf.toStdString());
        t->append();
        t->setText("NAME", "Lehmann");
        t->setText("DE", "5");
        t->post();
    }
    ASSERT_TRUE(buildIndexes(dbf, IndexKind::StudentFile, files));
}

std::string gradeOf(const QString& dbf)
{
    auto t = dbase::Table::open(dbf.toStdString(), dbase::OpenMode::ExclusiveWithoutIndex);
    return zedora::test::gotoStudent(*t, "Lehmann") ? t->text("DE") : "<missing>";
}

TEST_F(WorkspaceSetupTest, ANewComputersStartLeavesTheSharedDemoClassAlone)
{
    reg.endDefer();
    installShippedTemplates(program, ws, files);
    runWorkspaceSetup(program, ws, files);
    const QString demo = ws + "ZE-0000-0/demo.dbf";
    writeWorkedDemo(demo, files);
    touch(ws + "ZE-0000-0/demo.ini", "assignments");
    touch(ws + "ZE-1011-1/5A.MDX", "index of a file nobody has open");

    {
        // Two computers work in the demo class while a third starts for the
        // first time: set-up and demo rebuild keep file, memos and index.
        zedora::test::HoldingComputer first(demo);
        zedora::test::HoldingComputer second(demo);
        ASSERT_TRUE(first.ok() && second.ok());
        runWorkspaceSetup(program, ws, files);
        EXPECT_EQ(rebuildDemoDirectory(ws, files), demo);
        EXPECT_TRUE(QFile::exists(ws + "ZE-0000-0/demo.mdx"));
        EXPECT_EQ(contentOf(ws + "ZE-0000-0/demo.ini"), "assignments");
        EXPECT_FALSE(QFile::exists(ws + "ZE-1011-1/5A.MDX")) << "other indexes go as before";
    }
    EXPECT_EQ(gradeOf(demo), "5");

    // Nobody in it: a sound demo class is still kept, and its index is
    // built anew, so the class is laid out indexed like every file of ours.
    runWorkspaceSetup(program, ws, files);
    EXPECT_EQ(gradeOf(demo), "5");
    ASSERT_TRUE(QFile::exists(ws + "ZE-0000-0/demo.mdx"));
    EXPECT_TRUE(dbase::Table::open(demo.toStdString())->findProblems().empty());

    // A demo file that cannot be read is replaced by the template.
    touch(demo, "garbage");
    runWorkspaceSetup(program, ws, files);
    EXPECT_EQ(contentOf(demo), "shipped demo.dbf");
    EXPECT_FALSE(QFile::exists(ws + "ZE-0000-0/demo.ini"));
}

TEST_F(WorkspaceSetupTest, ClosingRemovesTemporaryFilesAndZipFolders)
{
    touch(ws + "TMP/a.tmp");
    touch(ws + "ZipTmp/x/y.txt");
    touch(ws + "zipimport/z.dbf");
    removeTemporaryFiles(ws, files);
    EXPECT_TRUE(QDir(ws + "TMP").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(ws + "ZipTmp"));
    EXPECT_FALSE(QFileInfo::exists(ws + "zipimport"));
}

TEST(StartParameter, NetworkParameterNeedsZedoraIni)
{
    QTemporaryDir tmp;
    touch(tmp.path() + "/share/zedora.ini", "");
    ScriptedInteraction ui;
    const QString def = "/home/x/ws/";

    const StartParameter p = parseStartParameter("/p:" + tmp.path() + "/SHARE");
    EXPECT_EQ(p.kind, StartParameter::Kind::Network);
    EXPECT_EQ(chooseWorkspace(p, def, ui), tmp.path() + "/share/");
    EXPECT_TRUE(ui.shown.isEmpty());

    const StartParameter bad = parseStartParameter("/P:" + tmp.path() + "/nothing/");
    EXPECT_EQ(chooseWorkspace(bad, def, ui), def);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.beeps(), 1);
    EXPECT_EQ(ui.messages()[0],
              QString::fromUtf8("Zedora-Netzwerkbetrieb:\n\nDas gewählte Datenverzeichnis ") + tmp.path()
                  + "/nothing existiert nicht\noder ist unvollständig!\n\n"
                    "Das Programm läuft jetzt als lokale Anwendung mit \nDaten aus dem Programmverzeichnis \n\n"
                  + def + "\n");
}

TEST(StartParameter, RecoveryAndNormalStart)
{
    ScriptedInteraction ui;
    EXPECT_EQ(parseStartParameter("  fehler ").kind, StartParameter::Kind::Recovery);
    EXPECT_EQ(parseStartParameter("MITFEHLERN").kind, StartParameter::Kind::Recovery);
    EXPECT_EQ(parseStartParameter("").kind, StartParameter::Kind::None);
    EXPECT_EQ(parseStartParameter("/X:abc").kind, StartParameter::Kind::None);
    EXPECT_EQ(chooseWorkspace(parseStartParameter("Fehler"), "/ws/", ui), "/ws/");
    EXPECT_EQ(ui.messages(), QStringList{"Zedora - Start - Parameter wurden neu gesetzt !"});
}
