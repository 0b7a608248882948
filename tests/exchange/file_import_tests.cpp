// Reading Sibank files and other dBase files into the import table.
#include "exchange/dbase_import.h"
#include "exchange_support.h"

#include <QFile>
#include <gtest/gtest.h>

namespace zedora::test {
namespace {

const QDateTime kNow(QDate(2024, 9, 1), QTime(10, 0));

int rowOf(const ImportTable& t, const QString& name, const QString& vorname)
{
    for (int r = 1; r < t.rowCount(); ++r)
        if (t.cell(r, ImportColumn::Name) == name && t.cell(r, ImportColumn::Vorname) == vorname)
            return r;
    return -1;
}

class SibankImport : public ::testing::Test {
protected:
    Workspace ws;
    ImportTable table;
    QString file = ws.copyFixture(QStringLiteral("S_2024.DBF"));
    void SetUp() override { ws.copyFixture(QStringLiteral("FACHKURS.DBF")); }
    int row(const char* name, const char* vorname)
    {
        const int r = rowOf(table, QString::fromUtf8(name), QString::fromUtf8(vorname));
        EXPECT_GT(r, 0) << name;
        return r;
    }
    QString cell(const char* name, const char* vorname, int column) { return table.cell(row(name, vorname), column); }
};

TEST_F(SibankImport, ReadsEveryPresentStudentWithWindows1252Texts)
{
    ASSERT_TRUE(readDbaseSource(file, ImportSource::Sibank, ws.settings, table, ws.ui, kNow));
    // 40 records, two left in 2019.
    EXPECT_EQ(table.studentCount(), 38);
    EXPECT_EQ(rowOf(table, QStringLiteral("Groß"), QStringLiteral("Lena")), -1);
    EXPECT_EQ(rowOf(table, QStringLiteral("Bäcker"), QStringLiteral("Jana")), -1);
    EXPECT_GT(rowOf(table, QStringLiteral("Schäfer"), QStringLiteral("Lukas")), 0);   // leaves in 2099
    EXPECT_GT(rowOf(table, QStringLiteral("Novak"), QStringLiteral("Žiga")), 0);
    EXPECT_EQ(table.cell(0, 0), QStringLiteral("Lfd. Nr."));
    EXPECT_EQ(table.cell(0, ImportColumn::ZedoraID), QStringLiteral("ZedoraID"));
    EXPECT_EQ(table.cell(1, 0), QStringLiteral("1"));
    EXPECT_EQ(table.cell(38, 0), QStringLiteral("38"));
    EXPECT_EQ(cell("Müller", "Anna-Lena", ImportColumn::Geboren), QStringLiteral("01.01.2000"));
    EXPECT_EQ(cell("Müller", "Anna-Lena", ImportColumn::ZedoraID), QStringLiteral("36526MüLANNA-LE"));
    EXPECT_EQ(cell("Müller", "Alexander", ImportColumn::ZedoraID), QStringLiteral("36526MüLALEXAND"));
    EXPECT_EQ(cell("Novak", "Žiga", ImportColumn::ZedoraID), QStringLiteral("41446NOVŽIGA"));
    EXPECT_EQ(cell("Nguyen", "Minh Anh", ImportColumn::ZedoraID), QStringLiteral("41775NGUMINH AN"));
    EXPECT_EQ(cell("Richter", "Amelie", ImportColumn::Klasse), QStringLiteral("5 a/b"));
    EXPECT_EQ(cell("Müller", "Anna-Lena", ImportColumn::StammF1), QStringLiteral("Fr. Bäumer"));
    EXPECT_TRUE(ws.ui.messages().isEmpty()) << ws.ui.messages().join(QLatin1Char('|')).toStdString();
}

TEST_F(SibankImport, GenderBecomesTheSettingsLetters)
{
    ws.settings.Weiblich = QStringLiteral("W");
    ws.settings.Maennlich = QStringLiteral("M");
    ASSERT_TRUE(readDbaseSource(file, ImportSource::Sibank, ws.settings, table, ws.ui, kNow));
    EXPECT_EQ(cell("Weiß", "Charlotte", ImportColumn::MW), QStringLiteral("W"));  // weiblich
    EXPECT_EQ(cell("Jäger", "Sophie", ImportColumn::MW), QStringLiteral("W"));    // w
    EXPECT_EQ(cell("Özdemir", "Emre", ImportColumn::MW), QStringLiteral("M"));    // m
    EXPECT_EQ(cell("Nguyen", "Minh Anh", ImportColumn::MW), QStringLiteral("M")); // x
    EXPECT_EQ(cell("Becker", "Paul", ImportColumn::MW), QStringLiteral("M"));     // empty
}

TEST_F(SibankImport, SalutationsFollowTheGuardianFields)
{
    ASSERT_TRUE(readDbaseSource(file, ImportSource::Sibank, ws.settings, table, ws.ui, kNow));
    EXPECT_EQ(cell("Weiß", "Charlotte", ImportColumn::ANR1), QStringLiteral("Sehr geehrte Frau Dr. Weiß!"));
    EXPECT_EQ(cell("Weiß", "Charlotte", ImportColumn::ANR2), QStringLiteral("Sehr geehrter Herr Prof. Dr. Weiß!"));
    EXPECT_EQ(cell("Özdemir", "Emre", ImportColumn::ANR1), QStringLiteral("Sehr geehrter Herr  Özdemir!"));
    EXPECT_EQ(cell("Özdemir", "Emre", ImportColumn::ANR2), QString());
    EXPECT_EQ(cell("Jäger", "Sophie", ImportColumn::ANR1), QStringLiteral("Sehr geehrte Frau Dr. Jäger!"));
    EXPECT_EQ(cell("Jäger", "Sophie", ImportColumn::ANR2), QString());
    EXPECT_EQ(cell("Al-Hassan", "Rami", ImportColumn::ANR1), QStringLiteral("Sehr geehrter Herr Dr. Al-Hassan!"));
    EXPECT_EQ(cell("Kowalski", "Maximilian", ImportColumn::ANR1), QString());
    EXPECT_EQ(cell("Kowalski", "Maximilian", ImportColumn::ANR2), QString());

    // The step before writing reduces the double blank once, and only once.
    ImportRow r = table.row(row("Özdemir", "Emre"));
    wrapSalutations(r);
    EXPECT_EQ(r[ImportColumn::ANR1], QStringLiteral("Sehr geehrter Herr Özdemir!"));
    wrapSalutations(r);
    EXPECT_EQ(r[ImportColumn::ANR1], QStringLiteral("Sehr geehrter Herr Özdemir!"));
}

TEST_F(SibankImport, ElectivesTakeTheLongNamesAndCourseLevelsTheFirstLetter)
{
    ASSERT_TRUE(readDbaseSource(file, ImportSource::Sibank, ws.settings, table, ws.ui, kNow));
    EXPECT_EQ(cell("Vogel", "Johanna", ImportColumn::WPK1), QStringLiteral("Französisch ab Jahrgang 6 (F6)"));
    EXPECT_EQ(cell("Vogel", "Johanna", ImportColumn::WPK2), QStringLiteral("Informatik"));
    EXPECT_EQ(cell("Schulz", "Tobias", ImportColumn::WPK3), QStringLiteral("Arbeitslehre Hauswirtschaft"));
    EXPECT_EQ(cell("Petrenko", "Sofiia", ImportColumn::WPK1), QStringLiteral("RU"));        // unknown code
    EXPECT_EQ(cell("Hartmann", "Jan-Luca", ImportColumn::WPK1), QStringLiteral("Informatik")); // inf
    EXPECT_EQ(cell("Vogel", "Johanna", ImportColumn::KM), QStringLiteral("-ME-EE-DE-NE"));
    EXPECT_EQ(cell("Günther", "Tim", ImportColumn::KM), QStringLiteral("-MA-EG"));
    EXPECT_EQ(cell("Friedrich", "Zoë", ImportColumn::KM), QStringLiteral("-ME-EA-DE-NG"));
    EXPECT_EQ(cell("Al-Hassan", "Rami", ImportColumn::AG1), QStringLiteral("IMK"));
    EXPECT_EQ(cell("Yildiz", "Elif", ImportColumn::FOE2), QStringLiteral("Lesetraining"));
}

TEST_F(SibankImport, WithoutTheSubjectTableElectivesKeepTheirCodes)
{
    QFile::remove(ws.root + QStringLiteral("import/FACHKURS.DBF"));
    ASSERT_TRUE(readDbaseSource(file, ImportSource::Sibank, ws.settings, table, ws.ui, kNow));
    EXPECT_EQ(cell("Vogel", "Johanna", ImportColumn::WPK1), QStringLiteral("F6"));
    EXPECT_EQ(cell("Hartmann", "Jan-Luca", ImportColumn::WPK1), QStringLiteral("INF"));
}

TEST_F(SibankImport, LeaversAreReadOnlyWhenAskedFor)
{
    ws.settings.AbgImport = true;
    ASSERT_TRUE(readDbaseSource(file, ImportSource::Sibank, ws.settings, table, ws.ui, kNow));
    EXPECT_EQ(table.studentCount(), 40);

    // A leaving date of today counts as gone; an empty one or one before
    // 1960 as far in the future.
    const QString path = ws.root + QStringLiteral("S_ABG.DBF");
    std::vector<dbase::FieldDesc> fields = {charField("KLASSE", 5), charField("NAME", 20), charField("VORNAME", 20),
                                            dateField("GEBOREN"), charField("WPK1_FACH", 5), charField("WPK2_FACH", 5),
                                            charField("WPK3_FACH", 5), charField("WPK4_FACH", 5), dateField("ABGANG_DAT")};
    makeTable(path, fields,
              {{"9a", "Heute", "Geht", "20100101", "", "", "", "", "20240901"},
               {"9a", "Morgen", "Geht", "20100101", "", "", "", "", "20240902"},
               {"9a", "Leer", "Bleibt", "20100101", "", "", "", "", ""},
               {"9a", "Alt", "Bleibt", "20100101", "", "", "", "", "19500101"},
               {"9a", "Gestern", "Ging", "20100101", "", "", "", "", "20240831"}});
    ws.settings.AbgImport = false;
    ASSERT_TRUE(readDbaseSource(path, ImportSource::Sibank, ws.settings, table, ws.ui, kNow));
    ASSERT_EQ(table.studentCount(), 3);
    EXPECT_EQ(table.cell(1, ImportColumn::Name), QStringLiteral("Morgen"));
    EXPECT_EQ(table.cell(2, ImportColumn::Name), QStringLiteral("Leer"));
    EXPECT_EQ(table.cell(3, ImportColumn::Name), QStringLiteral("Alt"));
    ws.settings.AbgImport = true;
    ASSERT_TRUE(readDbaseSource(path, ImportSource::Sibank, ws.settings, table, ws.ui, kNow));
    EXPECT_EQ(table.studentCount(), 5);
}

TEST_F(SibankImport, ClassListIsWrittenToTheWorkspace)
{
    ASSERT_TRUE(readDbaseSource(file, ImportSource::Sibank, ws.settings, table, ws.ui, kNow));
    const QStringList list = writeClassList(table, ws.root, ws.files);
    EXPECT_EQ(list, (QStringList{"ALLE", "10.1.2", "5 a/b", "5A", "5B", "6A"}));
    QFile f(ws.root + QStringLiteral("KLASSEN.TXT"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("ALLE\r\n10.1.2\r\n5 a/b\r\n5A\r\n5B\r\n6A\r\n"));
    EXPECT_TRUE(ws.reg.files().contains(resolvePath(ws.root + QStringLiteral("KLASSEN.TXT"))));
}

TEST(AnyDbaseImport, MappedFieldsAndBirthDatesInNormalForm)
{
    Workspace ws;
    ImportTable table;
    const QString file = ws.copyFixture(QStringLiteral("IMPORT_ANY.DBF"));
    ASSERT_TRUE(readDbaseSource(file, ImportSource::Dbase, ws.settings, table, ws.ui, kNow));
    ASSERT_EQ(table.studentCount(), 15);
    const int krause = rowOf(table, QStringLiteral("Krause"), QStringLiteral("Leonie"));
    ASSERT_GT(krause, 0);
    EXPECT_EQ(table.cell(krause, ImportColumn::Klasse), QStringLiteral("5A"));
    EXPECT_EQ(table.cell(krause, ImportColumn::Geboren), QStringLiteral("05.03.2008"));
    EXPECT_EQ(table.cell(krause, ImportColumn::StammF2), QStringLiteral("Fam. Krause"));
    EXPECT_EQ(table.cell(krause, ImportColumn::ANR1), QString());   // no salutations from other files
    EXPECT_EQ(table.cell(krause, ImportColumn::WPK1), QString());
    const int boehm = rowOf(table, QStringLiteral("Böhm"), QStringLiteral("Felix"));
    EXPECT_EQ(table.cell(boehm, ImportColumn::Geboren), QStringLiteral("24.12.1960"));
    EXPECT_EQ(table.cell(boehm, ImportColumn::AG2), QStringLiteral("Schach"));
    const int strasser = rowOf(table, QStringLiteral("Straßer"), QStringLiteral("Henri"));
    EXPECT_EQ(table.cell(strasser, ImportColumn::Geboren), QStringLiteral("03.11.2013"));
    EXPECT_EQ(table.cell(strasser, ImportColumn::MW), QStringLiteral("m"));
    const int kuehn = rowOf(table, QStringLiteral("Kühn"), QStringLiteral("Luisa"));
    EXPECT_EQ(table.cell(kuehn, ImportColumn::Geboren), QStringLiteral("29.02.2012"));
    EXPECT_EQ(table.cell(kuehn, ImportColumn::MW), QStringLiteral("w"));
    // 31 February stays as typed and gives no identity; the user is told.
    const int dietrich = rowOf(table, QStringLiteral("Dietrich"), QStringLiteral("Moritz"));
    EXPECT_EQ(table.cell(dietrich, ImportColumn::Geboren), QStringLiteral("31.02.2001"));
    EXPECT_EQ(table.cell(dietrich, ImportColumn::ZedoraID), QString());
    reportDoubtfulRows(table, ws.ui);
    ASSERT_EQ(ws.ui.messages().size(), 1);
    EXPECT_EQ(ws.ui.messages()[0], QStringLiteral("Ohne gültiges Geburtsdatum (keine Schüler-ID):\nZeile 4: Dietrich, Moritz (31.02.2001)\n\n"
                                                  "Bitte die Angaben in den erstellten Dateien prüfen!"));
}

TEST(AnyDbaseImport, WorkingCopyLeavesTheChosenFileAlone)
{
    Workspace ws;
    const QString file = ws.copyFixture(QStringLiteral("IMPORT_ANY.DBF"));
    const QString copy = dbaseWorkingCopy(file, ws.files);
    EXPECT_EQ(QFileInfo(copy).fileName(), QStringLiteral("IMPORTX.DBF"));
    EXPECT_EQ(readBytes(copy.toStdString()), readBytes(file.toStdString()));
    EXPECT_EQ(dbaseWorkingCopy(copy, ws.files), copy);
}

TEST(BadImportSources, MissingFileNoDbaseAndMissingFieldsAreRefused)
{
    Workspace ws;
    ImportTable table;
    EXPECT_FALSE(readDbaseSource(ws.root + QStringLiteral("fehlt.dbf"), ImportSource::Sibank, ws.settings, table, ws.ui));
    EXPECT_EQ(ws.ui.messages().value(0), ws.root + QStringLiteral("fehlt.dbf nicht gefunden!"));

    ws.ui.clear();
    const QString text = ws.root + QStringLiteral("liste.dbf");
    writeBytes(text.toStdString(), "NAME;VORNAME\nMüller;Anna\n");
    EXPECT_FALSE(readDbaseSource(text, ImportSource::Dbase, ws.settings, table, ws.ui));
    ASSERT_EQ(ws.ui.messages().size(), 1);
    EXPECT_TRUE(ws.ui.messages()[0].startsWith(QStringLiteral("Die Datei ") + text
                                               + QStringLiteral(" ist keine lesbare dBase-Datei.\nEs wurden keine Daten übernommen.")));
    EXPECT_EQ(table.studentCount(), 0);

    // The generic file read as a Sibank file lacks KLASSE.
    ws.ui.clear();
    const QString any = ws.copyFixture(QStringLiteral("IMPORT_ANY.DBF"));
    EXPECT_FALSE(readDbaseSource(any, ImportSource::Sibank, ws.settings, table, ws.ui));
    EXPECT_EQ(ws.ui.messages().value(0), QStringLiteral("Das Feld KLASSE fehlt in der Datei ") + any
                                             + QStringLiteral(".\nEs wurden keine Daten übernommen."));
    // A mapping to a field the file does not have.
    ws.ui.clear();
    ws.settings.ip_Geboren = QStringLiteral("gebdatum");
    EXPECT_FALSE(readDbaseSource(any, ImportSource::Dbase, ws.settings, table, ws.ui));
    EXPECT_EQ(ws.ui.messages().value(0), QStringLiteral("Das Feld GEBDATUM fehlt in der Datei ") + any
                                             + QStringLiteral(".\nEs wurden keine Daten übernommen."));
    EXPECT_EQ(table.studentCount(), 0);
}

TEST(BadImportSources, OverlongValuesAreCutAndDuplicatesReported)
{
    Workspace ws;
    ImportTable table;
    const QString path = ws.root + QStringLiteral("S_LANG.DBF");
    const QString longName = QString(QStringLiteral("Überlänge")).repeated(10);   // 90 characters
    makeTable(path,
              {charField("KL_NAME", 10), charField("NAME", 100), charField("VORNAME", 30), charField("GEB_DAT", 10)},
              {{"7b", longName, "Ida", "1.2.2012"},
               {"7b", "Kurz", "Ida", "01.02.2012"},
               {"7b", "Kurz", "Ida", "1.2.12"},
               {"7b", "Ohne", "Datum", ""}});
    ASSERT_TRUE(readDbaseSource(path, ImportSource::Dbase, ws.settings, table, ws.ui, kNow));
    ASSERT_EQ(table.studentCount(), 4);
    EXPECT_EQ(table.cell(1, ImportColumn::Name), longName.left(70));
    reportDoubtfulRows(table, ws.ui);
    ASSERT_EQ(ws.ui.messages().size(), 1);
    EXPECT_EQ(ws.ui.messages()[0],
              QStringLiteral("Ohne gültiges Geburtsdatum (keine Schüler-ID):\nZeile 4: Ohne, Datum (leer)\n\n"
                             "Doppelt vorhandene Schüler(-innen):\nZeile 2 und 3: Kurz, Ida\n\n"
                             "Bitte die Angaben in den erstellten Dateien prüfen!"));
}

} // namespace
} // namespace zedora::test
