// The global change from the main window: F5 opens TFGlob over the current
// column, "&Starten" and the question write every record; Alt+F8 empties
// the column after its question.
#include "app/shipped_program.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "entry/ui/TFGlob.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

using namespace zedora;

namespace {

class GlobalChangeWindow : public zedora::test::ShownProgramTest {
protected:
    int columnOf(const char* field)
    {
        for (int c = 0; c < window->entryModel().columnCount(); ++c)
            if (window->entryModel().column(c)->field == QLatin1String(field))
                return c;
        return -1;
    }
    QStringList valuesOf(const char* field)
    {
        StudentTable& t = window->studentFile().table();
        QStringList values;
        for (int row = 0; row < t.rowCount(); ++row)
            values << t.valueAt(row, t.findField(field)).trimmed();
        return values;
    }
    void selectColumn(const char* field)
    {
        const int c = columnOf(field);
        ASSERT_GE(c, 0) << field;
        window->entryGrid().setCurrentIndex(window->entryModel().index(0, c));
    }
};

TEST_F(GlobalChangeWindow, F5ChangesTheMatchingFieldsOfTheColumn)
{
    selectColumn("EN");
    const QStringList before = valuesOf("EN");
    ASSERT_FALSE(before.isEmpty());
    const QString old = before.first();
    ASSERT_FALSE(old.isEmpty());
    const QString replacement = old == "1" ? "2" : "1";
    ui.answers.append(Answer::Yes);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TFGlob*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        seen = true;
        EXPECT_TRUE(dialog->windowTitle().startsWith("Suchen und Ersetzen in Spalte: "));
        EXPECT_TRUE(dialog->findChild<QRadioButton*>()->isChecked() == false); // the cell's value preset
        EXPECT_EQ(dialog->search(), old);
        dialog->findChild<QComboBox*>("eingabeBox")->setEditText(replacement);
        const QString dir = QStringLiteral(ZEDORA_BINARY_DIR "/screenshots");
        QDir().mkpath(dir);
        dialog->grab().save(dir + "/TFGlob.png");
        dialog->findChild<QPushButton*>("BitBtn1")->click();
    });
    window->menu().action("Global")->trigger();
    ASSERT_TRUE(seen);
    EXPECT_EQ(ui.messages(), QStringList({"Soll globale Änderung wirklich durchgeführt werden?\n"}));
    const QStringList after = valuesOf("EN");
    for (int i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i] == old ? replacement : before[i]) << i;
}

TEST_F(GlobalChangeWindow, AltF8EmptiesTheColumnOnlyAfterYes)
{
    selectColumn("DE");
    const QStringList before = valuesOf("DE");
    ui.answers.append(Answer::No);
    window->menu().action("SpaLoesch1")->trigger();
    EXPECT_EQ(valuesOf("DE"), before);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages().first().startsWith("Soll Inhalt der Spalte "));
    EXPECT_TRUE(ui.messages().first().endsWith(" wirklich gelöscht werden?"));
    ui.answers.append(Answer::Yes);
    window->menu().action("SpaLoesch1")->trigger();
    for (const QString& v : valuesOf("DE"))
        EXPECT_EQ(v, "");
}

TEST_F(GlobalChangeWindow, MasterDataColumnsAreRefusedAlsoFromTheIconBar)
{
    selectColumn("MW");
    auto* button = window->findChild<QToolButton*>("SpeedButton5");
    ASSERT_TRUE(button);
    ASSERT_TRUE(button->isEnabled());
    button->click();
    EXPECT_EQ(ui.messages(), QStringList({"In dieser Spalte ist eine globale Änderung nicht möglich!\n"
                                          "(Spalte gesperrt bzw. Stammdatenspalte)"}));
    EXPECT_FALSE(QApplication::activeModalWidget());
}

} // namespace
