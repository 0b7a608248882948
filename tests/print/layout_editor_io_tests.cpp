// The editor reader and the layout writer: what a load and save keeps.
#include "print/layout_editor_io.h"
#include "print/layout_reader.h"

#include "base/scripted_interaction.h"

#include <gtest/gtest.h>

using namespace zedora;

namespace {

QStringList lines(const char* text) { return QString::fromUtf8(text).split(QLatin1Char('\n')); }

LayoutEditorData read(const QStringList& text)
{
    return readLayoutForEditing(text, QStringLiteral("C:\\ZEDORA\\LAYOUT\\X.LAY"), QStringLiteral("KUERZEL.TXT"));
}

const char* kSample =
    "[ALLGEMEINES]\nFormularName=Probe\nGlobaleSchrift=ARIAL\nGlobalerSchriftGrad=11\nBereich=1\n"
    "HoriKorrektur=20\nVertiKorrektur=-30\nDatenSatzVorschub=300\nDatenAnzahl=5\nAutomatisch=1\n\n"
    "[EINTRAG-100]\nGR=2\nAktiv=1\nx=200\ny=400\nInhalt=%NAME%\nLaengeMitFuell=600\n\n"
    "[EINTRAG-105]\nGR=0\nx=300\ny=500\nInhalt=$\"Zeugnis\"\nAusrichtung=Z\nFett=1\n\n"
    "[EINTRAG-120]\nGR=1\nAktiv=0\nx=10\n\n"
    "[EINTRAG-301]\nGR=0\nAktiv=1\nx=1\ny=1\n\n"
    "[LINIE-103]\nGR=0\nAktiv=1\nx1=100\ny1=200\nLaenge=500\nDicke=3\nKommentar=Strich\n\n"
    "[NOTENFELD-110]\nGR=0\nAktiv=1\nx=600\ny=1100\nLaenge=0\nKommentar=7\n\n"
    "[TEXTBLOCK-101]\nGR=0\nAktiv=1\nx=200\ny=2000\nInhalt=%TB1%\nVorschub=55\nMaxbreite=1700\n"
    "Maxzeilen=4\nEinzugZeile1=300\n\n"
    "[BILD-104]\nGR=0\nAktiv=1\nx=10\ny=20\nx2=300\ny2=99\nKopf=1\nBilddatei=logo.jpg\n\n"
    "[BILD-111]\nGR=0\nAktiv=1\nx=10\ny=20\nBilddatei=zu.jpg\n\n"
    "-FDFYYY-\n"
    "NAME               Name                                    20\n"
    "VORNAME            Vorname                                 20\n"
    "DE                 Deutsch                                 3\n";

} // namespace

TEST(LayoutEditorReader, CompactsRowsAndShowsCells)
{
    const LayoutEditorData d = read(lines(kSample));
    const LayoutGrid& e = d.grid(ElementKind::Eintrag);
    EXPECT_EQ(int(e.rows.size()), 201);
    EXPECT_EQ(e.usedRows(), 2);  // 120 lacks y, 301 is out of range
    EXPECT_EQ(e.cell(0, QStringLiteral("Inhalt")), QStringLiteral("%NAME%"));
    EXPECT_EQ(e.cell(0, QStringLiteral("LaengeMitFuell")), QStringLiteral("600"));
    EXPECT_EQ(e.cell(0, QStringLiteral("Grad")), QString());
    EXPECT_EQ(e.cell(1, QStringLiteral("Inhalt")), QStringLiteral("\"Zeugnis\""));
    EXPECT_EQ(e.cell(1, QStringLiteral("Aktiv")), QStringLiteral("1"));  // no Aktiv line: active in the editor
    EXPECT_EQ(e.cell(1, QStringLiteral("Fett")), QStringLiteral("1"));
    EXPECT_EQ(e.cell(1, QStringLiteral("Kursiv")), QString());

    const LayoutGrid& l = d.grid(ElementKind::Linie);
    EXPECT_EQ(l.cell(0, QStringLiteral("x2")), QString());
    EXPECT_EQ(l.cell(0, QStringLiteral("Laenge")), QStringLiteral("500"));
    EXPECT_EQ(l.cell(0, QStringLiteral("Kommentar")), QStringLiteral("Strich"));
    const LayoutGrid& n = d.grid(ElementKind::Notenfeld);
    EXPECT_EQ(n.cell(0, QStringLiteral("Laenge")), QStringLiteral("350"));
    EXPECT_EQ(n.cell(0, QStringLiteral("Hoehe")), QStringLiteral("50"));
    const LayoutGrid& b = d.grid(ElementKind::Bild);
    EXPECT_EQ(b.usedRows(), 1);
    EXPECT_EQ(b.cell(0, QStringLiteral("Bilddatei")), QStringLiteral("LOGO.JPG"));

    EXPECT_EQ(d.general.FormularName, QStringLiteral("Probe"));
    EXPECT_EQ(d.general.Bedeutung, kBedeutungPrintCentre);  // "Wie im Druckzentrum definiert"
    EXPECT_EQ(read({QStringLiteral("[ALLGEMEINES]"), QStringLiteral("Bedeutung=1")}).general.Bedeutung, 1);
    EXPECT_EQ(read({QStringLiteral("[ALLGEMEINES]"), QStringLiteral("Bedeutung=7")}).general.Bedeutung,
              kBedeutungPrintCentre);
    EXPECT_EQ(d.general.Kuerzeldateiname, QStringLiteral("KUERZEL.TXT"));
    EXPECT_EQ(d.general.DatenSatzVorschub, 300);
    EXPECT_EQ(d.columnLines.size(), 3);
    EXPECT_EQ(millimetreText(300), QStringLiteral("  30.0"));
}

