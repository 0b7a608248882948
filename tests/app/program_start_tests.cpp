#include "core/app_context.h"
#include "app/single_instance.h"
#include "app/ui/TFMain.h"
#include "app/ui/program_start.h"
#include "base/scripted_interaction.h"
#include "app/shipped_program.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "data/student_schema.h"
#include "dbase/table.h"
#include "print/ui/TFVorschau.h"
#include <QApplication>
#include <QTableView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWheelEvent>
#include <QPushButton>
#include <QFrame>
#include <QLayout>
#include <QProcess>
#include <QToolButton>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace zedora;

namespace {

class ScriptedPrompts : public PasswordPrompts {
public:
    QStringList startEntries;
    QString askStartPassword() override
    {
        ++startAsked;
        return startEntries.isEmpty() ? QString() : startEntries.takeFirst();
    }
    AdminPasswordAnswer askAdminPassword() override { return {}; }
    int startAsked = 0;
};

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

void makeTable(const QString& path, const QStringList& names)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    dbase::Table::create(path.toStdString(), studentFileFields());
    auto t = dbase::Table::open(path.toStdString());
    for (const QString& n : names) {
        t->append();
        t->setText("NAME", n.toStdString());
        t->setText("GEBOREN", "01.01.2010");
        t->post();
    }
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A program folder with templates and help texts, and an empty workspace.
class ProgramStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paths.programDir = root.path() + "/share/";
        paths.defaultWorkspace = root.path() + "/ws/";
        paths.computerName = "TESTPC";
        writeFile(paths.programDir + "HELPTEXT.TXT", "025 Beendet das Programm.\r\n");
        // Real tables: the start opens the demo class.
        makeTable(paths.programDir + "MUSTER/demo.dbf", {"Demo"});
        makeTable(paths.programDir + "MUSTER/tpl.dbf", {});
        QFile::rename(paths.programDir + "MUSTER/tpl.dbf", paths.programDir + "MUSTER/MUSTER.MS1");
        QFile::rename(paths.programDir + "MUSTER/tpl.dbt", paths.programDir + "MUSTER/MUSTER.MS3");
        writeFile(paths.programDir + "MUSTER/KUERZEL.MST", "1;sehr gut\r\n");
        const QByteArray layout =
            "[Demo]\r\n\r\n-FDFYYY-\r\nNAME               Name                                    15\r\n";
        writeFile(paths.programDir + "MUSTER/DEMOLAY.MST", layout);
        // Starts that skip the set-up find the layout in place already; a
        // layout without column layout would open its (modal) window.
        writeFile(paths.defaultWorkspace + "LAYOUT/DEMO.LAY", layout);
    }
    std::unique_ptr<TFMain> start(const QStringList& args = {"zedora"})
    {
        context = std::make_unique<AppContext>(ui, paths);
        return startProgram(*context, args, prompts);
    }
    QString ws() const { return paths.defaultWorkspace; }

    QTemporaryDir root;
    ProgramPaths paths;
    ScriptedInteraction ui;
    ScriptedPrompts prompts;
    std::unique_ptr<AppContext> context;
};

} // namespace

