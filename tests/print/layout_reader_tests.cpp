// The print-time reader: prefix rules, post-processing and bad input.
#include "print/layout_reader.h"

#include "base/scripted_interaction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

TDruckLayout parse(const QStringList& lines, const QString& folder = QStringLiteral("/lay"))
{
    TDruckLayout m;
    parseLayoutText(lines, folder, m);
    return m;
}

QStringList lines(const char* text) { return QString::fromUtf8(text).split(QLatin1Char('\n')); }

} // namespace

TEST(LayoutReader, GeneralDefaultsAndPostProcessing)
{
    const TDruckLayout empty = parse({});
    EXPECT_EQ(empty.GlobaleSchrift, QStringLiteral("ARIAL"));
    EXPECT_EQ(empty.GlobalerSchriftGrad, 12);
    EXPECT_EQ(empty.Bedeutung, 0);  // a file without Bedeutung prints meaning 1
    EXPECT_TRUE(empty.PapierA4);
    EXPECT_EQ(empty.Blattbreite, 2100);
    EXPECT_EQ(empty.Blatthoehe, 2970);
    EXPECT_EQ(empty.notenfeld(115).Laenge, 350);
    EXPECT_EQ(empty.notenfeld(115).Hoehe, 50);

    const TDruckLayout m = parse(lines("[ALLGEMEINES]\nglobaleSchrift=Times New Roman\nGlobalerSchriftGrad=10\n"
                                       "Bereich=5\nBedeutung=3\nHoriKorrektur=-50\nVertiKorrektur=120\n"
                                       "Querformat=1\nPapierA4=0\n"));
    EXPECT_EQ(m.GlobaleSchrift, QStringLiteral("Times New Roman"));
    EXPECT_EQ(m.GlobalerSchriftGrad, 10);
    EXPECT_EQ(m.Bereich, 0);
    EXPECT_EQ(m.Bedeutung, -1);
    EXPECT_EQ(m.HoriKorrektur, -50);
    EXPECT_EQ(m.VertiKorrektur, 120);
    EXPECT_EQ(m.Blattbreite, 4200);  // A3 landscape
    EXPECT_EQ(m.Blatthoehe, 2970);
}

TEST(LayoutReader, TableFormRecordsPerPage)
{
    const TDruckLayout automatic =
        parse(lines("[ALLGEMEINES]\nBereich=1\nDatenSatzVorschub=300\nDatenAnzahl=5\nAutomatisch=0\n"));
    EXPECT_TRUE(automatic.Tabellenmodus);
    EXPECT_EQ(automatic.DatenAnzahl, 0);
    EXPECT_EQ(automatic.Bereich, 1);

    const TDruckLayout fixed =
        parse(lines("[ALLGEMEINES]\nDatenSatzVorschub=300\nDatenAnzahl=5\nAutomatisch=1\n"));
    EXPECT_EQ(fixed.DatenAnzahl, 5);

    const TDruckLayout plain = parse(lines("[ALLGEMEINES]\nBereich=1\nDatenAnzahl=5\nAutomatisch=1\n"));
    EXPECT_FALSE(plain.Tabellenmodus);
    EXPECT_EQ(plain.DatenAnzahl, 0);
    EXPECT_EQ(plain.Bereich, 0);
}

TEST(LayoutReader, EntryKeysByPrefix)
{
    const TDruckLayout m = parse(lines(
        "[EINTRAG-100]\nGR=3\nAktiv=1\nx=200\nxe=1500\ny=400\nFett=1\nKURSIV=1\nInhalt=$\"Zeugnis\"\n"
        "Filter=G\"1\"\nGrad=14\nAusrichtung= zentriert\nSchriftart=Courier New\nKopf=1\n"
        "LaengeMitFuell=800\nBreite=900\nWinkel=90\nFarbe=255\n"));
    const TLayEintrag& e = m.eintrag(100);
    EXPECT_TRUE(e.Aktiv);
    EXPECT_EQ(e.x, 200);
    EXPECT_EQ(e.xe, 1500);
    EXPECT_EQ(e.y, 400);
    EXPECT_TRUE(e.Fett);
    EXPECT_TRUE(e.Kursiv);
    EXPECT_EQ(e.Inhalt, QStringLiteral("\"Zeugnis\""));
    EXPECT_EQ(e.Filter, QStringLiteral("G\"1\""));
    EXPECT_EQ(e.Grad, 14);  // "GR=" is the group and not read as the size
    EXPECT_EQ(e.Ausrichtung, QChar(u'z'));
    EXPECT_EQ(e.LaengeMitFuell, 0);  // centred entries are never filled
    EXPECT_EQ(e.Schriftart, QStringLiteral("Courier New"));
    EXPECT_TRUE(e.Kopf);
    EXPECT_EQ(e.Breite, 900);
    EXPECT_EQ(e.Winkel, 90);
    EXPECT_EQ(e.Farbe, 255);
}

