// What the editor saves, printing reads back to the same print model: over the
// shipped demo layout, after edits, and over randomly filled grids.
#include "print/layout_editor_edits.h"
#include "print/layout_editor_io.h"
#include "print/layout_reader.h"

#include "base/scripted_interaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

QString shareFile(const char* name)
{
    QString here = QFileInfo(QStringLiteral(__FILE__)).path();
    if (QDir::isRelativePath(here))
        here = QStringLiteral(ZEDORA_BINARY_DIR "/") + here;
    return here + QStringLiteral("/../../share/MUSTER/") + QLatin1String(name);
}

QStringList fileLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
}

QString b(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }

// The active elements of a print model in order, one line each: numbering
// gaps close on save, so positions are compared, not section numbers.
QStringList describe(const TDruckLayout& m)
{
    QStringList out;
    out << QStringLiteral("G %1|%2|%3|%4|%5|%6|%7|%8|%9")
               .arg(m.FormularName, m.GlobaleSchrift)
               .arg(m.GlobalerSchriftGrad)
               .arg(m.DatenSatzVorschub)
               .arg(m.DatenAnzahl)
               .arg(m.Bedeutung)
               .arg(b(m.Querformat) + b(m.PapierA4))
               .arg(m.HoriKorrektur)
               .arg(m.VertiKorrektur);
    for (const TLayEintrag& e : m.Eintraege)
        if (e.Aktiv)
            out << QStringLiteral("E %1 %2 %3 [%4] %5%6%7%8 %9").arg(e.x).arg(e.y).arg(e.LaengeMitFuell).arg(e.Inhalt)
                       .arg(e.Ausrichtung).arg(b(e.Fett)).arg(b(e.Kursiv)).arg(b(e.Kopf))
                       .arg(QStringLiteral("%1 %2 %3 %4 %5 %6 %7").arg(e.Schriftart).arg(e.Grad).arg(e.Winkel)
                                .arg(e.Breite).arg(e.Farbe).arg(e.xe).arg(e.Filter));
    for (const TLayLinie& l : m.Linien)
        if (l.Aktiv)
            out << QStringLiteral("L %1 %2 %3 %4 %5 %6 %7 %8").arg(l.x1).arg(l.y1).arg(l.x2).arg(l.y2).arg(l.Laenge)
                       .arg(l.Dicke).arg(b(l.Kopf)).arg(l.Farbe);
    for (const TLayNotenfeld& n : m.Notenfelder)
        if (n.Aktiv)
            out << QStringLiteral("N %1 %2 %3 %4 %5").arg(n.x).arg(n.y).arg(n.Laenge).arg(n.Hoehe).arg(n.Farbe);
    for (const TLayTextblock& t : m.Textbloecke)
        if (t.Aktiv)
            out << QStringLiteral("T %1 %2 [%3] %4 %5 %6 %7 %8%9").arg(t.x).arg(t.y).arg(t.Inhalt).arg(t.Vorschub)
                       .arg(t.Maxbreite).arg(t.Maxzeilen).arg(t.EinzugZeile1).arg(b(t.Kursiv) + b(t.Fett))
                       .arg(QStringLiteral(" %1 %2 %3 %4 %5").arg(t.Ausrichtung).arg(t.Schriftart).arg(t.Grad)
                                .arg(b(t.Kopf)).arg(t.Farbe));
    for (const TLayBild& p : m.Bilder)
        if (p.Aktiv)
            out << QStringLiteral("B %1 %2 %3 %4").arg(p.x).arg(p.y).arg(p.x2).arg(p.Bilddatei);
    return out;
}

QStringList printed(const QStringList& text)
{
    TDruckLayout model;
    parseLayoutText(text, QStringLiteral("/tmp/layouts"), model);
    return describe(model);
}

LayoutEditorData edit(const QStringList& text)
{
    return readLayoutForEditing(text, QStringLiteral("C:\\ZEDORA\\LAYOUT\\X.LAY"), QStringLiteral("KUERZEL.TXT"));
}

QStringList saved(LayoutEditorData data)
{
    ScriptedInteraction ui;
    return buildLayoutText(data, ui);
}

