// The import windows driven like a user: sources, the class list, file
// names, the options windows and the read-data window.
#include "core/app_context.h"
#include "exchange/ui/TFFeld.h"
#include "exchange/ui/TFImport.h"
#include "exchange/ui/TFLesedatei.h"
#include "exchange/ui/TFTolvoOptionen.h"
#include "exchange/ui/TFZusatz.h"
#include "exchange_support.h"
#include "tolvo_server.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace zedora::test {
namespace {

void screenshot(QWidget& w, const char* name)
{
    if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        w.grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + QLatin1Char('/') + QLatin1String(name));
}

QStringList listTexts(const QListWidget& list, bool selectedOnly = false)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        if (!selectedOnly || list.item(i)->isSelected())
            texts << list.item(i)->text();
    return texts;
}

class ImportWindow : public ::testing::Test {
protected:
    Workspace ws;
    std::unique_ptr<AppContext> ctx;
    void SetUp() override
    {
        QDir().mkpath(ws.root + QStringLiteral("ZE-2425-2"));
        ctx = std::make_unique<AppContext>(ws.ui, ProgramPaths{QStringLiteral(ZEDORA_SHARE_DIR "/"), ws.root, "PC1"});
        ctx->openWorkspace(ws.root);
        ctx->createdFiles->endDefer();
    }
    template <typename T>
    T* child(QWidget& w, const char* name)
    {
        T* c = w.findChild<T*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
};

TEST_F(ImportWindow, SibankFileToOneFilePerClass)
{
    ws.copyFixture(QStringLiteral("FACHKURS.DBF"));
    ctx->settings.SibankDatei = ws.copyFixture(QStringLiteral("S_2024.DBF"));
    ctx->settings.ImportArt = 2;
    TFImport dialog(*ctx, QStringLiteral("ZE-2425-1"));
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Neuanlegen und Stammdatenimport"));
    EXPECT_EQ(child<QStackedWidget>(dialog, "PageControl1")->currentIndex(), 1);
    EXPECT_TRUE(child<QRadioButton>(dialog, "art2")->isChecked());
    EXPECT_EQ(child<QLineEdit>(dialog, "SibankEdit")->text(), ctx->settings.SibankDatei);
    // The data directory after the main window's one.
    EXPECT_EQ(child<QComboBox>(dialog, "importsjbox")->currentText(), QStringLiteral("ZE-2425-2"));
    auto* name = child<QLineEdit>(dialog, "NeuFilename");
    EXPECT_EQ(name->text(), QStringLiteral("%KL%-2425-2"));
    screenshot(dialog, "import-1-sibank.png");

    // Nothing read yet: nothing to create.
    child<QPushButton>(dialog, "ErstelleBtn")->click();
    EXPECT_EQ(ws.ui.messages().value(0), QStringLiteral("Es ist keine Erstellung möglich,\n\nweil keine Daten bereit stehen!\n"));
    ws.ui.clear();

    child<QPushButton>(dialog, "BereitBtn")->click();
    auto* classes = child<QListWidget>(dialog, "ImKlassen");
    EXPECT_EQ(listTexts(*classes), (QStringList{"ALLE", "10.1.2", "5 a/b", "5A", "5B", "6A"}));
    EXPECT_EQ(listTexts(*classes, true), QStringList{"ALLE"});
    EXPECT_EQ(dialog.importTable().studentCount(), 38);
    screenshot(dialog, "import-3-data-ready.png");

    // A class deselects "ALLE"; "ALLE" deselects the classes.
    QTest::mouseClick(classes->viewport(), Qt::LeftButton, {}, classes->visualItemRect(classes->item(3)).center());
    QTest::mouseClick(classes->viewport(), Qt::LeftButton, {}, classes->visualItemRect(classes->item(4)).center());
    EXPECT_EQ(listTexts(*classes, true), (QStringList{"5A", "5B"}));
    screenshot(dialog, "import-4-classes-chosen.png");
    QTest::mouseClick(classes->viewport(), Qt::LeftButton, {}, classes->visualItemRect(classes->item(0)).center());
    EXPECT_EQ(listTexts(*classes, true), QStringList{"ALLE"});
    QTest::mouseClick(classes->viewport(), Qt::LeftButton, {}, classes->visualItemRect(classes->item(5)).center());

    // The file name follows the mode and the data directory.
    auto* sep = child<QCheckBox>(dialog, "SepDatei");
    sep->click();
    EXPECT_EQ(name->text(), QStringLiteral("Alle"));
    sep->click();
    child<QComboBox>(dialog, "importsjbox")->setCurrentIndex(0);
    EXPECT_EQ(name->text(), QStringLiteral("%KL%-2425-1"));
    screenshot(dialog, "import-5-create.png");

    ws.ui.answers.enqueue(Answer::Yes);
    child<QPushButton>(dialog, "ErstelleBtn")->click();
    EXPECT_EQ(ws.ui.messages().value(0), QStringLiteral("Die Datei 6A-2425-1.DBF\n\nim Notenverzeichnis ZE-2425-1\n\nwird erstellt!\n"));
    EXPECT_EQ(readRecords(ws.root + QStringLiteral("ZE-2425-1/6A-2425-1.DBF")).size(), 10u);
    EXPECT_EQ(dialog.lastCreatedDirectory(), resolvePath(ws.root + QStringLiteral("ZE-2425-1")));
    EXPECT_TRUE(listTexts(*classes, true).isEmpty());
    dialog.reject();
    EXPECT_EQ(ctx->settings.ImportArt, 2);
}

TEST_F(ImportWindow, DbaseSourceCopiesTheChosenFileAndMapsItsFields)
{
    ctx->settings.ImportArt = 3;
    TFImport dialog(*ctx, QStringLiteral("ZE-2425-1"));
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(child<QStackedWidget>(dialog, "PageControl1")->currentIndex(), 2);
    const QString chosen = ws.copyFixture(QStringLiteral("IMPORT_ANY.DBF"));
    ws.ui.texts.enqueue(chosen);
    child<QPushButton>(dialog, "dbaseBtn")->click();
    EXPECT_EQ(ws.ui.shown.value(0).text, QStringLiteral("dBase-Datei festlegen"));
    EXPECT_EQ(QFileInfo(ctx->settings.SibankDatei).fileName(), QStringLiteral("IMPORTX.DBF"));
    EXPECT_EQ(child<QLineEdit>(dialog, "dbaseEdit")->text(), ctx->settings.SibankDatei);
    screenshot(dialog, "import-2-dbase.png");

    // The mapping window: edited in lower case, kept in upper case.
    {
        TFFeld feld(ctx->settings, &dialog);
        auto* grid = child<QTableWidget>(feld, "StringGrid1");
        ASSERT_EQ(grid->rowCount(), 17);
        EXPECT_EQ(grid->item(11, 0)->text(), QStringLiteral("Straße"));
        EXPECT_EQ(grid->item(2, 1)->text(), QStringLiteral("KL_NAME"));
        grid->item(16, 1)->setText(QStringLiteral("krankenkas"));
        screenshot(feld, "import-feldnamen.png");
        feld.reject();
    }
    EXPECT_EQ(ctx->settings.ip_Frei2, QStringLiteral("KRANKENKAS"));
    child<QPushButton>(dialog, "BereitBtn")->click();
    EXPECT_EQ(dialog.importTable().studentCount(), 15);
    EXPECT_EQ(dialog.importTable().cell(1, ImportColumn::StammF2), QStringLiteral("AOK NordWest"));
    EXPECT_EQ(listTexts(*child<QListWidget>(dialog, "ImKlassen")), (QStringList{"ALLE", "5A", "5B", "6A"}));
}

TEST_F(ImportWindow, OptionWindowsStoreWhatWasChosen)
{
    {
        TFZusatz zusatz(ctx->settings, ws.root + QStringLiteral("MUSTER/SIBANKFELDER.MST"));
        auto* edit1 = child<QComboBox>(zusatz, "edit1");
        EXPECT_EQ(edit1->itemText(0), QString(11, QLatin1Char(' ')));
        EXPECT_EQ(edit1->itemText(1), QStringLiteral("KL_LEHRER"));
    EXPECT_EQ(edit1->itemText(2), QStringLiteral("VON_SCHULE"));
        EXPECT_EQ(edit1->currentText(), QStringLiteral("KL_LEHRER"));
        edit1->setCurrentText(QStringLiteral("  TELEFON_ZWEI_LANG "));
        child<QSpinBox>(zusatz, "kursspin")->setValue(2);
        child<QCheckBox>(zusatz, "abgimportbox")->setChecked(true);
        screenshot(zusatz, "import-einleseoptionen.png");
        child<QPushButton>(zusatz, "BitBtn1")->click();
    }
    EXPECT_EQ(ctx->settings.FreiFeld1, QStringLiteral("TELEFON_ZWEI"));
    EXPECT_EQ(ctx->settings.Kursleselaenge, 2);
    EXPECT_TRUE(ctx->settings.AbgImport);
    {
        TFTolvoOptionen options(ctx->settings);
        EXPECT_EQ(options.windowTitle(), QStringLiteral("Tolvo - Optionen"));
        child<QLineEdit>(options, "PortEdit")->setText(QStringLiteral("abc"));
        child<QLineEdit>(options, "HostEdit")->setText(QStringLiteral(" schulserver "));
        child<QLineEdit>(options, "E_n3")->setText(QStringLiteral("X"));
        options.findChild<QWidget*>(QStringLiteral("RG3"))->findChildren<QRadioButton*>().at(2)->click();
        options.findChild<QWidget*>(QStringLiteral("rg1"))->findChildren<QRadioButton*>().at(1)->click();
        screenshot(options, "import-tolvo-optionen.png");
        child<QPushButton>(options, "BitBtn1")->click();
    }
    EXPECT_EQ(ctx->settings.TolvoPort, 3306);
    EXPECT_EQ(ctx->settings.TolvoHost, QStringLiteral("schulserver"));
    EXPECT_EQ(ctx->settings.Niveau3, QStringLiteral("X"));
    EXPECT_EQ(ctx->settings.TolvoVornamenOption, 2);
    EXPECT_FALSE(ctx->settings.TolvoWPKBez);
    EXPECT_TRUE(ctx->settings.TolvoAGBez);
}

TEST_F(ImportWindow, ServerReadShowsTheReadDataAndKeepsNoPassword)
{
    TolvoServer server;
    ASSERT_TRUE(server.running()) << "The TOLVO test server did not start:\n" << server.log();
    ctx->settings.ImportArt = 1;   // the empty item is the server
    ctx->settings.TolvoHost = QStringLiteral("127.0.0.1");
    ctx->settings.TolvoPort = server.port();
    TFImport dialog(*ctx, QStringLiteral("ZE-2425-1"));
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(child<QRadioButton>(dialog, "art0")->isChecked());
    child<QLineEdit>(dialog, "LoginEdit")->setText(QStringLiteral("tolvo"));
    child<QLineEdit>(dialog, "PasswortEdit")->setText(QStringLiteral("tolvo"));
    screenshot(dialog, "import-2-tolvo.png");

    int rows = -1;
    bool sibankVisible = false;
    QTimer::singleShot(0, [&] {
        auto* read = qobject_cast<TFLesedatei*>(QApplication::activeModalWidget());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->windowTitle(), QStringLiteral("Gelesene Daten"));
        auto* grid = read->findChild<QTableWidget*>(QStringLiteral("StammDa"));
        rows = grid->rowCount();
        EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Lfd. Nr."));
        EXPECT_EQ(grid->item(0, ImportColumn::Name)->text(), QStringLiteral("Albrecht"));
        sibankVisible = !read->findChild<QPushButton*>(QStringLiteral("SibankBtn"))->isHidden();
        screenshot(*read, "lesedatei.png");
        read->findChild<QPushButton*>(QStringLiteral("WeiterBtn"))->click();
    });
    child<QPushButton>(dialog, "BereitBtn")->click();
    EXPECT_EQ(rows, 42);
    EXPECT_TRUE(sibankVisible);
    // Two students without a usable birth date are named.
    EXPECT_EQ(ws.ui.messages().size(), 1);
    EXPECT_EQ(listTexts(*child<QListWidget>(dialog, "ImKlassen")), (QStringList{"ALLE", "5a", "5b", "7c"}));

