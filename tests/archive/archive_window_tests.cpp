// The archive window: transfer, creation and deletion with their questions
// and refusals, and the open file closed and opened again around it.
#include "archive/main_frame_fixture.h"
#include "schoolyear/archive_files.h"
#include "schoolyear/ui/TFArchiv.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTimer>

namespace zedora::test {
namespace {

void select(QListWidget& list, const QString& text)
{
    const auto items = list.findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << text.toStdString();
    list.setCurrentItem(items.first());
    items.first()->setSelected(true);
}

TEST(ArchiveWindow, CreatesTransfersAndRefusesWhatItMust)
{
    Frame f;
    const QString open = f.file->path();
    TFArchiv w(f, open);
    EXPECT_EQ(w.sourceFiles().count(), 2);
    EXPECT_EQ(w.targetFiles().count(), 0);

    w.transfer();
    EXPECT_EQ(f.ws.ui.messages(), QStringList{QStringLiteral("Keine Zielarchivdatei ausgewählt!")});

    f.ws.ui.clear();
    f.ws.ui.texts.enqueue(QStringLiteral("/irgendwo/a23-24-1"));
    w.createArchive();
    ASSERT_EQ(w.targetFiles().count(), 1);
    EXPECT_EQ(w.targetFiles().item(0)->text(), QStringLiteral("A23-24-1.DBF"));

    select(w.targetFiles(), QStringLiteral("A23-24-1.DBF"));
    select(w.sourceFiles(), QStringLiteral("5A.DBF"));
    w.sourceFiles().findItems(QStringLiteral("6B.DBF"), Qt::MatchExactly).first()->setSelected(true);
    f.ws.ui.answers.enqueue(Answer::Yes);
    w.transfer();
    const QStringList shown = f.ws.ui.messages();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], QStringLiteral("Archivierung starten?\n"));
    EXPECT_TRUE(shown[1].endsWith(QStringLiteral("   Datensätze neu angelegt: 0\n   Datensätze aktualisiert: 0\n\n"
                                                 "Ohne ID nicht übertragen: A, ; B, ")))
        << shown[1].toStdString();
    EXPECT_TRUE(w.sourceFiles().selectedItems().isEmpty());

    // The open file cannot be deleted; the question names it in upper case.
    f.ws.ui.clear();
    select(w.sourceFiles(), QStringLiteral("5A.DBF"));
    f.ws.ui.answers.enqueue(Answer::Yes);
    w.deleteSelected();
    EXPECT_EQ(f.ws.ui.messages().last(), QStringLiteral("Schülerdatei ist in Bearbeitung!"));
    EXPECT_TRUE(QFile::exists(open));

    f.ws.ui.clear();
    select(w.sourceFiles(), QStringLiteral("6B.DBF"));
    f.ws.ui.answers.enqueue(Answer::Yes);
    w.deleteSelected();
    EXPECT_TRUE(f.ws.ui.messages().first().endsWith(QStringLiteral("6B.DBF\n\n     wirklich\n\n          löschen?\n")));
    EXPECT_FALSE(QFile::exists(f.ws.root + QStringLiteral("ZE-2324-1/6B.DBF")));
    EXPECT_FALSE(QFile::exists(f.ws.root + QStringLiteral("ZE-2324-1/6B.MDX")));
    EXPECT_EQ(w.sourceFiles().count(), 1);
}

TEST(ArchiveWindow, TheMenuItemClosesTheOpenFileAndOpensItAgain)
{
    Frame f;
    f.admin.setAdministratorMode(true);
    bool wasClosed = false;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<TFArchiv*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        wasClosed = !f.file->table().isOpen();
        w->accept();
    });
    f.mainMenu.action(QStringLiteral("Archivdateienbearbeiten1"))->trigger();
    EXPECT_TRUE(wasClosed);
    EXPECT_TRUE(f.file->table().isOpen());
    EXPECT_TRUE(QDir(f.ws.root + QStringLiteral("ARCHIV")).exists());
}

} // namespace
} // namespace zedora::test
