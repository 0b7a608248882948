// The zip import replacing classes another computer works with: killed at
// every step it leaves the old or the new class whole; refused while one of
// its tables is open elsewhere, with nothing changed; done once it is free.
#include "data/student_file_access.h"
#include "data/student_schema.h"
#include "data/table_move_journal.h"
#include "dbase/table.h"
#include "exchange/zip_import.h"
#include "support/other_computer.h"
#include "zip/zip_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace zedora::test {
namespace {

std::string native(const QString& p)
{
    return QFileInfo(p).absoluteFilePath().toStdString();
}

std::string reportOf(const std::string& name, int words)
{
    std::string text = "Bericht zu " + name + ":";
    for (int i = 0; i < words; ++i)
        text += " gut";
    return text;
}

void removeTable(const QString& dbf)
{
    const QString stem = dbf.left(dbf.size() - 4);
    for (const char* ext : {".DBF", ".DBT", ".MDX", ".INI", ".REO"})
        QFile::remove(stem + QLatin1String(ext));
}

// A class with its index; every memo names its student, and the two
// versions' memos differ in size, so a table paired with the other
// version's memo file shows.
void writeClass(const QString& dbf, const std::string& prefix, int count, int words)
{
    removeTable(dbf);
    dbase::Table::create(native(dbf), studentFileFields());
    auto t = dbase::Table::open(native(dbf), dbase::OpenMode::Exclusive);
    const int tb1 = t->fieldIndex("TB1");
    for (int i = 0; i < count; ++i) {
        const std::string name = prefix + char('A' + count - 1 - i);
        t->append();
        t->setText("NAME", name);
        t->setText("VORNAME", "Kind" + std::to_string(i));
        t->setText("KLASSE", "5a");
        t->setMemo(tb1, reportOf(name, words + 25 * i));
        t->post();
    }
    t->rebuildIndex(studentIndexTagSpecs());
}

void writeTextBlocks(const QString& dbf, const std::string& content)
{
    removeTable(dbf);
    dbase::Table::create(native(dbf), {{"ID", 'C', 4, 0, 0}, {"INHALT", 'C', 230, 0, 0}});
    auto t = dbase::Table::open(native(dbf), dbase::OpenMode::Exclusive);
    for (const char* id : {"A1", "B2"}) {
        t->append();
        t->setText("ID", id);
        t->setText("INHALT", content);
        t->post();
    }
    t->rebuildIndex(textBlockIndexTagSpecs());
}

// Reads the class as the program does; the version ("Alt"/"Neu") of every
// record, and a failure for an index or memo that does not belong to it.
struct ClassRead {
    std::set<std::string> prefixes;
    int records = 0;
};

ClassRead readClass(const QString& dbf)
{
    ClassRead r;
    try {
        OpenedTable opened = openToRead(dbf);
        EXPECT_FALSE(QFileInfo::exists(journalPathOf(dbf))) << "the reader left the journal";
        EXPECT_FALSE(opened.withoutIndex);
        dbase::Table& t = *opened.table;
        EXPECT_EQ(t.tags().size(), 4u);
        t.verifyIndex();
        for (const std::string& problem : t.findProblems())
            ADD_FAILURE() << problem;
        t.selectTag("KLASSE");
        const int tb1 = t.fieldIndex("TB1");
        for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
            const std::string name = t.text("NAME");
            ++r.records;
            r.prefixes.insert(name.substr(0, 3));
            EXPECT_NE(t.memo(tb1).find("Bericht zu " + name + ":"), std::string::npos)
                << name << " carries another memo: " << t.memo(tb1).substr(0, 40);
        }
    } catch (const std::exception& e) {
        ADD_FAILURE() << "reading " << dbf.toStdString() << ": " << e.what();
    }
    return r;
}

QStringList scratchFilesIn(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral("*.zipimport")}, QDir::Files | QDir::Hidden | QDir::System);
}

std::map<QString, QByteArray> withoutUnpacked(std::map<QString, QByteArray> listing)
{
    std::erase_if(listing, [](const auto& kv) { return kv.first.startsWith(QStringLiteral("zipimport")); });
    return listing;
}

// Workspace B holds the old 5A (5 students, with index and settings) and
// text blocks #TB; the zip, exported elsewhere, brings the new 5A (7
// students) without index, as an export does, and optionally #TB.
class ZipImportLifecycle : public ::testing::Test {
protected:
    ZipImportLifecycle()
    {
        classFile = b.root + QStringLiteral("ZE-2021-1/5A.DBF");
        blocksFile = b.root + QStringLiteral("DEFINI/#TB.DBF");
        dataDir = b.root + QStringLiteral("ZE-2021-1");
        resetWorkspace();

        const QString from = QString::fromStdString(source.path().string()) + QLatin1Char('/');
        writeClass(from + QStringLiteral("5A.DBF"), "Neu", 7, 80);
        writeTextBlocks(from + QStringLiteral("#TB.DBF"), "neu");
        const QByteArray classLog = "ZE-2021-1\\5A.DBF\r\nZE-2021-1\\5A.DBT\r\nZE-2021-1\\5A.INI\r\n\r\n";
        std::vector<Entry> entries = {{"5A.DBF", readFile(from + QStringLiteral("5A.DBF"))},
                                      {"5A.DBT", readFile(from + QStringLiteral("5A.DBT"))},
                                      {"5A.INI", kNewIni}};
        classZip = b.root + QStringLiteral("klasse.zip");
        entries.push_back({"export.log", classLog});
        EXPECT_TRUE(makeZip(classZip, entries));
        entries.back() = {"#TB.DBF", readFile(from + QStringLiteral("#TB.DBF"))};
        entries.push_back({"export.log", classLog + "DEFINI\\#TB.DBF\r\n\r\n"});
        bothZip = b.root + QStringLiteral("beide.zip");
        EXPECT_TRUE(makeZip(bothZip, entries));
    }