    // "Import abbrechen" drops the read.
    QTimer::singleShot(0, [&] {
        QApplication::activeModalWidget()->findChild<QPushButton*>(QStringLiteral("AbbrechenBtn"))->click();
    });
    child<QPushButton>(dialog, "BereitBtn")->click();
    EXPECT_EQ(child<QListWidget>(dialog, "ImKlassen")->count(), 0);
    EXPECT_EQ(dialog.importTable().studentCount(), 0);

    dialog.reject();
    EXPECT_EQ(ctx->settings.ImportArt, 0);
    EXPECT_EQ(ctx->settings.TolvoLogin, QStringLiteral("tolvo"));
    EXPECT_TRUE(child<QLineEdit>(dialog, "PasswortEdit")->text().isEmpty());
}

TEST_F(ImportWindow, RolloverConversionWritesTheComparisonFileAndCloses)
{
    TolvoServer server;
    ASSERT_TRUE(server.running()) << "The TOLVO test server did not start:\n" << server.log();
    ctx->settings.ImportArt = 0;
    ctx->settings.TolvoHost = QStringLiteral("127.0.0.1");
    ctx->settings.TolvoPort = server.port();
    TFImport dialog(*ctx, QStringLiteral("ZE-2425-1"), true);
    dialog.show();
    QApplication::processEvents();
    child<QLineEdit>(dialog, "LoginEdit")->setText(QStringLiteral("root"));
    bool sibankEnabled = true, sibankVisible = false;
    QTimer::singleShot(0, [&] {
        QWidget* read = QApplication::activeModalWidget();
        ASSERT_NE(read, nullptr);
        auto* sibank = read->findChild<QPushButton*>(QStringLiteral("SibankBtn"));
        sibankEnabled = sibank->isEnabled();
        sibankVisible = !sibank->isHidden();
        read->findChild<QPushButton*>(QStringLiteral("WeiterBtn"))->click();
    });
    child<QPushButton>(dialog, "BereitBtn")->click();
    EXPECT_TRUE(sibankVisible);
    EXPECT_FALSE(sibankEnabled);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    // 126 and 143 have no birth date: the comparison file cannot take them.
    EXPECT_TRUE(ws.ui.messages().last().startsWith(
        QStringLiteral("Die Datei im Sibank-Format wurde nicht erstellt:\nZeile 25 (Thomsen, Marie): \"\" ist kein gültiges Geburtsdatum.")))
        << ws.ui.messages().join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(QFileInfo::exists(ws.root + QStringLiteral("TMP/TolvoToSibank.DBF")));
    EXPECT_EQ(ctx->settings.SibankDatei, resolvePath(ws.root + QStringLiteral("TMP")) + QStringLiteral("/TolvoToSibank.DBF"));
}

} // namespace
} // namespace zedora::test