TEST_F(ProgramStartTest, FirstStartLaysOutTheWorkspaceAndOpensTheDemo)
{
    auto window = start();
    ASSERT_TRUE(window);
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join("|").toStdString();
    EXPECT_EQ(prompts.startAsked, 0);
    EXPECT_EQ(readFile(ws() + "MUSTER/KUERZEL.MST"), "1;sehr gut\r\n");
    EXPECT_EQ(readFile(ws() + "KUERZEL.TXT"), "1;sehr gut\r\n");
    EXPECT_EQ(context->settings.NotenDatei, ws() + "ZE-0000-0/demo.dbf");
    EXPECT_EQ(window->studentFile().table().value("NAME"), "Demo");
    EXPECT_TRUE(QFile::exists(ws() + "ZE-0000-0/demo.mdx")) << "indexed on opening";
    EXPECT_TRUE(context->userMode.isAdministrator());
    EXPECT_EQ(window->windowTitle(), "Zedora 7.3");
    auto* sjbox = window->findChild<QComboBox*>("sjbox");
    ASSERT_TRUE(sjbox);
    EXPECT_EQ(sjbox->itemText(0), "ZE-0000-0");
    EXPECT_EQ(sjbox->count(), 15);

    // Closing writes the three settings files and the register lists, and
    // empties TMP.
    writeFile(ws() + "TMP/scratch.tmp", "x");
    window->close();
    EXPECT_TRUE(window->closed());
    for (const char* f : {"ZEDORA.INI", "PW.INI", "ZDR-TESTPC.ini", "angelegteDateien.txt",
                          "angelegteVerzeichnisse.txt"})
        EXPECT_TRUE(QFile::exists(ws() + f)) << f;
    EXPECT_TRUE(QDir(ws() + "TMP").isEmpty());
    EXPECT_TRUE(readFile(ws() + "ZDR-TESTPC.ini").contains("NotenDatei=ZE-0000-0\\demo.dbf"));
    EXPECT_TRUE(readFile(ws() + "angelegteDateien.txt").contains("ZEDORA.INI"));
}

TEST_F(ProgramStartTest, WithTheMarkerTheSetupDoesNotRunAgain)
{
    writeFile(ws() + "zdrlokal.ini", "");
    auto window = start();
    ASSERT_TRUE(window);
    EXPECT_FALSE(QFileInfo::exists(ws() + "ARCHIV"));
    // The demo is still rebuilt because no last student file exists.
    EXPECT_EQ(window->studentFile().path(), ws() + "ZE-0000-0/demo.dbf");
}

TEST_F(ProgramStartTest, RecoveryStartForgetsTheLastFileAndRunsThePostUpdateStep)
{
    writeFile(ws() + "zdrlokal.ini", "");
    writeFile(ws() + "ZE-1920-1/5A.DBF", "class");
    writeFile(ws() + "ZDR-TESTPC.ini", "[ALLGEMEINES]\r\nNotenDatei=ZE-1920-1\\5A.DBF\r\n");
    auto window = start({"zedora", "Fehler"});
    ASSERT_TRUE(window);
    ASSERT_EQ(ui.messages().size(), 2);
    EXPECT_EQ(ui.messages()[0], "Zedora - Start - Parameter wurden neu gesetzt !");
    EXPECT_TRUE(ui.messages()[1].startsWith("\nZedora Version 7.3 V-Nr.: 7306"));
    EXPECT_EQ(context->settings.NotenDatei, ws() + "ZE-0000-0/demo.dbf");
    EXPECT_FALSE(context->recovery);
}

TEST_F(ProgramStartTest, LastStudentFileIsKeptWhenItExists)
{
    writeFile(ws() + "zdrlokal.ini", "");
    makeTable(ws() + "ZE-1920-1/5A.DBF", {"Anton"});
    writeFile(ws() + "ZDR-TESTPC.ini", "[ALLGEMEINES]\r\nNotenDatei=C:\\OLD\\ZE-1920-1\\5A.DBF\r\n");
    auto window = start();
    ASSERT_TRUE(window);
    EXPECT_TRUE(context->settings.NotenDatei.endsWith("ZE-1920-1\\5A.DBF")
                || context->settings.NotenDatei.endsWith("ZE-1920-1/5A.DBF"))
        << context->settings.NotenDatei.toStdString();
    EXPECT_FALSE(QFile::exists(ws() + "ZE-0000-0/demo.dbf")) << ui.messages().join("|").toStdString();
}

TEST_F(ProgramStartTest, WrongStartPasswordThreeTimesEndsTheStart)
{
    Passwords pw;
    pw.start = "GEHEIM";
    writeFile(ws() + "PW.INI", "[ALLGEMEINES]\r\nST=" + scramblePassword(pw.start).toLatin1() + "\r\n");
    prompts.startEntries = {"falsch", "nein", "auch nicht"};
    auto window = start();
    EXPECT_FALSE(window);
    EXPECT_EQ(prompts.startAsked, 3);
    EXPECT_EQ(ui.messages().last(),
              QString::fromUtf8("Versuch 3: falsches Passwort!\n\nProgrammstart nicht möglich!\n"));
    EXPECT_FALSE(QFileInfo::exists(ws() + "ZE-0000-0")) << "the set-up does not run";
}