    void resetWorkspace()
    {
        writeClass(classFile, "Alt", 5, 15);
        writeFile(dataDir + QStringLiteral("/5A.INI"), kOldIni);
        writeTextBlocks(blocksFile, "alt");
    }

    ZipImportResult importNow(const QString& zip)
    {
        ZipImport import(b.root, false, b.ui, &b.reg);
        return import.importZip(zip);
    }

    void expectOldClass()
    {
        const ClassRead r = readClass(classFile);
        EXPECT_EQ(r.prefixes, std::set<std::string>{"Alt"});
        EXPECT_EQ(r.records, 5);
        EXPECT_EQ(readFile(dataDir + QStringLiteral("/5A.INI")), kOldIni);
    }

    void expectNewClass()
    {
        const ClassRead r = readClass(classFile);
        EXPECT_EQ(r.prefixes, std::set<std::string>{"Neu"});
        EXPECT_EQ(r.records, 7);
        EXPECT_EQ(readFile(dataDir + QStringLiteral("/5A.INI")), kNewIni);
    }

    std::string blocksContent()
    {
        try {
            OpenedTable opened = openToRead(blocksFile);
            EXPECT_FALSE(opened.withoutIndex);
            EXPECT_EQ(opened.table->tags().size(), 1u);
            opened.table->verifyIndex();
            opened.table->first();
            return opened.table->text("INHALT");
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
        return {};
    }

    const QByteArray kOldIni = "[ZUORDNUNGEN]\r\nLayoutdatei=LAYOUT\\ALT.LAY\r\n";
    const QByteArray kNewIni = "[ZUORDNUNGEN]\r\nLayoutdatei=LAYOUT\\NEU.LAY\r\n";
    ZipWorkspace b;
    TempDir source;
    QString classFile, blocksFile, dataDir, classZip, bothZip;
};

} // namespace

// Killed once everything is prepared (-1), once the journal is written (0)
// or after each part moved (.DBF, .DBT, .INI, the old .MDX deleted): the
// class reads as the old one before the journal and as the new one after
// it, memos and settings with it; the reader takes along the parts still
// waiting, and the import can be run again.
TEST_F(ZipImportLifecycle, KilledAtEveryStepLeavesTheOldOrTheNewClassWhole)
{
    for (int killAt = -1; killAt <= 4; ++killAt) {
        SCOPED_TRACE(killAt);
        resetWorkspace();
        ASSERT_TRUE(killedIn([&] {
            ScriptedInteraction ui;
            ZipImport import(b.root, false, ui);
            import.setReplaceCheck([killAt](const QStringList&) {
                if (killAt < 0)
                    killSelf();
                return true;
            });
            import.setMoveHook([killAt](int moved) {
                if (moved == killAt)
                    killSelf();
            });
            import.importZip(classZip);
        })) << "the kill point was not reached";
        EXPECT_EQ(QFileInfo::exists(journalPathOf(classFile)), killAt >= 0);

        if (killAt < 0) {
            expectOldClass();
        } else {
            expectNewClass();
            EXPECT_TRUE(scratchFilesIn(dataDir).isEmpty()) << scratchFilesIn(dataDir).join(' ').toStdString();
        }

        b.ui.clear();
        ASSERT_TRUE(importNow(classZip).imported) << b.ui.messages().join('|').toStdString();
        expectNewClass();
        EXPECT_TRUE(scratchFilesIn(dataDir).isEmpty());
    }
}

// While another computer has the class or the text-block file open (even
// only reading), the whole import is refused before anything moves: the
// message names the file, the class and its settings stay, no scratch file
// is left. Once it closed the file the same import goes through.
TEST_F(ZipImportLifecycle, TableOpenElsewhereRefusesTheWholeImportUntilItIsClosed)
{
    for (const QString* held : {&classFile, &blocksFile}) {
        SCOPED_TRACE(held->toStdString());
        resetWorkspace();
        b.ui.clear();
        const auto before = withoutUnpacked(b.listing());
        {
            HoldingComputer other(*held);
            ASSERT_TRUE(other.ok());
            EXPECT_FALSE(importNow(bothZip).imported);
            const QString message = b.ui.messages().join('|');
            EXPECT_TRUE(message.contains(QStringLiteral("Die Datei ") + QFileInfo(*held).fileName()
                                         + QStringLiteral(" wird an einem anderen Computer benutzt")))
                << message.toStdString();
            EXPECT_TRUE(message.contains(QStringLiteral("Sie kann nicht ersetzt werden!"))) << message.toStdString();
            EXPECT_TRUE(withoutUnpacked(b.listing()) == before) << "the refused import changed the workspace";
            EXPECT_TRUE(scratchFilesIn(dataDir).isEmpty());
            EXPECT_TRUE(scratchFilesIn(b.root + QStringLiteral("DEFINI")).isEmpty());
        }
        expectOldClass();
        EXPECT_EQ(blocksContent(), "alt");

        b.ui.clear();
        ASSERT_TRUE(importNow(bothZip).imported) << b.ui.messages().join('|').toStdString();
        expectNewClass();
        EXPECT_EQ(blocksContent(), "neu");
        EXPECT_FALSE(QFileInfo::exists(b.root + QStringLiteral("DEFINI/#TB.REO")));
    }
}

} // namespace zedora::test
