// The settings dialog driven as a user drives it.
#include "core/app_context.h"
#include "app/ui/TFEinstell.h"
#include "app/ui/settings_dialog_abbreviations.h"
#include "base/ansi_text.h"
#include "base/profile_file.h"
#include "base/scripted_interaction.h"
#include "data/student_schema.h"
#include "entry/abbreviation_tables.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zedora;
using Page = TFEinstell::Page;

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SettingsDialogTest : public ::testing::Test {
protected:
    SettingsDialogTest()
        : context(ui, ProgramPaths{dir.path() + "/", dir.path() + "/", QStringLiteral("TESTPC")})
    {
        context.openWorkspace(dir.path());
        context.settings = Settings::defaults(context.workspace, 1280);
        context.userMode.setAdministrator(true);
        context.helpTexts = HelpTexts::fromText(QString::fromUtf8("E06 Name der Schule\nE01 Notenkürzel\n"));
        writeLines(QStringLiteral("KUERZEL.TXT"), {QStringLiteral("1 |sehr gut|sehr gut (1)"),
                                                    QStringLiteral("2 |gut|gut (2)")});
        writeLines(QStringLiteral("schule.nkd"), {QStringLiteral("E |E-Kurs|Erweiterungskurs")});
        writeLines(QStringLiteral("ABSCHL.TXT"), {QStringLiteral("HS     Hauptschulabschluss")});
        tables.setWorkspace(context.workspace);
        tables.loadAtStart(context.settings);
    }

    void writeLines(const QString& name, const QStringList& lines)
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const QString& l : lines)
            f.write(toAnsi(l) + "\r\n");
    }
    QString file(const QString& name) const { return dir.filePath(name); }

    std::unique_ptr<TFEinstell> open(Page page = Page::Allgemeines1, const QStringList& fields = {})
    {
        auto d = std::make_unique<TFEinstell>(context, tables, fields, page);
        d->show();
        QApplication::setActiveWindow(d.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(d.get()));
        return d;
    }
    template <class T>
    static T* child(QWidget& w, const char* name)
    {
        T* c = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static void retype(QLineEdit* field, const QString& text)
    {
        field->clear();
        QTest::keyClicks(field, text);
    }
    static void typeIntoCell(QTableWidget* grid, int row, int column, const QString& text,
                             bool pressReturn = true)
    {
        grid->setCurrentCell(row, column);
        grid->editItem(grid->item(row, column));
        // Editors of earlier cells linger hidden until they are deleted.
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : grid->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                editor = e;
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        if (pressReturn) {
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();
        }
    }
    static QString cell(QTableWidget* grid, int row, int column) { return grid->item(row, column)->text(); }

    QTemporaryDir dir;
    ScriptedInteraction ui;
    AppContext context;
    AbbreviationTables tables;
};

} // namespace

TEST_F(SettingsDialogTest, PagesCaptionsAndButtons)
{
    auto d = open(Page::Kuerzel);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Einstellungen / Definitionen"));
    auto* tabs = child<QTabWidget>(*d, "einstellreg");
    const QStringList captions{QStringLiteral("  Allgemeines I  "), QStringLiteral("  Allgemeines II  "),
                               QString::fromUtf8("  Noten- / Abschlusskürzel  "),
                               QStringLiteral("  Durchschnittsnoten  "), QStringLiteral("  Bilddateien  ")};
    ASSERT_EQ(tabs->count(), captions.size());
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_EQ(tabs->tabText(i), captions[i]);
    EXPECT_EQ(tabs->currentWidget()->objectName(), QStringLiteral("reg3"));
    // The photo workshop is a page like the others.
    EXPECT_TRUE(tabs->isTabEnabled(4));
    EXPECT_NE(tabs->widget(4)->findChild<QListWidget*>(), nullptr);
    EXPECT_EQ(child<QPushButton>(*d, "OKBtn")->text(), QString::fromUtf8("&Schließen"));
    // The settings printout and the printer test page open in the preview.
    EXPECT_TRUE(child<QPushButton>(*d, "BitBtn1")->isEnabled());
    EXPECT_TRUE(child<QToolButton>(*d, "SpeedButton5")->isEnabled());

    EXPECT_EQ(open(Page::Durchschnitt)->findChild<QTabWidget*>()->currentWidget()->objectName(),
              QStringLiteral("reg4"));
    EXPECT_EQ(open(Page::Allgemeines1)->findChild<QTabWidget*>()->currentIndex(), 0);
    EXPECT_EQ(open(Page::Bilddateien)->findChild<QTabWidget*>()->currentWidget()->objectName(),
              QStringLiteral("reg5"));
}

