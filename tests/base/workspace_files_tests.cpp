#include "base/created_files_register.h"
#include "base/directory_conventions.h"
#include "base/path_resolver.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"

#include <QDir>
#include <QFile>
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

QStringList readLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
}

class WorkspaceFilesTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString ws() const { return tmp.path(); }
    QString filesList() const { return ws() + "/angelegteDateien.txt"; }
    QString dirsList() const { return ws() + "/angelegteVerzeichnisse.txt"; }
};

} // namespace

TEST(PathResolver, FindsExistingEntriesWhateverTheCaseAndSeparator)
{
    QTemporaryDir tmp;
    touch(tmp.path() + "/MUSTER/demo.dbf");
    EXPECT_EQ(resolveIn(tmp.path(), "muster\\DEMO.DBF"), tmp.path() + "/MUSTER/demo.dbf");
    EXPECT_TRUE(pathExists(tmp.path() + "\\Muster\\Demo.Dbf"));
    // What does not exist keeps the spelling given, below the part that does.
    EXPECT_EQ(resolveIn(tmp.path(), "muster\\NEU\\A.DBF"), tmp.path() + "/MUSTER/NEU/A.DBF");
    EXPECT_FALSE(pathExists(tmp.path() + "/muster/none.dbf"));
}

TEST(PathResolver, PrefersTheExactSpelling)
{
    QTemporaryDir tmp;
    touch(tmp.path() + "/a.txt");
    touch(tmp.path() + "/A.TXT");
    EXPECT_EQ(resolveIn(tmp.path(), "A.TXT"), tmp.path() + "/A.TXT");
    EXPECT_EQ(resolveIn(tmp.path(), "a.txt"), tmp.path() + "/a.txt");
    EXPECT_EQ(lastComponent("C:\\X\\ZE-1920-1\\"), "ZE-1920-1");
    EXPECT_EQ(toWindowsSeparators("ZE-1920-1/5A.DBF"), "ZE-1920-1\\5A.DBF");
}

TEST_F(WorkspaceFilesTest, RegisterListsOnlyExistingPathsOnceAndSavesUnlessDeferred)
{
    const QString a = ws() + "/a.dbf";
    touch(a);
    {
        TNeueDateien reg(filesList(), dirsList());
        EXPECT_TRUE(reg.deferred());
        reg.registerFile(a);
        reg.registerFile(ws() + "/missing.dbf");
        reg.registerFile(ws() + "/A.DBF");  // same file under Windows rules
        EXPECT_EQ(reg.files(), QStringList{a});
        EXPECT_FALSE(QFile::exists(filesList())) << "deferred: nothing written yet";
        reg.endDefer();
        EXPECT_EQ(readLines(filesList()), QStringList{a});
        reg.registerDirectory(ws());
        EXPECT_EQ(readLines(dirsList()), QStringList{ws()});
        reg.unregisterFile(a);
        EXPECT_EQ(readLines(filesList()), QStringList{a}) << "removal waits for the next save";
    }
    // Destruction saves, and a new register loads both lists again.
    EXPECT_TRUE(readLines(filesList()).isEmpty());
    TNeueDateien again(filesList(), dirsList());
    EXPECT_EQ(again.directories(), QStringList{ws()});
}

TEST_F(WorkspaceFilesTest, OperationsKeepTheRegisterCurrent)
{
    TNeueDateien reg(filesList(), dirsList());
    reg.endDefer();
    WorkspaceFiles files(reg);

    files.createDirectory(ws() + "\\ZE-1920-1");
    EXPECT_TRUE(QFileInfo(ws() + "/ZE-1920-1").isDir());
    EXPECT_EQ(reg.directories(), QStringList{ws() + "/ZE-1920-1"});

    touch(ws() + "/MUSTER/demo.dbf", "template");
    EXPECT_TRUE(files.copyFile(ws() + "\\MUSTER\\DEMO.DBF", ws() + "\\ze-1920-1\\demo.dbf"));
    const QString copy = ws() + "/ZE-1920-1/demo.dbf";
    EXPECT_EQ(reg.files(), QStringList{copy});
    EXPECT_EQ(files.copied(), QStringList{copy});
    EXPECT_FALSE(files.copyFile(ws() + "/MUSTER/none.dbf", ws() + "/ZE-1920-1/none.dbf"));
    EXPECT_EQ(files.failed(), QStringList{ws() + "/ZE-1920-1/none.dbf"});
    EXPECT_EQ(reg.files(), QStringList{copy}) << "a failed copy is not registered";

    files.deleteFile(ws() + "/ZE-1920-1/DEMO.DBF");
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_TRUE(reg.files().isEmpty());

    files.moveDirectory(ws() + "/ZE-1920-1", ws() + "/ZE-1920-2", true);
    EXPECT_EQ(reg.directories(), QStringList{ws() + "/ZE-1920-2"});
    files.deleteDirectory(ws() + "/ze-1920-2");
    EXPECT_FALSE(QFileInfo::exists(ws() + "/ZE-1920-2"));
    EXPECT_TRUE(reg.directories().isEmpty());
}

