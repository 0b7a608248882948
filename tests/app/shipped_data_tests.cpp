// The text templates installed with the program: each must read the way the
// program reads it. The checkers here follow the file formats; they are not
// the program's readers.
#include "base/ansi_text.h"
#include "base/profile_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <gtest/gtest.h>
#include <ostream>

using namespace zedora;

// Readable failure messages for QString values.
static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString shareDir()
{
    // A compiler cache may pass the source path relative to the build
    // directory; the tests run elsewhere.
    const QString source = QDir(QStringLiteral(ZEDORA_BINARY_DIR)).absoluteFilePath(QString::fromUtf8(__FILE__));
    const QDir testDir = QFileInfo(source).absoluteDir();
    return QDir::cleanPath(testDir.absoluteFilePath("../../share"));
}

QByteArray bytesOf(const QString& relative)
{
    QFile f(shareDir() + "/" + relative);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The lines of a shipped file (stored as UTF-8 with LF), without the final
// line end.
QStringList linesOf(const QString& relative)
{
    QString text = QString::fromUtf8(bytesOf(relative));
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

bool hasLowerAscii(const QString& s)
{
    for (QChar c : s)
        if (c >= u'a' && c <= u'z')
            return true;
    return false;
}

// Grade fields of the student file (the fields averages may name).
const QSet<QString>& gradeFields()
{
    static const QSet<QString> fields = [] {
        QSet<QString> f;
        for (const char* s : {"DE", "RS", "EN", "MA", "LA", "FR", "GR", "RE", "WN", "SP", "WU",
                              "GE", "EK", "SO", "PH", "CH", "BI", "MU", "KU", "WE", "TG", "AL",
                              "TE", "HW", "SF", "SA", "FFZ1", "FFZ2", "WP1", "WP2", "WP3", "WP4",
                              "WF1", "WF2", "WF3", "WF4", "NOTE1", "NOTE2", "NOTE3", "NOTE4",
                              "NOTE5", "NOTE6", "NOTE7", "NOTE8", "NOTEX"})
            f.insert(s);
        return f;
    }();
    return fields;
}

struct GradeEntry {
    QString code;  // trimmed
    QString meaning1;
    QString meaning2;
};

// Reads an abbreviation file the way the table is filled: 151 entries, line
// n+1 into entry n, the rest empty. Every rule the file breaks is added to
// problems.
std::vector<GradeEntry> checkAbbreviationFile(const QStringList& lines, QStringList& problems)
{
    std::vector<GradeEntry> table(151);
    if (lines.isEmpty()) {
        problems << "empty file";
        return table;
    }
    // Without "|" in the first line the whole file would be read fixed-width.
    if (!lines.first().contains(u'|'))
        problems << "first line is not delimited";
    // The editor shows and writes back 150 rows; a longer file loses lines
    // on the first save, and entry 150 must stay free for "no grade".
    if (lines.size() > 150)
        problems << QStringLiteral("%1 lines, at most 150").arg(lines.size());

    QSet<QString> seen;
    for (int i = 0; i < lines.size() && i < 151; ++i) {
        const QString& line = lines[i];
        const QString where = QStringLiteral("line %1: ").arg(i + 1);
        const QStringList parts = line.split(u'|');
        if (parts.size() != 3) {
            problems << where + "needs exactly two \"|\"";
            continue;
        }
        if (parts[0].size() != 2)
            problems << where + "abbreviation not two characters wide";
        if (hasLowerAscii(parts[0]))
            problems << where + "abbreviation not upper case";
        for (int m : {1, 2}) {
            if (parts[m] != parts[m].trimmed())
                problems << where + "meaning with surrounding blanks";
            if (parts[m].size() > 50)
                problems << where + "meaning longer than 50 characters";
        }
        const QString code = parts[0].trimmed();
        if (code.isEmpty()) {
            if (!parts[1].isEmpty() || !parts[2].isEmpty())
                problems << where + "meaning without abbreviation";
        } else {
            if (parts[1].isEmpty())
                problems << where + "abbreviation without meaning 1";
            if (seen.contains(code))
                problems << where + "abbreviation " + code + " twice";
            seen.insert(code);
        }
        table[i] = {code, parts[1], parts[2]};
    }
    return table;
}

const GradeEntry* find(const std::vector<GradeEntry>& table, const QString& code)
{
    for (const GradeEntry& e : table)
        if (e.code == code)
            return &e;
    return nullptr;
}

} // namespace

TEST(ShippedData, TextFilesAreUtf8WithLfAndFitWindows1252)
{
    for (const char* name : {"HELPTEXT.TXT", "MUSTER/KUERZEL.MST", "MUSTER/ABSCHL.MST",
                             "MUSTER/DURCHSCHNITT.MST", "MUSTER/KLASSEN.MST",
                             "MUSTER/SIBANKFELDER.MST"}) {
        SCOPED_TRACE(name);
        const QByteArray bytes = bytesOf(name);
        ASSERT_FALSE(bytes.isEmpty()) << "missing or empty";
        EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << "byte-order mark";
        EXPECT_FALSE(bytes.contains('\r')) << "CR in the repository copy";
        EXPECT_TRUE(bytes.endsWith('\n')) << "last line without line end";

        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(bytes);
        EXPECT_FALSE(utf8.hasError()) << "not UTF-8";
        // The build converts to Windows-1252: nothing may turn into '?'.
        EXPECT_EQ(fromAnsi(toAnsi(text)), text) << "character outside Windows-1252";
        EXPECT_FALSE(text.contains(u'\t'));
    }
}

TEST(ShippedData, GradeAbbreviationsFollowTheFileFormat)
{
    QStringList problems;
    const auto table = checkAbbreviationFile(linesOf("MUSTER/KUERZEL.MST"), problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join("\n").toStdString();

    // Clearing a grade matches an empty entry.
    EXPECT_NE(find(table, ""), nullptr);
}

TEST(ShippedData, GradeAbbreviationsCoverWhatTheProgramEnters)
{
    QStringList problems;
    const auto table = checkAbbreviationFile(linesOf("MUSTER/KUERZEL.MST"), problems);
    ASSERT_TRUE(problems.isEmpty());

    const QStringList words = {"sehr gut", "gut", "befriedigend", "ausreichend", "mangelhaft",
                               QString::fromUtf8("ungenügend")};
    for (int grade = 1; grade <= 6; ++grade) {
        const QString digit = QString::number(grade);
        const GradeEntry* whole = find(table, digit);
        ASSERT_NE(whole, nullptr) << grade;
        EXPECT_EQ(whole->meaning1, words[grade - 1]);
        // A tendency prints like its whole grade.
        for (const QString& tendency : {digit + "+", digit + "-"}) {
            if (const GradeEntry* t = find(table, tendency)) {
                EXPECT_EQ(t->meaning1, whole->meaning1) << tendency.toStdString();
            }
        }
    }
    EXPECT_NE(find(table, "2-"), nullptr);
    EXPECT_NE(find(table, "5-"), nullptr);

    // Course levels the import writes into KE and KM, which are checked.
    for (const char* level : {"A", "B", "E", "G", "Z"})
        EXPECT_NE(find(table, level), nullptr) << level;

    // Averages read the first character: a code that starts with a digit
    // must be a grade, or it would be counted.
    for (const GradeEntry& e : table) {
        if (!e.code.isEmpty() && e.code[0].isDigit()) {
            EXPECT_TRUE(e.code[0] >= u'1' && e.code[0] <= u'6') << e.code.toStdString();
        }
    }
}

TEST(ShippedData, GraduationCodesFollowTheFileFormat)
{
    const QStringList lines = linesOf("MUSTER/ABSCHL.MST");
    ASSERT_FALSE(lines.isEmpty());
    // Only the first ten lines are allowed codes; more would be offered in
    // the drop-down and then refused.
    EXPECT_LE(lines.size(), 10);
    EXPECT_GE(lines.size(), 6) << "the statistics show six codes";

    static const QRegularExpression codeRe(QStringLiteral("^[A-Z0-9]{1,4} *$"));
    QSet<QString> seen;
    for (const QString& line : lines) {
        SCOPED_TRACE(line.toStdString());
        ASSERT_GT(line.size(), 7);
        EXPECT_LE(line.size(), 117);
        const QString field = line.left(7);
        // The student file keeps four characters of the code.
        EXPECT_TRUE(codeRe.match(field).hasMatch());
        const QString code = field.trimmed();
        EXPECT_FALSE(seen.contains(code));
        seen.insert(code);
        const QString name = line.mid(7);
        EXPECT_EQ(name, name.trimmed());
        EXPECT_FALSE(name.isEmpty());
        EXPECT_LE(name.size(), 50) << "prints cut to 50 characters";
    }
}

TEST(ShippedData, AverageTemplateNamesOnlyGradeFields)
{
    const ProfileFile ini = ProfileFile::fromText(QString::fromUtf8(bytesOf("MUSTER/DURCHSCHNITT.MST")));
    EXPECT_EQ(ini.keys("DURCHSCHNITT"), QStringList({"DS1", "DS2", "DS3"}));
    static const QRegularExpression listRe(QStringLiteral("^(#([A-Z0-9]+))+#$"));
    for (const char* key : {"DS1", "DS2", "DS3"}) {
        SCOPED_TRACE(key);
        const QString value = ini.readString("DURCHSCHNITT", key, "?");
        EXPECT_LE(value.size(), 254);
        if (value.isEmpty())
            continue;
        EXPECT_TRUE(listRe.match(value).hasMatch()) << value.toStdString();
        for (const QString& name : value.split(u'#', Qt::SkipEmptyParts))
            EXPECT_TRUE(gradeFields().contains(name)) << name.toStdString();
    }
    EXPECT_EQ(ini.readString("DURCHSCHNITT", "DS1"), "#DE#EN#MA#");
}

TEST(ShippedData, ClassListStartsWithAllAndHoldsShortClasses)
{
    const QStringList lines = linesOf("MUSTER/KLASSEN.MST");
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), "ALLE");
    QSet<QString> seen;
    for (const QString& line : lines) {
        EXPECT_FALSE(line.trimmed().isEmpty());
        EXPECT_EQ(line, line.trimmed());
        EXPECT_LE(line.size(), 8) << line.toStdString();
        EXPECT_FALSE(seen.contains(line)) << line.toStdString();
        seen.insert(line);
    }
}

