// The export window and the transfer window driven offscreen: the
// preselections, the hidden lists, the marks and a transfer from a zip.
#include "core/app_context.h"
#include "data/current_student_file.h"
#include "exchange/transfer_columns.h"
#include "exchange/ui/TFSpaltenlesen.h"
#include "exchange/ui/TfExport.h"
#include "zip/zip_support.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest/QTest>

namespace zedora::test {
namespace {

QString makeClassFile(const QString& path, const QStringList& names, const QString& grade)
{
    QFile::copy(shareFile(QStringLiteral("MUSTER.MS1")), path);
    const QString dbt = path.left(path.size() - 3) + QStringLiteral("DBT");
    QFile::copy(shareFile(QStringLiteral("MUSTER.MS3")), dbt);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(dbt, QFile::ReadOwner | QFile::WriteOwner);
    StudentTable t;
    t.open(path);
    for (const QString& n : names) {
        t.append();
        t.setValue(QStringLiteral("NAME"), n);
        t.setValue(QStringLiteral("VORNAME"), QStringLiteral("Anna"));
        t.setValue(QStringLiteral("KLASSE"), QStringLiteral("5a"));
        t.setValue(QStringLiteral("DE"), grade);
        t.setValue(QStringLiteral("TB1"), QStringLiteral("Ein langer Text\nüber zwei Zeilen"));
        t.post();
    }
    return path;
}

void saveScreenshot(QWidget& w, const char* name)
{
    const QString dir = QStringLiteral(ZEDORA_BINARY_DIR "/screenshots/");
    QDir().mkpath(dir);
    const QPixmap shot = w.grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(dir + QString::fromLatin1(name)));
}

TEST(TfExportWindow, ExportModePreselectsTheOpenFilesAndHidesTheOptionalLists)
{
    ZipWorkspace ws;
    const QString file = ws.addClass(QStringLiteral("5A"));
    ws.addClass(QStringLiteral("5B"));
    ws.addProgramFiles();
    Settings settings;
    TfExport w(ExportMode::Export,
               {ws.root, file, QStringLiteral("#demo.dbf"), QString(), ws.root + QStringLiteral("LAYOUT/DEMO.LAY")},
               settings, ws.ui, &ws.reg);
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Exportfenster"));
    EXPECT_EQ(w.width(), 3 * 130 + 10);
    auto* dbf = w.findChild<QListWidget*>(QStringLiteral("BoxDBF"));
    auto* tbs = w.findChild<QListWidget*>(QStringLiteral("BoxTBS"));
    ASSERT_TRUE(dbf && tbs);
    EXPECT_EQ(dbf->count(), 2);
    EXPECT_EQ(dbf->selectedItems().size(), 1);
    EXPECT_EQ(dbf->selectedItems().first()->text(), QStringLiteral("5A.DBF"));
    EXPECT_EQ(tbs->selectedItems().size(), 1);
    EXPECT_FALSE(tbs->isVisible());
    // Selections in hidden lists are not exported.
    EXPECT_TRUE(w.selection().textBlockFiles.isEmpty());
    auto* cb1 = w.findChild<QCheckBox*>(QStringLiteral("cb1"));
    cb1->setChecked(true);
    EXPECT_TRUE(tbs->isVisible());
    EXPECT_EQ(w.selection().textBlockFiles, QStringList{QStringLiteral("#DEMO.DBF")});
    EXPECT_EQ(w.selection().layoutFiles, QStringList{QStringLiteral("DEMO.LAY")});
    saveScreenshot(w, "TfExport.png");

    ws.ui.texts.enqueue(ws.root + QStringLiteral("TMP/out.zip"));
    w.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    EXPECT_EQ(w.outcome().result, PackResult::Ok);
    EXPECT_EQ(zipNames(ws.root + QStringLiteral("TMP/out.zip")),
              (QStringList{QStringLiteral("5A.DBF"), QStringLiteral("5A.DBT"), QStringLiteral("#DEMO.DBF"),
                           QStringLiteral("DEMO.LAY"), QStringLiteral("export.log")}));
    EXPECT_EQ(settings.ImEx1, QDir::cleanPath(ws.root + QStringLiteral("TMP")));
}

TEST(TfExportWindow, BackupSelectsEverything)
{
    ZipWorkspace ws;
    const QString file = ws.addClass(QStringLiteral("5A"));
    ws.addClass(QStringLiteral("5B"));
    ws.addProgramFiles();
    Settings settings;
    TfExport w(ExportMode::Backup, {ws.root, file, {}, {}, {}}, settings, ws.ui, nullptr);
    w.show();
    const ExportSelection s = w.selection();
    EXPECT_EQ(s.studentFiles.size(), 2);
    EXPECT_EQ(s.layoutFiles, (QStringList{QStringLiteral("DEMO.LAY"), QStringLiteral("RASTER1.WMF")}));
    EXPECT_TRUE(s.abbreviations && s.settings && s.textBlocksShown);
}

class TransferWindow : public ::testing::Test {
protected:
    TransferWindow()
    {
        makeClassFile(ws.root + QStringLiteral("ZE-2021-1/5A.DBF"), {QStringLiteral("Müller"), QStringLiteral("Weber")},
                      QStringLiteral("3"));
        makeClassFile(ws.root + QStringLiteral("ZE-2021-1/QUELLE.DBF"), {QStringLiteral("Müller")}, QStringLiteral("1"));
        for (const QString& f : QDir(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER")).entryList(QDir::Files))
            QFile::copy(shareFile(f), ws.root + QStringLiteral("MUSTER/") + f);
        ProgramPaths paths{QStringLiteral(ZEDORA_SHARE_DIR "/"), ws.root, QStringLiteral("PC1")};
        context = std::make_unique<AppContext>(ws.ui, paths);
        context->openWorkspace(ws.root);
        context->createdFiles->endDefer();
        file = std::make_unique<CurrentStudentFile>(*context);
        EXPECT_TRUE(file->open(ws.root + QStringLiteral("ZE-2021-1/5A.DBF"))) << ws.ui.messages().join(QLatin1Char('|')).toStdString();
    }

    ZipWorkspace ws;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<CurrentStudentFile> file;
};

TEST_F(TransferWindow, MarksThenStartTransfersFromAFileInAZip)
{
    TFSpaltenlesen w(TransferMode::Columns, *file, context->settings, ws.ui, ws.root, nullptr, nullptr);
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Spalteninhalte in Hauptdatei übertragen"));
    auto* start = w.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    auto* grid = w.findChild<QTableWidget*>(QStringLiteral("DBGrid1"));
    auto* status = w.findChild<QLabel*>(QStringLiteral("Label2"));
    EXPECT_FALSE(start->isEnabled()); // the open file is no source
    EXPECT_EQ(status->text(), QStringLiteral("Spalte wählen durch Klick auf Spaltenkopf!"));

    const QString zip = ws.root + QStringLiteral("TMP/quelle.zip");
    ASSERT_EQ(packFiles(zip, {{QStringLiteral("QUELLE.DBF"), ws.root + QStringLiteral("ZE-2021-1/QUELLE.DBF")},
                              {QStringLiteral("QUELLE.DBT"), ws.root + QStringLiteral("ZE-2021-1/QUELLE.DBT")}}),
              PackResult::Ok);
    ASSERT_TRUE(w.chooseSource(zip));
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(QFileInfo::exists(ws.root + QStringLiteral("ZipTmp/QUELLE.DBF")));
    ASSERT_EQ(grid->rowCount(), 1);
    // NAME comes first and cannot be marked; memo cells show their start.
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("NAME"));
    grid->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(ws.ui.messages().last(), QString::fromUtf8(transfer_texts::kNotMarkable));
    int de = -1, tb1 = -1;
    for (int c = 0; c < grid->columnCount(); ++c) {
        if (grid->horizontalHeaderItem(c)->text() == QStringLiteral("DE"))
            de = c;
        if (grid->horizontalHeaderItem(c)->text() == QStringLiteral("TB1"))
            tb1 = c;
    }
    ASSERT_GE(de, 0);
    ASSERT_GE(tb1, 0);
    EXPECT_EQ(grid->item(0, tb1)->text(), QStringLiteral("Ein langer Text...").left(15) + QStringLiteral("..."));
    grid->horizontalHeader()->sectionClicked(de);
    EXPECT_EQ(grid->horizontalHeaderItem(de)->text(), QStringLiteral(">DE"));
    EXPECT_EQ(grid->item(0, de)->background().color(), QColor(0x80, 0xFF, 0x80));
    EXPECT_EQ(w.markedFields(), QStringList{QStringLiteral("DE")});
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("Die gewählten Spalten werden in die aktuelle Datei (5A.DBF)")));
    grid->setCurrentCell(0, de);
    saveScreenshot(w, "TFSpaltenlesen.png");