TEST(LayoutWriter, WritesTheFileFormAndClosesGaps)
{
    LayoutEditorData d = read(lines(kSample));
    ScriptedInteraction ui;
    const QStringList out = buildLayoutText(d, ui);
    EXPECT_TRUE(ui.messages().isEmpty());

    EXPECT_EQ(out.mid(0, 14), lines("[ALLGEMEINES]\nFormularName=Probe\nGlobaleSchrift=ARIAL\nGlobalerSchriftGrad=11\n"
                                    "Bereich=1\nBedeutung=3\nKuerzeldateiname=KUERZEL.TXT\nHoriKorrektur=20\n"
                                    "VertiKorrektur=-30\nDatenSatzVorschub=300\nDatenAnzahl=5\nAutomatisch=1\n"
                                    "Querformat=0\nPapierA4=1"));
    int groupLines = 0;
    for (const QString& line : out)
        groupLines += line.startsWith(QStringLiteral("==============   Gruppe ")) ? 1 : 0;
    EXPECT_EQ(groupLines, 10);
    // Renumbered from 100; the quoted text is guarded with '$'.
    EXPECT_TRUE(out.contains(QStringLiteral("[EINTRAG-101]")));
    EXPECT_FALSE(out.contains(QStringLiteral("[EINTRAG-105]")));
    EXPECT_TRUE(out.contains(QStringLiteral("Inhalt=$\"Zeugnis\"")));
    EXPECT_TRUE(out.contains(QStringLiteral("[BILD-100]")));
    EXPECT_FALSE(out.contains(QStringLiteral("y2=99")));
    // Group 0 comes before group 2, whatever the row order.
    EXPECT_LT(out.indexOf(QStringLiteral("[EINTRAG-101]")), out.indexOf(QStringLiteral("[EINTRAG-100]")));
    const qsizetype marker = out.indexOf(QStringLiteral("-FDFYYY-"));
    ASSERT_GT(marker, 2);
    EXPECT_TRUE(out[marker - 1].isEmpty() && out[marker - 2].isEmpty());
    EXPECT_EQ(out.mid(marker + 1), d.columnLines);

    // Without a table form the count is not written at all; without a fixed
    // count it is written as two blanks.
    d.general.Automatisch = 0;
    EXPECT_TRUE(buildLayoutText(d, ui).contains(QStringLiteral("DatenAnzahl=  ")));
    d.general.DatenSatzVorschub = 0;
    d.general.Bedeutung = -1;
    const QStringList plain = buildLayoutText(d, ui);
    EXPECT_TRUE(plain.contains(QStringLiteral("Bereich=0")));
    for (const QString& line : plain) {
        EXPECT_FALSE(line.startsWith(QStringLiteral("DatenAnzahl")));
        EXPECT_FALSE(line.startsWith(QStringLiteral("Bedeutung")));
    }
}