TEST_F(SettingsDialogTest, EveryWayOfClosingAppliesTheSettings)
{
    const std::vector<std::pair<const char*, std::function<void(TFEinstell&)>>> ways{
        {"Schließen", [](TFEinstell& d) { QTest::mouseClick(d.findChild<QPushButton*>("OKBtn"), Qt::LeftButton); }},
        {"close box", [](TFEinstell& d) { d.close(); }},
        {"Escape", [](TFEinstell& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
    };
    for (const auto& [name, close] : ways) {
        auto d = open();
        retype(child<QLineEdit>(*d, "schuln1"), QStringLiteral("Gesamtschule ") + QString::fromUtf8(name));
        close(*d);
        EXPECT_FALSE(d->isVisible()) << name;
        EXPECT_EQ(context.settings.SchulName1, QStringLiteral("Gesamtschule ") + QString::fromUtf8(name));
    }
}

TEST_F(SettingsDialogTest, GeneralPagesShowAndTakeTheirSettings)
{
    auto d = open();
    EXPECT_EQ(child<QLineEdit>(*d, "schuln1")->text(), QStringLiteral("Demo-Schule"));
    EXPECT_EQ(child<QLineEdit>(*d, "TabLinksBox")->text(), QStringLiteral("100"));
    EXPECT_TRUE(child<QRadioButton>(*d, "RadioGebFormat1")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(*d, "fdfmoduswahl0")->isChecked());
    EXPECT_EQ(child<QComboBox>(*d, "pfcombo")->currentIndex(), 7);
    EXPECT_EQ(child<QComboBox>(*d, "pfcombo")->count(), 14);
    EXPECT_TRUE(child<QLabel>(*d, "Panel12")->isHidden()); // pattern 13 has no colour
    child<QSpinBox>(*d, "musternummer")->setValue(12);
    EXPECT_FALSE(child<QLabel>(*d, "Panel12")->isHidden());

    retype(child<QLineEdit>(*d, "halbj"), QStringLiteral("2. Halbjahr 2025/26")); // 12 at most
    retype(child<QLineEdit>(*d, "weibEdit"), QStringLiteral("Frau"));
    retype(child<QLineEdit>(*d, "TabLinksBox"), QStringLiteral("abc"));
    retype(child<QLineEdit>(*d, "TabObenBox"), QStringLiteral("120"));
    retype(child<QLineEdit>(*d, "TabRechtsBox"), QString());
    child<QRadioButton>(*d, "RadioGebFormat2")->click();
    child<QRadioButton>(*d, "fdfmoduswahl1")->click();
    child<QCheckBox>(*d, "CheckBox1")->click();
    child<QCheckBox>(*d, "Checktbeinzeilig")->click();
    child<QCheckBox>(*d, "TBSAlleCheckBox")->click();
    child<QComboBox>(*d, "ComboBox1")->setCurrentIndex(2);
    child<QComboBox>(*d, "pfcombo")->setCurrentIndex(0);
    child<QSpinBox>(*d, "musternummer")->setValue(14);
    EXPECT_TRUE(child<QLabel>(*d, "Panel12")->isHidden());
    d->close();

    const Settings& s = context.settings;
    EXPECT_EQ(s.Halbjahr, QStringLiteral("2. Halbjahr "));
    EXPECT_EQ(s.Weiblich, QStringLiteral("F"));
    EXPECT_EQ(s.TabLinks, 50);
    EXPECT_EQ(s.TabOben, 120);
    EXPECT_EQ(s.TabRechts, 50);
    EXPECT_EQ(s.TabUnten, 100);
    EXPECT_EQ(s.GebFormat, 2);
    EXPECT_TRUE(s.FDFAlt);
    EXPECT_FALSE(s.Stammdatengrau);
    EXPECT_TRUE(s.TBeinzeilig);
    EXPECT_TRUE(s.TBSFuerAlle);
    EXPECT_EQ(s.FARBSCHEMA, 3);
    EXPECT_EQ(s.firstColour, colourScheme(3).first);
    EXPECT_EQ(s.secondColour, colourScheme(3).second);
    EXPECT_EQ(s.Papierfach, 1);
    EXPECT_EQ(s.Musterart, 14);
}

TEST_F(SettingsDialogTest, PasswordPairs)
{
    context.settings.passwords.admin = QStringLiteral("ALT");
    context.settings.passwords.start = QStringLiteral("START");
    {
        // Untouched pairs leave both passwords alone.
        auto d = open(Page::Allgemeines2);
        auto* edit4 = child<QLineEdit>(*d, "Edit4");
        EXPECT_EQ(edit4->text(), QStringLiteral("Z"));
        EXPECT_EQ(child<QLineEdit>(*d, "Edit3")->text(), QStringLiteral("G"));
        EXPECT_EQ(edit4->echoMode(), QLineEdit::Password);
        EXPECT_EQ(child<QLineEdit>(*d, "Edit1")->maxLength(), 10);
        d->close();
        EXPECT_TRUE(ui.messages().isEmpty());
        EXPECT_EQ(context.settings.passwords.admin, QStringLiteral("ALT"));
    }
    {
        // Only "Neues Kennwort:" typed: "G" is still in "Wiederholen:".
        auto d = open(Page::Allgemeines2);
        retype(child<QLineEdit>(*d, "Edit4"), QStringLiteral("neu"));
        d->close();
        EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Kennworteingabe-Systembetreuer nicht identisch!")});
        EXPECT_EQ(context.settings.passwords.admin, QStringLiteral("ALT"));
    }
    ui.clear();
    {
        auto d = open(Page::Allgemeines2);
        retype(child<QLineEdit>(*d, "Edit4"), QStringLiteral("neu"));
        retype(child<QLineEdit>(*d, "Edit3"), QStringLiteral("NEU"));
        retype(child<QLineEdit>(*d, "Edit1"), QStringLiteral("x"));
        QTest::keyClick(child<QLineEdit>(*d, "Edit1"), Qt::Key_Backspace); // touched, now empty
        child<QLineEdit>(*d, "Edit2")->clear();
        d->close();
        EXPECT_EQ(ui.messages(), (QStringList{QStringLiteral("Neues Systembetreuerkennwort aktiv!"),
                                             QStringLiteral("Kein Startkennwort aktiv!")}));
        EXPECT_EQ(context.settings.passwords.admin, QStringLiteral("NEU"));
        EXPECT_TRUE(context.settings.passwords.start.isEmpty());
    }
    ui.clear();
    {
        auto d = open(Page::Allgemeines2);
        retype(child<QLineEdit>(*d, "Edit1"), QStringLiteral("geheimwort123"));
        retype(child<QLineEdit>(*d, "Edit2"), QStringLiteral("GEHEIMWORT"));
        d->close();
        EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Neues Startkennwort aktiv!")});
        EXPECT_EQ(context.settings.passwords.start, QStringLiteral("GEHEIMWORT"));
        EXPECT_EQ(context.settings.passwords.admin, QStringLiteral("NEU"));
    }
}

TEST_F(SettingsDialogTest, ColourChainsPanelsAndComparisonLength)
{
    auto d = open(Page::Allgemeines2);
    retype(child<QLineEdit>(*d, "farbbox1"), QStringLiteral("5;6"));
    EXPECT_EQ(child<QLabel>(*d, "panBad")->text(), QStringLiteral("5;6"));
    retype(child<QLineEdit>(*d, "farbbox2"), QStringLiteral(";;"));
    retype(child<QLineEdit>(*d, "farbbox3"), QString());
    child<QCheckBox>(*d, "CheckBox3")->click();

    ui.colours.enqueue(QColor(1, 2, 3));
    QTest::mouseClick(child<QLabel>(*d, "panBad"), Qt::LeftButton);
    ui.colours.enqueue(std::nullopt); // the colour dialog cancelled
    QTest::mouseClick(child<QLabel>(*d, "PanNegi"), Qt::LeftButton);
    ui.colours.enqueue(QColor(0, 0, 255));
    child<QLabel>(*d, "PanPosi")->setFocus();
    QTest::keyClick(child<QLabel>(*d, "PanPosi"), Qt::Key_Space);
    d->close();

    const Settings& s = context.settings;
    EXPECT_EQ(s.F1Kette, QStringLiteral(";5;6;"));
    EXPECT_EQ(s.F2Kette, QString());
    EXPECT_EQ(s.F3Kette, QStringLiteral(";"));
    EXPECT_EQ(s.VglLaenge, 2);
    EXPECT_EQ(s.Farbe01, 1 + 2 * 256 + 3 * 65536);
    EXPECT_EQ(s.FarbeNegi, 65535);
    EXPECT_EQ(s.FarbePosi, 255 * 65536);
    EXPECT_EQ(ui.shown.count(), 3);
}

TEST_F(SettingsDialogTest, AverageListsAndCourseBoxes)
{
    context.settings.DS1 = QStringLiteral("#de#En#");
    context.settings.DS3.clear();
    auto d = open(Page::Durchschnitt);
    auto* d1 = child<QListWidget>(*d, "def_d1");
    auto item = [](QListWidget* list, const char* name) {
        return list->findItems(QString::fromLatin1(name), Qt::MatchExactly).value(0);
    };
    EXPECT_EQ(d1->item(0)->text(), QStringLiteral("DE"));
    EXPECT_EQ(d1->count(), int(fieldsOfKind(FieldKind::Grade).size()));
    EXPECT_EQ(item(d1, "DE")->checkState(), Qt::Checked);
    EXPECT_EQ(item(d1, "EN")->checkState(), Qt::Checked);
    EXPECT_EQ(item(d1, "MA")->checkState(), Qt::Unchecked);
    item(d1, "EN")->setCheckState(Qt::Unchecked);
    item(d1, "NOTEX")->setCheckState(Qt::Checked);
    item(d1, "MA")->setCheckState(Qt::Checked);
    child<QCheckBox>(*d, "CheckKE")->click();
    child<QCheckBox>(*d, "CheckKD")->click();
    d->close();

    EXPECT_EQ(context.settings.DS1, QStringLiteral("#DE#MA#NOTEX#"));
    EXPECT_TRUE(context.settings.DS2.startsWith(QStringLiteral("#LA#FR#GR#RE#WN#")));
    EXPECT_EQ(context.settings.DS3, QStringLiteral("#"));
    EXPECT_FALSE(context.settings.KE);
    EXPECT_TRUE(context.settings.KM);
    EXPECT_TRUE(context.settings.KD);
    EXPECT_FALSE(context.settings.KX);

    // The lists offer the grade fields the open file has.
    auto fromFile = open(Page::Durchschnitt, {"NAME", "de", "KE", "EN", "ABSCH", "NOTEX"});
    auto* list = child<QListWidget>(*fromFile, "def_d2");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("NOTEX"));
}

TEST_F(SettingsDialogTest, AbbreviationGridIsSavedWhenChanged)
{
    const QByteArray before = readBytes(file(QStringLiteral("KUERZEL.TXT")));
    {
        // Looking without touching writes nothing.
        auto d = open(Page::Kuerzel);
        d->close();
        EXPECT_EQ(readBytes(file(QStringLiteral("KUERZEL.TXT"))), before);
    }
    auto d = open(Page::Kuerzel);
    auto* grid = child<QTableWidget>(*d, "notgitter");
    ASSERT_EQ(grid->rowCount(), 150);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QString::fromUtf8("Kürzel (max. 2 Z.)"));
    EXPECT_EQ(cell(grid, 1, 1), QStringLiteral("gut"));
    auto* files = child<QComboBox>(*d, "defkuerzelbox");
    EXPECT_EQ(files->currentText(), QStringLiteral("KUERZEL.TXT"));
    EXPECT_GE(files->findText(QStringLiteral("SCHULE.NKD")), 0);

    typeIntoCell(grid, 2, 0, QStringLiteral("3+x"));
    EXPECT_EQ(cell(grid, 2, 0), QStringLiteral("3+"));
    // Closed while the cell is still being edited: the text counts.
    typeIntoCell(grid, 2, 1, QStringLiteral("befriedigend"), false);
    d->close();

    const QList<QByteArray> lines = readBytes(file(QStringLiteral("KUERZEL.TXT"))).split('\n');
    ASSERT_EQ(lines.size(), 151);
    EXPECT_EQ(lines[0], QByteArray("1 |sehr gut|sehr gut (1)\r"));
    EXPECT_EQ(lines[2], QByteArray("3+|befriedigend|\r"));
    EXPECT_EQ(lines[149], QByteArray("  ||\r"));
    EXPECT_TRUE(context.createdFiles->files().contains(file(QStringLiteral("KUERZEL.TXT")), Qt::CaseInsensitive));
    EXPECT_TRUE(tables.grades.isDefined(QStringLiteral("3+")));
}

