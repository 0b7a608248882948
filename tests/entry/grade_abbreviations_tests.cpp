#include "core/settings.h"
#include "base/ansi_text.h"
#include "base/scripted_interaction.h"
#include "entry/abbreviation_tables.h"
#include "entry/colour_chains.h"
#include "entry/student_table_checks.h"
#include "entry/storable_text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray ansiLines(const QStringList& lines)
{
    QByteArray out;
    for (const QString& l : lines)
        out += toAnsi(l) + "\r\n";
    return out;
}

class Workspace : public ::testing::Test {
protected:
    QString file(const QString& name) const { return dir.filePath(name); }
    void writeLines(const QString& name, const QStringList& lines) { writeBytes(file(name), ansiLines(lines)); }

    QTemporaryDir dir;
};

const QString kRefusal2Plus = QString::fromUtf8("   Kürzel (2+) nicht definiert!   \n\nAktive Kürzeldatei: KUERZEL.TXT");

} // namespace

// ---- the two file formats

TEST(AbbreviationFile, DelimitedLinesGiveTrimmedUpperCaseCodesAndMeanings)
{
    const QStringList lines{
        QStringLiteral("1 |sehr gut|sehr gut (1)"),
        QStringLiteral(" a | A-Kurs |  mit erhöhten Anforderungen "),
        QStringLiteral("abc|drei|vier|fünf"),
        QStringLiteral("NT"),
        QString(),
        QStringLiteral("2-|nur eine Bedeutung"),
    };
    const AbbreviationTable t = parseAbbreviationTable(lines);
    EXPECT_EQ(t[0], (Abbreviation{QStringLiteral("1 "), QStringLiteral("sehr gut"), QStringLiteral("sehr gut (1)")}));
    EXPECT_EQ(t[1], (Abbreviation{QStringLiteral("A "), QStringLiteral("A-Kurs"),
                                  QStringLiteral("mit erhöhten Anforderungen")}));
    // Two characters at most; meaning 2 ends at a further '|'.
    EXPECT_EQ(t[2], (Abbreviation{QStringLiteral("AB"), QStringLiteral("drei"), QStringLiteral("vier")}));
    EXPECT_EQ(t[3], (Abbreviation{QStringLiteral("NT"), QString(), QString()}));
    EXPECT_EQ(t[4].code, QStringLiteral("  "));
    EXPECT_EQ(t[5].meaning1, QStringLiteral("nur eine Bedeutung"));
    EXPECT_TRUE(t[5].meaning2.isEmpty());
    EXPECT_TRUE(t[150].code.isEmpty());
}

TEST(AbbreviationFile, FirstLineWithoutBarMakesTheWholeFileFixedWidth)
{
    const QString m1 = QStringLiteral("sehr gut            ");  // columns 3-22
    const QStringList lines{
        QStringLiteral("1 sehr gut"),
        QStringLiteral("2+") + m1 + QStringLiteral("Bedeutung zwei und mehr"),
        QStringLiteral("3 |befriedigend|x"), // read by columns as well
        QStringLiteral("e"),
    };
    const AbbreviationTable t = parseAbbreviationTable(lines);
    EXPECT_EQ(t[0].code, QStringLiteral("1 "));
    EXPECT_EQ(t[0].meaning1, QStringLiteral("sehr gut"));
    EXPECT_EQ(t[1].meaning1, m1);                                    // as it stands
    EXPECT_EQ(t[1].meaning2, QStringLiteral("Bedeutung zwei und m")); // columns 23-42
    EXPECT_EQ(t[2].code, QStringLiteral("3 "));
    EXPECT_EQ(t[2].meaning1, QStringLiteral("|befriedigend|x"));
    EXPECT_EQ(t[3].code, QStringLiteral("E"));

    const auto rows = parseAbbreviationRows(lines);
    ASSERT_EQ(rows.size(), size_t(kAbbreviationRows));
    EXPECT_EQ(rows[1], (Abbreviation{QStringLiteral("2+"), QStringLiteral("sehr gut"),
                                     QStringLiteral("Bedeutung zwei und m")}));
}