TEST_F(ProgramStartTest, StartPasswordInLowerCaseOpensAndAdministratorPasswordMeansNormalUser)
{
    writeFile(ws() + "PW.INI", "[ALLGEMEINES]\r\nST=" + scramblePassword("GEHEIM").toLatin1()
                                   + "\r\nSB=" + scramblePassword("CHEF").toLatin1() + "\r\n");
    prompts.startEntries = {"geheim"};
    auto window = start();
    ASSERT_TRUE(window);
    EXPECT_EQ(prompts.startAsked, 1);
    EXPECT_FALSE(context->userMode.isAdministrator());
    // A normal user's run never writes the program-wide files.
    window->close();
    EXPECT_FALSE(QFile::exists(ws() + "ZEDORA.INI"));
    EXPECT_TRUE(QFile::exists(ws() + "ZDR-TESTPC.ini"));
}

TEST_F(ProgramStartTest, HelpLineShowsTheTextOfTheControlUnderTheMouse)
{
    auto window = start();
    ASSERT_TRUE(window);
    window->show();
    auto* exit = window->findChild<QWidget*>("SpeedButton1");
    auto* hilfe = window->findChild<QLabel*>("hilfe");
    ASSERT_TRUE(exit && hilfe);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(exit, &enter);
    EXPECT_EQ(hilfe->text(), "Beendet das Programm.");
    // However long a help text is, the window keeps its width.
    QLayout* statusLine = window->findChild<QWidget*>("Panel2")->layout();
    const int width = statusLine->minimumSize().width();
    hilfe->setText(QString(400, QLatin1Char('x')));
    EXPECT_EQ(statusLine->minimumSize().width(), width);
    QAction* toggle = window->findChild<QAction*>("Hilfetexteanzeigen1");
    ASSERT_TRUE(toggle);
    toggle->trigger();
    EXPECT_FALSE(context->settings.MitHilfe);
    EXPECT_FALSE(hilfe->isVisible());
    window->close();
}

