// The templates and demo files the build ships in MUSTER, read back the way
// the program and other dBase software read them.
#include "base/ansi_text.h"
#include "data/column_block.h"
#include "data/column_block_sources.h"
#include "data/column_layout.h"
#include "data/student_identity.h"
#include "data/student_schema.h"
#include "data/text_lines.h"
#include "dbase/table.h"
#include "dbase/tag_sets.h"
#include "tools/demo_templates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zedora {
namespace {

using dbase::OpenMode;
using dbase::Table;

QString sourceShareDir()
{
    const QDir testDir = QFileInfo(QString::fromUtf8(__FILE__)).absoluteDir();
    return QDir::cleanPath(testDir.absoluteFilePath("../../share"));
}

// The trimmed codes of a shipped list (UTF-8 in the repository), taken
// from the given columns of each line.
QSet<QString> shippedCodes(const QString& name, bool delimited)
{
    QFile f(sourceShareDir() + "/MUSTER/" + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    QSet<QString> codes;
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        codes.insert(delimited ? line.section('|', 0, 0).trimmed() : line.left(7).left(4).trimmed());
    }
    return codes;
}

std::string path(const QString& p)
{
    return QFile::encodeName(p).toStdString();
}

// A student or text-block file made from a template the way the program
// makes one: the files copied under the table's own name.
std::string copyAsTable(const QTemporaryDir& dir, const QString& dbf, const QString& memo, const QString& name)
{
    const QString target = dir.filePath(name + ".DBF");
    EXPECT_TRUE(QFile::copy(dir.filePath(dbf), target));
    if (!memo.isEmpty()) {
        EXPECT_TRUE(QFile::copy(dir.filePath(memo), dir.filePath(name + ".DBT")));
    }
    return path(target);
}

class Templates : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        templates::writeAll(dir.path());
    }
    QTemporaryDir dir;
};

TEST_F(Templates, StudentTemplateHasExactlyTheStoredFields)
{
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("MUSTER.MDX")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("MUSTER.DBF")));
    const std::string file = copyAsTable(dir, "MUSTER.MS1", "MUSTER.MS3", "NEU");
    auto t = Table::open(file, OpenMode::Exclusive);
    EXPECT_EQ(t->recordCount(), 0u);
    EXPECT_FALSE(t->productionIndexFlag());
    ASSERT_EQ(t->fieldCount(), kStoredFieldCount);
    for (int i = 0; i < kStoredFieldCount; ++i) {
        SCOPED_TRACE(kStoredFields[i].name);
        EXPECT_EQ(t->field(i).name, kStoredFields[i].name);
        EXPECT_EQ(t->field(i).type, kStoredFields[i].type);
        EXPECT_EQ(t->field(i).length, kStoredFields[i].width);
        EXPECT_EQ(t->field(i).decimals, 0);
    }
    // The memo file belongs to the table: a new file made from the pair
    // takes texts and gets its four tags.
    t->append();
    t->setText("NAME", "Probe");
    t->setMemo(t->fieldIndex("TB23"), "Zeile 1\r\nZeile 2");
    t->post();
    t->rebuildIndex(dbase::studentTags());
    t.reset();
    auto again = Table::open(file);
    EXPECT_EQ(again->tags().size(), 4u);
    EXPECT_EQ(again->memo(again->fieldIndex("TB23")), "Zeile 1\r\nZeile 2");
}

TEST_F(Templates, TextBlockTemplateIsAnEmptyBlockFile)
{
    auto t = Table::open(copyAsTable(dir, "FLOSKEL.MST", {}, "#NEU"), OpenMode::Exclusive);
    EXPECT_EQ(t->recordCount(), 0u);
    ASSERT_EQ(t->fieldCount(), 2);
    EXPECT_EQ(t->field(0).name, "ID");
    EXPECT_EQ(t->field(0).type, 'C');
    EXPECT_EQ(t->field(0).length, 4);
    EXPECT_EQ(t->field(1).name, "INHALT");
    EXPECT_EQ(t->field(1).type, 'C');
    EXPECT_EQ(t->field(1).length, 230);
}