TEST(AbbreviationFile, TableKeepsEightyCharactersTheEditorTheWholeLine)
{
    const QString longMeaning(130, QLatin1Char('x'));
    const QStringList lines{QStringLiteral("1|") + longMeaning + QStringLiteral("|") + longMeaning};
    const AbbreviationTable t = parseAbbreviationTable(lines);
    EXPECT_EQ(t[0].meaning1.size(), kMeaningLength);
    EXPECT_EQ(t[0].meaning2.size(), kMeaningLength);
    const auto rows = parseAbbreviationRows(lines);
    EXPECT_EQ(rows[0].meaning1, longMeaning);
    // The editor reads 250 characters of the line: 2 + 130 + 1 + 117.
    EXPECT_EQ(rows[0].meaning2.size(), 117);
}

TEST_F(Workspace, DamagedFilesAreReadWithoutHarm)
{
    // 200 lines, one of them 100 000 characters long, one binary.
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << (i < kAbbreviationEntries
                      ? QStringLiteral("%1|Bedeutung %1|").arg(i % 100, 2, 10, QLatin1Char('0'))
                      : QStringLiteral("ZZ|jenseits|"));
    lines[3] = QStringLiteral("XL|") + QString(100000, QLatin1Char('y'));
    QByteArray bytes = ansiLines(lines);
    const QByteArray binary("B\0\xff\x01|\x80\x9f|", 8);
    bytes.replace(ansiLines({lines[5]}), binary + "\n");
    writeBytes(file(QStringLiteral("KUERZEL.TXT")), bytes);

    GradeAbbreviations table(dir.path());
    EXPECT_TRUE(table.load());
    const AbbreviationTable& t = table.entries();
    EXPECT_EQ(t[3].code, QStringLiteral("XL"));
    EXPECT_EQ(t[3].meaning1, QString(kMeaningLength, QLatin1Char('y')));
    EXPECT_EQ(t[4].code, QStringLiteral("04")); // the line after the long one
    EXPECT_EQ(t[5].code.size(), 2);
    EXPECT_EQ(t[6].meaning1, QStringLiteral("Bedeutung 06"));
    // Entry 150 is line 151; line 152 and later are ignored.
    EXPECT_EQ(t[150].code, QStringLiteral("50"));
    EXPECT_FALSE(table.isDefined(QStringLiteral("ZZ")));
}

TEST_F(Workspace, SavedFileHas150DelimitedLinesAndReadsBack)
{
    std::vector<Abbreviation> rows(kAbbreviationRows);
    rows[0] = {QStringLiteral("1"), QStringLiteral(" sehr gut "), QStringLiteral("sehr gut (1)")};
    rows[1] = {QStringLiteral("ne"), QStringLiteral("nicht erteilt"), QString()};
    rows[2] = {QStringLiteral("abc"), QStringLiteral("mit|Strich"), QStringLiteral("ungenügend")};
    QStringList registered;
    const QString path = file(QStringLiteral("NEU.NKD"));
    ASSERT_TRUE(writeAbbreviationFile(path, rows, [&](const QString& p) { registered << p; }));
    EXPECT_EQ(registered, QStringList{path});

    const QByteArray bytes = readBytes(path);
    const QList<QByteArray> lines = bytes.split('\n');
    EXPECT_EQ(bytes.count("\r\n"), kAbbreviationRows);
    EXPECT_EQ(lines[0], QByteArray("1 |sehr gut|sehr gut (1)\r"));
    EXPECT_EQ(lines[1], QByteArray("NE|nicht erteilt|\r"));
    EXPECT_EQ(lines[2], QByteArray("AB|mit\xA6Strich|ungen\xFCgend\r"));
    EXPECT_EQ(lines[3], QByteArray("  ||\r"));

    GradeAbbreviations table(dir.path());
    table.setActiveFileName(QStringLiteral("NEU.NKD"));
    ASSERT_TRUE(table.load());
    EXPECT_EQ(table.entries()[2].meaning2, QString::fromUtf8("ungenügend"));
    EXPECT_EQ(parseAbbreviationRows(*readLeadingLines(path, 200))[0], (Abbreviation{
        QStringLiteral("1"), QStringLiteral("sehr gut"), QStringLiteral("sehr gut (1)")}));

    EXPECT_FALSE(writeAbbreviationFile(file(QStringLiteral("fehlt/NEU.NKD")), rows, {}));
}

TEST(AbbreviationFile, ShippedTemplateIsDelimited)
{
    const QString path = QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/KUERZEL.MST");
    const auto lines = readLeadingLines(path, kAbbreviationEntries);
    if (!lines)
        GTEST_SKIP() << "share not built";
    ASSERT_TRUE(isDelimited(*lines));
    GradeAbbreviations table;
    table.setEntries(parseAbbreviationTable(*lines));
    EXPECT_TRUE(table.isDefined(QStringLiteral("1+")));
    EXPECT_EQ(table.meaning(QStringLiteral("6"), 2), QString::fromUtf8("ungenügend (6)"));
    EXPECT_TRUE(table.isDefined(QString())); // room left for clearing a grade
}