TEST(SingleInstance, SecondInstanceIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const QString name = "Zedora-Test-" + QString::number(::getpid());
    int toChild[2];
    int fromChild[2];
    ASSERT_EQ(::pipe(toChild), 0);
    ASSERT_EQ(::pipe(fromChild), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        SingleInstance first(name);
        const char ok = first.acquire() ? 'y' : 'n';
        [[maybe_unused]] auto w = ::write(fromChild[1], &ok, 1);
        char c;
        [[maybe_unused]] auto r = ::read(toChild[0], &c, 1);
        ::_exit(0);
    }
    char got = 0;
    ASSERT_EQ(::read(fromChild[0], &got, 1), 1);
    EXPECT_EQ(got, 'y');
    EXPECT_FALSE(SingleInstance(name).acquire());
    const char go = 1;
    ASSERT_EQ(::write(toChild[1], &go, 1), 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(SingleInstance(name).acquire()) << "the lock of an ended program is free";
}

TEST_F(ProgramStartTest, UnusableWorkspaceIsReportedAndNothingCrashes)
{
    writeFile(root.path() + "/blocked", "a file where the workspace folder should be");
    paths.defaultWorkspace = root.path() + "/blocked/ws/";
    // Without a workspace no student file can be opened: the program says
    // so and ends the normal way, writing what it can.
    auto window = start();
    EXPECT_FALSE(window);
    ASSERT_FALSE(ui.messages().isEmpty());
    EXPECT_TRUE(ui.messages()[0].startsWith("Das Arbeitsverzeichnis " + paths.defaultWorkspace));
    bool ended = false;
    bool reported = false;
    for (const QString& m : ui.messages()) {
        ended |= m.startsWith(QString::fromUtf8("Zedora kann nicht ordnungsgemäß ausgeführt werden!"));
        reported |= m.contains("konnte nicht geschrieben werden!");
    }
    EXPECT_TRUE(ended) << ui.messages().join("|").toStdString();
    EXPECT_TRUE(reported) << ui.messages().join("|").toStdString();
}

TEST_F(ProgramStartTest, GradesOfTheOpenFileAreCheckedAgainstTheAbbreviationFile)
{
    writeFile(paths.programDir + "MUSTER/KUERZEL.MST", "1 |sehr gut|sehr gut (1)\r\n2 |gut|gut (2)\r\n");
    auto window = start();
    ASSERT_TRUE(window);
    StudentTable& table = window->studentFile().table();
    ui.clear();
    EXPECT_TRUE(table.setValue("DE", "2"));
    EXPECT_EQ(table.value("DE"), "2");
    table.setValue("DE", "9");
    ASSERT_FALSE(ui.messages().isEmpty());
    EXPECT_TRUE(ui.messages()[0].contains("Kürzel (9) nicht definiert!")) << ui.messages()[0].toStdString();
    EXPECT_NE(table.value("DE"), "9");
    table.cancel();
    window->close();
}


TEST_F(ProgramStartTest, PreviewButtonShowsTheCurrentStudentsReportCard)
{
    writeFile(paths.programDir + "MUSTER/DEMOLAY.MST",
              "[Demo]\r\nEintrag1=%NAME%\r\n\r\n-FDFYYY-\r\nNAME               Name                                    15\r\n");
    writeFile(paths.defaultWorkspace + "LAYOUT/DEMO.LAY",
              "[Demo]\r\nEintrag1=%NAME%\r\n\r\n-FDFYYY-\r\nNAME               Name                                    15\r\n");
    auto window = start();
    ASSERT_TRUE(window);
    window->show();
    auto* button = window->findChild<QToolButton*>("PreView");
    ASSERT_TRUE(button);
    ASSERT_TRUE(button->isEnabled());
    button->click();
    TFVorschau* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        preview = preview ? preview : qobject_cast<TFVorschau*>(w);
    ASSERT_TRUE(preview);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->pageTotal(), 1);
    if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        preview->grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + "/preview.png");
    window->close();
}

using zedora::test::ShippedProgramTest;

TEST_F(ShippedProgramTest, ASaveRefusedByAnotherComputerIsReportedAndTheEditKept)
{
    StudentTable& table = window->studentFile().table();
    // Another computer in the middle of writing the file holds its data lock.
    QProcess other;
    other.start("/usr/bin/python3",
                {"-c",
                 "import fcntl,sys,time\nf=open(sys.argv[1],'rb')\n"
                 "fcntl.lockf(f, fcntl.LOCK_SH, 1, 0x7FFFFFF1, 0)\nprint('locked',flush=True)\ntime.sleep(60)\n",
                 window->studentFile().path()});
    ASSERT_TRUE(other.waitForReadyRead(10000));
    ui.clear();
    ASSERT_TRUE(table.setValue("DE", "1-"));
    window->findChild<QToolButton*>("btnspei")->click();
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages()[0].startsWith("Der Datensatz konnte nicht gespeichert werden:\n"))
        << ui.messages()[0].toStdString();
    EXPECT_TRUE(table.isEditing());
    EXPECT_EQ(table.value("DE"), "1-");

    other.kill();
    other.waitForFinished();
    window->findChild<QToolButton*>("btnspei")->click();
    EXPECT_FALSE(table.isEditing());
    EXPECT_EQ(table.value("DE"), "1-");
}

