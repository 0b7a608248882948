// Placeholder replacement, value conversion, filters and formats.
#include "print/placeholders.h"

#include "core/settings.h"
#include "base/scripted_interaction.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

class Record : public RecordValues {
public:
    QMap<QString, QString> values;
    bool hasField(const QString& name) const override { return values.contains(name); }
    QString value(const QString& name) const override { return values.value(name); }
};

class Table : public CodeMeanings {
public:
    QMap<QString, QStringList> grades;  // abbreviation -> meanings 1 and 2
    QMap<QString, QString> graduations;
    std::optional<QString> gradeMeaning(const QString& value, int which) const override
    {
        if (!grades.contains(value))
            return std::nullopt;
        return grades[value].at(which - 1);
    }
    std::optional<QString> graduationMeaning(const QString& code) const override
    {
        if (!graduations.contains(code))
            return std::nullopt;
        return graduations[code];
    }
};

struct Placeholders : ::testing::Test {
    Settings settings;
    Record record;
    Table table;
    ScriptedInteraction ui;
    PlaceholderContext c;

    Placeholders()
    {
        settings.SchulName1 = QStringLiteral("Gesamtschule Am Park");
        settings.Schuljahr = QStringLiteral("2025/2026");
        settings.NaechSchuljahr = QStringLiteral("2026/2027");
        settings.Halbjahr = QStringLiteral("1.");
        settings.AusgabeOrt = QStringLiteral("Bonn");
        settings.AusgabeDatum = QStringLiteral("30.01.2026");
        settings.GebFormat = 1;
        record.values = {{"NAME", "Müller, von"}, {"VORNAME", "Anna"}, {"MW", "w"}, {"GEBOREN", "07.11.1998"},
                         {"DE", "2-"}, {"MA", "3"}, {"EN", "1+"}, {"KE", "E"}, {"VS1", ""}, {"UE1", "0"},
                         {"D1", "2.3333"}, {"D2", "0"}, {"ABSCH", "for "}, {"AG2", "2"}, {"FF1", "Informatik"},
                         {"TB1", "Anna arbeitet gern mit.#\r\nSie hilft anderen."}, {"TB2", "Zweiter Text"}};
        table.grades = {{"1+", {"sehr gut", "sehr gut (1+)"}}, {"2", {"gut", "gut (2)"}},
                        {"3", {" befriedigend ", "befriedigend (3)"}}, {"E", {"E-Kurs", "Erweiterungskurs"}}};
        table.graduations = {{"FOR", "Fachoberschulreife"}};
        c.settings = &settings;
        c.record = &record;
        c.codes = &table;
        c.ui = &ui;
    }
    QString r(const char* text) { return replacePlaceholders(QString::fromUtf8(text), c); }
};

} // namespace

