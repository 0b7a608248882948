// zedora-cli import as an administrator's script runs it.
#include "exchange_support.h"
#include "support/run_program.h"
#include "tolvo_server.h"

#include <gtest/gtest.h>

namespace zedora::test {
namespace {

std::string cli()
{
    return std::string(ZEDORA_BINARY_DIR "/bin/zedora-cli import --workspace ");
}

std::string sibankFixture()
{
    return std::string(ZEDORA_FIXTURES_DIR "/sibank/S_2024.DBF");
}

TEST(CliImport, SibankFilePerClassAndTheRefusedOverwrite)
{
    Workspace ws;
    const std::string base = cli() + ws.root.toStdString() + " --source sibank --in " + sibankFixture();
    ProgramResult r = runProgram(ws.dir, base + " --classes 5a,6A --per-class --to ZE-2425-1");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Angelegt: " + ws.root.toStdString() + "ZE-2425-1/5A-2425-1.DBF (11 Schüler(-innen))\n"
                     "Angelegt: " + ws.root.toStdString() + "ZE-2425-1/6A-2425-1.DBF (10 Schüler(-innen))\n");
    const QString file = ws.root + QStringLiteral("ZE-2425-1/5A-2425-1.DBF");
    ASSERT_EQ(readRecords(file).size(), 11u);

    // Emptied by hand, then imported again without --overwrite: kept.
    {
        auto t = dbase::Table::open(file.toStdString());
        for (t->first(); !t->eof(); t->first())
            t->deleteRecord();
    }
    const std::string before = readBytes(file.toStdString());
    r = runProgram(ws.dir, base + " --classes 5A --per-class --to ZE-2425-1");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Es existiert bereits eine Datei mit demselben Namen."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Die Datei " + file.toStdString() + " wurde nicht angelegt."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--overwrite"), std::string::npos);
    EXPECT_EQ(readBytes(file.toStdString()), before);

    r = runProgram(ws.dir, base + " --classes 5A --per-class --to ZE-2425-1 --overwrite");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(readRecords(file).size(), 11u);
}

TEST(CliImport, MappedDbaseFileIntoOneFile)
{
    Workspace ws;
    const ProgramResult r = runProgram(
        ws.dir, cli() + ws.root.toStdString() + " --source dbase --in " ZEDORA_FIXTURES_DIR "/sibank/IMPORT_ANY.DBF"
                    " --map STAMMF1=krankenkas,STAMMF2=ELTERN --all --to ZE-2425-1 --name Alle");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Angelegt: " + ws.root.toStdString() + "ZE-2425-1/ALLE.DBF (15 Schüler(-innen))\n");
    // The impossible birth date is named.
    EXPECT_NE(r.err.find("Zeile 4: Dietrich, Moritz (31.02.2001)"), std::string::npos) << r.err;
    const auto records = readRecords(ws.root + QStringLiteral("ZE-2425-1/ALLE.DBF"));
    ASSERT_EQ(records.size(), 15u);
    EXPECT_EQ(records[0].at("NAME"), QStringLiteral("Krause"));
    EXPECT_EQ(records[0].at("STAMMF1"), QStringLiteral("AOK NordWest"));
    EXPECT_EQ(records[0].at("STAMMF2"), QStringLiteral("Fam. Krause"));
    EXPECT_EQ(records[0].at("GEBOREN"), QStringLiteral("05.03.2008"));
}

TEST(CliImport, WrongCallsAreRefusedBeforeAnythingIsWritten)
{
    Workspace ws;
    const std::string base = cli() + ws.root.toStdString();
    const struct {
        std::string args;
        int code;
        const char* message;
    } cases[] = {
        {" --source server --password geheim --all --to ZE-2425-1", 2, "nie auf der Befehlszeile"},
        {" --source sibank --all --to ZE-2425-1", 2, "Keine Importdatei angegeben (--in)."},
        {" --source excel --in x.dbf --all --to ZE-2425-1", 2, "--source muss sibank, dbase oder server sein."},
        {" --source sibank --in " + sibankFixture() + " --all --to 2425", 2, "--to muss ein Notenverzeichnis"},
        {" --source sibank --in " + sibankFixture() + " --to ZE-2425-1", 2, "Genau eines von --classes oder --all"},
        {" --source sibank --in " + sibankFixture() + " --classes 9Z --to ZE-2425-1", 1,
         "Die Klasse 9Z kommt in den gelesenen Daten nicht vor"},
        {" --source dbase --in " + sibankFixture() + " --map GEBURT=X --all --to ZE-2425-1", 2, "Ungültige Zuordnung: GEBURT=X"},
        {" --source sibank --in " ZEDORA_FIXTURES_DIR "/sibank/AG.TXT --all --to ZE-2425-1", 1, "ist keine lesbare dBase-Datei"},
        {" --source sibank --in " ZEDORA_FIXTURES_DIR "/sibank/IMPORT_ANY.DBF --all --to ZE-2425-1", 1,
         "Das Feld KLASSE fehlt in der Datei"},
        {" --source sibank --in " + sibankFixture() + " --all --per-class --name Klasse%KL% --to ZE-2425-1", 1,
         "Mit dem angegebenen Dateinamen können"},
    };
    for (const auto& c : cases) {
        const ProgramResult r = runProgram(ws.dir, base + c.args + " </dev/null");
        EXPECT_EQ(r.code, c.code) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    EXPECT_TRUE(QDir(ws.root + QStringLiteral("ZE-2425-1")).entryList(QDir::Files).isEmpty());
}

TEST(CliImport, SchoolServerWithThePasswordFromTheEnvironment)
{
    TolvoServer server;
    ASSERT_TRUE(server.running()) << "The TOLVO test server did not start:\n" << server.log();
    Workspace ws;
    const std::string base = cli() + ws.root.toStdString() + " --source server --host 127.0.0.1 --port "
                           + std::to_string(server.port()) + " --user tolvo --database TOLVO --all --per-class --to ZE-2324-1";
    ProgramResult r = runProgram(ws.dir, "ZEDORA_DB_PASSWORD=tolvo " + base);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Angelegt: " + ws.root.toStdString() + "ZE-2324-1/5A-2324-1.DBF (14 Schüler(-innen))\n"
                     "Angelegt: " + ws.root.toStdString() + "ZE-2324-1/5B-2324-1.DBF (13 Schüler(-innen))\n"
                     "Angelegt: " + ws.root.toStdString() + "ZE-2324-1/7C-2324-1.DBF (15 Schüler(-innen))\n");
    const auto c7 = readRecords(ws.root + QStringLiteral("ZE-2324-1/7C-2324-1.DBF"));
    ASSERT_EQ(c7.size(), 15u);
    EXPECT_EQ(c7[2].at("NAME"), QStringLiteral("Müller, von"));
    EXPECT_EQ(c7[2].at("KM"), QStringLiteral("A"));
    EXPECT_EQ(c7[2].at("KE"), QStringLiteral("E"));
    EXPECT_EQ(c7[2].at("ANR1"), QStringLiteral("Sehr geehrte Frau Charlotte Brinkmann!"));
    EXPECT_EQ(c7[2].at("ANR2"), QStringLiteral("Sehr geehrter Herr Friedrich von Müller!"));
    // No password anywhere: refused, nothing made.
    r = runProgram(ws.dir, "env -u ZEDORA_DB_PASSWORD " + base + " </dev/null");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Kein Kennwort"), std::string::npos) << r.err;
}

} // namespace
} // namespace zedora::test