// A grade typed into a cell and ended with Return, as a teacher types.
TEST_F(ShippedProgramTest, ReturnInACellEditorStoresMovesOnOnceAndRefusesAfterTheEditorIsGone)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTableView& grid = window->entryGrid();
    StudentTable& table = window->studentFile().table();
    int de = -1;
    for (int c = 0; c < window->entryModel().columnCount(); ++c)
        if (window->entryModel().column(c)->field == "DE")
            de = c;
    ASSERT_GE(de, 0);
    grid.setFocus();
    grid.setCurrentIndex(grid.model()->index(2, de));
    const auto typeAndReturn = [&](const char* text) {
        QTest::keyClicks(&grid, text);  // a key opens the editor
        QWidget* editor = QApplication::focusWidget();
        ASSERT_TRUE(editor && editor != &grid);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        QApplication::processEvents();
    };
    ui.clear();
    typeAndReturn("4");
    EXPECT_EQ(table.value("DE"), "4");
    EXPECT_EQ(grid.currentIndex().column(), de + 1) << "one column on, not two";
    EXPECT_TRUE(ui.messages().isEmpty());

    grid.setCurrentIndex(grid.model()->index(2, de));
    typeAndReturn("7");
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0], "   Kürzel (7) nicht definiert!   \n\nAktive Kürzeldatei: KUERZEL.TXT");
    EXPECT_TRUE(table.value("DE").trimmed().isEmpty());
    EXPECT_EQ(grid.currentIndex().column(), de + 1);
    EXPECT_EQ(table.currentRow(), 2);

    // Typing goes on in the following cells.
    ui.clear();
    const QString second = window->entryModel().column(de + 1)->field;
    const QString third = window->entryModel().column(de + 2)->field;
    typeAndReturn("2");
    typeAndReturn("3");
    EXPECT_EQ(table.value(second), "2");
    EXPECT_EQ(table.value(third), "3");
    EXPECT_EQ(grid.currentIndex().column(), de + 3);
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join('|').toStdString();
}

TEST_F(ShippedProgramTest, GraduationCodesOfANewWorkspaceHoldAndANamelessRecordTakesNoGrade)
{
    StudentTable& table = window->studentFile().table();
    ui.clear();
    EXPECT_TRUE(table.setValue("ABSCH", "ha9"));
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join('|').toStdString();
    table.cancel();

    const QString name = table.value("NAME");
    table.setReadOnly(table.findField("NAME"), false);
    ASSERT_TRUE(table.setValue("NAME", ""));
    ASSERT_TRUE(table.setValue("VS1", "7"));
    EXPECT_FALSE(table.setValue("DE", "1"));
    EXPECT_FALSE(table.isEditing()) << "the whole pending edit is dropped";
    EXPECT_EQ(table.value("NAME"), name);
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(ShippedProgramTest, DemoClassOpensAndItsReportCardShowsInThePreview)
{
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join("|").toStdString();
    EXPECT_EQ(window->studentFile().table().rowCount(), 25);
    window->resize(1280, 800);
    window->show();
    if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        window->grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + "/main.png");
    window->findChild<QToolButton*>("PreView")->click();
    TFVorschau* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        preview = preview ? preview : qobject_cast<TFVorschau*>(w);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->pageTotal(), 1);
    const QImage page = preview->pageImage();
    int dark = 0;
    for (int y = 0; y < page.height(); y += 2)
        for (int x = 0; x < page.width(); x += 2)
            dark += qGray(page.pixel(x, y)) < 100;
    EXPECT_GT(dark, 200) << "the report card has text on it";
    if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        preview->grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + "/demo-preview.png");
    window->close();
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join("|").toStdString();
}

TEST_F(ShippedProgramTest, TypingAGradeIntoTheGridAndF9StoresItAndMovesOn)
{
    window->show();
    auto* grid = window->findChild<QTableView*>("DBGrid1");
    ASSERT_TRUE(grid);
    int deColumn = -1;
    for (int c = 0; c < grid->model()->columnCount(); ++c) {
        if (grid->model()->headerData(c, Qt::Horizontal).toString().startsWith("Deu"))
            deColumn = c;
    }
    ASSERT_GE(deColumn, 0);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, deColumn));
    grid->edit(grid->currentIndex());
    auto* editor = grid->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "1-");
    QTest::keyClick(editor, Qt::Key_Tab);
    StudentTable& table = window->studentFile().table();
    EXPECT_EQ(table.state(), StudentTable::State::Edit);
    if (QWidget* open = grid->findChild<QLineEdit*>(); open && open->isVisible())
        QTest::keyClick(open, Qt::Key_Escape);  // Tab opened the next cell
    QTest::keyClick(grid, Qt::Key_F9);
    EXPECT_EQ(table.state(), StudentTable::State::Browse);
    EXPECT_EQ(table.currentRow(), 1) << "F9 moves to the next student";
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join("|").toStdString();
    // Stored in the file, not only shown.
    window->close();
    auto stored = dbase::Table::open((paths.defaultWorkspace + "ZE-0000-0/demo.dbf").toStdString());
    stored->selectTag("KLASSE");
    stored->first();
    EXPECT_EQ(stored->text("DE"), "1-");
}