// ---- the active file

TEST_F(Workspace, ActiveFileComesFromTheLayoutAndFallsBackToKuerzelTxt)
{
    writeLines(QStringLiteral("KUERZEL.TXT"), {QStringLiteral("1 |eins|")});
    writeLines(QStringLiteral("schule.nkd"), {QStringLiteral("E |E-Kurs|")});
    GradeAbbreviations table(dir.path());

    QStringList layout(20, QStringLiteral("Zeile"));
    layout[5] = QStringLiteral("kuerzeldateiname SCHULE.NKD                 ");
    EXPECT_TRUE(table.chooseFromLayout(layout));
    EXPECT_EQ(table.activeFileName(), QStringLiteral("SCHULE.NKD"));
    EXPECT_EQ(table.label(), QString::fromUtf8("Kürzeldatei: SCHULE.NKD"));
    EXPECT_TRUE(table.isDefined(QStringLiteral("E")));

    // Only lines 2 to 17 count.
    layout[5] = QStringLiteral("Zeile");
    layout[17] = QStringLiteral("KUERZELDATEINAME SCHULE.NKD");
    table.chooseFromLayout(layout);
    EXPECT_EQ(table.activeFileName(), QStringLiteral("KUERZEL.TXT"));
    layout[17] = QStringLiteral("Zeile");
    layout[0] = QStringLiteral("KUERZELDATEINAME SCHULE.NKD");
    table.chooseFromLayout(layout);
    EXPECT_EQ(table.activeFileName(), QStringLiteral("KUERZEL.TXT"));

    // A folder in the name is dropped: the file lies in the workspace.
    layout[5] = QStringLiteral("KUERZELDATEINAME ..\\..\\schule.nkd");
    table.chooseFromLayout(layout);
    EXPECT_EQ(table.activeFileName(), QStringLiteral("schule.nkd"));
    EXPECT_EQ(table.activeFilePath(), file(QStringLiteral("schule.nkd")));
    layout[5] = QStringLiteral("Zeile");

    // A missing file gives KUERZEL.TXT.
    layout[0] = QStringLiteral("Zeile");
    layout[1] = QStringLiteral("KUERZELDATEINAME FEHLT.NKD");
    EXPECT_TRUE(table.chooseFromLayout(layout));
    EXPECT_EQ(table.activeFileName(), QStringLiteral("KUERZEL.TXT"));
    EXPECT_TRUE(table.isDefined(QStringLiteral("1")));
    EXPECT_FALSE(table.isDefined(QStringLiteral("E")));

    // Without KUERZEL.TXT too nothing is defined, not even what was before.
    QFile::remove(file(QStringLiteral("KUERZEL.TXT")));
    EXPECT_FALSE(table.load());
    EXPECT_FALSE(table.isDefined(QStringLiteral("1")));
}

TEST_F(Workspace, StartUsesTheSettingAndReadsTheGraduationCodes)
{
    writeLines(QStringLiteral("SONDER.NKD"), {QStringLiteral("A |A-Kurs|")});
    writeLines(QStringLiteral("abschl.txt"), {QStringLiteral("HS     Hauptschulabschluss")});
    Settings s;
    s.Kuerzeldateiname = QStringLiteral("SONDER.NKD");
    AbbreviationTables tables(dir.path());
    tables.loadAtStart(s);
    EXPECT_EQ(tables.grades.activeFileName(), QStringLiteral("SONDER.NKD"));
    EXPECT_TRUE(tables.grades.isDefined(QStringLiteral("A")));
    EXPECT_EQ(tables.graduation.allowedCodes(), QStringLiteral("##HS#"));
}

// ---- checks