TEST_F(WorkspaceFilesTest, DeleteByMaskMatchesNameAndExtensionInAnyCase)
{
    TNeueDateien reg(filesList(), dirsList());
    WorkspaceFiles files(reg);
    for (const char* name : {"a.MDX", "b.mdx", "c.dbf", "mdx", "d.mdx.bak"})
        touch(ws() + "/D/" + name);
    files.deleteByMask(ws() + "/d", "*", "MDX");
    EXPECT_EQ(QDir(ws() + "/D").entryList(QDir::Files, QDir::Name),
              (QStringList{"c.dbf", "d.mdx.bak", "mdx"}));
    files.deleteByMask(ws() + "/D", "C", "*");
    EXPECT_FALSE(QFile::exists(ws() + "/D/c.dbf"));
}

TEST_F(WorkspaceFilesTest, CopyOverwritesAndLeavesAWritableFile)
{
    TNeueDateien reg(filesList(), dirsList());
    WorkspaceFiles files(reg);
    touch(ws() + "/src.txt", "new");
    touch(ws() + "/dst.txt", "old content");
    QFile::setPermissions(ws() + "/src.txt", QFileDevice::ReadOwner);
    ASSERT_TRUE(files.copyFile(ws() + "/src.txt", ws() + "/dst.txt"));
    QFile f(ws() + "/dst.txt");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "new");
    EXPECT_TRUE(f.permissions() & QFileDevice::WriteOwner);
}

TEST(DirectoryConventions, AcceptsTheRightFoldersAndRefusesDemoFilesSilently)
{
    ScriptedInteraction ui;
    EXPECT_TRUE(checkDirectoryConvention("/ws/ZE-1920-1/5A.DBF", FileKind::StudentFile, ui));
    EXPECT_TRUE(checkDirectoryConvention("/ws/archiv/A19-20-1.DBF", FileKind::StudentFile, ui));
    EXPECT_TRUE(checkDirectoryConvention("/ws/layout/neu.lay", FileKind::Layout, ui));
    EXPECT_TRUE(checkDirectoryConvention("/ws/DEFINI/#bio.dbf", FileKind::TextBlocks, ui));
    EXPECT_FALSE(checkDirectoryConvention("\\ws\\LAYOUT\\DEMO.LAY", FileKind::Layout, ui));
    EXPECT_FALSE(checkDirectoryConvention("/ws/ZE-0000-0/demo.dbf", FileKind::StudentFile, ui));
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST(DirectoryConventions, WarnsWithTheDirectoryOfAWrongPath)
{
    ScriptedInteraction ui;
    EXPECT_FALSE(checkDirectoryConvention("C:\\TEMP\\X.LAY", FileKind::Layout, ui));
    ASSERT_EQ(ui.shown.size(), 2);
    EXPECT_EQ(ui.shown[0].kind, ScriptedInteraction::Kind::Beep);
    EXPECT_EQ(ui.shown[1].kind, ScriptedInteraction::Kind::Warning);
    EXPECT_TRUE(ui.shown[1].text.startsWith("Falsches Verzeichnis:  C:\\TEMP\\\n\nUm einen"));
    EXPECT_TRUE(ui.shown[1].text.endsWith(QString::fromUtf8("Fächer- und TBS-Datein: ...\\DEFINI ....\n\n")));
    EXPECT_FALSE(checkDirectoryConvention("/tmp/x.dbf", FileKind::TextBlocks, ui));
}

TEST(DirectoryConventions, DataDirectoryNames)
{
    for (const char* good : {"ZE-1920-1", "ZE-0000-0", "ze-1011-2", "/ws/ZE-2021-1", "C:\\W\\ZE-1920-1",
                             "ZE-1920-1 alt"})
        EXPECT_TRUE(isDataDirectoryName(good)) << good;
    for (const char* bad : {"ZE-9900-1", "ZE-1920_1", "ZE-1920", "ZE-1920-1-abcdefghi", "", "XE-1920-1",
                            "ZE-1990-1"})
        EXPECT_FALSE(isDataDirectoryName(bad)) << bad;
}