TEST(ShippedData, SibankFieldListHoldsFieldNames)
{
    const QStringList lines = linesOf("MUSTER/SIBANKFELDER.MST");
    ASSERT_FALSE(lines.isEmpty());
    // dBase field names; the free-field settings keep 12 characters.
    static const QRegularExpression nameRe(QStringLiteral("^[A-Z][A-Z0-9_]{0,9}$"));
    QSet<QString> seen;
    for (const QString& line : lines) {
        EXPECT_TRUE(nameRe.match(line).hasMatch()) << line.toStdString();
        EXPECT_FALSE(seen.contains(line)) << line.toStdString();
        seen.insert(line);
    }
    // The defaults of the two free fields are offered.
    EXPECT_TRUE(seen.contains("KL_LEHRER"));
    EXPECT_TRUE(seen.contains("VON_SCHULE"));
}

TEST(ShippedData, BuildCopiesAreWindows1252WithCrLf)
{
    int compared = 0;
    for (const char* name : {"HELPTEXT.TXT", "MUSTER/KUERZEL.MST", "MUSTER/ABSCHL.MST",
                             "MUSTER/DURCHSCHNITT.MST", "MUSTER/KLASSEN.MST",
                             "MUSTER/SIBANKFELDER.MST"}) {
        SCOPED_TRACE(name);
        const QFileInfo built(QStringLiteral(ZEDORA_SHARE_DIR "/") + name);
        const QFileInfo source(shareDir() + "/" + name);
        // The copy is made by the data target; a missing or older copy says
        // nothing about the conversion.
        if (!built.exists() || built.lastModified() < source.lastModified())
            continue;
        QFile f(built.filePath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QString expected = QString::fromUtf8(bytesOf(name));
        expected.replace("\n", "\r\n");
        EXPECT_EQ(f.readAll(), toAnsi(expected));
        ++compared;
    }
    if (compared == 0)
        GTEST_SKIP() << "no current build copy in " ZEDORA_SHARE_DIR;
}