TEST_F(ShippedProgramTest, MaskPageShowsTheCurrentStudentAndStoresWhatIsTyped)
{
    window->resize(1280, 800);
    window->show();
    window->pages().setCurrentIndex(1);
    StudentTable& table = window->studentFile().table();
    auto* n01 = window->findChild<QLineEdit*>("n01");
    auto* t1 = window->findChild<QPlainTextEdit*>("t1");
    ASSERT_TRUE(n01 && t1);
    // The first grade box holds a grade field of the column layout.
    const QString before = n01->text();
    EXPECT_FALSE(before.isEmpty());
    EXPECT_FALSE(t1->toPlainText().isEmpty()) << "the demo students have an assessment text";
    n01->setText("2-");
    emit n01->editingFinished();
    ASSERT_EQ(table.state(), StudentTable::State::Edit);
    EXPECT_TRUE(table.post());
    table.next();
    table.prior();
    EXPECT_EQ(n01->text(), "2-");
    if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS")) {
        window->grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + "/mask.png");
        window->pages().setCurrentIndex(2);
        window->grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + "/master-data-page.png");
    }
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join("|").toStdString();
}

TEST_F(ShippedProgramTest, NavigationSaysWhenTheEndIsReachedOneStepLate)
{
    StudentTable& table = window->studentFile().table();
    const auto click = [&](const char* name) { window->findChild<QToolButton*>(name)->click(); };

    click("zur");
    EXPECT_EQ(ui.messages(), QStringList{"Anfang erreicht!\n"}) << "just opened: at the beginning";
    ui.clear();
    click("vor");
    EXPECT_EQ(table.currentRow(), 1);
    click("zur");
    click("zur");
    EXPECT_EQ(table.currentRow(), 0);
    EXPECT_TRUE(ui.messages().isEmpty()) << "the first step before the beginning stays silent";
    click("zur");
    EXPECT_EQ(ui.messages(), QStringList{"Anfang erreicht!\n"});
    ui.clear();
    click("letzter");
    click("vor");
    EXPECT_EQ(ui.messages(), QStringList{"Ende erreicht!\n"});
    EXPECT_EQ(table.currentRow(), 24);

    // A student chosen another way is no longer at either end.
    ui.clear();
    table.moveToRow(6);
    click("zur");
    EXPECT_EQ(table.currentRow(), 5);
    table.moveToRow(24);
    click("vor");
    EXPECT_TRUE(ui.messages().isEmpty()) << "the first step past the end stays silent";
    EXPECT_EQ(table.currentRow(), 24);

    // The status line: display form of the name and the birth date.
    click("erster");
    auto* name = window->findChild<QLabel*>("L_name");
    EXPECT_EQ(name->text(), "  Al-Hassan, Nour  geb. am 18.08.1997");
    // "Brandt, von" is shown the way it is said.
    for (int row = 0; row < table.rowCount(); ++row) {
        if (table.valueAt(row, table.findField("NAME")).startsWith("Brandt")) {
            table.moveToRow(row);
            EXPECT_TRUE(name->text().startsWith("  von Brandt, Charlotte  geb. am ")) << name->text().toStdString();
        }
    }
    EXPECT_EQ(window->findChild<QLabel*>("L_Klasse")->text(), " 25 Schüler");

    // The fixed grid's width through its popup menu; nonsense is ignored.
    QAction* widthItem = window->findChild<QAction*>("Fensterbreiteverndern1");
    ASSERT_TRUE(widthItem);
    ui.texts.enqueue(QString("200"));
    widthItem->trigger();
    EXPECT_EQ(app->settings.BreiteGrid2, 200);
    ui.texts.enqueue(QString("5000"));
    widthItem->trigger();
    EXPECT_EQ(app->settings.BreiteGrid2, 200);

    // Hiding the fixed grid brings name and first name into the main grid.
    const auto mainGridHas = [&](const char* field) {
        for (int c = 0; c < window->entryModel().columnCount(); ++c)
            if (window->entryModel().column(c)->field == field)
                return true;
        return false;
    };
    EXPECT_FALSE(mainGridHas("NAME"));
    table.moveToRow(7);
    const QString student = table.value("ID");
    window->findChild<QAction*>("Ausblenden1")->trigger();
    EXPECT_FALSE(app->settings.Grid2Sichtbar);
    EXPECT_FALSE(window->nameGrid().isVisibleTo(window.get()));
    EXPECT_TRUE(mainGridHas("NAME") && mainGridHas("VORNAME"));
    EXPECT_EQ(table.value("ID"), student);
    window->findChild<QAction*>("FixspaltenNameVornameeinausblenden1")->trigger();
    EXPECT_TRUE(app->settings.Grid2Sichtbar);
    EXPECT_FALSE(mainGridHas("NAME"));
}

