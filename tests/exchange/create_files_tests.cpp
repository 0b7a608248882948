// Student files made from the import table: names, questions, contents.
#include "exchange/student_file_import.h"
#include "exchange_support.h"

#include <gtest/gtest.h>

namespace zedora::test {
namespace {

const QDateTime kNow(QDate(2024, 9, 1), QTime(10, 0));

void answer(Workspace& ws, std::initializer_list<Answer> answers)
{
    ws.ui.answers.clear();
    for (Answer a : answers)
        ws.ui.answers.enqueue(a);
}

class CreateFiles : public ::testing::Test {
protected:
    Workspace ws;
    ImportTable table;
    void SetUp() override
    {
        ws.copyFixture(QStringLiteral("FACHKURS.DBF"));
        ASSERT_TRUE(readDbaseSource(ws.copyFixture(QStringLiteral("S_2024.DBF")), ImportSource::Sibank, ws.settings,
                                    table, ws.ui, kNow));
    }
    CreateRequest request(const QString& name, bool perClass, QStringList selected = {"ALLE"})
    {
        CreateRequest r;
        r.dataDirectory = QStringLiteral("ZE-2425-1");
        r.fileName = name;
        r.perClass = perClass;
        r.selected = selected;
        return r;
    }
    QString dataFile(const QString& name) { return ws.root + QStringLiteral("ZE-2425-1/") + name; }
};

TEST_F(CreateFiles, OneFilePerClassNamedAfterTheClass)
{
    EXPECT_EQ(proposedFileName(QStringLiteral("ZE-1415-1"), true), QStringLiteral("%KL%-1415-1"));
    EXPECT_EQ(proposedFileName(QStringLiteral("ZE-1415-1"), false), QStringLiteral("Alle"));
    answer(ws, {Answer::Yes, Answer::Yes, Answer::No, Answer::Yes, Answer::Yes});
    const auto created = createStudentFiles(table, request(QStringLiteral("%kl%-2425-1"), true), ws.context);
    ASSERT_EQ(created.size(), 4u);
    EXPECT_EQ(ws.ui.messages().value(0), QStringLiteral("Die Datei 10_1.2-2425-1.DBF\n\nim Notenverzeichnis ZE-2425-1\n\nwird erstellt!\n"));
    EXPECT_EQ(ws.ui.messages().value(1), QStringLiteral("Die Datei 5_A_B-2425-1.DBF\n\nim Notenverzeichnis ZE-2425-1\n\nwird erstellt!\n"));
    EXPECT_EQ(ws.ui.messages().value(2), QStringLiteral("Die Datei 5A-2425-1.DBF\n\nim Notenverzeichnis ZE-2425-1\n\nwird erstellt!\n"));
    EXPECT_FALSE(QFileInfo::exists(dataFile(QStringLiteral("5A-2425-1.DBF"))));  // answered No
    EXPECT_EQ(QFileInfo(created[0].path).fileName(), QStringLiteral("10_1.2-2425-1.DBF"));
    EXPECT_EQ(created[0].students, 4);
    EXPECT_EQ(created[1].students, 2);
    EXPECT_EQ(created[2].students, 11);   // 5B: its leaver leaves in 2099
    EXPECT_EQ(created[3].students, 10);   // 6A: 11 records, Bäcker left
    const auto records = readRecords(dataFile(QStringLiteral("5_A_B-2425-1.DBF")));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].at("KLASSE"), QStringLiteral("5 a/b"));
    EXPECT_TRUE(QFileInfo::exists(dataFile(QStringLiteral("5_A_B-2425-1.MDX"))));
    EXPECT_TRUE(ws.reg.files().contains(resolvePath(dataFile(QStringLiteral("5B-2425-1.DBF")))));
}