TEST(AbbreviationCheck, RefusesUndefinedCodesWithTheirMessage)
{
    GradeAbbreviations table;
    table.setEntries(parseAbbreviationTable({QStringLiteral("1 |eins|"), QStringLiteral("2 |zwei|"),
                                             QStringLiteral("A |A-Kurs|"), QStringLiteral("  ||")}));
    const AbbreviationCheckContext ctx;
    EXPECT_TRUE(table.check(QStringLiteral("2"), ctx).accepted());
    EXPECT_TRUE(table.check(QStringLiteral("a"), ctx).accepted());
    EXPECT_TRUE(table.check(QStringLiteral(" 1 "), ctx).accepted());
    EXPECT_TRUE(table.check(QString(), ctx).accepted());

    const ChangeCheckResult refused = table.check(QStringLiteral("2+"), ctx);
    EXPECT_EQ(refused.outcome, ChangeCheckResult::Outcome::Refused);
    EXPECT_EQ(refused.message, kRefusal2Plus);
    EXPECT_FALSE(refused.asWarning);
    EXPECT_EQ(table.check(QStringLiteral("1x9"), ctx).message,
              QString::fromUtf8("   Kürzel (1X) nicht definiert!   \n\nAktive Kürzeldatei: KUERZEL.TXT"));

    // A free-entry column takes anything.
    EXPECT_TRUE(table.check(QStringLiteral("zz"), {true, false, false}).accepted());
}

TEST(AbbreviationCheck, RecordWithoutNameDropsItsEditUnlessBulkWorkRuns)
{
    GradeAbbreviations table;
    table.setEntries(parseAbbreviationTable({QStringLiteral("1 |eins|")}));
    EXPECT_EQ(table.check(QStringLiteral("1"), {false, true, false}).outcome,
              ChangeCheckResult::Outcome::DiscardEdit);
    EXPECT_TRUE(table.check(QStringLiteral("1"), {false, true, true}).accepted());
    EXPECT_EQ(table.check(QStringLiteral("9"), {false, true, true}).outcome, ChangeCheckResult::Outcome::Refused);
}

TEST(AbbreviationCheck, FullFileLeavesTheLastEntryEmptySoGradesCanBeCleared)
{
    QStringList lines;
    for (int i = 0; i < kAbbreviationRows; ++i)
        lines << QStringLiteral("%1|x|").arg(i, 2, 36, QLatin1Char('0')).toUpper();
    GradeAbbreviations table;
    table.setEntries(parseAbbreviationTable(lines));
    EXPECT_TRUE(table.check(QString(), {}).accepted());
    EXPECT_TRUE(table.check(QStringLiteral("  "), {}).accepted());
    lines << QStringLiteral("ZZ|voll|");
    table.setEntries(parseAbbreviationTable(lines));
    EXPECT_FALSE(table.check(QString(), {}).accepted());
}

TEST(AbbreviationCheck, MeaningsOfTheFirstMatchingEntry)
{
    GradeAbbreviations table;
    table.setEntries(parseAbbreviationTable(
        {QStringLiteral("1 |sehr gut|sehr gut (1)"), QStringLiteral("1|doppelt|doppelt"), QStringLiteral("e|E-Kurs|Erweitert")}));
    EXPECT_EQ(table.meaning(QStringLiteral(" 1"), 1), QStringLiteral("sehr gut"));
    EXPECT_EQ(table.meaning(QStringLiteral("1"), 2), QStringLiteral("sehr gut (1)"));
    EXPECT_EQ(table.meaning(QStringLiteral("e"), 2), QStringLiteral("Erweitert"));
    EXPECT_EQ(table.meaning(QStringLiteral("7"), 1), QString());
}

TEST(GraduationCodes, AllowedCodesMessageAndDropDown)
{
    GraduationCodes codes;
    // Nothing loaded yet: only the empty value passes.
    EXPECT_TRUE(codes.check(QString()).accepted());
    EXPECT_FALSE(codes.check(QStringLiteral("HS")).accepted());

    QStringList lines{QStringLiteral("hs     Hauptschulabschluss"), QString(),
                      QStringLiteral("RS     Realschulabschluss")};
    for (int i = 0; i < 9; ++i)
        lines << QStringLiteral("X%1     weiter").arg(i);
    codes.setLines(lines);
    EXPECT_EQ(codes.allowedCodes(), QStringLiteral("##HS#RS#X0#X1#X2#X3#X4#X5#X6#"));
    EXPECT_EQ(codes.entries()[0], (GraduationCode{QStringLiteral("HS"), QStringLiteral("Hauptschulabschluss")}));
    EXPECT_TRUE(codes.entries()[1].code.isEmpty());
    EXPECT_EQ(codes.dropDownItems().first(), QStringLiteral("    "));
    EXPECT_EQ(codes.dropDownItems().size(), 1 + 11); // every non-blank line, X7 and X8 too
    EXPECT_TRUE(codes.dropDownItems().contains(QStringLiteral("X8")));

    EXPECT_TRUE(codes.check(QStringLiteral("hs")).accepted());
    EXPECT_TRUE(codes.check(QStringLiteral(" RS ")).accepted());
    EXPECT_TRUE(codes.check(QString()).accepted());
    const ChangeCheckResult refused = codes.check(QStringLiteral("H"));
    EXPECT_EQ(refused.outcome, ChangeCheckResult::Outcome::Refused);
    EXPECT_TRUE(refused.asWarning);
    EXPECT_EQ(refused.message,
              QString::fromUtf8("Unzulässige Eingabe!\n\nZulässig sind folgende Kürzel: \n\nHS\nRS\nX0\nX1\nX2"
                                "\nX3\nX4\nX5\nX6\n\nSiehe Voreinstellungen!"));
    EXPECT_FALSE(codes.check(QStringLiteral("X8")).accepted()); // beyond line 10
    EXPECT_FALSE(codes.check(QStringLiteral("HS#RS")).accepted());
}