TEST_F(ShippedProgramTest, CellClipboardCopiesPastesAndRespectsTheLock)
{
    StudentTable& table = window->studentFile().table();
    QTableView& grid = window->entryGrid();
    int deColumn = -1;
    for (int c = 0; c < grid.model()->columnCount(); ++c) {
        if (window->entryModel().column(c)->field == "DE")
            deColumn = c;
    }
    ASSERT_GE(deColumn, 0);
    grid.setCurrentIndex(grid.model()->index(0, deColumn));
    const QString first = table.value("DE");
    window->findChild<QAction*>("Zelleinhaltkopieren1")->trigger();
    table.moveToRow(1);
    grid.setCurrentIndex(grid.model()->index(1, deColumn));
    window->findChild<QAction*>("Zelleninhalteinfgen1")->trigger();
    EXPECT_EQ(table.value("DE"), first);
    EXPECT_EQ(table.state(), StudentTable::State::Browse) << "pasting saves";

    window->findChild<QAction*>("Zelleinhaltausschneiden1")->trigger();
    EXPECT_TRUE(table.value("DE").trimmed().isEmpty());

    app->settings.SperreOption = true;
    window->findChild<QAction*>("Zelleninhalteinfgen1")->trigger();
    EXPECT_EQ(ui.messages().value(0), "Nicht möglich, Tabelle ist gesperrt!\n");
    EXPECT_TRUE(table.value("DE").trimmed().isEmpty());

    // A master-data column refuses the paste with a message and stays as it was.
    app->settings.SperreOption = false;
    ui.clear();
    int ortColumn = -1;
    for (int c = 0; c < grid.model()->columnCount(); ++c) {
        if (window->entryModel().column(c)->kind == FieldKind::MasterData && ortColumn < 0
            && window->entryModel().column(c)->field != "NAME")
            ortColumn = c;
    }
    ASSERT_GE(ortColumn, 0);
    grid.setCurrentIndex(grid.model()->index(1, ortColumn));
    const QString field = window->entryModel().column(ortColumn)->field;
    const QString before = table.value(field);
    window->findChild<QAction*>("Zelleninhalteinfgen1")->trigger();
    EXPECT_EQ(table.value(field), before);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages()[0].contains("schreibgeschützt")) << ui.messages()[0].toStdString();
    EXPECT_FALSE(table.isEditing());
}