TEST(LayoutWriter, RoundTripKeepsEveryElementForPrinting)
{
    const QStringList original = lines(kSample);
    LayoutEditorData d = read(original);
    ScriptedInteraction ui;
    const QStringList saved = buildLayoutText(d, ui);

    TDruckLayout before, after;
    parseLayoutText(original, QStringLiteral("/l"), before);
    parseLayoutText(saved, QStringLiteral("/l"), after);
    // Entry 105 had no Aktiv line: it prints once saved by the editor.
    EXPECT_FALSE(before.eintrag(105).Aktiv);
    EXPECT_TRUE(after.eintrag(101).Aktiv);
    EXPECT_EQ(after.eintrag(101).Inhalt, QStringLiteral("\"Zeugnis\""));
    EXPECT_EQ(after.eintrag(100).Inhalt, before.eintrag(100).Inhalt);
    EXPECT_EQ(after.eintrag(100).LaengeMitFuell, 600);
    EXPECT_EQ(after.linie(100).x2, before.linie(103).x2);
    EXPECT_EQ(after.linie(100).Dicke, 3);
    EXPECT_EQ(after.notenfeld(100).Laenge, 350);  // a zero width shows and saves as the default
    EXPECT_TRUE(after.notenfeld(100).Aktiv);
    EXPECT_EQ(after.textblock(100).EinzugZeile1, 300);
    EXPECT_EQ(after.textblock(100).Maxzeilen, 4);
    EXPECT_EQ(after.bild(100).Bilddatei, QStringLiteral("/l/LOGO.JPG"));
    EXPECT_EQ(after.bild(100).x2, 300);
    EXPECT_EQ(after.DatenAnzahl, 5);
    EXPECT_EQ(after.HoriKorrektur, 20);

    // A second load and save changes nothing any more, not even for a
    // guarded cell that is not the text.
    LayoutEditorData again = read(saved);
    EXPECT_EQ(buildLayoutText(again, ui), saved);
    again.grid(ElementKind::Eintrag).setCell(0, QStringLiteral("Ausrichtung"), QStringLiteral("\"Z\""));
    const QStringList guarded = buildLayoutText(again, ui);
    EXPECT_TRUE(guarded.contains(QStringLiteral("Ausrichtung=$\"Z\"")));
    LayoutEditorData third = read(guarded);
    EXPECT_EQ(buildLayoutText(third, ui), guarded);

    // A text that begins with '$' keeps it through saving and printing.
    third.grid(ElementKind::Eintrag).setCell(0, QStringLiteral("Inhalt"), QStringLiteral("$5 Eintritt"));
    const QStringList dollar = buildLayoutText(third, ui);
    EXPECT_EQ(read(dollar).grid(ElementKind::Eintrag).cell(0, QStringLiteral("Inhalt")), QStringLiteral("$5 Eintritt"));
    TDruckLayout printed;
    parseLayoutText(dollar, QStringLiteral("/l"), printed);
    EXPECT_EQ(printed.eintrag(100).Inhalt, QStringLiteral("$5 Eintritt"));
}

TEST(LayoutWriter, BadGroupsBecomeZeroWithOneMessage)
{
    LayoutEditorData d = read(lines(kSample));
    d.grid(ElementKind::Eintrag).setCell(0, QStringLiteral("GR"), QStringLiteral("12"));
    d.grid(ElementKind::Linie).setCell(0, QStringLiteral("GR"), QStringLiteral("x"));
    d.grid(ElementKind::Bild).setCell(0, QStringLiteral("GR"), QStringLiteral(" 9 "));
    ScriptedInteraction ui;
    const QStringList out = buildLayoutText(d, ui);
    EXPECT_EQ(ui.messages(),
              QStringList{QStringLiteral("Gruppeneinträge z. T. falsch (0 - 9)!\nAus falschen wurden \"0\" gemacht!")});
    EXPECT_EQ(d.grid(ElementKind::Eintrag).cell(0, QStringLiteral("GR")), QStringLiteral("0"));
    EXPECT_EQ(d.grid(ElementKind::Linie).cell(0, QStringLiteral("GR")), QStringLiteral("0"));
    // The picture now stands in group 9, after the group line.
    EXPECT_GT(out.indexOf(QStringLiteral("[BILD-100]")),
              out.indexOf(QStringLiteral("==============   Gruppe 9 ==============")));
}

TEST(LayoutWriter, RowsWithoutPositionAreLeftOutAndDuplicatesNumberOn)
{
    LayoutEditorData d = read(lines(kSample));
    LayoutGrid& e = d.grid(ElementKind::Eintrag);
    e.rows[2] = e.rows[1];  // a duplicated row
    e.setCell(0, QStringLiteral("x"), QString());
    e.setCell(0, QStringLiteral("y"), QStringLiteral("abc"));
    ScriptedInteraction ui;
    const QStringList out = buildLayoutText(d, ui);
    EXPECT_FALSE(out.contains(QStringLiteral("[EINTRAG-100]")));
    EXPECT_TRUE(out.contains(QStringLiteral("[EINTRAG-101]")));
    EXPECT_TRUE(out.contains(QStringLiteral("[EINTRAG-102]")));
    EXPECT_EQ(out.count(QStringLiteral("Inhalt=$\"Zeugnis\"")), 2);
}