    ws.ui.answers.enqueue(Answer::Yes);
    start->click();
    EXPECT_EQ(ws.ui.messages().last(), QStringLiteral("Es wurden bei 1 Schülern Daten übertragen!"));
    StudentTable& t = file->table();
    EXPECT_EQ(t.valueAt(0, t.findField(QStringLiteral("DE"))).trimmed() + t.valueAt(1, t.findField(QStringLiteral("DE"))).trimmed(),
              QStringLiteral("13"));

    w.findChild<QPushButton*>(QStringLiteral("BitBtn4"))->click();
    EXPECT_TRUE(w.markedFields().isEmpty());
    w.findChild<QPushButton*>(QStringLiteral("BitBtn3"))->click();
    EXPECT_FALSE(w.markedFields().contains(QStringLiteral("NAME")));
    EXPECT_TRUE(w.markedFields().contains(QStringLiteral("TB1")));
}

TEST_F(TransferWindow, RecordModeNamesTheStudentAndAppendsHer)
{
    TFSpaltenlesen w(TransferMode::Record, *file, context->settings, ws.ui, ws.root, nullptr, nullptr);
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Schülerdatensatz in aktuelle Datei einlesen"));
    ASSERT_TRUE(w.chooseSource(ws.root + QStringLiteral("ZE-2021-1/QUELLE.DBF")));
    auto* grid = w.findChild<QTableWidget*>(QStringLiteral("DBGrid1"));
    grid->setCurrentCell(0, 0);
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
              QStringLiteral("Die Daten der Schülerin/des Schülers \"Anna Müller\" werden in die aktuelle Datei (5A.DBF) eingelesen!"));
    ws.ui.answers.enqueue(Answer::Yes);
    w.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    EXPECT_EQ(file->table().rowCount(), 3);
}

} // namespace
} // namespace zedora::test