TEST_F(ShippedProgramTest, EnterInTheGridFollowsTheEntryDirection)
{
    QTableView& grid = window->entryGrid();
    grid.setCurrentIndex(grid.model()->index(0, 3));
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ(grid.currentIndex().column(), 4) << "horizontal: the next column";
    const int last = grid.model()->columnCount() - 1;
    grid.setCurrentIndex(grid.model()->index(0, last));
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(grid.currentIndex().row(), 1) << "after the last column, like Tab";
    EXPECT_EQ(grid.currentIndex().column(), 0);
    grid.setCurrentIndex(grid.model()->index(0, 4));

    window->findChild<QAction*>("menverti")->trigger();
    EXPECT_TRUE(app->settings.EditVertikal);
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(grid.currentIndex().row(), 1) << "vertical: the next student";
    EXPECT_EQ(grid.currentIndex().column(), 4);
    EXPECT_EQ(window->studentFile().table().currentRow(), 1);

    // Only the button of the direction in force is enabled, and it switches.
    auto* right = window->findChild<QToolButton*>("EditRechts");
    auto* down = window->findChild<QToolButton*>("EditUnten");
    EXPECT_TRUE(down->isEnabled());
    EXPECT_FALSE(right->isEnabled());
    down->click();
    EXPECT_FALSE(app->settings.EditVertikal);
    EXPECT_TRUE(right->isEnabled());
    EXPECT_FALSE(down->isEnabled());
    EXPECT_TRUE(window->findChild<QAction*>("menhori")->isChecked());
    right->click();
    EXPECT_TRUE(app->settings.EditVertikal);
    EXPECT_TRUE(window->findChild<QAction*>("menverti")->isChecked());
}

TEST_F(ShippedProgramTest, SingleStudentViewShowsOneStudentAndStepsThroughTheClass)
{
    window->show();
    StudentTable& table = window->studentFile().table();
    table.moveToRow(3);
    const QString student = table.value("NAME");
    window->findChild<QToolButton*>("SpeedButton8")->click();
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.value("NAME"), student);
    EXPECT_TRUE(window->findChild<QFrame*>("Panel19")->isVisible());
    EXPECT_EQ(window->entryGrid().font().pointSize(), app->settings.RangeFont);

    window->findChild<QPushButton*>("EinzelVor")->click();
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_NE(table.value("NAME"), student) << "the next student in name order";
    window->findChild<QPushButton*>("EinzelPlus")->click();
    EXPECT_EQ(app->settings.RangeFont, 10);

    window->findChild<QPushButton*>("EinzelGesamt")->click();
    EXPECT_EQ(table.rowCount(), 25);
    EXPECT_EQ(table.currentRow(), 0);
    EXPECT_FALSE(window->findChild<QFrame*>("Panel19")->isVisible());
    EXPECT_EQ(window->entryGrid().font().pointSize(), 8);

    // A refresh of the table ends the view too and keeps the student.
    window->findChild<QToolButton*>("SpeedButton8")->click();
    ASSERT_EQ(table.rowCount(), 1);
    const QString shown = table.value("ID");
    window->findChild<QToolButton*>("SpeedButton13")->click();
    EXPECT_EQ(table.rowCount(), 25);
    EXPECT_EQ(table.value("ID"), shown);
    EXPECT_FALSE(window->findChild<QFrame*>("Panel19")->isVisible());
}

TEST_F(ShippedProgramTest, TheMouseWheelMovesTheRecordCursor)
{
    StudentTable& table = window->studentFile().table();
    QWidget* viewport = window->entryGrid().viewport();
    const auto wheel = [viewport](int delta) {
        QWheelEvent e(QPointF(10, 10), viewport->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(viewport, &e);
    };
    wheel(-120);  // towards the user: forward
    EXPECT_EQ(table.currentRow(), QApplication::wheelScrollLines());
    wheel(120);
    EXPECT_EQ(table.currentRow(), 0);
    wheel(1200);
    EXPECT_EQ(table.currentRow(), 0) << "never before the first record";
}

TEST_F(ShippedProgramTest, TextTheFilesCannotHoldIsRefusedWithAMessage)
{
    StudentTable& table = window->studentFile().table();
    const QString before = table.value("TB1");
    EXPECT_FALSE(table.setValue("TB1", QString::fromUtf8("Москва 😀")));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages()[0].contains("Windows-1252"));
    EXPECT_EQ(table.value("TB1"), before);
    // Umlauts, ß and € are fine.
    EXPECT_TRUE(table.setValue("TB1", QString::fromUtf8("Größe und Maß: 5 €")));
    table.cancel();
}
