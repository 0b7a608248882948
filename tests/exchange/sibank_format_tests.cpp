// Writing the import table as a Sibank-format file and reading it back.
#include "exchange/sibank_format.h"
#include "exchange/dbase_import.h"
#include "exchange_support.h"

#include <gtest/gtest.h>

namespace zedora::test {
namespace {

const QDateTime kNow(QDate(2024, 9, 1), QTime(10, 0));

ImportRow student(const char* name, const char* vorname, const char* klasse, const char* levels, const char* geboren)
{
    ImportRow r;
    r[ImportColumn::Name] = QString::fromUtf8(name);
    r[ImportColumn::Vorname] = QString::fromUtf8(vorname);
    r[ImportColumn::Klasse] = QString::fromUtf8(klasse);
    r[ImportColumn::KM] = QString::fromUtf8(levels);
    r[ImportColumn::Geboren] = QString::fromUtf8(geboren);
    r[ImportColumn::MW] = QStringLiteral("w");
    r[ImportColumn::WPK1] = QStringLiteral("WPK Französisch 7");
    r[ImportColumn::AG2] = QStringLiteral("Schülerzeitung");
    r[ImportColumn::StammF2] = QStringLiteral("IGS Kreyenbrück");
    r[ImportColumn::Telefon] = QStringLiteral("0441 123");
    r[ImportColumn::ZedoraID] = QStringLiteral("41166GÜNANNA");
    return r;
}

class SibankFormat : public ::testing::Test {
protected:
    Workspace ws;
    ImportTable table;
    void SetUp() override
    {
        table.append(student("Günther", "Anna", " 7c ", "-MA-EG", "14.09.2012"));
        table.append(student("Vogel", "Zoé", "7c", "-N", "01.01.2011"));
        table.number();
    }
};

TEST_F(SibankFormat, TemplateHoldsTheFieldsTheConversionNeeds)
{
    auto t = dbase::Table::open(resolvePath(ws.root + QStringLiteral("MUSTER/sib-leer.mst")).toStdString());
    EXPECT_EQ(t->recordCount(), 0u);
    for (const char* f : {"NAME", "VORNAME", "GESCHLECHT", "KLASSE", "WPK1_FACH", "WPK4_FACH", "AG3", "FOERDER2",
                          "L_KU_NW_FA", "GEB_ORT", "VON_SCHULE", "STAAT", "KONFESSION", "STRASSE", "PLZ", "ORT",
                          "IDENT", "SGL", "NAME_W", "TITEL_M", "ABGANG_DAT"})
        EXPECT_GE(t->findField(f), 0) << f;
    EXPECT_EQ(t->field(t->fieldIndex("GEBOREN")).type, 'D');
}

TEST_F(SibankFormat, ConversionModeWritesTheComparisonFileWithItsTags)
{
    ASSERT_EQ(convertToSibank(table, true, ws.root, ws.settings, ws.ui, ws.files), SibankResult::Written);
    const QString target = ws.root + QStringLiteral("TMP/TolvoToSibank.DBF");
    EXPECT_EQ(ws.ui.messages(), QStringList{QStringLiteral("DBF-Datei im Sibank-Format im Verzeichnis\n\n") + ws.root
                                            + QStringLiteral("TMP\n\nerstellt!\n")});
    EXPECT_EQ(ws.settings.SibankDatei, resolvePath(target));
    const auto records = readRecords(target);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].at("KLASSE"), QStringLiteral("7c"));
    EXPECT_EQ(records[0].at("L_KU_MA_FA"), QStringLiteral("A"));
    EXPECT_EQ(records[0].at("L_KU_EN_FA"), QStringLiteral("G"));
    EXPECT_EQ(records[0].at("L_KU_DE_FA"), QString());
    EXPECT_EQ(records[0].at("GEBOREN"), QStringLiteral("20120914"));
    EXPECT_EQ(records[0].at("WPK1_FACH"), QStringLiteral("WPK Französisch 7"));
    EXPECT_EQ(records[0].at("VON_SCHULE"), QStringLiteral("IGS Kreyenbrück"));
    EXPECT_EQ(records[0].at("IDENT"), QStringLiteral("41166GÜNANNA"));
    EXPECT_EQ(records[0].at("TELEFON"), QString());   // not written
    EXPECT_EQ(records[1].at("L_KU_NW_FA"), QString());
    EXPECT_EQ(records[1].at("VORNAME"), QStringLiteral("Zoé"));

    auto t = dbase::Table::open(resolvePath(target).toStdString());
    std::vector<std::string> tags;
    for (const auto& tag : t->tags())
        tags.push_back(tag.name);
    EXPECT_EQ(tags, (std::vector<std::string>{"GESCH", "UNIKLAS", "SGL", "INDIV", "KLASSE", "NAME", "SGLKLAS"}));
    EXPECT_TRUE(t->findProblems().empty());

    // Not while someone has it open; then without a question.
    ws.ui.clear();
    table.append(student("Adler", "Ben", "5a", "", "02.10.2010"));
    table.number();
    EXPECT_EQ(convertToSibank(table, true, ws.root, ws.settings, ws.ui, ws.files), SibankResult::Failed);
    EXPECT_TRUE(ws.ui.messages().join('|').contains(QStringLiteral("wird an einem anderen Computer benutzt")));
    EXPECT_EQ(readRecords(target).size(), 2u);
    t.reset();
    ws.ui.clear();
    ASSERT_EQ(convertToSibank(table, true, ws.root, ws.settings, ws.ui, ws.files), SibankResult::Written);
    EXPECT_EQ(readRecords(target).size(), 3u);
    EXPECT_EQ(ws.ui.messages().size(), 1);
    EXPECT_TRUE(QDir(ws.root + QStringLiteral("TMP")).entryList({"~*"}, QDir::Files).isEmpty());
}