TEST_F(SettingsDialogTest, RowsAreInsertedDeletedAndMoved)
{
    auto d = open(Page::Kuerzel);
    auto* grid = child<QTableWidget>(*d, "notgitter");
    grid->setCurrentCell(0, 1);
    QTest::mouseClick(child<QPushButton>(*d, "notEinfuegen"), Qt::LeftButton);
    EXPECT_EQ(cell(grid, 0, 0), QString());
    EXPECT_EQ(cell(grid, 1, 0), QStringLiteral("1"));

    ui.answers.enqueue(Answer::No);
    QTest::mouseClick(child<QPushButton>(*d, "notLoeschen"), Qt::LeftButton);
    EXPECT_EQ(ui.messages(), QStringList{QString::fromUtf8("Soll die Zeile wirklich gelöscht werden?\n")});
    EXPECT_EQ(cell(grid, 1, 0), QStringLiteral("1"));
    ui.answers.enqueue(Answer::Yes);
    QTest::mouseClick(child<QPushButton>(*d, "notLoeschen"), Qt::LeftButton);
    EXPECT_EQ(cell(grid, 0, 0), QStringLiteral("1"));

    // Dragging row 2 above row 1 reorders the lines of the file.
    grid->verticalHeader()->moveSection(1, 0);
    EXPECT_EQ(grid->verticalHeader()->logicalIndex(0), 0);
    EXPECT_EQ(cell(grid, 0, 0), QStringLiteral("2"));
    EXPECT_EQ(cell(grid, 1, 0), QStringLiteral("1"));
    d->close();
    const QList<QByteArray> lines = readBytes(file(QStringLiteral("KUERZEL.TXT"))).split('\n');
    EXPECT_EQ(lines[0], QByteArray("2 |gut|gut (2)\r"));
    EXPECT_EQ(lines[1], QByteArray("1 |sehr gut|sehr gut (1)\r"));
}

