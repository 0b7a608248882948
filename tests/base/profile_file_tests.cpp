#include "base/profile_file.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString path(const QString& name = QStringLiteral("TEST.INI")) const { return tmp.filePath(name); }

    void writeBytes(const QString& p, const QByteArray& bytes)
    {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readBytes(const QString& p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(ProfileFileTest, ReadsAsWindowsDoes)
{
    writeBytes(path(), "; Kommentar\r\n"
                       "[Allgemeines]\r\n"
                       "SchulName1 =  Gr\xFC" "nschule  \r\n"
                       "Leer=\r\n"
                       "Zitat=\"  mit Rand  \"\n" // LF alone is a line end too
                       "Zahl= -42\r\n"
                       "Fast=12abc\r\n"
                       "Riesig=99999999999\r\n"
                       "Schalter=7\r\n"
                       "Aus=0\r\n"
                       "Wort=ja\r\n"
                       "[ andere ]\r\n"
                       "Zahl=5\r\n"
                       "[ALLGEMEINES]\r\n" // a second section of that name is not looked at
                       "Zahl=1\r\n");
    ProfileFile ini;
    ASSERT_TRUE(ini.load(path()));

    EXPECT_EQ(ini.readString("ALLGEMEINES", "schulname1"), QStringLiteral("Grünschule"));
    EXPECT_EQ(ini.readString("allgemeines", "LEER", "d"), QString()); // present, empty
    EXPECT_EQ(ini.readString("ALLGEMEINES", "Fehlt", "d"), QStringLiteral("d"));
    EXPECT_EQ(ini.readString("FEHLT", "SchulName1", "d"), QStringLiteral("d"));
    EXPECT_EQ(ini.readString("ALLGEMEINES", "Zitat"), QStringLiteral("  mit Rand  "));
    EXPECT_EQ(ini.readString("ALLGEMEINES", "; Kommentar", "d"), QStringLiteral("d"));

    EXPECT_EQ(ini.readInt("ALLGEMEINES", "Zahl", 1), -42);
    EXPECT_EQ(ini.readInt("ANDERE", "Zahl", 1), 5);
    EXPECT_EQ(ini.readInt("ALLGEMEINES", "Fast", 3), 3);
    EXPECT_EQ(ini.readInt("ALLGEMEINES", "Riesig", 3), 3);
    EXPECT_EQ(ini.readInt("ALLGEMEINES", "Leer", 3), 3);
    EXPECT_EQ(ini.readInt("ALLGEMEINES", "SchulName1", 3), 3);

    EXPECT_TRUE(ini.readBool("ALLGEMEINES", "Schalter", false));
    EXPECT_FALSE(ini.readBool("ALLGEMEINES", "Aus", true));
    EXPECT_TRUE(ini.readBool("ALLGEMEINES", "Wort", true));
    EXPECT_FALSE(ini.readBool("ALLGEMEINES", "Wort", false));
    EXPECT_FALSE(ini.readBool("ALLGEMEINES", "Fehlt", false));

    EXPECT_EQ(ini.keys("allgemeines"),
              QStringList({"SchulName1", "Leer", "Zitat", "Zahl", "Fast", "Riesig", "Schalter", "Aus", "Wort"}));
}

TEST_F(ProfileFileTest, MissingFileGivesDefaultsAndIsCreatedOnSave)
{
    ProfileFile ini;
    EXPECT_TRUE(ini.load(path()));
    EXPECT_EQ(ini.readInt("A", "B", 17), 17);
    ini.writeInt("ALLGEMEINES", "Sortierung", 2);
    ini.writeBool("ALLGEMEINES", "MitHilfe", true);
    ini.writeBool("KURS", "KD", false);
    ini.writeString("ALLGEMEINES", "Schuljahr", QStringLiteral("2025/2026 ä€"));
    ASSERT_EQ(ini.save(path()), ProfileFile::SaveStatus::Saved);
    EXPECT_EQ(readBytes(path()), QByteArray("[ALLGEMEINES]\r\nSortierung=2\r\nMitHilfe=1\r\n"
                                            "Schuljahr=2025/2026 \xE4\x80\r\n\r\n[KURS]\r\nKD=0\r\n"));
    // Nothing is left beside it.
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList({"TEST.INI"}));
}

TEST_F(ProfileFileTest, WritingKeepsTheRestOfTheFile)
{
    const QByteArray before = "; von Hand gepflegt\r\n"
                              "[ALLGEMEINES]\r\n"
                              "Schuljahr=2019/2020\r\n"
                              "Unbekannt = bleibt\r\n"
                              "\r\n"
                              "; Ende Allgemeines\r\n"
                              "[LAYOUT]\r\n"
                              "Papierfach=8\r\n";
    writeBytes(path(), before);

    // One key changed in place, under the writer's spelling.
    ASSERT_EQ(ProfileFile::writeKey(path(), "allgemeines", "SCHULJAHR", "2020/2021"),
              ProfileFile::SaveStatus::Saved);
    QByteArray expected = before;
    expected.replace("Schuljahr=2019/2020", "SCHULJAHR=2020/2021");
    EXPECT_EQ(readBytes(path()), expected);

    // A new key goes behind the section's last key, in front of its blank line and comment.
    ProfileFile ini = ProfileFile::fromFile(path());
    ini.writeString("ALLGEMEINES", "Halbjahr", "2.");
    ini.writeInt("NEU", "Wert", 1);
    ASSERT_EQ(ini.save(path()), ProfileFile::SaveStatus::Saved);
    expected.replace("Unbekannt = bleibt\r\n", "Unbekannt = bleibt\r\nHalbjahr=2.\r\n");
    expected += "\r\n[NEU]\r\nWert=1\r\n";
    EXPECT_EQ(readBytes(path()), expected);
}

TEST_F(ProfileFileTest, ValuesThatWouldBreakTheFileComeBackUnchanged)
{
    ProfileFile ini;
    ini.writeString("A", "Umbruch", "erste\r\nZweite=gekapert");
    ini.writeString("A", "Rand", "  eingerückt ");
    ini.writeString("A", "Zitat", "\"zitiert\"");
    ini.writeString("A", "Gleich", "a=b");
    ASSERT_EQ(ini.save(path()), ProfileFile::SaveStatus::Saved);

    const ProfileFile back = ProfileFile::fromFile(path());
    EXPECT_EQ(back.keys("A"), QStringList({"Umbruch", "Rand", "Zitat", "Gleich"}));
    EXPECT_EQ(back.readString("A", "Umbruch"), QStringLiteral("erste  Zweite=gekapert"));
    EXPECT_EQ(back.readString("A", "Rand"), QStringLiteral("  eingerückt "));
    EXPECT_EQ(back.readString("A", "Zitat"), QStringLiteral("\"zitiert\""));
    EXPECT_EQ(back.readString("A", "Gleich"), QStringLiteral("a=b"));
}

TEST_F(ProfileFileTest, MalformedAndBinaryFilesDoNotHurt)
{
    // Lines without '=', a header without ']', keys before any section, NUL bytes.
    const char raw[] = "ohne Abschnitt=1\n[OFFEN\nkein Gleichheitszeichen\n=nur Wert\n"
                       "Schl\0ssel=W\0rt\n[B]\nx=1\n";
    writeBytes(path(), QByteArray(raw, sizeof(raw) - 1));
    ProfileFile ini;
    ASSERT_TRUE(ini.load(path()));
    EXPECT_EQ(ini.readString("", "ohne Abschnitt", "d"), QStringLiteral("d"));
    EXPECT_EQ(ini.keys("OFFEN"), QStringList({"Schlssel"}));
    EXPECT_EQ(ini.readString("OFFEN", "Schlssel"), QStringLiteral("Wrt"));
    EXPECT_EQ(ini.readInt("B", "x", 0), 1);

    // Random bytes: loads, reads defaults, and a write keeps every byte of it.
    QByteArray noise(4096, '\0');
    QRandomGenerator rng(1234);
    for (char& c : noise)
        c = char(rng.bounded(256));
    noise.replace('[', 'x').replace('\n', 'y').replace('\r', 'z');
    writeBytes(path("BIN.INI"), noise);
    ProfileFile bin;
    ASSERT_TRUE(bin.load(path("BIN.INI")));
    EXPECT_EQ(bin.readInt("ALLGEMEINES", "Sortierung", 9), 9);
    bin.writeInt("ALLGEMEINES", "Sortierung", 2);
    ASSERT_EQ(bin.save(path("BIN.INI")), ProfileFile::SaveStatus::Saved);
    const QByteArray after = readBytes(path("BIN.INI"));
    EXPECT_TRUE(after.startsWith(noise));
    EXPECT_EQ(ProfileFile::fromFile(path("BIN.INI")).readInt("ALLGEMEINES", "Sortierung", 9), 2);
}

TEST_F(ProfileFileTest, UnicodeFilesFromWindowsAreRead)
{
    writeBytes(path("U8.INI"), "\xEF\xBB\xBF[A]\r\nName=M\xC3\xBCller\r\n");
    EXPECT_EQ(ProfileFile::fromFile(path("U8.INI")).readString("A", "Name"), QStringLiteral("Müller"));
    const QString text = QStringLiteral("[A]\r\nName=Müller\r\n");
    QByteArray u16("\xFF\xFE");
    u16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    writeBytes(path("U16.INI"), u16);
    EXPECT_EQ(ProfileFile::fromFile(path("U16.INI")).readString("a", "name"), QStringLiteral("Müller"));
}

TEST_F(ProfileFileTest, FailedWritesAreReportedAndLoseNothing)
{
    // The folder does not exist.
    ProfileFile ini;
    ini.writeInt("A", "B", 1);
    EXPECT_EQ(ini.save(tmp.filePath("fehlt/TEST.INI")), ProfileFile::SaveStatus::NotCreated);
    EXPECT_FALSE(ini.errorString().isEmpty());
    EXPECT_FALSE(QFile::exists(tmp.filePath("fehlt/TEST.INI")));

    // The path is a folder: it cannot be read, so it is not written over either.
    ASSERT_TRUE(QDir(tmp.path()).mkdir("ORDNER.INI"));
    ProfileFile dir;
    EXPECT_FALSE(dir.load(path("ORDNER.INI")));
    dir.writeInt("A", "B", 1);
    EXPECT_EQ(dir.save(path("ORDNER.INI")), ProfileFile::SaveStatus::NotCreated);
    EXPECT_EQ(ProfileFile::writeKey(path("ORDNER.INI"), "A", "B", "1"), ProfileFile::SaveStatus::NotCreated);
    EXPECT_TRUE(QFileInfo(path("ORDNER.INI")).isDir());

    // A failed save leaves the old file as it was.
    writeBytes(path(), "[A]\r\nB=alt\r\n");
    ProfileFile good = ProfileFile::fromFile(path());
    good.writeString("A", "B", "neu");
    EXPECT_EQ(good.save(tmp.filePath("fehlt/x/TEST.INI")), ProfileFile::SaveStatus::NotCreated);
    EXPECT_EQ(readBytes(path()), QByteArray("[A]\r\nB=alt\r\n"));
}

TEST_F(ProfileFileTest, ManyKeysOneSave)
{
    ProfileFile ini;
    for (int i = 0; i < 150; ++i)
        ini.writeInt(i % 2 ? "EINS" : "ZWEI", QStringLiteral("Key%1").arg(i), i);
    for (int i = 0; i < 150; i += 7)
        ini.writeInt(i % 2 ? "eins" : "zwei", QStringLiteral("KEY%1").arg(i), -i);
    ASSERT_EQ(ini.save(path()), ProfileFile::SaveStatus::Saved);
    const ProfileFile back = ProfileFile::fromFile(path());
    EXPECT_EQ(back.keys("EINS").size() + back.keys("ZWEI").size(), 150);
    for (int i = 0; i < 150; ++i)
        EXPECT_EQ(back.readInt(i % 2 ? "Eins" : "Zwei", QStringLiteral("key%1").arg(i), 999),
                  i % 7 == 0 ? -i : i);
}

} // namespace
