// The archive window's remaining steps: files without an index are
// reorganised before a transfer, deletion removes all four files and keeps
// the created-files register right, and the list clicked last decides what
// is deleted.
#include "archive/main_frame_fixture.h"
#include "base/created_files_register.h"
#include "core/app_context.h"
#include "schoolyear/ui/TFArchiv.h"

#include <QFile>
#include <QListWidget>
#include <QTest>

namespace zedora::test {
namespace {

void click(QListWidget& list, const QString& text)
{
    const auto items = list.findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << text.toStdString();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(items.first()).center());
}

TEST(ArchiveWindowSteps, SourceAndTargetWithoutIndexAreReorganisedFirst)
{
    Frame f;
    const QString dir = f.ws.root + QStringLiteral("ZE-2324-1/");
    writeStudents(dir + QStringLiteral("7C.DBF"), {{{"NAME", "Dora"}, {"VORNAME", "Anna"}, {"GEBOREN", "01.02.2013"}, {"DE", "2"}},
                                                   {{"NAME", "Emil"}, {"VORNAME", "Karl"}, {"GEBOREN", "03.04.2013"}, {"DE", "4"}}});
    TFArchiv w(f, f.file->path());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* folders = w.findChild<QListWidget*>(QStringLiteral("quelledir"));
    ASSERT_TRUE(folders && folders->currentItem());
    EXPECT_EQ(folders->currentItem()->text(), QStringLiteral("ZE-2324-1"));
    f.ws.ui.texts.enqueue(QStringLiteral("A23-24-2"));
    w.createArchive();
    const QString archive = f.ws.root + QStringLiteral("ARCHIV/A23-24-2");
    ASSERT_TRUE(QFile::exists(archive + QStringLiteral(".MDX")));
    ASSERT_TRUE(QFile::remove(archive + QStringLiteral(".MDX")));
    ASSERT_TRUE(QFile::remove(dir + QStringLiteral("7C.MDX")));

    click(w.targetFiles(), QStringLiteral("A23-24-2.DBF"));
    click(w.sourceFiles(), QStringLiteral("7C.DBF"));
    f.ws.ui.clear();
    f.ws.ui.answers.enqueue(Answer::Yes);
    w.transfer();
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("7C.MDX")));
    EXPECT_TRUE(QFile::exists(archive + QStringLiteral(".MDX")));
    ASSERT_FALSE(f.ws.ui.messages().isEmpty());
    EXPECT_TRUE(f.ws.ui.messages().last().endsWith(
        QStringLiteral("   Datensätze neu angelegt: 2\n   Datensätze aktualisiert: 0")))
        << f.ws.ui.messages().join(QStringLiteral(" | ")).toStdString();
    // The rebuilt index finds the students by the IDs the reorganisation gave them.
    auto t = dbase::Table::open((archive + QStringLiteral(".DBF")).toStdString());
    t->selectTag("ID");
    QStringList grades;
    for (t->first(); !t->isEmpty() && !t->eof(); t->next()) {
        auto src = dbase::Table::open((dir + QStringLiteral("7C.DBF")).toStdString());
        src->selectTag("ID");
        ASSERT_TRUE(src->findKey(t->text(t->fieldIndex("ID"))));
        grades << QString::fromStdString(src->text(src->fieldIndex("NAME")) + t->text(t->fieldIndex("DE")));
    }
    EXPECT_EQ(grades, (QStringList{QStringLiteral("Dora2"), QStringLiteral("Emil4")}));
}

TEST(ArchiveWindowSteps, TheListClickedLastIsDeletedWithAllItsFilesAndLeavesTheRegister)
{
    Frame f;
    TNeueDateien& reg = *f.ctx->createdFiles;
    TFArchiv w(f, f.file->path());
    // The missing folder was made and registered like every folder the program makes.
    EXPECT_TRUE(reg.directories().contains(f.ws.root + QStringLiteral("ARCHIV")))
        << reg.directories().join(QStringLiteral(" | ")).toStdString();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    f.ws.ui.texts.enqueue(QStringLiteral("A23-24-1"));
    w.createArchive();
    const QString archive = f.ws.root + QStringLiteral("ARCHIV/A23-24-1");
    writeBytes((archive + QStringLiteral(".INI")).toStdString(), "[X]\r\n");
    reg.registerFile(archive + QStringLiteral(".INI"));
    ASSERT_TRUE(reg.files().contains(archive + QStringLiteral(".INI")));

    // Both lists have a selection; the target was clicked last.
    click(w.sourceFiles(), QStringLiteral("6B.DBF"));
    click(w.targetFiles(), QStringLiteral("A23-24-1.DBF"));
    f.ws.ui.clear();
    f.ws.ui.answers.enqueue(Answer::Yes);
    w.deleteSelected();
    ASSERT_EQ(f.ws.ui.messages().size(), 1);
    EXPECT_TRUE(f.ws.ui.messages().first().contains(QStringLiteral("A23-24-1.DBF\n\n     wirklich")));
    for (const char* ext : {".DBF", ".DBT", ".INI", ".MDX"})
        EXPECT_FALSE(QFile::exists(archive + QLatin1String(ext))) << ext;
    EXPECT_FALSE(reg.files().contains(archive + QStringLiteral(".INI")));
    EXPECT_EQ(w.targetFiles().count(), 0);
    EXPECT_TRUE(QFile::exists(f.ws.root + QStringLiteral("ZE-2324-1/6B.DBF")));

    // Now the source list is the one clicked last.
    click(w.sourceFiles(), QStringLiteral("6B.DBF"));
    f.ws.ui.clear();
    f.ws.ui.answers.enqueue(Answer::Yes);
    w.deleteSelected();
    EXPECT_FALSE(QFile::exists(f.ws.root + QStringLiteral("ZE-2324-1/6B.DBF")));
    EXPECT_EQ(w.sourceFiles().count(), 1);
}

} // namespace
} // namespace zedora::test