TEST_F(Templates, DemoTextBlocksSortUnderTheirTopics)
{
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("#demo.mdx")));
    const QString copy = dir.filePath("#DEMO.DBF");
    ASSERT_TRUE(QFile::copy(dir.filePath("#demo.dbf"), copy));
    auto t = Table::open(path(copy), OpenMode::Exclusive);
    t->rebuildIndex(dbase::textBlockTags());
    t->selectTag("ID");

    static const QRegularExpression placeholder("%([^%]*)%");
    const QSet<QString> known{"VORNAME", "ERSIE", "SEINIHR", "IHMIHR"};
    QSet<QString> ids;
    QString topic;
    int blocks = 0, topics = 0;
    for (t->first(); !t->eof(); t->next()) {
        const QString id = fromAnsi(t->text("ID"));
        const QString text = fromAnsi(t->text("INHALT"));
        SCOPED_TRACE(id.toStdString());
        EXPECT_FALSE(id.isEmpty());
        EXPECT_EQ(id, upperAscii(id));
        EXPECT_FALSE(ids.contains(id)) << "doppelte ID";
        ids.insert(id);
        if (text.startsWith('=')) {
            ++topics;
            topic = id;
            continue;
        }
        ++blocks;
        // In ID order every block stands below the heading of its topic.
        EXPECT_FALSE(topic.isEmpty());
        EXPECT_TRUE(id.startsWith(topic)) << "unter Thema " << topic.toStdString();
        // A block cut at the field width would end in the middle of a word.
        EXPECT_TRUE(text.endsWith('.')) << text.toStdString();
        int count = 0;
        for (const QRegularExpressionMatch& m : placeholder.globalMatch(text)) {
            EXPECT_TRUE(known.contains(m.captured(1).toUpper())) << m.captured(0).toStdString();
            ++count;
        }
        EXPECT_LE(count, 11); // later ones would print as written
    }
    EXPECT_GE(blocks, 60);
    EXPECT_LE(blocks, 120);
    EXPECT_GE(topics, 6);
}

TEST(TemplateTexts, PlaceholdersFollowTheStudentsSex)
{
    const QString block = "%VORNAME% sagt: %ErSie% hat %seinIhr%e Mappe, %IhmIhr% gefällt sie; %erSie% lacht.";
    EXPECT_EQ(templates::fillPlaceholders(block, "Ben", true), "Ben sagt: Er hat seine Mappe, Ihm gefällt sie; er lacht.");
    EXPECT_EQ(templates::fillPlaceholders(block, "Ama", false),
              "Ama sagt: Sie hat ihre Mappe, Ihr gefällt sie; sie lacht.");
    // A misspelt placeholder stops the build rather than shipping it.
    EXPECT_THROW(templates::fillPlaceholders("%ErSei% lacht.", "Ben", true), std::runtime_error);
}