TEST_F(Workspace, GraduationFileKeepsItsListWhenMissingAndWritesFixedColumns)
{
    GraduationCodes codes;
    codes.setLines({QStringLiteral("HS     Haupt")});
    EXPECT_FALSE(codes.load(file(QStringLiteral("ABSCHL.TXT"))));
    EXPECT_EQ(codes.allowedCodes(), QStringLiteral("##HS#"));

    std::vector<GraduationCode> rows(kGraduationRows);
    rows[0] = {QStringLiteral("fork"), QString(130, QLatin1Char('n'))};
    rows[1] = {QStringLiteral("ABCDEFGHI"), QStringLiteral("lang")};
    QStringList registered;
    const QString path = file(QStringLiteral("ABSCHL.TXT"));
    ASSERT_TRUE(writeGraduationFile(path, rows, {QStringLiteral("ELF    Zeile elf")},
                                    [&](const QString& p) { registered << p; }));
    EXPECT_EQ(registered, QStringList{path});
    const QList<QByteArray> lines = readBytes(path).split('\n');
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], QByteArray("FORK   ") + QByteArray(110, 'n') + "\r");
    EXPECT_EQ(lines[1], QByteArray("ABCDEFGlang\r"));
    EXPECT_EQ(lines[2], QByteArray("       \r"));
    EXPECT_EQ(lines[10], QByteArray("ELF    Zeile elf\r"));

    ASSERT_TRUE(codes.load(path));
    EXPECT_EQ(codes.allowedCodes(), QStringLiteral("##FORK#ABCD#"));
    const auto editorRows = parseGraduationRows(*readLeadingLines(path, 100));
    EXPECT_EQ(editorRows[1], (GraduationCode{QStringLiteral("ABCD"), QStringLiteral("lang")}));
}

TEST(FieldChecks, EachFieldGetsItsCheck)
{
    AbbreviationTables tables;
    tables.grades.setEntries(parseAbbreviationTable({QStringLiteral("1 |eins|"), QStringLiteral("E |E-Kurs|")}));
    tables.graduation.setLines({QStringLiteral("HS     Haupt")});
    const AbbreviationCheckContext ctx;
    EXPECT_FALSE(tables.checkChange(QStringLiteral("DE"), QStringLiteral("7"), ctx).accepted());
    EXPECT_FALSE(tables.checkChange(QStringLiteral("K1"), QStringLiteral("7"), ctx).accepted());
    EXPECT_FALSE(tables.checkChange(QStringLiteral("KE"), QStringLiteral("X"), ctx).accepted());
    EXPECT_FALSE(tables.checkChange(QStringLiteral("ko"), QStringLiteral("X"), ctx).accepted());
    EXPECT_TRUE(tables.checkChange(QStringLiteral("KD"), QStringLiteral("X"), ctx).accepted());
    EXPECT_TRUE(tables.checkChange(QStringLiteral("KX"), QStringLiteral("X"), ctx).accepted());
    EXPECT_TRUE(tables.checkChange(QStringLiteral("NAME"), QStringLiteral("7"), ctx).accepted());
    EXPECT_TRUE(tables.checkChange(QStringLiteral("VS1"), QStringLiteral("7"), ctx).accepted());
    EXPECT_TRUE(tables.checkChange(QStringLiteral("ABSCH"), QStringLiteral("hs"), ctx).accepted());
    EXPECT_TRUE(tables.checkChange(QStringLiteral("ABSCH"), QStringLiteral("1"), ctx).asWarning);
}