QString randomCell(QRandomGenerator& rng, ElementKind kind, const QString& caption)
{
    // Quotes and a leading '$' only where a user writes printed text; other
    // text cells hold names, comments and picture files.
    static const QStringList texts = {"%NAME%", "\"Zeugnis\"", "$Preis", "Über ä ö ß", "a=b", "", "x y",
                                      "Noten; Kommentar", "%FACH1%", "Er sagte \"ja\""};
    static const QStringList plain = {"ARIAL", "Times New Roman", "", "Noten; Kommentar", "RASTER1.JPG",
                                      "%SCHFOTO%", "a=b"};
    if (caption == "Bilddatei")
        return QStringList{"RASTER1.JPG", "%SCHFOTO%", "BILDER\\PALMEN.WMF"}[rng.bounded(3)];
    if (caption == "Inhalt" && kind == ElementKind::Eintrag)
        return texts[rng.bounded(texts.size())];
    if (caption == "Aktiv" || caption == "Fett" || caption == "Kursiv" || caption == "Kopf")
        return rng.bounded(3) == 0 ? QString() : QString::number(rng.bounded(2));
    if (caption == "GR")
        return QString::number(rng.bounded(10));
    if (caption == "Ausrichtung")
        return QStringList{"L", "R", "Z", ""}[rng.bounded(4)];
    if (caption == "Inhalt" || caption == "Kommentar" || caption == "Filter" || caption == "Schriftart"
        || caption == "Bilddatei")
        return plain[rng.bounded(plain.size())];
    return rng.bounded(4) == 0 ? QString() : QString::number(rng.bounded(3000));
}

} // namespace

TEST(RoundTrip, ShippedDemoLayoutPrintsTheSameAfterLoadAndSave)
{
    const QStringList original = fileLines(shareFile("DEMOLAY.MST"));
    ASSERT_GT(original.size(), 50);
    const QStringList before = printed(original);
    ASSERT_GT(before.size(), 10);
    const QStringList text = saved(edit(original));
    EXPECT_EQ(printed(text).join("\n").toStdString(), before.join("\n").toStdString());
    // A second pass changes nothing any more.
    EXPECT_EQ(saved(edit(text)), text);
}

TEST(RoundTrip, EditsReachThePrintModel)
{
    ScriptedInteraction ui;
    LayoutEditorData data = edit(fileLines(shareFile("DEMOLAY.MST")));
    LayoutGrid& entries = data.grid(ElementKind::Eintrag);
    const int used = entries.usedRows();
    ASSERT_GT(used, 2);
    ASSERT_TRUE(duplicateRow(entries, 0, ui));
    entries.setCell(0, "Inhalt", "Neuer \"Text\"");
    entries.setCell(0, "Aktiv", "1");
    ui.answers.enqueue(Answer::Yes);
    ASSERT_TRUE(deleteRow(entries, 2, ui));
    applyGlobalChange(data, ElementKind::Eintrag, entries.columnOf("x"), 0, 99999, 10, ShiftScope::CurrentColumn);

    const QStringList text = saved(data);
    TDruckLayout model;
    parseLayoutText(text, QStringLiteral("/tmp/layouts"), model);
    EXPECT_EQ(model.Eintraege[0].Inhalt, "Neuer \"Text\"");
    EXPECT_EQ(model.Eintraege[0].x, entries.cell(0, "x").toInt());
    EXPECT_EQ(model.Eintraege[1].x, entries.cell(1, "x").toInt());
    EXPECT_EQ(edit(text).grid(ElementKind::Eintrag).usedRows(), used);
    EXPECT_EQ(printed(saved(edit(text))), printed(text));
}

TEST(RoundTrip, RandomGridsSurviveSaveAndReload)
{
    QRandomGenerator rng(19);
    for (int round = 0; round < 40; ++round) {
        LayoutEditorData data;
        data.general.FormularName = QStringLiteral("Zufall %1").arg(round);
        data.general.DatenSatzVorschub = round % 3 == 0 ? 300 : 0;
        data.general.Automatisch = round % 2;
        data.general.DatenAnzahl = QStringLiteral("4");
        data.general.Querformat = round % 4 == 1;
        for (LayoutGrid& grid : data.grids) {
            const int rows = 1 + int(rng.bounded(std::min<int>(12, int(grid.rows.size()))));
            for (int r = 0; r < rows; ++r)
                for (int c = 1; c < grid.captions.size(); ++c)
                    grid.rows[std::size_t(r)][c] = randomCell(rng, grid.kind, grid.captions[c]);
        }
        const QStringList first = saved(data);
        const QStringList second = saved(edit(first));
        ASSERT_EQ(printed(second).join("\n").toStdString(), printed(first).join("\n").toStdString()) << "round " << round;
        // Gaps and defaults settle on the first save; after that a load and
        // save gives the same text.
        ASSERT_EQ(saved(edit(second)).join("\n").toStdString(), second.join("\n").toStdString())
            << "round " << round;
    }
}