TEST(LayoutReader, EntryDefaultsFromGeneralPart)
{
    const TDruckLayout m = parse(lines("[ALLGEMEINES]\nGlobaleSchrift=Verdana\nGlobalerSchriftGrad=9\n\n"
                                       "[EINTRAG-100]\nAktiv=1\nx=10\ny=10\nLaengeMitFuell=500\n\n"
                                       "[EINTRAG-101]\nx=10\ny=10\n"));
    const TLayEintrag& e = m.eintrag(100);
    EXPECT_EQ(e.Ausrichtung, QChar(u'L'));
    EXPECT_EQ(e.LaengeMitFuell, 500);
    EXPECT_EQ(e.Grad, 9);
    EXPECT_EQ(e.Schriftart, QStringLiteral("Verdana"));
    // Without an Aktiv line an entry does not print.
    EXPECT_FALSE(m.eintrag(101).Aktiv);
}

TEST(LayoutReader, LinesGradeFieldsTextBlocksPictures)
{
    const TDruckLayout m = parse(lines(
        "[LINIE-100]\nAktiv=1\nx1=100\ny1=200\nx2=5\ny2=900\nLaenge=300\nDicke=0\nKommentar=x\nKopf=1\n\n"
        "[LINIE-101]\nAktiv=1\nx1=100\ny1=200\nx2=150\ny2=900\n\n"
        "[NOTENFELD-100]\nAktiv=1\nx=600\ny=1100\nLänge=330\nHöhe=60\nKommentar=7\n\n"
        "[NOTENFELD-101]\nAktiv=1\nx=600\ny=1100\nHoehe=0\n\n"
        "[TEXTBLOCK-100]\nAktiv=1\nx=200\ny=2000\nInhalt=%TB1%\nVorschub=0\nMaxbreite=1700\nMaxzeilen=0\n"
        "EinzugZeile1=400\nGrad=11\nFarbe=16711680\n\n"
        "[BILD-100]\nAktiv=1\nx=10\ny=10\nx2=300\ny2=77\nBilddatei= logo.jpg \n\n"
        "[BILD-101]\nAktiv=1\nx=10\ny=10\nBilddatei=%SCHFOTO%\n\n"
        "[BILD-102]\nAktiv=1\nx=10\ny=10\nBilddatei=C:\\BILDER\\A.BMP\n\n"
        "[BILD-103]\nAktiv=1\nx=10\ny=10\n"));
    const TLayLinie& l = m.linie(100);
    EXPECT_EQ(l.x2, 400);
    EXPECT_EQ(l.y2, 200);
    EXPECT_EQ(l.Dicke, 1);
    EXPECT_TRUE(l.Kopf);
    EXPECT_EQ(m.linie(101).x2, 150);
    EXPECT_EQ(m.linie(101).y2, 900);

    const TLayNotenfeld& n = m.notenfeld(100);
    EXPECT_TRUE(n.Aktiv);
    EXPECT_EQ(n.Laenge, 330);
    EXPECT_EQ(n.Hoehe, 60);
    EXPECT_FALSE(n.Kopf);  // the comment "7" is no header flag
    EXPECT_FALSE(m.notenfeld(101).Aktiv);

    const TLayTextblock& t = m.textblock(100);
    EXPECT_EQ(t.Inhalt, QStringLiteral("%TB1%"));
    EXPECT_EQ(t.Vorschub, 40);
    EXPECT_EQ(t.Maxzeilen, 1);
    EXPECT_EQ(t.Maxbreite, 1700);
    EXPECT_EQ(t.EinzugZeile1, 400);
    EXPECT_EQ(t.Grad, 11);
    EXPECT_EQ(t.Farbe, 16711680);
    EXPECT_EQ(t.Ausrichtung, QChar(u'L'));
    EXPECT_EQ(t.Schriftart, QStringLiteral("ARIAL"));

    EXPECT_EQ(m.bild(100).Bilddatei, QStringLiteral("/lay/logo.jpg"));
    EXPECT_EQ(m.bild(100).x2, 300);
    EXPECT_EQ(m.bild(100).y2, 77);
    EXPECT_EQ(m.bild(101).Bilddatei, QStringLiteral("%SCHFOTO%"));
    EXPECT_EQ(m.bild(102).Bilddatei, QStringLiteral("C:\\BILDER\\A.BMP"));
    EXPECT_FALSE(m.bild(103).Aktiv);
}