TEST(FieldChecks, StudentTableHookShowsTheRefusalAndStoresBlanks)
{
    AbbreviationTables tables;
    tables.grades.setEntries(parseAbbreviationTable({QStringLiteral("2 |zwei|")}));
    ScriptedInteraction ui;
    QStringList refused;
    int discarded = 0;
    bool nameEmpty = false;
    const auto check = makeStudentTableCheck(
        tables, ui,
        {[&](const QString&) { return AbbreviationCheckContext{false, nameEmpty, false}; },
         [&] { ++discarded; }, [&](const QString& f) { refused << f; }});

    EXPECT_EQ(check(QStringLiteral("DE"), QStringLiteral("2")), QStringLiteral("2"));
    EXPECT_TRUE(ui.shown.isEmpty());
    EXPECT_EQ(check(QStringLiteral("DE"), QStringLiteral("2+")), QStringLiteral("  "));
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].kind, ScriptedInteraction::Kind::Error);
    EXPECT_EQ(ui.shown[0].text, kRefusal2Plus);
    EXPECT_EQ(refused, QStringList{QStringLiteral("DE")});

    ui.clear();
    EXPECT_EQ(check(QStringLiteral("ABSCH"), QStringLiteral("HS")), QStringLiteral("  "));
    EXPECT_EQ(ui.beeps(), 1);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_TRUE(ui.messages()[0].startsWith(QString::fromUtf8("Unzulässige Eingabe!")));

    nameEmpty = true;
    ui.clear();
    EXPECT_EQ(check(QStringLiteral("DE"), QStringLiteral("2")), std::nullopt);
    EXPECT_EQ(discarded, 1);
    EXPECT_TRUE(ui.shown.isEmpty());
}

// ---- colour chains

TEST(ColourChains, FirstOneOrTwoCharactersAreCompared)
{
    ColourChains chains; // ";5;6;", ";4;", ";1;"
    chains.colours = {windowsColourValue(Qt::red), windowsColourValue(Qt::yellow), windowsColourValue(Qt::green)};
    EXPECT_EQ(chains.colourFor(QStringLiteral("5-")), QColor(Qt::red));
    EXPECT_EQ(chains.colourFor(QStringLiteral("6")), QColor(Qt::red));
    EXPECT_EQ(chains.colourFor(QStringLiteral("4+")), QColor(Qt::yellow));
    EXPECT_EQ(chains.colourFor(QStringLiteral("1")), QColor(Qt::green));
    EXPECT_EQ(chains.colourFor(QStringLiteral("2")), std::nullopt);
    EXPECT_EQ(chains.colourFor(QString()), std::nullopt);
    EXPECT_EQ(chains.colourFor(QStringLiteral("  ")), std::nullopt);

    chains.compareLength = 2;
    EXPECT_EQ(chains.colourFor(QStringLiteral("5-")), std::nullopt);
    EXPECT_EQ(chains.colourFor(QStringLiteral("5 ")), QColor(Qt::red));
    chains.chains[0] = QStringLiteral(";5-;");
    EXPECT_EQ(chains.chainOf(QStringLiteral("5-")), 0);

    // An empty chain as stored colours nothing, not even an empty value.
    chains.chains = {normaliseGradeList(QString()), normaliseGradeList(QStringLiteral(";;")), QString()};
    EXPECT_EQ(chains.chains[0], QStringLiteral(";"));
    EXPECT_EQ(chains.chainOf(QStringLiteral(";")), std::nullopt);
    EXPECT_EQ(chains.chainOf(QString()), std::nullopt);
}

TEST(ColourChains, TakenFromTheSettings)
{
    Settings s;
    s.F2Kette = QStringLiteral(";2;3;");
    s.Farbe02 = 255;
    s.VglLaenge = 2;
    const ColourChains chains = ColourChains::fromSettings(s);
    EXPECT_EQ(chains.colourFor(QStringLiteral("3 ")), QColor(255, 0, 0));
    EXPECT_EQ(chains.colourFor(QStringLiteral("3-")), std::nullopt);
}

TEST(StorableText, CharactersOutsideWindows1252AreFound)
{
    EXPECT_TRUE(isStorable(QString::fromUtf8("Müller – „Grüße“ €")));
    EXPECT_FALSE(isStorable(QString::fromUtf8("Пётр")));
    EXPECT_EQ(storablePart(QString::fromUtf8("Anna 😀 Ölz")), QString::fromUtf8("Anna  Ölz"));
}
