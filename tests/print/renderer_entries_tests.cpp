// Entries, lines and the layout's shift on the recording surface.
#include "renderer_test_support.h"

#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

const DrawnText* findText(const QVector<DrawnText>& texts, const QString& t)
{
    for (const DrawnText& d : texts)
        if (d.text == t)
            return &d;
    return nullptr;
}

} // namespace

TEST(RendererEntries, ShiftMovesEverythingRotatedTextAndLinesIncluded)
{
    RenderHarness h;
    h.layout.HoriKorrektur = 50;
    h.layout.VertiKorrektur = -20;
    h.layout.eintrag(100) = entry(300, 400, QStringLiteral("%NAME%"));
    TLayEintrag up = entry(500, 900, QStringLiteral("hoch"));
    up.Winkel = 90;
    h.layout.eintrag(101) = up;
    TLayLinie l;
    l.Aktiv = true;
    l.x1 = 100; l.y1 = 1000; l.x2 = 600; l.y2 = 1000; l.Dicke = 4; l.Farbe = 255;
    h.layout.linie(100) = l;

    const RecordingSurface s = h.render();
    const auto texts = s.texts();
    const DrawnText* name = findText(texts, QStringLiteral("Muster"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->x, 350);
    EXPECT_EQ(name->y, 380);
    const DrawnText* rotated = findText(texts, QStringLiteral("hoch"));
    ASSERT_NE(rotated, nullptr);
    EXPECT_EQ(rotated->x, 550);
    EXPECT_EQ(rotated->y, 880);
    EXPECT_EQ(rotated->angle, 900); // tenths of a degree, counter-clockwise: reads upwards
    const auto lines = s.lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].x1, 150);
    EXPECT_EQ(lines[0].y1, 980);
    EXPECT_EQ(lines[0].x2, 650);
    EXPECT_EQ(lines[0].width, 4);
    EXPECT_EQ(lines[0].colour, QColor(255, 0, 0));
}

TEST(RendererEntries, FillDotsReachTheFillLengthAndTheTextGetsABlank)
{
    RenderHarness h;
    TLayEintrag e = entry(200, 500, QStringLiteral("Deutsch"));
    e.LaengeMitFuell = 800;
    h.layout.eintrag(100) = e;
    const auto texts = h.render().texts();
    ASSERT_EQ(texts.size(), 2);
    const DrawnText& dots = texts[0];
    EXPECT_EQ(dots.align, TextAlign::Right);
    EXPECT_EQ(dots.x, 1000);
    EXPECT_TRUE(dots.text.startsWith(QStringLiteral("...")));
    EXPECT_EQ(dots.text.count(u'.'), dots.text.size());
    // The dots fill the gap between the text and the fill end, less 1 mm.
    const int textWidth = h.metrics.textWidth(dots.font, QStringLiteral("Deutsch"));
    const int dotsWidth = h.metrics.textWidth(dots.font, dots.text);
    EXPECT_GE(dotsWidth, 800 - textWidth - 10);
    EXPECT_LT(dotsWidth - h.metrics.textWidth(dots.font, QStringLiteral(".")), 800 - textWidth - 10);
    EXPECT_EQ(texts[1].text, QStringLiteral("Deutsch "));
    EXPECT_EQ(texts[1].align, TextAlign::Left);
}

TEST(RendererEntries, DashesGoToTheAlternativeXCentred)
{
    RenderHarness h;
    TLayEintrag e = entry(1200, 500, QStringLiteral("--"));
    e.xe = 1500;
    h.layout.eintrag(100) = e;
    TLayEintrag plain = entry(1200, 600, QStringLiteral("2"));
    plain.xe = 1500;
    h.layout.eintrag(101) = plain;
    const auto texts = h.render().texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0].x, 1500);
    EXPECT_EQ(texts[0].align, TextAlign::Center);
    EXPECT_EQ(texts[1].x, 1200);
    EXPECT_EQ(texts[1].align, TextAlign::Left);
}