TEST_F(SibankFormat, ASibankFileReadWrittenAndReadAgainKeepsItsStudents)
{
    ImportTable read;
    ASSERT_TRUE(readDbaseSource(ws.copyFixture(QStringLiteral("S_2024.DBF")), ImportSource::Sibank, ws.settings, read,
                                ws.ui, kNow));
    const QString target = ws.root + QStringLiteral("out/S_KOPIE.DBF");
    ASSERT_TRUE(writeSibankFile(read, target, ws.root, ws.ui, ws.files));
    ImportTable again;
    ASSERT_TRUE(readDbaseSource(target, ImportSource::Sibank, ws.settings, again, ws.ui, kNow));
    ASSERT_EQ(again.studentCount(), read.studentCount());
    for (int r = 1; r <= read.studentCount(); ++r) {
        for (int c : {ImportColumn::Name, ImportColumn::Vorname, ImportColumn::Klasse, ImportColumn::Geboren,
                      ImportColumn::ZedoraID, ImportColumn::KM, ImportColumn::AG1, ImportColumn::Ort, ImportColumn::MW})
            EXPECT_EQ(again.cell(r, c), read.cell(r, c)) << "row " << r << " column " << c;
    }
}

TEST_F(SibankFormat, ChosenNameGetsTheDbfExtensionAndAnExistingFileIsAskedFor)
{
    EXPECT_EQ(sibankTargetName(QStringLiteral("/x/S_2024")), QStringLiteral("/x/S_2024.DBF"));
    EXPECT_EQ(sibankTargetName(QStringLiteral("/x/liste.TXT")), QStringLiteral("/x/liste.DBF"));
    QDir().mkpath(ws.root + QStringLiteral("out"));
    const QString existing = ws.root + QStringLiteral("out/S_NEU.DBF");
    writeBytes(existing.toStdString(), "alt");

    for (Answer a : {Answer::No, Answer::Cancel}) {
        ws.ui.clear();
        ws.ui.texts.enqueue(ws.root + QStringLiteral("out/S_NEU.TXT"));
        ws.ui.answers.enqueue(a);
        EXPECT_EQ(convertToSibank(table, false, ws.root, ws.settings, ws.ui, ws.files), SibankResult::Refused);
        EXPECT_EQ(ws.ui.messages(), (QStringList{"Datei ist bereits vorhanden, soll sie überschrieben werden?\n",
                                                 "Datei wurde nicht angelegt!"}));
        EXPECT_EQ(readBytes(existing.toStdString()), "alt");
    }
    ws.ui.clear();   // the dialog cancelled
    EXPECT_EQ(convertToSibank(table, false, ws.root, ws.settings, ws.ui, ws.files), SibankResult::Refused);
    EXPECT_EQ(ws.ui.messages(), QStringList{"Datei wurde nicht angelegt!"});
    EXPECT_EQ(ws.ui.shown.value(0).text, QStringLiteral("Im Sibank-Format speichern ..."));

    ws.ui.clear();
    ws.ui.texts.enqueue(ws.root + QStringLiteral("out/S_NEU.TXT"));
    ws.ui.answers.enqueue(Answer::Yes);
    EXPECT_EQ(convertToSibank(table, false, ws.root, ws.settings, ws.ui, ws.files), SibankResult::Written);
    EXPECT_EQ(readRecords(existing).size(), 2u);
    EXPECT_EQ(ws.settings.SibankDatei, existing);
}

TEST_F(SibankFormat, ABirthDateThatIsNoDateStopsAndLeavesTheOldFile)
{
    const QString target = ws.root + QStringLiteral("TMP/TolvoToSibank.DBF");
    ASSERT_EQ(convertToSibank(table, true, ws.root, ws.settings, ws.ui, ws.files), SibankResult::Written);
    const std::string before = readBytes(target.toStdString());
    ws.ui.clear();
    table.append(student("Thomsen", "Marie", "5b", "", ""));
    table.number();
    EXPECT_EQ(convertToSibank(table, true, ws.root, ws.settings, ws.ui, ws.files), SibankResult::Failed);
    EXPECT_EQ(ws.ui.messages(),
              QStringList{QStringLiteral("Die Datei im Sibank-Format wurde nicht erstellt:\nZeile 3 (Thomsen, Marie): \"\" ist kein gültiges Geburtsdatum.\n"
                                         "Die vorhandene Datei ") + resolvePath(target) + QStringLiteral(" ist unverändert.")});
    EXPECT_EQ(readBytes(target.toStdString()), before);
    EXPECT_EQ(QDir(ws.root + QStringLiteral("TMP")).entryList(QDir::Files), QStringList({"TolvoToSibank.DBF", "TolvoToSibank.MDX"}));

    // Without the template nothing is written either.
    ws.ui.clear();
    QFile::remove(ws.root + QStringLiteral("MUSTER/sib-leer.mst"));
    EXPECT_FALSE(writeSibankFile(table, ws.root + QStringLiteral("out/S_X.DBF"), ws.root, ws.ui, ws.files));
    EXPECT_TRUE(ws.ui.messages().value(0).startsWith(QStringLiteral("Die Datei im Sibank-Format wurde nicht erstellt:\nDie Vorlage ")));
    EXPECT_FALSE(QFileInfo::exists(ws.root + QStringLiteral("out/S_X.DBF")));
}

} // namespace
} // namespace zedora::test