TEST_F(CreateFiles, RecordsCarryTheMasterData)
{
    answer(ws, {Answer::Yes});
    const auto created = createStudentFiles(table, request(QStringLiteral("Jahrgang10"), false, {"10.1.2"}), ws.context);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(QFileInfo(created[0].path).fileName(), QStringLiteral("JAHRGANG10.DBF"));
    const auto records = readRecords(created[0].path);
    ASSERT_EQ(records.size(), 4u);
    const Record& vogel = records[0];
    EXPECT_EQ(vogel.at("NAME"), QStringLiteral("Vogel"));
    EXPECT_EQ(vogel.at("MW"), QStringLiteral("w"));
    EXPECT_EQ(vogel.at("GEBOREN"), QStringLiteral("12.03.2008"));
    EXPECT_EQ(vogel.at("KM"), QStringLiteral("E"));
    EXPECT_EQ(vogel.at("KX"), QStringLiteral("E"));
    EXPECT_EQ(vogel.at("WPK4"), QStringLiteral("Musik"));
    EXPECT_EQ(vogel.at("AG3"), QStringLiteral("SAN"));
    EXPECT_EQ(vogel.at("ANR1"), QString());
    const Record& schulz = records[1];
    EXPECT_EQ(schulz.at("KE"), QStringLiteral("Z"));
    EXPECT_EQ(schulz.at("ANR1"), QStringLiteral("Sehr geehrte Frau Schulz!"));
    EXPECT_EQ(schulz.at("ANR2"), QStringLiteral("Sehr geehrter Herr Schulz!"));
    EXPECT_EQ(schulz.at("ID"), QStringLiteral("39692SCHTOBIAS"));
    const Record& friedrich = records[3];
    EXPECT_EQ(friedrich.at("VORNAME"), QStringLiteral("Zoë"));
    EXPECT_EQ(friedrich.at("KD"), QStringLiteral("E"));
    EXPECT_EQ(friedrich.at("ID"), QStringLiteral("39845FRIZOë"));
    // Without -N in the string KX stays empty.
    const auto jankowski = records[2];
    EXPECT_EQ(jankowski.at("KX"), QString());
}

TEST_F(CreateFiles, OneFileWithAllOrTheChosenClasses)
{
    answer(ws, {Answer::Yes});
    auto created = createStudentFiles(table, request(QStringLiteral("Alle"), false), ws.context);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].students, 38);
    EXPECT_EQ(ws.ui.messages().value(0), QStringLiteral("Die Datei Alle.DBF\n\nim Notenverzeichnis ZE-2425-1\n\nwird erstellt!\n\nBeginnen?"));

    // "ALLE" together with classes: only the classes.
    ws.ui.clear();
    answer(ws, {Answer::Yes});
    CreateRequest r = request(QStringLiteral("Teil.txt"), false, {"ALLE", "5 a/b", "10.1.2"});
    r.source = ImportSource::Dbase;
    created = createStudentFiles(table, r, ws.context);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(QFileInfo(created[0].path).fileName(), QStringLiteral("TEIL.DBF"));
    EXPECT_EQ(created[0].students, 6);
    EXPECT_EQ(ws.ui.messages().value(0),
              QStringLiteral("Die Datei Teil.DBF\n\nim Notenverzeichnis ZE-2425-1\n\nwird erstellt!\nDie Stammdaten ALLER Schüler(-innen)\n"
                             "werden dann in diese Datei eingetragen!\n\n\nBeginnen?"));
    // Writing twice does not wrap a salutation twice.
    EXPECT_EQ(readRecords(created[0].path)[0].at("ANR1"), QStringLiteral("Sehr geehrte Frau Richter!"));
}

