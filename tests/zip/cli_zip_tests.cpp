// zedora-cli zip export and import between two workspaces: what goes where,
// the refusals without --yes and --admin, and the exit codes.
#include "support/run_program.h"
#include "zip/zip_support.h"

#include <gtest/gtest.h>

namespace zedora::test {
namespace {

std::string cli()
{
    return std::string(ZEDORA_BINARY_DIR) + "/bin/zedora-cli";
}

std::string q(const QString& s)
{
    return "'" + s.toStdString() + "'";
}

class CliZip : public ::testing::Test {
protected:
    CliZip()
    {
        a.addClass(QStringLiteral("5A"));
        a.addProgramFiles();
        b.addClass(QStringLiteral("5A"));
        writeFile(b.root + QStringLiteral("ZE-2021-1/5A.DBF"), "older");
        zip = a.root + QStringLiteral("TMP/5a.zip");
    }

    ProgramResult exportZip(const std::string& extra = {})
    {
        return runProgram(a.dir, cli() + " zip export --workspace " + q(a.root) + " --file ZE-2021-1/5A.DBF" + extra
                                     + " --out " + q(zip));
    }

    ZipWorkspace a, b;
    QString zip;
};

TEST_F(CliZip, ExportPrintsTheListAndImportNeedsYesToReplace)
{
    const ProgramResult e = exportZip(" --abbreviations");
    ASSERT_EQ(e.code, 0) << e.err;
    EXPECT_NE(e.out.find("ZE-2021-1\\5A.DBF\nZE-2021-1\\5A.DBT\nkuerzel.txt\nabschl.txt\nOBERSTUFE.NKD\nexport.log\n"),
              std::string::npos) << e.out;
    EXPECT_NE(e.out.find("Exportdatei: " + zip.toStdString()), std::string::npos);

    // Without --yes nothing is replaced and the run fails.
    const ProgramResult refused = runProgram(b.dir, cli() + " zip import --workspace " + q(b.root) + " " + q(zip));
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("sie werden nur mit --yes ersetzt"), std::string::npos) << refused.err;
    EXPECT_EQ(readFile(b.root + QStringLiteral("ZE-2021-1/5A.DBF")), QByteArray("older"));

    // --yes as a normal user: the class, but not the abbreviation files.
    const ProgramResult user =
        runProgram(b.dir, cli() + " zip import --workspace " + q(b.root) + " " + q(zip) + " --yes");
    EXPECT_EQ(user.code, 0) << user.err;
    EXPECT_NE(user.err.find("Sie sind kein Systembetreuer, können deshalb die Notenkürzeldateien nicht importieren!"),
              std::string::npos);
    EXPECT_EQ(readFile(b.root + QStringLiteral("ZE-2021-1/5A.DBF")), readFile(a.root + QStringLiteral("ZE-2021-1/5A.DBF")));
    EXPECT_FALSE(QFileInfo::exists(b.root + QStringLiteral("kuerzel.txt")));
    EXPECT_NE(user.out.find("Importierte Schülerdatei: ZE-2021-1\\5A.DBF"), std::string::npos) << user.out;

    const ProgramResult admin =
        runProgram(b.dir, cli() + " zip import --workspace " + q(b.root) + " " + q(zip) + " --yes --admin");
    EXPECT_EQ(admin.code, 0) << admin.err;
    EXPECT_EQ(readFile(b.root + QStringLiteral("kuerzel.txt")), readFile(a.root + QStringLiteral("KUERZEL.TXT")));
}

TEST_F(CliZip, ExistingZipGetsANumberedNameAndBadInputFails)
{
    writeFile(zip, "keep");
    const ProgramResult e = exportZip();
    ASSERT_EQ(e.code, 0) << e.err;
    EXPECT_NE(e.out.find("Exportdatei: " + (a.root + QStringLiteral("TMP/1_5a.zip")).toStdString()), std::string::npos);
    EXPECT_EQ(readFile(zip), QByteArray("keep"));

    EXPECT_EQ(runProgram(a.dir, cli() + " zip export --workspace " + q(a.root) + " --file ZE-2021-1/9Z.DBF --out "
                                    + q(zip)).code, 1);
    EXPECT_EQ(runProgram(a.dir, cli() + " zip import --workspace " + q(b.root)).code, 2);
    const QString hostile = a.root + QStringLiteral("TMP/evil.zip");
    ASSERT_TRUE(makeZip(hostile, {{"../../evil.txt", "x"}, {"export.log", "..\\..\\evil.txt\r\n"}}));
    const ProgramResult r = runProgram(b.dir, cli() + " zip import --workspace " + q(b.root) + " " + q(hostile) + " --yes --admin");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Die ZIP-Datei wird nicht importiert!"), std::string::npos) << r.err;
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(b.root).dir().absolutePath() + QStringLiteral("/evil.txt")));
}

} // namespace
} // namespace zedora::test