TEST_F(Placeholders, GeneralPlaceholdersAndPronouns)
{
    EXPECT_EQ(r("%SchulName1%, %AUORT% den %AUDAT%, SJ %SJ%/%NAE_SJ%, %HJ% Hj., Nr. %LNR%"),
              QStringLiteral("Gesamtschule Am Park, Bonn den 30.01.2026, SJ 2025/2026/2026/2027, 1. Hj., Nr. 1"));
    EXPECT_EQ(r("%ErSie% lobt %seinihr% Heft, %IhmIhr% gefällt %SOTO%"),
              QStringLiteral("Sie lobt ihr Heft, Ihr gefällt Ihre Tochter"));
    record.values["MW"] = QStringLiteral("M");
    EXPECT_EQ(r("%ErSie%/%erSie%/%SeinIhr%/%ihmihr%/%SOTO%"), QStringLiteral("Er/er/Sein/ihm/Ihr Sohn"));
    // A blank sex letter is a girl's even when the setting is blank as well.
    record.values["MW"] = QString();
    settings.Maennlich = QString();
    EXPECT_EQ(r("%erSie%"), QStringLiteral("sie"));
    c.runningNumber = 7;
    EXPECT_EQ(r("%LNR%"), QStringLiteral("7"));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(Placeholders, FormModes)
{
    c.formMode = FormMode::EmptyForm;
    EXPECT_EQ(r("%NAME%|%SCHULNAME1%|%HJ%|%SJ%|%ERSIE%|%AUORT%|%UNBEKANNT%"),
              QStringLiteral("     |Gesamtschule Am Park|    |  |  |Bonn|     "));

    c.formMode = FormMode::HeadDataOnly;
    EXPECT_EQ(r("%NAME%|%GEBOREN%|%DE%|%VS1%|%SCHULNAME1%"),
              QStringLiteral("Müller, von|07.11.1998|||Gesamtschule Am Park"));

    c.formMode = FormMode::VariableNames;
    EXPECT_EQ(r("%NAME% %DE% %"), QStringLiteral("%NAME% %DE% %"));
    EXPECT_EQ(fetchTextBlockColumn(QStringLiteral("%TB1%"), c), QStringLiteral("%TB1%"));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(Placeholders, FieldValuesInFullMode)
{
    EXPECT_EQ(r("%VORNAME% %NAME%"), QStringLiteral("Anna von Müller"));
    EXPECT_EQ(r("[%VS1%] [%UE1%]"), QStringLiteral("[--] [0]"));
    EXPECT_EQ(r("%D1%|%D2%"), QStringLiteral("2,33|"));
    EXPECT_EQ(r("%ABSCH%"), QStringLiteral("Fachoberschulreife"));
    EXPECT_EQ(r("%FF1%"), QStringLiteral("Informatik"));
    EXPECT_EQ(r("%AG2%"), QStringLiteral("2"));  // never converted
    c.gradeFormat = kGradeAbbreviation;
    EXPECT_EQ(r("%ABSCH%|%DE%"), QStringLiteral("for |2-"));
}

TEST_F(Placeholders, GradeConversion)
{
    // 2- is not defined: it prints as its first character.
    EXPECT_EQ(r("%DE%|%MA%|%EN%|%KE%"), QStringLiteral("2|befriedigend|sehr gut|E-Kurs"));
    // A defined two-character grade prints its own meaning, not that of 2.
    table.grades["2-"] = {QStringLiteral("gut minus"), QStringLiteral("gut (2-)")};
    EXPECT_EQ(r("%DE%"), QStringLiteral("gut minus"));
    c.gradeFormat = kGradeMeaning2;
    EXPECT_EQ(r("%DE%|%KE%"), QStringLiteral("gut (2-)|Erweiterungskurs"));
    // An undefined course level keeps its whole value.
    record.values["KE"] = QStringLiteral("xy");
    EXPECT_EQ(r("%KE%"), QStringLiteral("xy"));
    c.gradeFormat = kGradeMeaning1;
    // A free-entry column keeps its value.
    c.freeEntryColumns = QStringLiteral("#MA#");
    EXPECT_EQ(r("%MA%"), QStringLiteral("3"));
    // Epochal subjects get the mark.
    c.epochalSubjects = {QStringLiteral("EN")};
    EXPECT_EQ(r("%EN%"), QStringLiteral("sehr gut  *)"));
}

TEST_F(Placeholders, UnknownNamesLonePercentAndRoundLimit)
{
    ui.busyDepth = 1;
    EXPECT_EQ(r("a %XYZ% b"), QStringLiteral("a  b"));
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("\nVariable %XYZ% nicht gefunden!")});
    EXPECT_EQ(ui.busyDepth, 1);  // the caller's wait cursor is balanced again

    EXPECT_EQ(r("100 % sicher"), QStringLiteral("100 % sicher"));
    EXPECT_EQ(r("%VORNAME% zu 50 % fertig"), QStringLiteral("Anna zu 50 % fertig"));

    QString twelve;
    for (int i = 0; i < 12; ++i)
        twelve += QStringLiteral("%VORNAME%");
    EXPECT_EQ(replacePlaceholders(twelve, c), QString(QStringLiteral("Anna")).repeated(11) + QStringLiteral("%VORNAME%"));

    // A name is cut to 20 characters.
    ui.clear();
    r("%ABCDEFGHIJKLMNOPQRSTUVWXYZ%");
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("\nVariable %ABCDEFGHIJKLMNOPQRST% nicht gefunden!")});
}

