#include "core/app_context.h"
#include "core/user_mode.h"
#include "app/ui/TFMain.h"
#include "core/ui/main_menu.h"
#include "entry/ui/master_data_commands.h"
#include "app/ui/program_start.h"
#include "base/ansi_text.h"
#include "app/shipped_program.h"
#include "base/scripted_interaction.h"
#include "data/current_student_file.h"
#include "data/student_identity.h"
#include "data/student_table.h"
#include "dbase/table.h"

#include <QAction>
#include <QApplication>
#include <QTabBar>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

struct StoredStudent {
    QString id;
    QString geboren;
    QString name;
};

// The shipped demo class in a fresh workspace; the main window builds its
// master-data page itself.
class MasterDataTest : public zedora::test::ShownProgramTest {
protected:
    StudentTable& table() { return window->studentFile().table(); }
    QLineEdit* field(const char* name) { return window->findChild<QLineEdit*>(QLatin1String(name)); }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(QLatin1String(name)); }
    QAction* item(const char* name) { return window->menu().action(QLatin1String(name)); }

    // Replaces the field's text as a user would, then leaves it with Tab.
    void type(const char* name, const QString& text)
    {
        QLineEdit* e = field(name);
        ASSERT_TRUE(e);
        e->setFocus();
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Tab);
    }

    // The record of the file on disk whose name is name.
    std::optional<StoredStudent> stored(const QString& name)
    {
        auto t = dbase::Table::open(table().path().toStdString());
        for (t->first(); !t->eof(); t->next()) {
            if (!t->deleted() && fromAnsi(t->text("NAME")).trimmed() == name)
                return StoredStudent{fromAnsi(t->text("ID")).trimmed(),
                                     fromAnsi(t->text("GEBOREN")).trimmed(), name};
        }
        return std::nullopt;
    }

};

} // namespace

TEST_F(MasterDataTest, EditingSwitchesFieldsButtonsAndRecordCommands)
{
    QLineEdit* name = field("name");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->text(), table().value("NAME").trimmed()) << "shows the current student";
    EXPECT_TRUE(name->isReadOnly());
    EXPECT_FALSE(button("btnNeu")->isEnabled());
    EXPECT_FALSE(item("merg")->isEnabled());
    QTest::keyClicks(name, "X");
    EXPECT_EQ(table().state(), StudentTable::State::Browse) << "nothing typed while editing is off";

    item("StammEd")->trigger();
    EXPECT_EQ(window->pages().currentIndex(), 2);
    EXPECT_FALSE(name->isReadOnly());
    EXPECT_FALSE(field("geboren")->isReadOnly());
    EXPECT_TRUE(button("btnNeu")->isEnabled());
    EXPECT_TRUE(button("btnloe")->isEnabled());
    EXPECT_TRUE(item("merg")->isEnabled());
    EXPECT_TRUE(item("mloesch")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), name);

    // Moving the cursor elsewhere shows the other student.
    table().moveToRow(3);
    EXPECT_EQ(name->text(), table().value("NAME").trimmed());

    QTest::mouseClick(button("StAus"), Qt::LeftButton);
    EXPECT_TRUE(name->isReadOnly());
    EXPECT_FALSE(item("maend")->isEnabled());
    EXPECT_FALSE(button("btnloe")->isEnabled());

    // Selecting the tab turns the sex caption into the letters of the settings.
    window->pages().setCurrentIndex(0);
    QTabBar* bar = window->pages().tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    ASSERT_EQ(window->pages().currentIndex(), 2);
    bool found = false;
    for (QLabel* l : window->findChildren<QLabel*>())
        found = found || l->text() == QStringLiteral("w=weib. m=män.");
    EXPECT_TRUE(found);

    // Selecting the table page by its tab ends master-data editing.
    QTest::mouseClick(button("StEin"), Qt::LeftButton);
    EXPECT_FALSE(name->isReadOnly());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(window->pages().currentIndex(), 0);
    EXPECT_FALSE(item("merg")->isEnabled());
    const int nameField = table().findField("NAME");
    EXPECT_TRUE(table().isReadOnly(nameField));
    if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        window->grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + "/master-data.png");
}

