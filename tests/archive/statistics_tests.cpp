// Grade, absence and graduation statistics over student files, with the
// damaged and missing files a real data directory holds.
#include "archive/statistics_fixture.h"
#include "schoolyear/statistics_directory.h"
#include "schoolyear/statistics_grades.h"
#include "schoolyear/statistics_table.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace zedora {
namespace {

using test::Record;
using test::TempDir;
using test::writeStudents;

QString q(const std::string& s) { return QString::fromStdString(s); }
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(GradeStatistics, CountsByFirstDigitAndAveragesEveryGrade)
{
    TempDir dir;
    const QString file = q(dir.file("5A.DBF"));
    writeStudents(file, {{{"NAME", "A"}, {"DE", "2-"}}, {{"NAME", "B"}, {"DE", "2+"}}, {{"NAME", "C"}, {"DE", "2"}},
                         {{"NAME", "D"}, {"DE", "kA"}}, {{"NAME", "E"}, {"DE", "13"}}, {{"NAME", "F"}, {"DE", ""}},
                         {{"NAME", "G"}, {"DE", "7"}}, {{"NAME", "H"}, {"DE", "6"}}, {{"NAME", "I"}, {"DE", "0"}}});
    const GradeCount c = countGrades(file, QStringLiteral("de"));
    EXPECT_EQ(c.grades, (std::array<int, 6>{1, 3, 0, 0, 0, 1}));
    EXPECT_EQ(c.number, 6);   // 2, 2, 2, 1, 7, 6
    EXPECT_EQ(c.sum, 20);
    EXPECT_EQ(gradeAverageText(c, kGerman), QStringLiteral("3,33"));
    EXPECT_EQ(gradeAverageText(c, QLocale::c()), QStringLiteral("3.33"));
}

TEST(GradeStatistics, FillsRowsSkipsMissingFilesAndLeavesAverageEmptyWithoutGrades)
{
    TempDir dir;
    writeStudents(q(dir.file("5A.DBF")), {{{"DE", "1"}, {"EN", ""}}, {{"DE", "3"}}});
    GradeStatistics s;
    s.rows = gradeStatisticsRows({QStringLiteral("5a.dbf"), QStringLiteral("FEHLT.DBF")},
                                 {QStringLiteral("DE"), QStringLiteral("EN")});
    ASSERT_EQ(s.rows.size(), 4);
    EXPECT_EQ(s.rows[1].klasse, QStringLiteral("5a.dbf"));
    EXPECT_EQ(s.rows[1].subject, QStringLiteral("EN"));
    s.rows[2].average = QStringLiteral("unverändert");
    std::vector<int> seen;
    computeGradeStatistics(s, q(dir.path().string()), kGerman, [&](int row, int rows) {
        EXPECT_EQ(rows, 4);
        seen.push_back(row);
    });
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(s.rows[0].grades, (std::array<int, 6>{1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(s.rows[0].average, QStringLiteral("2,00"));
    EXPECT_EQ(s.rows[1].grades, (std::array<int, 6>{}));
    EXPECT_TRUE(s.rows[1].average.isEmpty());
    EXPECT_EQ(s.rows[2].average, QStringLiteral("unverändert"));

    const auto table = gradeStatisticsTable(s);
    ASSERT_EQ(table.size(), 5);
    EXPECT_EQ(table[0].join(u'|'), QStringLiteral("Klasse|Fach|I|II|III|IV|V|VI|Durchschnitt"));
    EXPECT_EQ(table[1].join(u'|'), QStringLiteral("5a.dbf|DE|1|0|1|0|0|0|2,00"));
}

TEST(GradeStatistics, AFileLackingTheFieldStopsWithTheEngineError)
{
    TempDir dir;
    const QString file = q(dir.file("ALT.DBF"));
    dbase::Table::create(file.toStdString(), {{"NAME", 'C', 25, 0}});
    GradeStatistics s;
    s.rows = gradeStatisticsRows({QStringLiteral("ALT.DBF")}, {QStringLiteral("DE")});
    EXPECT_ANY_THROW(computeGradeStatistics(s, q(dir.path().string()), kGerman));
    EXPECT_EQ(gradeFieldsAmong({QStringLiteral("name"), QStringLiteral("de"), QStringLiteral("VS1"),
                                QStringLiteral("DE"), QStringLiteral("ma")}),
              (QStringList{QStringLiteral("DE"), QStringLiteral("MA")}));
}

TEST(DirectoryStatistics, AbsencesAddUpPerFileAndNameTheDamagedFile)
{
    TempDir dir;
    const QString d = q(dir.path().string());
    writeStudents(q(dir.file("5A.DBF")), {{{"VS1", "3"}, {"UE1", "1"}, {"VS12", "5"}, {"UE12", ""}},
                                          {{"VS1", "x"}, {"UE1", "0"}, {"VS12", "2"}, {"UE12", "2"}},
                                          {{"VS1", "4"}}});
    writeStudents(q(dir.file("6B.DBF")), {{{"VS1", "10"}, {"UE12", "1"}}});
    test::writeBytes(dir.file("KAPUTT.DBF"), std::string(40, '\x7f'));
    const QStringList files = studentFilesIn(d);
    EXPECT_EQ(files, (QStringList{QStringLiteral("5A.DBF"), QStringLiteral("6B.DBF"), QStringLiteral("KAPUTT.DBF")}));

    QStringList damaged;
    const AbsenceStatistics s = absenceStatistics(d, files + QStringList{QStringLiteral("WEG.DBF")}, &damaged);
    ASSERT_EQ(s.rows.size(), 4);
    EXPECT_EQ(s.rows[0].klasse, QStringLiteral("5A"));
    EXPECT_EQ(s.rows[0].vs1, 7);
    EXPECT_EQ(s.rows[0].ue1, 1);
    EXPECT_EQ(s.rows[0].vs12, 7);
    EXPECT_EQ(s.rows[0].ue12, 2);
    EXPECT_EQ(s.rows[0].withUnexcused, 2);
    EXPECT_EQ(s.rows[2].klasse, QStringLiteral("KAPUTT"));
    EXPECT_EQ(s.rows[2].vs1 + s.rows[2].ue12, 0);
    ASSERT_EQ(damaged.size(), 2);
    EXPECT_TRUE(damaged[0].startsWith(
        QStringLiteral("Die Datei KAPUTT.DBF konnte nicht gelesen werden und wurde übersprungen:\n")));
    EXPECT_TRUE(damaged[1].startsWith(QStringLiteral("Die Datei WEG.DBF konnte nicht gelesen werden")));

    const auto table = absenceStatisticsTable(s);
    EXPECT_EQ(table.last().join(u'|'), QStringLiteral("SUMMEN:|17|1|7|3|3"));
}

TEST(DirectoryStatistics, GraduationCountsMaleAndOthersPerCode)
{
    TempDir dir;
    const QString d = q(dir.path().string());
    // A blank line among the codes must not count students without a graduation.
    test::writeBytes(dir.file("ABSCHL.TXT"), "HSA    Hauptschulabschluss\r\n\r\nmsa Mittlerer Abschluss\r\nX\r\n");
    const QStringList codes = graduationCodesFrom(q(dir.file("ABSCHL.TXT")));
    EXPECT_EQ(codes, (QStringList{QStringLiteral("HSA"), QString(), QStringLiteral("msa Mit"), QStringLiteral("X")}));

    writeStudents(q(dir.file("10A.DBF")), {{{"ABSCH", "hsa"}, {"MW", "m"}}, {{"ABSCH", "HSA"}, {"MW", "w"}},
                                           {{"ABSCH", "HSA"}, {"MW", ""}}, {{"ABSCH", ""}, {"MW", "m"}},
                                           {{"ABSCH", "X"}, {"MW", "M"}}});
    QStringList damaged;
    const GraduationStatistics s = graduationStatistics(d, {QStringLiteral("10A.DBF")}, codes, QStringLiteral("M"),
                                                        &damaged);
    EXPECT_TRUE(damaged.isEmpty());
    ASSERT_EQ(s.rows.size(), 1);
    ASSERT_EQ(s.rows[0].counts.size(), 4);
    EXPECT_EQ(s.rows[0].counts[0], std::make_pair(2, 1));
    EXPECT_EQ(s.rows[0].counts[1], std::make_pair(0, 0));
    EXPECT_EQ(s.rows[0].counts[3], std::make_pair(0, 1));
    EXPECT_EQ(graduationStatisticsTable(s).last().join(u'|'), QStringLiteral("SUMMEN:|2|1|0|0|0|0|0|1"));
}

} // namespace
} // namespace zedora
