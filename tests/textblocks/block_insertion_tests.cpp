// Ctrl+T in the memos and the paste at the caret: the ID before the caret
// gives way to the block text with the student's placeholders filled in.
#include "text_block_workspace.h"
#include "textblocks/ui/block_insertion.h"
#include "core/settings.h"
#include "print/placeholders.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

class OneStudent : public RecordValues {
public:
    QMap<QString, QString> values{{QStringLiteral("VORNAME"), QStringLiteral("Fiona")},
                                  {QStringLiteral("MW"), QStringLiteral("W")}};
    bool hasField(const QString& name) const override { return values.contains(name); }
    QString value(const QString& name) const override { return values.value(name); }
};

// A window with the table's memo, two mask memos and a course-name field,
// Ctrl+T installed as the main window has it.
struct MemoWindow {
    TextBlockWorkspace w;
    Settings settings;
    OneStudent student;
    QWidget window;
    QPlainTextEdit* memo = nullptr;
    QPlainTextEdit* maskMemo = nullptr;
    QPlainTextEdit* other = nullptr;
    QLineEdit* course = nullptr;
    int fills = 0;

    MemoWindow()
    {
        w.writeBlockFile(QStringLiteral("#KLASSE.DBF"),
                         {{QStringLiteral("A12"), QStringLiteral("%VORNAME% arbeitet gern mit; %ErSie% ist fleißig.")},
                          {QStringLiteral("BCDE"), QStringLiteral("vier Zeichen")},
                          {QStringLiteral("="), QStringLiteral("=Überschrift")},
                          {QStringLiteral("K"), QStringLiteral("Kurz")}});
        EXPECT_TRUE(w.blocks->open(QStringLiteral("#KLASSE.DBF")));
        auto* layout = new QVBoxLayout(&window);
        memo = new QPlainTextEdit(&window);
        memo->setObjectName(QStringLiteral("DBMemo1"));
        maskMemo = new QPlainTextEdit(&window);
        maskMemo->setObjectName(QStringLiteral("t12"));
        other = new QPlainTextEdit(&window);
        other->setObjectName(QStringLiteral("t13"));
        course = new QLineEdit(&window);
        course->setObjectName(QStringLiteral("wpf31"));
        for (QWidget* x : std::initializer_list<QWidget*>{memo, maskMemo, other, course})
            layout->addWidget(x);
        installBlockExpansionKey(window, [this] { return w.blocks.get(); },
                                 [this](const QString& t) {
                                     ++fills;
                                     PlaceholderContext c;
                                     c.settings = &settings;
                                     c.record = &student;
                                     return replacePlaceholders(t, c);
                                 },
                                 w.ui);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void typeAndExpand(QPlainTextEdit* into, const QString& typed)
    {
        into->setFocus();
        QTest::keyClicks(into, typed);
        QTest::keyClick(into, Qt::Key_T, Qt::ControlModifier);
    }
};

} // namespace

TEST(CtrlT, ReplacesTheIdBeforeTheCaretWithTheFilledBlockAndABlank)
{
    MemoWindow m;
    m.typeAndExpand(m.memo, QStringLiteral("Er arbeitet a12"));
    EXPECT_EQ(m.memo->toPlainText(), QStringLiteral("Er arbeitet Fiona arbeitet gern mit; Sie ist fleißig. "));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Fiona arbeitet gern mit; Sie ist fleißig. "));
    EXPECT_TRUE(m.w.ui.messages().isEmpty());

    // In a mask memo too, and in the middle of the text: only what stood before the caret counts.
    m.maskMemo->setFocus();
    QTest::keyClicks(m.maskMemo, QStringLiteral("xK Ende"));
    QTextCursor c = m.maskMemo->textCursor();
    c.setPosition(2);
    m.maskMemo->setTextCursor(c);
    QTest::keyClick(m.maskMemo, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(m.w.ui.messages(), QStringList{QStringLiteral("\"XK\" in Textbausteindatei nicht gefunden!")});
    c.setPosition(1);
    m.maskMemo->setTextCursor(c);
    m.maskMemo->textCursor().insertText(QStringLiteral(" "));
    c.setPosition(3);
    m.maskMemo->setTextCursor(c);
    QTest::keyClick(m.maskMemo, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(m.maskMemo->toPlainText(), QStringLiteral("x Kurz  Ende"));
}

TEST(CtrlT, EmptyUnknownLongAndHeadingIdsLeaveTheMemoAlone)
{
    MemoWindow m;
    m.typeAndExpand(m.memo, QStringLiteral("Satz "));
    m.typeAndExpand(m.memo, QStringLiteral("ZZ"));
    m.typeAndExpand(m.memo, QStringLiteral(" ="));
    EXPECT_EQ(m.memo->toPlainText(), QStringLiteral("Satz ZZ ="));
    EXPECT_EQ(m.w.ui.messages(), QStringList({QStringLiteral("Bitte Textbaustein-ID eingeben!"),
                                              QStringLiteral("\"ZZ\" in Textbausteindatei nicht gefunden!"),
                                              QStringLiteral("\"=\" ist eine Kommentarzeile!")}));
    EXPECT_EQ(m.fills, 0);

    // Five characters: the last four are the ID.
    m.memo->clear();
    m.typeAndExpand(m.memo, QStringLiteral("Abcde"));
    EXPECT_EQ(m.memo->toPlainText(), QStringLiteral("Avier Zeichen "));
    EXPECT_EQ(blockIdBeforeCaret(QStringLiteral("xx ABCDE")), QStringLiteral("BCDE"));
    EXPECT_EQ(blockIdBeforeCaret(QStringLiteral("2. Zeile ")), QString());
}

TEST(CtrlT, OtherWidgetsAndReadOnlyMemosAreNotTouched)
{
    MemoWindow m;
    m.typeAndExpand(m.other, QStringLiteral("A12"));
    EXPECT_EQ(m.other->toPlainText(), QStringLiteral("A12"));
    m.memo->setReadOnly(true);
    m.memo->setFocus();
    QTest::keyClick(m.memo, Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(m.w.ui.messages().isEmpty());
    EXPECT_TRUE(isCourseNameField(m.course));
    EXPECT_FALSE(isCourseNameField(m.memo));
}

TEST(PasteAtCaret, MemosAndLineEditsGetTheTextAtTheCaretThroughTheClipboard)
{
    MemoWindow m;
    m.memo->setPlainText(QStringLiteral("AnfangEnde"));
    QTextCursor c = m.memo->textCursor();
    c.setPosition(6);
    m.memo->setTextCursor(c);
    EXPECT_TRUE(pasteAtCaret(m.memo, QStringLiteral("Mitte ")));
    EXPECT_EQ(m.memo->toPlainText(), QStringLiteral("AnfangMitte Ende"));

    int stored = 0;
    QObject::connect(m.course, &QLineEdit::editingFinished, [&] { ++stored; });
    m.course->setText(QStringLiteral("Kurs"));
    EXPECT_TRUE(pasteAtCaret(m.course, QStringLiteral(" Informatik ")));
    EXPECT_EQ(m.course->text(), QStringLiteral("Kurs Informatik "));
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral(" Informatik "));

    m.course->setReadOnly(true);
    EXPECT_FALSE(pasteAtCaret(m.course, QStringLiteral("x")));
    EXPECT_FALSE(pasteAtCaret(&m.window, QStringLiteral("x")));
}
