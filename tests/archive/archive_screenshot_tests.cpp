// Pictures of the archive and grade statistics windows for the manual,
// written only when ZEDORA_SCREENSHOTS names a folder.
#include "archive/main_frame_fixture.h"
#include "schoolyear/ui/TFArchiv.h"
#include "schoolyear/ui/TFNotenStat.h"

#include <QListWidget>
#include <QTableWidget>
#include <QTest>

namespace zedora::test {
namespace {

QString target(const char* name)
{
    return qEnvironmentVariable("ZEDORA_SCREENSHOTS") + QLatin1Char('/') + QLatin1String(name);
}

TEST(ArchiveScreenshots, ArchiveAndGradeStatisticsWindows)
{
    if (!qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        GTEST_SKIP() << "ZEDORA_SCREENSHOTS not set";
    Frame f;
    {
        TFArchiv w(f, f.file->path());
        f.ws.ui.texts.enqueue(QStringLiteral("A23-24-1"));
        w.createArchive();
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.sourceFiles().item(0)->setSelected(true);
        w.targetFiles().setCurrentRow(0);
        ASSERT_TRUE(w.grab().save(target("TFArchiv.png")));
    }
    TFNotenStat w(f, f.file->studentFilesOfDirectory(), {QStringLiteral("DE"), QStringLiteral("EN")});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.fillAll();
    w.compute();
    QTableWidget& g = w.grid();
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.model()->index(4, 0)).center());
    ASSERT_TRUE(w.pickList().isVisible());
    ASSERT_TRUE(w.grab().save(target("TFNotenStat.png")));
}

} // namespace
} // namespace zedora::test