TEST_F(Templates, DemoClassRecordsAreValidStudentData)
{
    const QSet<QString> grades = shippedCodes("KUERZEL.MST", true);
    const QSet<QString> graduations = shippedCodes("ABSCHL.MST", false);
    ASSERT_TRUE(grades.contains("2-"));
    ASSERT_TRUE(graduations.contains("FORQ"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("demo.mdx")));

    const std::string file = copyAsTable(dir, "demo.dbf", "demo.dbt", "DEMO");
    auto t = Table::open(file, OpenMode::Exclusive);
    ASSERT_EQ(t->fieldCount(), kStoredFieldCount);
    const uint32_t records = t->recordCount();
    EXPECT_GE(records, 20u);
    EXPECT_LE(records, 30u);

    const QDate today(2026, 1, 15);
    QSet<QString> identities, classes, sexes;
    int withGraduation = 0, withSecondText = 0;
    for (t->first(); !t->eof(); t->next()) {
        const auto field = [&t](const char* name) { return fromAnsi(t->text(name)); };
        const QString name = field("NAME");
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(name.isEmpty());
        classes.insert(field("KLASSE"));
        sexes.insert(field("MW"));

        const QString geboren = field("GEBOREN");
        const std::optional<QString> normal = normalBirthDate(geboren, today);
        ASSERT_TRUE(normal.has_value()) << geboren.toStdString();
        EXPECT_EQ(*normal, geboren);
        const QDate born = QDate::fromString(geboren, "dd.MM.yyyy");
        EXPECT_EQ(field("ID"), studentIdentity(born, name, field("VORNAME")));
        identities.insert(field("ID"));

        for (const StudentField& f : kStoredFields) {
            const QString value = field(f.name).trimmed();
            if (value.isEmpty())
                continue;
            if (changeCheck(f.name) == ChangeCheck::Abbreviation) {
                EXPECT_TRUE(grades.contains(value.toUpper())) << f.name << " = " << value.toStdString();
            }
            if (f.kind == FieldKind::CourseLevel) {
                EXPECT_TRUE(value == "E" || value == "G") << f.name;
            }
        }
        const QString absch = field("ABSCH");
        if (!absch.isEmpty()) {
            EXPECT_TRUE(graduations.contains(absch)) << absch.toStdString();
            ++withGraduation;
        }
        bool days = false, unexcused = false;
        const int vs1 = field("VS1").toInt(&days);
        const int ue1 = field("UE1").toInt(&unexcused);
        EXPECT_TRUE(days && unexcused);
        EXPECT_LE(ue1, vs1);

        const QString tb1 = fromAnsi(t->memo(t->fieldIndex("TB1")));
        static const QRegularExpression sentenceEnd("[.!?](\\s|#|$)");
        EXPECT_GE(tb1.count(sentenceEnd), 3) << "mindestens drei Sätze";
        EXPECT_FALSE(tb1.contains('%')) << "Platzhalter nicht ersetzt";
        // Line breaks of a memo are CR LF, each after the line mark.
        EXPECT_EQ(tb1.count("\r\n"), tb1.count('\n'));
        EXPECT_EQ(tb1.count("#\r\n"), tb1.count("\r\n"));
        if (!t->memo(t->fieldIndex("TB2")).empty())
            ++withSecondText;
    }
    EXPECT_EQ(classes.size(), 1);
    EXPECT_EQ(sexes, (QSet<QString>{"w", "m"}));
    EXPECT_EQ(identities.size(), static_cast<qsizetype>(records)) << "zwei Schüler mit derselben ID";
    EXPECT_GE(withGraduation, 3);
    EXPECT_LT(withGraduation, static_cast<int>(records));
    EXPECT_GE(withSecondText, 5);

    // The program indexes the copy at its first opening; every sort order
    // then shows the whole class.
    t->rebuildIndex(dbase::studentTags());
    for (const char* tag : {"KLASSE", "MW", "NAME"}) {
        t->selectTag(tag);
        uint32_t shown = 0;
        for (t->first(); !t->eof(); t->next())
            ++shown;
        EXPECT_EQ(shown, records) << tag;
    }
}

TEST_F(Templates, ColumnFilesNameOnlyFieldsOfTheStudentFile)
{
    QStringList fileFields;
    for (const StudentField& f : kStoredFields)
        fileFields << f.name;
    ApplyOptions options;
    options.nameGridVisible = false;
    options.fileFields = fileFields;

    const std::optional<QStringList> demo = readTextLines(dir.filePath("fdf.mst"));
    ASSERT_TRUE(demo.has_value());
    ASSERT_GE(demo->size(), 3);
    for (const QString& line : *demo) {
        EXPECT_TRUE(isColumnLine(line)) << line.toStdString();
        // Column-layout files carry a three-character width and no mark.
        EXPECT_LE(line.size(), 62) << line.toStdString();
    }
    const ApplyResult shown = applyColumnLines(*demo, options);
    EXPECT_TRUE(shown.unknownField.isEmpty()) << shown.unknownField.toStdString();
    ASSERT_EQ(shown.description.columns.size(), static_cast<size_t>(demo->size()));
    EXPECT_TRUE(shown.description.exemptList.isEmpty());
    ASSERT_NE(shown.description.find("TB1"), nullptr);
    EXPECT_EQ(shown.description.find("TB1")->width, 40); // a width of two digits in the three columns

    const std::optional<QStringList> all = readTextLines(dir.filePath("FACH-ALL.MST"));
    ASSERT_TRUE(all.has_value());
    const QStringList allLines = all->mid(2); // two heading lines
    QStringList named;
    for (const QString& line : allLines)
        named << parseColumnLine(line).name18;
    QStringList expected = fileFields;
    for (const StudentField& f : kCalculatedFields)
        expected << f.name;
    EXPECT_EQ(named, expected);
    const ApplyResult every = applyColumnLines(allLines, options);
    EXPECT_TRUE(every.unknownField.isEmpty()) << every.unknownField.toStdString();

    // "Start" in the window for layouts without a block: a column for each
    // field the layout prints.
    QStringList layout{"[Layout]", "Inhalt=%Vorname% %NAME%", "Inhalt=%DE% %ke%", "Inhalt=%TB1%"};
    blockFromPrintedFields(layout, *all);
    QStringList columns;
    for (const QString& line : blockColumnLines(layout))
        columns << parseColumnLine(line).name;
    EXPECT_EQ(columns, (QStringList{"NAME", "VORNAME", "DE", "KE", "TB1"}));
}