TEST(RendererEntries, WidthCutKeepsTheShortestPrefixThatReachesTheWidth)
{
    RenderHarness h;
    TLayEintrag e = entry(200, 500, QStringLiteral("Naturwissenschaften"));
    e.Breite = 200;
    h.layout.eintrag(100) = e;
    const auto texts = h.render().texts();
    ASSERT_EQ(texts.size(), 1);
    const QString cut = texts[0].text;
    ASSERT_LT(cut.size(), e.Inhalt.size());
    EXPECT_TRUE(e.Inhalt.startsWith(cut));
    EXPECT_GE(h.metrics.textWidth(texts[0].font, cut), 200);
    EXPECT_LT(h.metrics.textWidth(texts[0].font, cut.chopped(1)), 200);
}

TEST(RendererEntries, FilterAndAlignmentAndColour)
{
    RenderHarness h;
    h.records.rows[0].insert(QStringLiteral("DE"), QStringLiteral("3"));
    TLayEintrag keep = entry(1000, 500, QStringLiteral("%DE%"), u'r');
    keep.Filter = QStringLiteral("U\"--\"");
    keep.Farbe = 65536 * 128; // dark blue
    h.layout.eintrag(100) = keep;
    TLayEintrag drop = entry(1000, 600, QStringLiteral("%DE%"), u'Z');
    drop.Filter = QStringLiteral("G\"1\" \"2\"");
    h.layout.eintrag(101) = drop;
    h.layout.eintrag(102) = entry(1000, 700, QStringLiteral("schwarz"));
    const auto texts = h.render().texts();
    ASSERT_EQ(texts.size(), 2); // the filtered entry draws nothing
    EXPECT_EQ(texts[0].text, QStringLiteral("3"));
    EXPECT_EQ(texts[0].align, TextAlign::Right);
    EXPECT_EQ(texts[0].colour, QColor(0, 0, 128));
    EXPECT_EQ(texts[1].text, QStringLiteral("schwarz"));
    EXPECT_EQ(texts[1].colour, QColor(0, 0, 0));
    EXPECT_EQ(texts[1].align, TextAlign::Left);
}

TEST(RendererEntries, RasterOverlayDrawsGridLabelsAndEndMarks)
{
    RenderHarness h;
    h.options.raster = true;
    h.layout.eintrag(100) = entry(200, 500, QStringLiteral("Ein recht langer Eintrag mit Worten"));
    h.layout.eintrag(101) = entry(200, 600, QStringLiteral("kurz"));
    const RecordingSurface s = h.render();
    const auto lines = s.lines();
    // 106 vertical and 151 horizontal grid lines, then three red end-mark strokes.
    int grid = 0, red = 0;
    for (const DrawnLine& l : lines) {
        if (l.colour == QColor(Qt::red)) {
            ++red;
            EXPECT_EQ(l.width, 3);
        } else {
            ++grid;
        }
    }
    EXPECT_EQ(grid, 106 + 151);
    EXPECT_EQ(red, 3);
    const auto texts = s.texts();
    const DrawnText* longEntry = findText(texts, QStringLiteral("Ein recht langer Eintrag mit Worten"));
    ASSERT_NE(longEntry, nullptr);
    const int end = 200 + h.metrics.textWidth(longEntry->font, longEntry->text);
    bool vertical = false;
    for (const DrawnLine& l : lines)
        vertical = vertical || (l.colour == QColor(Qt::red) && l.x1 == end && l.x2 == end && l.y1 == 470 && l.y2 == 500);
    EXPECT_TRUE(vertical);
    EXPECT_NE(findText(texts, QStringLiteral("1000")), nullptr);
}

TEST(RendererEntries, PositionMarkerPointsAtTheElementInRed)
{
    RenderHarness h;
    h.options.positionMarker = QPoint(800, 1200);
    const auto lines = h.render().lines();
    ASSERT_EQ(lines.size(), 3);
    for (const DrawnLine& l : lines) {
        EXPECT_EQ(l.colour, QColor(Qt::red));
        EXPECT_TRUE((l.x1 == 800 && l.y1 == 1200) || (l.x2 == 800 && l.y2 == 1200));
    }
    h.options.positionMarker.reset();
    EXPECT_TRUE(h.render().lines().isEmpty());
}