TEST_F(MasterDataTest, FirstSaveAfterSwitchingOnRenewsIdentityAndNormalisesBirthDate)
{
    QTest::mouseClick(button("StEin"), Qt::LeftButton);
    const QString vorname = table().value("VORNAME");
    type("name", "Zwirbel");
    type("geboren", "5.3.08");
    EXPECT_EQ(table().state(), StudentTable::State::Edit);
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join("|").toStdString();
    QTest::mouseClick(button("StAus"), Qt::LeftButton); // posts first
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join("|").toStdString();

    auto s = stored("Zwirbel");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->geboren, "05.03.2008");
    EXPECT_EQ(s->id, studentIdentity(QDate(2008, 3, 5), "Zwirbel", vorname));
    EXPECT_EQ(field("geboren")->text(), "05.03.2008") << "the page shows the stored form";

    // A second save while editing stays on keeps the identity.
    QTest::mouseClick(button("StEin"), Qt::LeftButton);
    type("name", "Zwirbel");
    type("geboren", "6.3.2008");
    table().post();
    const QString firstId = stored("Zwirbel")->id;
    EXPECT_NE(firstId, s->id) << "renewed once more after switching on again";
    EXPECT_EQ(firstId, studentIdentity(QDate(2008, 3, 6), "Zwirbel", vorname));
    type("name", "Zwiebelmus");
    table().post();
    ASSERT_TRUE(stored("Zwiebelmus"));
    EXPECT_EQ(stored("Zwiebelmus")->id, firstId);
}

TEST_F(MasterDataTest, WrongBirthDateAndSexAreWarnedAndTheIdentityIsLeftEmpty)
{
    QTest::mouseClick(button("StEin"), Qt::LeftButton);
    type("name", "Quaxbrink");
    type("geboren", "32.13.2008");
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages().at(0), "Das Datum 32.13.2008 hat ein unzulässiges Format (Richtig: tt.mm.jjjj)\n");
    EXPECT_EQ(ui.shown.at(0).kind, ScriptedInteraction::Kind::Warning);
    type("mw", "x");
    ASSERT_EQ(ui.messages().size(), 2);
    EXPECT_EQ(ui.messages().at(1),
              "Geschlecht muss als w=weiblich bzw. m=männlich\neingegeben werden (siehe Voreinstellungen!)\n");
    type("mw", "W"); // typed in upper case, kept in lower case
    EXPECT_EQ(ui.messages().size(), 2);
    EXPECT_EQ(window->findChild<QLineEdit*>("mw")->text(), "w");

    table().post();
    ASSERT_EQ(ui.messages().size(), 3);
    EXPECT_EQ(ui.messages().at(2), "FEHLER: Das Geburtsdatum ist falsch eingegeben! (TT.MM.JJJJ)\n");
    auto s = stored("Quaxbrink");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->geboren, "32.13.2008") << "kept as typed";
    EXPECT_EQ(s->id, "");
}

TEST_F(MasterDataTest, EscCancelsAndEnterMovesToTheNextField)
{
    QTest::mouseClick(button("StEin"), Qt::LeftButton);
    const QString before = table().value("NAME").trimmed();
    QLineEdit* name = field("name");
    name->setFocus();
    QTest::keyClicks(name, "abc");
    EXPECT_EQ(table().state(), StudentTable::State::Edit);
    QTest::keyClick(name, Qt::Key_Escape);
    EXPECT_EQ(table().state(), StudentTable::State::Browse);
    EXPECT_EQ(name->text(), before);
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_NE(QApplication::focusWidget(), name);
    EXPECT_TRUE(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
}

TEST_F(MasterDataTest, RecordsAreAddedAndDeletedOnlyWhileEditingIsOn)
{
    const int rows = table().rowCount();
    // Off: the commands do nothing, not even ask.
    window->findChild<QPushButton*>("btnloe")->setEnabled(true);
    QTest::mouseClick(button("btnloe"), Qt::LeftButton);
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(table().rowCount(), rows);

    QTest::mouseClick(button("StEin"), Qt::LeftButton);
    item("merg")->trigger();
    EXPECT_EQ(table().state(), StudentTable::State::Insert);
    EXPECT_EQ(field("name")->text(), "") << "the new record is shown empty";
    type("name", "Neumann");
    type("vorname", "Nora");
    type("geboren", "1.2.2003");
    type("mw", "w");
    QTest::mouseClick(button("StAus"), Qt::LeftButton);
    ASSERT_EQ(table().rowCount(), rows + 1);
    auto s = stored("Neumann");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->geboren, "01.02.2003");
    EXPECT_EQ(s->id, studentIdentity(QDate(2003, 2, 1), "Neumann", "Nora"));
    EXPECT_EQ(table().value("NAME").trimmed(), "Neumann");

    QTest::mouseClick(button("StEin"), Qt::LeftButton);
    ui.answers.enqueue(Answer::No);
    QTest::mouseClick(button("btnloe"), Qt::LeftButton);
    EXPECT_EQ(table().rowCount(), rows + 1);
    ui.answers.enqueue(Answer::Yes);
    item("mloesch")->trigger();
    EXPECT_EQ(table().rowCount(), rows);
    EXPECT_FALSE(stored("Neumann"));
    EXPECT_EQ(ui.beeps(), 2);
    const QStringList asked = ui.messages();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked.at(1), "Soll der aktuelle Datensatz\nwirklich gelöscht werden?\n");
}