TEST_F(Templates, RunsAgainOverItsOwnOutputWithTheSameResult)
{
    QTemporaryDir second;
    templates::writeAll(second.path());
    templates::writeAll(second.path()); // the files exist now and are replaced
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files)) {
        SCOPED_TRACE(name.toStdString());
        QFile a(dir.filePath(name)), b(second.filePath(name));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly));
        ASSERT_TRUE(b.open(QIODevice::ReadOnly));
        QByteArray x = a.readAll(), y = b.readAll();
        // Tables carry the day they were written in header bytes 1 to 3.
        if (!name.endsWith(".dbt", Qt::CaseInsensitive) && !name.endsWith("MS3") && x.size() > 4
            && (x[0] == '\x03' || x[0] == '\x8B')) {
            x.replace(1, 3, "\0\0\0", 3);
            y.replace(1, 3, "\0\0\0", 3);
        }
        EXPECT_EQ(x, y);
    }
    EXPECT_EQ(QDir(second.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        << "keine Reste des Zwischenordners";
    // The names the workspace set-up copies from MUSTER.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{"#demo.dbf", "FACH-ALL.MST", "FLOSKEL.MST", "MUSTER.MS1", "MUSTER.MS3", "demo.dbf",
                           "demo.dbt", "fdf.mst"}));
}

TEST(TemplateFiles, AFolderThatCannotBeMadeIsReported)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("MUSTER"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(templates::writeAll(dir.filePath("MUSTER")), std::runtime_error);
    EXPECT_EQ(QFileInfo(dir.filePath("MUSTER")).size(), 0);
}

TEST_F(Templates, DbfreadReadsTheDemoClassWithItsMemos)
{
    if (QProcess::execute("/usr/bin/python3", {"-c", "import dbfread"}) != 0)
        GTEST_SKIP() << "dbfread fehlt";
    QProcess p;
    p.start("/usr/bin/python3",
            {"-c",
             "import sys, dbfread\n"
             "t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')\n"
             "rows = list(t)\n"
             "out = '%d %d\\n' % (len(t.fields), len(rows))\n"
             "for r in rows:\n"
             "    out += r['NAME'] + '|' + (r['TB1'] or '') + '|' + (r['TB2'] or '') + '\\n'\n"
             "sys.stdout.buffer.write(out.encode('utf-8'))\n",
             dir.filePath("demo.dbf")});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString out = QString::fromUtf8(p.readAllStandardOutput());

    auto t = Table::open(copyAsTable(dir, "demo.dbf", "demo.dbt", "LESEN"));
    QString expected = QString("122 %1\n").arg(t->recordCount());
    for (t->first(); !t->eof(); t->next()) {
        expected += fromAnsi(t->text("NAME")) + "|" + fromAnsi(t->memo(t->fieldIndex("TB1"))) + "|"
                    + fromAnsi(t->memo(t->fieldIndex("TB2"))) + "\n";
    }
    EXPECT_EQ(out, expected);
    EXPECT_TRUE(out.contains("\r\n")); // the memo keeps its line breaks
}

} // namespace
} // namespace zedora