TEST(LayoutReader, RelativePicturePathsWithFolderComeFromTheWorkspace)
{
    TDruckLayout m;
    parseLayoutText(lines("[BILD-100]\nAktiv=1\nx=1\ny=1\nBilddatei=MUSTER\\PALMEN.JPG\n"), QStringLiteral("/ws/LAYOUT"),
                    m, QStringLiteral("/ws"));
    EXPECT_EQ(m.bild(100).Bilddatei, QStringLiteral("/ws/MUSTER/PALMEN.JPG"));
}

TEST(LayoutReader, SectionsOutOfRangeAndHeadersWithoutBlankLine)
{
    const TDruckLayout m = parse(lines("[EINTRAG-301]\nAktiv=1\nx=1\ny=1\nInhalt=zu weit\n"
                                       "[EINTRAG-300]\nAktiv=1\nx=5\ny=6\nInhalt=letzter\n"
                                       "[BILD-111]\nAktiv=1\nx=1\ny=1\nBilddatei=a.jpg\n"
                                       "[BILD-99]\nAktiv=1\nx=1\ny=1\nBilddatei=b.jpg\n"
                                       "[EINTRAG-abc]\nAktiv=1\nx=1\ny=1\n"
                                       "[TEXTBLOCK-122]\nAktiv=1\nx=1\ny=1\nInhalt=ende\n"));
    EXPECT_EQ(m.eintrag(300).Inhalt, QStringLiteral("letzter"));
    EXPECT_TRUE(m.eintrag(300).Aktiv);
    for (const TLayBild& b : m.Bilder)
        EXPECT_FALSE(b.Aktiv);
    int active = 0;
    for (const TLayEintrag& e : m.Eintraege)
        active += e.Aktiv ? 1 : 0;
    EXPECT_EQ(active, 1);
    EXPECT_EQ(m.textblock(122).Inhalt, QStringLiteral("ende"));
}

TEST(LayoutReader, BlankLineEndsSectionAndLaterKeyWins)
{
    const TDruckLayout m = parse(lines("[EINTRAG-100]\nAktiv=1\nx=10\nx=20\ny=30\n   \nInhalt=verloren\n"));
    EXPECT_EQ(m.eintrag(100).x, 20);
    EXPECT_TRUE(m.eintrag(100).Inhalt.isEmpty());
}

TEST(LayoutReader, OutsideTheSheetBecomesInactive)
{
    const TDruckLayout m = parse(lines("[EINTRAG-100]\nAktiv=1\nx=2100\ny=2970\n\n"
                                       "[EINTRAG-101]\nAktiv=1\nx=2101\ny=10\n\n"
                                       "[EINTRAG-102]\nAktiv=1\nx=-1\ny=10\n\n"
                                       "[LINIE-100]\nAktiv=1\nx1=10\ny1=2971\n\n"
                                       "[NOTENFELD-100]\nAktiv=1\nx=10\ny=-5\n\n"
                                       "[TEXTBLOCK-100]\nAktiv=1\nx=3000\ny=10\n\n"
                                       "[BILD-100]\nAktiv=1\nx=10\ny=3000\nBilddatei=a.jpg\n"));
    EXPECT_TRUE(m.eintrag(100).Aktiv);
    EXPECT_FALSE(m.eintrag(101).Aktiv);
    EXPECT_FALSE(m.eintrag(102).Aktiv);
    EXPECT_FALSE(m.linie(100).Aktiv);
    EXPECT_FALSE(m.notenfeld(100).Aktiv);
    EXPECT_FALSE(m.textblock(100).Aktiv);
    EXPECT_FALSE(m.bild(100).Aktiv);
}