TEST_F(Placeholders, LongValuesAreCutAndTheWholeTextStaysWithin254)
{
    record.values[QStringLiteral("FF1")] = QString(300, u'x');
    record.values[QStringLiteral("FF2")] = QString(100, u'y');
    // One value alone is cut to 250.
    EXPECT_EQ(r("%FF1%"), QString(250, u'x'));
    // Five values together would give 1250 characters; the text keeps 254.
    const QString five = r("%FF1%%FF1%%FF1%%FF1%%FF1%");
    EXPECT_EQ(five, QString(254, u'x'));
    // Literal text after a value that fills the text is cut, not moved on.
    EXPECT_EQ(r("a %FF2% b %FF2% c %FF2% d"),
              (QStringLiteral("a ") + QString(100, u'y') + QStringLiteral(" b ") + QString(100, u'y')
               + QStringLiteral(" c ") + QString(100, u'y')).left(254));
    // Every placeholder is replaced before the cut, wherever it stood.
    EXPECT_EQ(r("%FF1% %VORNAME%").size(), 254);
    EXPECT_FALSE(r("%FF1%%VORNAME%").contains(u'%'));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(Placeholders, TextBlockColumn)
{
    EXPECT_EQ(fetchTextBlockColumn(QStringLiteral("Text: %TB1% Ende"), c),
              QStringLiteral("Anna arbeitet gern mit. #Sie hilft anderen. "));
    // A later reference wins.
    EXPECT_EQ(fetchTextBlockColumn(QStringLiteral("%TB1%%tb2%"), c), QStringLiteral("Zweiter Text "));
    record.values["TB3"] = QString(5000, QLatin1Char('x'));
    EXPECT_EQ(fetchTextBlockColumn(QStringLiteral("%TB3%"), c).size(), kTextBlockColumnCapacity);
    record.values["TB4"] = QString();
    EXPECT_EQ(fetchTextBlockColumn(QStringLiteral("%TB4%"), c), QString());
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(fetchTextBlockColumn(QStringLiteral("%TB9%"), c), QString());
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("\nVariable %TB9% nicht gefunden!")});
}

TEST(PlaceholderFormats, Filter)
{
    const QString onlyGood = QStringLiteral("G \"1\" \"2\"");
    EXPECT_EQ(applyFilter(QStringLiteral("2"), onlyGood), QStringLiteral("2"));
    EXPECT_EQ(applyFilter(QStringLiteral("3"), onlyGood), QString());
    EXPECT_EQ(applyFilter(QStringLiteral("--"), QStringLiteral("u\"--\"")), QString());
    EXPECT_EQ(applyFilter(QStringLiteral("gut"), QStringLiteral("U\"--\"")), QStringLiteral("gut"));
    EXPECT_EQ(applyFilter(QStringLiteral("gut"), QStringLiteral("g\"GUT\"")), QStringLiteral("gut"));
    EXPECT_EQ(applyFilter(QStringLiteral("gut"), QStringLiteral("G")), QString());
    EXPECT_EQ(applyFilter(QStringLiteral("gut"), QStringLiteral("X\"gut\"")), QStringLiteral("gut"));
    EXPECT_EQ(applyFilter(QStringLiteral("gut"), QString()), QStringLiteral("gut"));
}

TEST(PlaceholderFormats, DatesAndAverages)
{
    EXPECT_EQ(formatDate(QStringLiteral("07.11.1998"), 0), QStringLiteral("07.11.98"));
    EXPECT_EQ(formatDate(QStringLiteral("07.11.1998"), 1), QStringLiteral("07.11.1998"));
    EXPECT_EQ(formatDate(QStringLiteral("07.11.1998"), 2), QStringLiteral("7. November 1998"));
    EXPECT_EQ(formatDate(QStringLiteral("5.3.2001"), 2), QStringLiteral("5. März 2001"));
    EXPECT_EQ(formatDate(QStringLiteral("01.02.2060"), 1), QStringLiteral("01.02.1960"));
    EXPECT_EQ(formatDate(QStringLiteral("07.11.1998"), 5), QStringLiteral("07.11.1998"));
    EXPECT_EQ(formatDate(QStringLiteral("irgendwann"), 1), QStringLiteral("irgendwann"));
    EXPECT_EQ(formatDate(QStringLiteral("31.02.2001"), 1), QStringLiteral("31.02.2001"));
    EXPECT_EQ(formatDate(QStringLiteral("   "), 2), QString());

    EXPECT_EQ(formatAverage(QStringLiteral(" 2.125 ")), QStringLiteral("2,13"));
    EXPECT_EQ(formatAverage(QStringLiteral("1")), QStringLiteral("1,00"));
    EXPECT_EQ(formatAverage(QStringLiteral("0")), QString());
    EXPECT_EQ(formatAverage(QStringLiteral("-1.5")), QString());
    EXPECT_EQ(formatAverage(QStringLiteral("abc")), QString());
    EXPECT_EQ(formatAverage(QStringLiteral("nan")), QString());

    EXPECT_EQ(nameTurnedRound(QStringLiteral("Müller, von")), QStringLiteral("von Müller"));
    EXPECT_EQ(nameTurnedRound(QStringLiteral("Schmidt")), QStringLiteral("Schmidt"));
}
