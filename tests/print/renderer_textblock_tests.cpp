// Text blocks: the word wrap, forced breaks, the line limit and void marks.
#include "print/word_wrap.h"
#include "renderer_test_support.h"

#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

// Ten units per character makes widths easy to reason about.
double tenPerChar(const QString& s) { return 10.0 * s.size(); }

QStringList drawnTexts(const RecordingSurface& s)
{
    QStringList out;
    for (const DrawnText& t : s.texts())
        out << t.text;
    return out;
}

} // namespace

TEST(WordWrap, BreaksAtWordEndsOnlyAndKeepsWideWordsWhole)
{
    // "aaa bbb ccc" at 10 per character in a line of 75: "aaa bbb" is 70.
    EXPECT_EQ(wrapText(QStringLiteral("aaa bbb ccc ddd"), 75, 0, tenPerChar),
              QStringList({QStringLiteral("aaa bbb"), QStringLiteral("ccc ddd")}));
    // The last word is never tested, so it stays on the line even when too wide.
    EXPECT_EQ(wrapText(QStringLiteral("aaa bbbbbbbbbb"), 75, 0, tenPerChar),
              QStringList({QStringLiteral("aaa bbbbbbbbbb")}));
    // With a trailing blank it is tested and moves down.
    EXPECT_EQ(wrapText(QStringLiteral("aaa bbbbbbbbbb "), 75, 0, tenPerChar),
              QStringList({QStringLiteral("aaa"), QStringLiteral("bbbbbbbbbb")}));
    // A word wider than the line stands whole on its own line, with no empty line before.
    EXPECT_EQ(wrapText(QStringLiteral("Donaudampfschifffahrt ist lang "), 85, 0, tenPerChar),
              QStringList({QStringLiteral("Donaudampfschifffahrt"), QStringLiteral("ist lang")}));
    // The first line is narrower by its indent.
    EXPECT_EQ(wrapText(QStringLiteral("aaa bbb ccc "), 75, 40, tenPerChar),
              QStringList({QStringLiteral("aaa"), QStringLiteral("bbb ccc")}));
}

TEST(WordWrap, HashBreaksDoubleHashLeavesEmptyLineDollarIsParagraph)
{
    EXPECT_EQ(wrapText(QStringLiteral("eins#zwei##drei"), 1000, 0, tenPerChar),
              QStringList({QStringLiteral("eins"), QStringLiteral("zwei"), QString(), QStringLiteral("drei")}));
    EXPECT_EQ(wrapText(QStringLiteral("#oben"), 1000, 0, tenPerChar),
              QStringList({QString(), QStringLiteral("oben")}));
    EXPECT_EQ(wrapText(QStringLiteral("nach $ 5"), 1000, 0, tenPerChar),
              QStringList({QStringLiteral("nach § 5")}));
}

TEST(WordWrap, StretchingAddsOrRemovesBlanksOnlyBeyondOneMillimetre)
{
    const WidthOf preview = tenPerChar;
    EXPECT_EQ(stretchText(QStringLiteral("a b c"), 55, 50, preview), QStringLiteral("a b c"));
    // The printer draws 35 wider: three blanks are added, before blanks, repeatedly.
    EXPECT_EQ(stretchText(QStringLiteral("a b c"), 85, 50, preview), QStringLiteral("a   b  c"));
    // 25 too wide: two blanks go, from the left.
    EXPECT_EQ(stretchText(QStringLiteral("a b c d"), 45, 70, preview), QStringLiteral("abc d"));
}

TEST(RendererTextBlocks, LinesBeyondMaxzeilenAreNotDrawnAndFullBlocksGetNoVoidMark)
{
    RenderHarness h;
    h.layout.textblock(100) = block(200, 1000, QStringLiteral("eins#zwei#drei#vier#fünf"), 1000, 3);
    const RecordingSurface s = h.render();
    EXPECT_EQ(drawnTexts(s), QStringList({QStringLiteral("eins"), QStringLiteral("zwei"), QStringLiteral("drei")}));
    const auto texts = s.texts();
    EXPECT_EQ(texts[1].y, 1050);
    EXPECT_EQ(texts[2].y, 1100);
}

TEST(RendererTextBlocks, VoidMarksOnFreeLinesCentredOnTheBlock)
{
    RenderHarness h;
    h.layout.textblock(100) = block(200, 1000, QStringLiteral("Nur eine Zeile"), 1000, 3);
    auto texts = h.render().texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[1].text, QStringLiteral("----------"));
    EXPECT_EQ(texts[1].x, 700);
    EXPECT_EQ(texts[1].y, 1050);
    EXPECT_EQ(texts[1].align, TextAlign::Center);
    EXPECT_EQ(texts[2].y, 1100);

    h.options.tbEinzeilig = true;
    texts = h.render().texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[1].y, 1050);
}

TEST(RendererTextBlocks, EmptyIndentedBlockPutsTheFirstMarkAtTheLargerPosition)
{
    RenderHarness h;
    TLayTextblock b = block(200, 1000, QString(), 1000, 2);
    b.EinzugZeile1 = 400;
    h.layout.textblock(100) = b;
    auto texts = h.render().texts();
    ASSERT_EQ(texts.size(), 2);
    const int markWidth = h.metrics.textWidth(texts[0].font, QStringLiteral("----------"));
    EXPECT_EQ(texts[0].x, std::max(200 + 400 + markWidth, 700));
    EXPECT_EQ(texts[1].x, 700);

    // A wide indent moves it beyond the centre.
    b.EinzugZeile1 = 700;
    h.layout.textblock(100) = b;
    texts = h.render().texts();
    EXPECT_EQ(texts[0].x, 200 + 700 + markWidth);
}

TEST(RendererTextBlocks, EmptyLineFromDoubleHashGetsAVoidMarkButHeaderBlocksNone)
{
    RenderHarness h;
    h.layout.textblock(100) = block(200, 1000, QStringLiteral("oben##unten"), 1000, 3);
    auto texts = h.render().texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[2].text, QStringLiteral("----------"));
    EXPECT_EQ(texts[2].y, 1050);

    TLayTextblock head = block(200, 1000, QStringLiteral("oben"), 1000, 3);
    head.Kopf = true;
    h.layout.textblock(100) = head;
    EXPECT_EQ(drawnTexts(h.render()), QStringList({QStringLiteral("oben")}));
}

TEST(RendererTextBlocks, TextBlockColumnIsFetchedAndWrapped)
{
    RenderHarness h;
    h.records.rows[0].insert(QStringLiteral("TB1"),
                             QStringLiteral("Sie arbeitet mit.\r\nSie hilft anderen gern."));
    h.layout.textblock(100) = block(200, 1000, QStringLiteral("%TB1%"), 1700, 4);
    const QStringList lines = drawnTexts(h.render());
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines.join(u' ').contains(QStringLiteral("Sie arbeitet mit.")));
    EXPECT_TRUE(lines.join(u' ').contains(QStringLiteral("hilft anderen gern.")));
}

TEST(RendererTextBlocks, NotDrawnForHeadDataOrEmptyForms)
{
    RenderHarness h;
    h.layout.textblock(100) = block(200, 1000, QStringLiteral("Text"), 1000, 2);
    h.run.formMode = FormMode::HeadDataOnly;
    EXPECT_TRUE(h.render().texts().isEmpty());
    h.run.formMode = FormMode::EmptyForm;
    EXPECT_TRUE(h.render().texts().isEmpty());
    h.run.formMode = FormMode::VariableNames;
    EXPECT_FALSE(h.render().texts().isEmpty());
}
