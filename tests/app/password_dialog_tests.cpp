#include "app/ui/TFpasswort.h"
#include "app/ui/TPasswordDlg.h"
#include "app/ui/password_prompts.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

QPushButton* buttonWithText(QWidget& dialog, const QString& text)
{
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

bool hasLabel(QWidget& dialog, const QString& text)
{
    for (QLabel* l : dialog.findChildren<QLabel*>())
        if (l->text() == text)
            return true;
    return false;
}

// Runs act on the modal dialog once the prompt has opened it.
void whenDialogOpens(std::function<void(QDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

} // namespace

TEST(TFpasswort, ShowsTheProgramAndItsVersion)
{
    TFpasswort dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Zedora - Zeugnisprogramm"));
    EXPECT_TRUE(hasLabel(dialog, QStringLiteral("Version 7.3")));
    EXPECT_TRUE(hasLabel(dialog, QStringLiteral("Versionsnummer 7306")));
    EXPECT_TRUE(hasLabel(dialog, QStringLiteral("Kennwort eingeben:")));
    EXPECT_NE(buttonWithText(dialog, QStringLiteral("&OK")), nullptr);
    EXPECT_NE(buttonWithText(dialog, QStringLiteral("&Abbruch")), nullptr);
}

TEST(TFpasswort, FieldUpperCasesMasksAndLimitsTheEntry)
{
    TFpasswort dialog;
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("Password"));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);
    field->ensurePolished();
    EXPECT_EQ(field->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, field), '*');

    QTest::keyClicks(field, QStringLiteral("geheim"));
    EXPECT_EQ(field->text(), QStringLiteral("GEHEIM"));
    QTest::sendKeyEvent(QTest::Click, field, Qt::Key_Adiaeresis, QString::fromUtf8("ä"), Qt::NoModifier);
    QTest::keyClicks(field, QStringLiteral("b12345"));
    // Ten characters at most; only a-z change their case.
    EXPECT_EQ(field->text(), QString::fromUtf8("GEHEIMäB12"));
    EXPECT_EQ(dialog.entry(), field->text());
}

TEST(TFpasswort, EnterClosesAndAbbruchKeepsTheEntry)
{
    {
        TFpasswort dialog;
        dialog.show();
        auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("Password"));
        QTest::keyClicks(field, QStringLiteral("abc"));
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
    }
    QtPasswordPrompts prompts(nullptr);
    whenDialogOpens([](QDialog& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("Password")), QStringLiteral("abc"));
        buttonWithText(dialog, QStringLiteral("&Abbruch"))->click();
    });
    EXPECT_EQ(prompts.askStartPassword(), QStringLiteral("ABC"));
}

TEST(TPasswordDlg, LooksAsSpecifiedAndFocusesTheField)
{
    TPasswordDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Kennwort"));
    EXPECT_TRUE(hasLabel(dialog, QStringLiteral("Kennwort-Systembetreuer eingeben:")));
    EXPECT_NE(buttonWithText(dialog, QStringLiteral("OK")), nullptr);
    EXPECT_NE(buttonWithText(dialog, QStringLiteral("Abbrechen")), nullptr);
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("Password"));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(dialog.focusWidget(), field);
    QTest::keyClicks(field, QStringLiteral("chef"));
    EXPECT_EQ(field->text(), QStringLiteral("CHEF"));
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);
}

TEST(TPasswordDlg, PromptReportsHowTheDialogWasClosed)
{
    QtPasswordPrompts prompts(nullptr);
    whenDialogOpens([](QDialog& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("Password")), QStringLiteral("chef"));
        buttonWithText(dialog, QStringLiteral("OK"))->click();
    });
    AdminPasswordAnswer answer = prompts.askAdminPassword();
    EXPECT_TRUE(answer.accepted);
    EXPECT_EQ(answer.entry, QStringLiteral("CHEF"));

    whenDialogOpens([](QDialog& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("Password")), QStringLiteral("x"));
        buttonWithText(dialog, QStringLiteral("Abbrechen"))->click();
    });
    answer = prompts.askAdminPassword();
    EXPECT_FALSE(answer.accepted);
    EXPECT_EQ(answer.entry, QStringLiteral("X"));
}