TEST(LayoutReader, GarbageNeverBreaksTheModel)
{
    const QString longLine = QStringLiteral("Inhalt=") + QString(5000, QLatin1Char('x'));
    const TDruckLayout m = parse(QStringList{
        QStringLiteral("Müll vor jedem Abschnitt"), QStringLiteral("[EINTRAG-100]"), QStringLiteral("Aktiv=abc"),
        QStringLiteral("Aktiv=1"), QStringLiteral("x=99999999999999999999"), QStringLiteral("y=-2147483648"),
        QStringLiteral("Grad=70000"), QStringLiteral("Breite=2147483647"), QStringLiteral("Winkel=1e5"),
        QStringLiteral("ohne Gleichheitszeichen"), QStringLiteral("Unbekannt=7"), longLine, QString(),
        QStringLiteral("[LINIE-100]"), QStringLiteral("Aktiv=1"), QStringLiteral("x1=10"), QStringLiteral("y1=10"),
        QStringLiteral("Laenge=2147483647"), QString(), QStringLiteral("[ALLGEMEINES]"),
        QStringLiteral("GlobalerSchriftGrad=abc"), QStringLiteral("GlobaleSchrift="), QStringLiteral("%"),
        QStringLiteral("["), QStringLiteral("-"), QStringLiteral("[EINTRAG-"), QStringLiteral("=")});
    const TLayEintrag& e = m.eintrag(100);
    EXPECT_EQ(e.x, 0);           // not a number: 0
    EXPECT_FALSE(e.Aktiv);       // y far outside the sheet
    EXPECT_EQ(e.Winkel, 0);
    EXPECT_EQ(e.Inhalt.size(), 243);  // 250 characters of the line are read
    EXPECT_EQ(m.GlobalerSchriftGrad, 12);
    EXPECT_EQ(m.GlobaleSchrift, QStringLiteral("ARIAL"));
    // The end point stays representable, so drawing code can add shifts to it.
    const TLayLinie& l = m.linie(100);
    EXPECT_TRUE(l.Aktiv);
    EXPECT_GT(l.x2, l.x1);
    EXPECT_LT(l.x2, 1'000'000'000);
}

TEST(LayoutReader, NeedsAnExistingFile)
{
    QTemporaryDir dir;
    TDruckLayout m;
    m.GlobaleSchrift = QStringLiteral("unverändert");
    const QStringList text = lines("[EINTRAG-100]\nAktiv=1\nx=1\ny=1\nInhalt=a.jpg\n\n"
                                   "[BILD-100]\nAktiv=1\nx=1\ny=1\nBilddatei=a.jpg\n");
    EXPECT_FALSE(parseLayoutForPrinting(dir.filePath(QStringLiteral("FEHLT.LAY")), text, m));
    EXPECT_EQ(m.GlobaleSchrift, QStringLiteral("unverändert"));

    QDir(dir.path()).mkdir(QStringLiteral("LAYOUT"));
    QFile f(dir.filePath(QStringLiteral("LAYOUT/ZEUGNIS.LAY")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ScriptedInteraction ui;
    // The text is parsed, not the (empty) file, and the name may differ in case.
    EXPECT_TRUE(parseLayoutForPrinting(dir.filePath(QStringLiteral("layout/zeugnis.lay")), text, m, &ui));
    EXPECT_TRUE(m.eintrag(100).Aktiv);
    EXPECT_EQ(m.bild(100).Bilddatei, dir.filePath(QStringLiteral("LAYOUT/a.jpg")));
    EXPECT_EQ(ui.busyDepth, 0);
}