TEST_F(SettingsDialogTest, OtherFileIsLoadedOnlyWhenConfirmed)
{
    auto d = open(Page::Kuerzel);
    auto& page = d->abbreviationPage();
    auto* files = child<QComboBox>(*d, "defkuerzelbox");
    auto* grid = child<QTableWidget>(*d, "notgitter");
    files->setFocus();
    const int schule = files->findText(QStringLiteral("SCHULE.NKD"));
    ui.answers.enqueue(Answer::Cancel);
    QTest::keyClick(files, Qt::Key_Down);
    EXPECT_EQ(ui.messages(), QStringList{QString::fromUtf8("Soll Kürzeldatei SCHULE.NKD geladen werden?\n")});
    EXPECT_EQ(files->currentIndex(), 0);
    EXPECT_EQ(cell(grid, 0, 0), QStringLiteral("1"));
    EXPECT_TRUE(grid->hasFocus());

    files->setFocus();
    ui.answers.enqueue(Answer::Yes);
    QTest::keyClick(files, Qt::Key_Down);
    EXPECT_EQ(files->currentIndex(), schule);
    EXPECT_EQ(page.editedFile(), QStringLiteral("SCHULE.NKD"));
    EXPECT_EQ(cell(grid, 0, 2), QStringLiteral("Erweiterungskurs"));
    // Editing another file does not make it the active one.
    d->close();
    EXPECT_EQ(tables.grades.activeFileName(), QStringLiteral("KUERZEL.TXT"));
}

