// The rollover dialog over the demo class: the checklist marked with its
// exception groups, the default target, and a file made from it.
#include "app/shipped_program.h"
#include "data/current_student_file.h"
#include "schoolyear/ui/TFschulhj.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace zedora;

namespace {

using RolloverWindow = zedora::test::ShownProgramTest;

TEST_F(RolloverWindow, MarksTheColumnsAndMakesTheNewFile)
{
    TFschulhj dialog(*window, window.get());
    dialog.show();
    auto* clb = dialog.findChild<QListWidget*>("clb");
    ASSERT_TRUE(clb);
    ASSERT_GT(clb->count(), 0);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("akt_datei")->text(), window->studentFile().path());
    const QStringList marked = dialog.checkedFields();
    EXPECT_FALSE(marked.isEmpty());
    for (const QString& f : marked) {
        EXPECT_FALSE(f.contains("AG")) << f.toStdString();
        EXPECT_FALSE(f.contains("WPK")) << f.toStdString();
        EXPECT_NE(f, "NAME");
    }
    const QString dir = QStringLiteral(ZEDORA_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    dialog.grab().save(dir + "/TFschulhj.png");

    dialog.keepAll();
    EXPECT_TRUE(dialog.checkedFields().isEmpty());
    dialog.markAll();
    EXPECT_EQ(dialog.checkedFields(), marked);

    // The demo file lies in the last data directory: another name there.
    dialog.findChild<QLineEdit*>("neueDatei")->setText("NEU10B");
    auto* dirs = dialog.findChild<QComboBox*>("shjbox2");
    dirs->setCurrentText(window->studentFile().dataDirectoryName());
    const QString source = window->studentFile().path();
    const QByteArray before = [&] { QFile f(source); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    ui.answers.append(Answer::Yes);
    ASSERT_TRUE(dialog.createFile()) << ui.messages().join("|").toStdString();
    EXPECT_TRUE(dialog.fileCreated());
    const QString target = QFileInfo(source).absolutePath() + "/NEU10B.DBF";
    EXPECT_TRUE(QFileInfo::exists(target));
    QFile f(source);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_TRUE(dialog.checkedFields().isEmpty());

    ui.clear();
    ui.answers.append(Answer::Yes);
    dialog.closeDialog();
    EXPECT_EQ(ui.messages(), QStringList({"Soll die neu erstellte Datei NEU10B.DBF\n\nim Verzeichnis "
                                          + QFileInfo(source).dir().dirName() + "\n\ngeöffnet werden?\n"}));
    EXPECT_EQ(QFileInfo(window->studentFile().path()).fileName().toUpper(), "NEU10B.DBF");
}

TEST_F(RolloverWindow, AClickOnTheCurrentFileOpensAnotherOne)
{
    const QString source = window->studentFile().path();
    const QString other = QFileInfo(source).absolutePath() + "/ANDERE.DBF";
    ASSERT_TRUE(QFile::copy(source, other));
    const QString memo = source.left(source.size() - 4);
    QFile::copy(memo + ".dbt", QFileInfo(other).absolutePath() + "/ANDERE.DBT");
    TFschulhj dialog(*window, window.get());
    dialog.show();
    ui.texts.append(other);
    auto* current = dialog.findChild<QLineEdit*>("akt_datei");
    QTest::mouseClick(current, Qt::LeftButton);
    EXPECT_EQ(QFileInfo(window->studentFile().path()).fileName().toUpper(), "ANDERE.DBF");
    EXPECT_EQ(current->text(), window->studentFile().path());
    EXPECT_FALSE(dialog.checkedFields().isEmpty());
}

} // namespace