TEST_F(CreateFiles, ExistingFileIsKeptUnlessTheUserSaysYes)
{
    answer(ws, {Answer::Yes});
    ASSERT_EQ(createStudentFiles(table, request(QStringLiteral("%KL%-a"), true, {"5 a/b"}), ws.context).size(), 1u);
    const QString file = dataFile(QStringLiteral("5_A_B-A.DBF"));
    const std::string before = readBytes(file.toStdString());

    for (Answer refusal : {Answer::No, Answer::Cancel}) {
        ws.ui.clear();
        answer(ws, {Answer::Yes, refusal});
        EXPECT_TRUE(createStudentFiles(table, request(QStringLiteral("%KL%-a"), true, {"5 a/b"}), ws.context).empty());
        EXPECT_EQ(ws.ui.messages().value(1),
                  QStringLiteral("Es existiert bereits eine Datei mit demselben Namen.\nSoll sie überschrieben werden?\n"
                                 "ACHTUNG: Die Daten werden unwiderruflich gelöscht!\n"));
        EXPECT_EQ(ws.ui.beeps(), 1);
        EXPECT_EQ(readBytes(file.toStdString()), before);
    }
    // One-file mode says so.
    ws.ui.clear();
    answer(ws, {Answer::Yes, Answer::No});
    EXPECT_TRUE(createStudentFiles(table, request(QStringLiteral("5_A_B-A"), false), ws.context).empty());
    EXPECT_EQ(ws.ui.messages().last(), QStringLiteral("Datei konnte nicht erstellt werden!"));
    EXPECT_EQ(readBytes(file.toStdString()), before);
}

TEST_F(CreateFiles, RefusalsBeforeAnythingIsWritten)
{
    EXPECT_TRUE(createStudentFiles(table, request(QStringLiteral("Klasse%KL%"), true), ws.context).empty());
    EXPECT_EQ(ws.ui.messages().value(0),
              QStringLiteral("Mit dem angegebenen Dateinamen können\nnicht verschiedene Dateien erstellt werden!"));
    ws.ui.clear();
    EXPECT_TRUE(createStudentFiles(table, request(QStringLiteral("  "), true), ws.context).empty());
    EXPECT_EQ(ws.ui.messages().value(0), QStringLiteral("Keinen Dateinamen bzw. kein Verzeichnis gewählt!"));
    ws.ui.clear();
    ImportTable empty;
    EXPECT_TRUE(createStudentFiles(empty, request(QStringLiteral("%KL%"), true), ws.context).empty());
    EXPECT_EQ(ws.ui.messages().value(0), QStringLiteral("Es ist keine Erstellung möglich,\n\nweil keine Daten bereit stehen!\n"));
    EXPECT_TRUE(QDir(ws.root + QStringLiteral("ZE-2425-1")).entryList(QDir::Files).isEmpty());
}

TEST_F(CreateFiles, MissingTemplateIsReported)
{
    QFile::remove(ws.root + QStringLiteral("MUSTER/MUSTER.MS1"));
    answer(ws, {Answer::Yes});
    EXPECT_TRUE(createStudentFiles(table, request(QStringLiteral("Alle"), false), ws.context).empty());
    EXPECT_TRUE(ws.ui.messages().contains(
        QStringLiteral("Neuanlegen nicht fehlerfrei gelungen!\n\nIst das Programm BDE ordnungsgemäß installiert?\n\n")));
    EXPECT_EQ(ws.ui.messages().last(), QStringLiteral("Datei konnte nicht erstellt werden!"));
}

TEST(ClassFilterAndLevels, MatchAsTheClassListShowsThem)
{
    ClassFilter f;
    EXPECT_TRUE(f.passes(QStringLiteral("5A")));
    f.all = false;
    f.text = QStringLiteral("#5A#Jahrgang#");
    EXPECT_TRUE(f.passes(QStringLiteral(" 5A ")));
    EXPECT_FALSE(f.passes(QStringLiteral("5B")));
    // The class list keeps 8 characters; a longer class still finds its file.
    EXPECT_TRUE(f.passes(QStringLiteral("Jahrgang10")));
    EXPECT_EQ(courseLevel(QStringLiteral("-MA-EG"), QLatin1Char('E')), QStringLiteral("G"));
    EXPECT_EQ(courseLevel(QStringLiteral("-MA-EG-N"), QLatin1Char('N')), QString());
    EXPECT_EQ(courseLevel(QStringLiteral("-MA"), QLatin1Char('D')), QString());
}

} // namespace
} // namespace zedora::test