TEST_F(SettingsDialogTest, SaveAsCreatesANkdFileOrSaysWhyNot)
{
    auto d = open(Page::Kuerzel);
    auto& page = d->abbreviationPage();
    const QString failed = QString::fromUtf8("FEHLER: Neue Kürzeldatei wurde nicht erstellt!");
    for (const QString& bad : {QStringLiteral("neu.txt"), QStringLiteral("../neu"), QStringLiteral("a/b"),
                               QString::fromUtf8("Пётр")}) {
        ui.clear();
        ui.texts.enqueue(bad);
        QTest::mouseClick(child<QPushButton>(*d, "speiUnter"), Qt::LeftButton);
        EXPECT_EQ(ui.messages(), QStringList{failed}) << bad.toStdString();
    }
    ui.clear();
    ui.texts.enqueue(QStringLiteral("   "));
    QTest::mouseClick(child<QPushButton>(*d, "speiUnter"), Qt::LeftButton);
    EXPECT_TRUE(ui.messages().isEmpty());
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, QString::fromUtf8("Unter welchem Namen soll die Kürzeldatei ...?"));
    EXPECT_EQ(ui.shown[0].detail, QStringLiteral("Dateinamen ohne Extension: "));
    EXPECT_EQ(page.editedFile(), QStringLiteral("KUERZEL.TXT"));

    ui.texts.enqueue(QStringLiteral(" Förder "));
    QTest::mouseClick(child<QPushButton>(*d, "speiUnter"), Qt::LeftButton);
    const QString created = file(QString::fromUtf8("FöRDER.NKD"));
    EXPECT_EQ(readBytes(created).count("\r\n"), 150);
    EXPECT_EQ(page.editedFile(), QString::fromUtf8("FöRDER.NKD"));
    EXPECT_EQ(child<QComboBox>(*d, "defkuerzelbox")->currentText(), QString::fromUtf8("FöRDER.NKD"));
    EXPECT_TRUE(context.createdFiles->files().contains(created));
}

TEST_F(SettingsDialogTest, GraduationGridWritesAbschlTxt)
{
    auto d = open(Page::Kuerzel);
    auto* grid = child<QTableWidget>(*d, "abschgitter");
    ASSERT_EQ(grid->rowCount(), 10);
    EXPECT_EQ(cell(grid, 0, 1), QStringLiteral("Hauptschulabschluss"));
    typeIntoCell(grid, 1, 0, QStringLiteral("rs"));
    typeIntoCell(grid, 1, 1, QStringLiteral("Realschulabschluss"));
    d->close();
    const QList<QByteArray> lines = readBytes(file(QStringLiteral("ABSCHL.TXT"))).split('\n');
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0], QByteArray("HS     Hauptschulabschluss\r"));
    EXPECT_EQ(lines[1], QByteArray("RS     Realschulabschluss\r"));
    EXPECT_EQ(tables.graduation.allowedCodes(), QStringLiteral("##HS#RS#"));
}

TEST_F(SettingsDialogTest, CharactersTheFilesCannotHoldAreRefused)
{
    auto d = open(Page::Kuerzel);
    auto* grid = child<QTableWidget>(*d, "notgitter");
    typeIntoCell(grid, 0, 1, QStringLiteral("sehr|gut"));
    EXPECT_EQ(cell(grid, 0, 1), QStringLiteral("sehrgut"));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages()[0].contains(QStringLiteral("\"|\"")));

    ui.clear();
    auto* name = child<QLineEdit>(*d, "schuln1");
    name->setText(QStringLiteral("Schule"));
    QTest::sendKeyEvent(QTest::Click, name, Qt::Key_A, QString::fromUtf8("Ж"), Qt::NoModifier);
    EXPECT_EQ(name->text(), QStringLiteral("Schule"));
    EXPECT_EQ(ui.messages().size(), 1);
    QTest::sendKeyEvent(QTest::Click, name, Qt::Key_Udiaeresis, QString::fromUtf8("ü"), Qt::NoModifier);
    EXPECT_EQ(name->text(), QString::fromUtf8("Schuleü"));
    EXPECT_EQ(ui.messages().size(), 1);
}

TEST_F(SettingsDialogTest, EditFieldsTurnYellowAndEnterMovesOn)
{
    auto d = open();
    auto* first = child<QLineEdit>(*d, "schuln1");
    auto* second = child<QLineEdit>(*d, "schuln2");
    const QColor normal = first->palette().color(QPalette::Base);
    first->setFocus();
    EXPECT_EQ(first->palette().color(QPalette::Base), QColor(255, 255, 0));
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_EQ(first->palette().color(QPalette::Base), normal);
    EXPECT_EQ(second->palette().color(QPalette::Base), QColor(255, 255, 0));

    // Enter in a grid presses no default button; on a button it presses it.
    d->showPage(Page::Kuerzel);
    auto* grid = child<QTableWidget>(*d, "notgitter");
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(cell(grid, 0, 0), QStringLiteral("1"));
    EXPECT_TRUE(d->isVisible());
    auto* close = child<QPushButton>(*d, "OKBtn");
    close->setFocus();
    QTest::keyClick(close, Qt::Key_Return);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(SettingsDialogTest, HelpLineShowsTheCodeOfTheControl)
{
    auto d = open();
    auto* hilfe = child<QLabel>(*d, "hilfe");
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(child<QLineEdit>(*d, "schuln1"), &enter);
    EXPECT_EQ(hilfe->text(), QStringLiteral("Name der Schule"));

    context.settings.MitHilfe = false;
    auto quiet = open();
    EXPECT_FALSE(child<QLabel>(*quiet, "hilfe")->isVisible());
}

TEST_F(SettingsDialogTest, CaptionsFitAt1280x800)
{
    for (Page page : {Page::Allgemeines1, Page::Allgemeines2, Page::Kuerzel, Page::Durchschnitt}) {
        auto d = open(page);
        EXPECT_LE(d->width(), 1280);
        EXPECT_LE(d->frameGeometry().height(), 800 - 40);
        QWidget* current = d->findChild<QTabWidget*>()->currentWidget();
        for (QWidget* w : current->findChildren<QWidget*>()) {
            if (!w->isVisible() || qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractScrollArea*>(w)
                || qobject_cast<QSpinBox*>(w) || qobject_cast<QComboBox*>(w))
                continue;
            const auto* label = qobject_cast<QLabel*>(w);
            if (label && label->wordWrap())
                continue;
            if (w->parentWidget() && qobject_cast<QAbstractScrollArea*>(w->parentWidget()->parentWidget()))
                continue;
            EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->metaObject()->className() << " "
                                                                 << w->objectName().toStdString();
        }
        if (const QByteArray out = qgetenv("ZEDORA_SCREENSHOTS"); !out.isEmpty()) {
            // As a user sees it: focus in the first field, its help text shown.
            if (auto* field = current->findChild<QLineEdit*>()) {
                field->setFocus();
                QEvent enter(QEvent::Enter);
                QApplication::sendEvent(field, &enter);
            }
            d->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/einstell-%1.png").arg(int(page)));
        }
    }
}

TEST_F(SettingsDialogTest, OpeningRunsOnlyForTheAdministratorAndWritesAfterwards)
{
    context.userMode.setAdministrator(false);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* w = QApplication::activeModalWidget()) {
            opened = true;
            w->close();
        }
    });
    EXPECT_FALSE(openSettingsDialog(context, tables, Page::Allgemeines1, nullptr));
    QCoreApplication::processEvents();
    EXPECT_FALSE(opened);
    EXPECT_FALSE(QFile::exists(context.settingsFiles->programWidePath()));

    context.userMode.setAdministrator(true);
    context.settings.ZedoraSpellPath = QStringLiteral("nur im Speicher");
    int reopened = 0;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<TFEinstell*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->findChild<QTabWidget*>()->currentWidget()->objectName(), QStringLiteral("reg3"));
        d->findChild<QLineEdit*>(QStringLiteral("schuln2"))->setText(QStringLiteral("Nordstadt"));
        d->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    SettingsDialogOptions options;
    options.reopenStudentFile = [&] { ++reopened; };
    EXPECT_TRUE(openSettingsDialog(context, tables, Page::Kuerzel, nullptr, options));
    EXPECT_EQ(reopened, 1);
    const ProfileFile ini = ProfileFile::fromFile(context.settingsFiles->programWidePath());
    EXPECT_EQ(ini.readString(QStringLiteral("ALLGEMEINES"), QStringLiteral("Schulname2")), QStringLiteral("Nordstadt"));
    EXPECT_EQ(context.settings.SchulName2, QStringLiteral("Nordstadt"));
    // Read again: a value that is never written is back at its default.
    EXPECT_EQ(context.settings.ZedoraSpellPath, QStringLiteral("c:\\speller\\"));
}
