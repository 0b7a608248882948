// Block files: opening with its fallbacks and conversions, the index
// rebuild, single-block changes, the file commands and the all-blocks text.
#include "text_block_workspace.h"
#include "support/other_computer.h"
#include "support/temp_dir.h"
#include "textblocks/block_permission.h"
#include "textblocks/text_block_names.h"
#include "core/settings.h"
#include "core/user_mode.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

QStringList namesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files, QDir::Name);
}

} // namespace

TEST(TextBlockFileOpen, MissingFileFallsBackToTheDemoFileSilently)
{
    TextBlockWorkspace w;
    ASSERT_TRUE(w.blocks->open(QStringLiteral("ZE-1920-1\\#FEHLT.DBF")));
    EXPECT_EQ(w.blocks->fileName().toUpper(), QStringLiteral("#DEMO.DBF"));
    EXPECT_TRUE(w.exists(QStringLiteral("DEFINI/#DEMO.MDX")));
    EXPECT_TRUE(w.ui.messages().isEmpty());
    const QVector<TextBlock> list = w.blocks->blocks();
    ASSERT_GT(list.size(), 50);
    EXPECT_EQ(list.first().id, QStringLiteral("A"));
    EXPECT_EQ(TextBlockFile::topics(list).first(), QStringLiteral("Arbeitsverhalten"));
    ASSERT_TRUE(w.blocks->find(QStringLiteral("m1")));
    EXPECT_TRUE(w.blocks->find(QStringLiteral("M1"))->text.startsWith(QStringLiteral("In Mathematik erfasst")));
    EXPECT_FALSE(w.blocks->find(QStringLiteral("ZZ")));
    EXPECT_EQ(w.blocks->nearest(QStringLiteral("B"))->id, QStringLiteral("B"));
    EXPECT_EQ(w.blocks->nearest(QStringLiteral("C"))->id, QStringLiteral("D"));
}

TEST(TextBlockFileOpen, AmpersandFileBecomesAHashFileAndNeverOverwritesOne)
{
    TextBlockWorkspace w;
    w.writeBlockFile(QStringLiteral("&TEAM.DBF"), {{QStringLiteral("T1"), QStringLiteral("Team eins")}});
    ASSERT_TRUE(w.blocks->open(QStringLiteral("&TEAM.DBF")));
    EXPECT_EQ(w.blocks->fileName(), QStringLiteral("#TEAM.DBF"));
    EXPECT_TRUE(w.exists(QStringLiteral("DEFINI/#TEAM.DBF")));
    EXPECT_TRUE(w.exists(QStringLiteral("DEFINI/#TEAM.MDX")));
    EXPECT_FALSE(w.exists(QStringLiteral("DEFINI/&TEAM.DBF")));
    EXPECT_EQ(w.ids(), QStringList{QStringLiteral("T1")});

    // A second "&" file of the same name leaves the existing blocks alone.
    w.blocks->close();
    w.writeBlockFile(QStringLiteral("&TEAM.DBF"), {{QStringLiteral("X9"), QStringLiteral("überschreibt nichts")}});
    ASSERT_TRUE(w.blocks->open(QStringLiteral("&TEAM.DBF")));
    EXPECT_EQ(w.ids(), QStringList{QStringLiteral("T1")});
    EXPECT_TRUE(w.exists(QStringLiteral("DEFINI/&TEAM.DBF")));
}

TEST(TextBlockFileOpen, RebuildSortsKeepsABackupAndLeavesNoScratchFiles)
{
    TextBlockWorkspace w;
    w.writeBlockFile(QStringLiteral("#BIO.DBF"), {{QStringLiteral("C2"), QStringLiteral("drei")},
                                                  {QStringLiteral("A1"), QStringLiteral("eins")},
                                                  {QStringLiteral("B7"), QStringLiteral("zwei")}});
    ASSERT_TRUE(w.blocks->open(QStringLiteral("#bio.dbf")));
    EXPECT_EQ(w.ids(), QStringList({QStringLiteral("A1"), QStringLiteral("B7"), QStringLiteral("C2")}));
    const QStringList backups = namesIn(w.path(QStringLiteral("DEFINI/Sicherung")));
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^#BIO_[1-9]\\.DBF$")).match(backups.first()).hasMatch())
        << backups.first().toStdString();
    for (const char* scratch : {"FLOSTMP.DBF", "TMP.DBF", "tbstmp.dbf", "FLOSTMP.MDX", "TMP.MDX"})
        EXPECT_FALSE(w.exists(QStringLiteral("DEFINI/") + QLatin1String(scratch))) << scratch;
}

TEST(TextBlockFileOpen, DamagedFileIsReportedAndLeftAsItWas)
{
    TextBlockWorkspace w;
    const QString bad = w.workspace + QStringLiteral("DEFINI/#KAPUTT.DBF");
    test::writeBytes(bad.toStdString(), std::string("kein dBase", 10));
    EXPECT_FALSE(w.blocks->open(QStringLiteral("#KAPUTT.DBF")));
    EXPECT_FALSE(w.blocks->isOpen());
    EXPECT_EQ(w.ui.messages(), QStringList{QStringLiteral("Indizierung mißlungen!")});
    EXPECT_EQ(test::readBytes(bad.toStdString()), "kein dBase");
}

TEST(TextBlockFileOpen, DuplicateEmptyAndOverlongIdsOpenAndAreFound)
{
    TextBlockWorkspace w;
    w.writeBlockFile(QStringLiteral("#DOPPELT.DBF"), {{QStringLiteral("A1"), QStringLiteral("erster")},
                                                      {QStringLiteral("A1"), QStringLiteral("zweiter")},
                                                      {QString(), QStringLiteral("ohne ID")}});
    ASSERT_TRUE(w.blocks->open(QStringLiteral("#DOPPELT.DBF")));
    EXPECT_EQ(w.ids(), QStringList({QString(), QStringLiteral("A1"), QStringLiteral("A1")}));
    ASSERT_TRUE(w.blocks->find(QStringLiteral("A1")));
    EXPECT_EQ(w.blocks->find(QStringLiteral("A1"))->text, QStringLiteral("erster"));
    // Stored IDs are upper case and at most four characters.
    const TextBlock first = w.blocks->blocks().first();
    ASSERT_TRUE(w.blocks->update(first.mark, QStringLiteral("abcdef"), QString(300, u'x')));
    const std::optional<TextBlock> changed = w.blocks->find(QStringLiteral("ABCD"));
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->text.size(), kBlockTextCapacity);
}

TEST(TextBlockFileChanges, AddUpdateDeleteAreSeenByAnotherOpen)
{
    TextBlockWorkspace w;
    w.writeBlockFile(QStringLiteral("#K.DBF"), {{QStringLiteral("B1"), QStringLiteral("Text")}});
    ASSERT_TRUE(w.blocks->open(QStringLiteral("#K.DBF")));
    const std::optional<std::uint32_t> added = w.blocks->addEmpty();
    ASSERT_TRUE(added);
    EXPECT_EQ(w.ids(), QStringList({QString(), QStringLiteral("B1")})) << "an empty block sorts first";
    ASSERT_TRUE(w.blocks->update(*added, QStringLiteral(" z9 "), QStringLiteral("Größer als 5 %")));

    TextBlockFile other(w.workspace, *w.files, w.ui);
    ASSERT_TRUE(other.open(QStringLiteral("#K.DBF")));
    ASSERT_TRUE(other.find(QStringLiteral("Z9")));
    EXPECT_EQ(other.find(QStringLiteral("Z9"))->text, QStringLiteral("Größer als 5 %"));
    ASSERT_TRUE(other.remove(other.find(QStringLiteral("B1"))->mark));
    EXPECT_EQ(w.ids(), QStringList{QStringLiteral("Z9")});
}

TEST(TextBlockFileCommands, NewFileGetsTheHashNameAndRefusesATakenName)
{
    TextBlockWorkspace w;
    w.ui.texts.enqueue(w.workspace + QStringLiteral("DEFINI/mathe"));
    ASSERT_TRUE(w.blocks->createNewFile());
    EXPECT_EQ(w.blocks->fileName(), QStringLiteral("#MATHE.DBF"));
    EXPECT_TRUE(w.blocks->blocks().isEmpty());
    EXPECT_EQ(w.ui.shown.first().text, QStringLiteral("Neue Textbausteindatei erstellen"));

    w.ui.texts.enqueue(w.workspace + QStringLiteral("DEFINI/#Mathe.dbf"));
    EXPECT_FALSE(w.blocks->createNewFile());
    EXPECT_EQ(w.ui.messages(), QStringList{QStringLiteral("Datei bereits vorhanden! Neuanlegen nicht möglich!\n")});
    EXPECT_EQ(newTextBlockFileName(QStringLiteral("/x/#bio.DBF")), QStringLiteral("#BIO.DBF"));
    EXPECT_EQ(convertedAmpersandName(QStringLiteral("&TEAM.DBF")), QStringLiteral("#TEAM.DBF"));
}

TEST(TextBlockFileCommands, FileFromTheTemplateFolderIsCopiedIntoDefini)
{
    TextBlockWorkspace w;
    QDir(w.workspace).mkpath(QStringLiteral("DEFINI/VORLAGEN-TBS"));
    w.writeBlockFile(QStringLiteral("VORLAGEN-TBS/#SPORT.DBF"), {{QStringLiteral("S1"), QStringLiteral("Sport")}});
    w.ui.texts.enqueue(w.path(QStringLiteral("DEFINI/VORLAGEN-TBS/#SPORT.DBF")));
    ASSERT_TRUE(w.blocks->openWithDialog(QString()));
    EXPECT_EQ(w.ui.messages(), QStringList{QStringLiteral("Textbausteindatei aus \"Vorlagenordner\" wurde gewählt\r"
                                                          "Textbausteindatei wird in DEFINI-Ordner kopiert!")});
    EXPECT_EQ(QFileInfo(w.blocks->path()).absolutePath(), QFileInfo(w.path(QStringLiteral("DEFINI"))).absoluteFilePath());
    EXPECT_EQ(w.ids(), QStringList{QStringLiteral("S1")});
}

TEST(TextBlockFileCommands, SaveUnderANewNameAsksBeforeOverwritingAndRefusesAFileInUse)
{
    TextBlockWorkspace w;
    w.writeBlockFile(QStringLiteral("#QUELLE.DBF"), {{QStringLiteral("Q1"), QStringLiteral("Quelle")}});
    w.writeBlockFile(QStringLiteral("#ZIEL.DBF"), {{QStringLiteral("Z1"), QStringLiteral("Ziel")}});
    ASSERT_TRUE(w.blocks->open(QStringLiteral("#QUELLE.DBF")));

    w.ui.texts.enqueue(w.workspace + QStringLiteral("DEFINI/#ZIEL.DBF"));
    w.ui.answers.enqueue(Answer::No);
    EXPECT_FALSE(w.blocks->saveUnderNewName());
    EXPECT_EQ(w.ui.messages(), QStringList{QStringLiteral("Datei ist bereits vorhanden!\nSoll sie überschrieben werden?\n")});
    EXPECT_EQ(w.ui.beeps(), 1);
    EXPECT_EQ(w.blocks->fileName(), QStringLiteral("#QUELLE.DBF"));

    {
        test::HoldingComputer other(w.path(QStringLiteral("DEFINI/#ZIEL.DBF")));
        w.ui.clear();
        w.ui.texts.enqueue(w.workspace + QStringLiteral("DEFINI/#ZIEL.DBF"));
        w.ui.answers.enqueue(Answer::Yes);
        EXPECT_FALSE(w.blocks->saveUnderNewName());
        EXPECT_TRUE(w.ui.messages().last().startsWith(QStringLiteral("Die Datei #ZIEL.DBF wird an einem anderen Computer benutzt.")));
    }
    EXPECT_TRUE(w.blocks->isOpen());

    w.ui.clear();
    w.ui.texts.enqueue(w.workspace + QStringLiteral("DEFINI/kopie"));
    ASSERT_TRUE(w.blocks->saveUnderNewName());
    EXPECT_EQ(w.blocks->fileName(), QStringLiteral("#kopie.DBF"));
    EXPECT_EQ(w.ids(), QStringList{QStringLiteral("Q1")});
}

TEST(TextBlockFileEditor, AllBlocksTextRoundTripWithBackupAndBadLines)
{
    TextBlockWorkspace w;
    w.writeBlockFile(QStringLiteral("#ALLE.DBF"), {{QStringLiteral("A1"), QStringLiteral("alt")},
                                                   {QStringLiteral("="), QStringLiteral("=Thema")}});
    ASSERT_TRUE(w.blocks->open(QStringLiteral("#ALLE.DBF")));
    EXPECT_EQ(w.blocks->editorText(), QStringLiteral("=;=Thema\nA1;alt"));
    ASSERT_TRUE(w.blocks->exclusiveUseTest());
    EXPECT_TRUE(w.blocks->isOpen());

    const QString edited = QStringLiteral("  b2 ;  Der Schüler ...  \n\n   \nKein Semikolon\nLangeID;steht spät\n"
                                          "a1;") + QString(260, u'y');
    ASSERT_TRUE(w.blocks->replaceAll(edited));
    const QVector<TextBlock> list = w.blocks->blocks();
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list[0].id, QStringLiteral("??"));
    EXPECT_EQ(list[0].text, QStringLiteral("Kein Semikolon"));
    EXPECT_EQ(list[1].text, QStringLiteral("LangeID;steht spät"));
    EXPECT_EQ(list[2].id, QStringLiteral("A1"));
    EXPECT_EQ(list[2].text, QString(kBlockTextCapacity, u'y'));
    EXPECT_EQ(list[3].id, QStringLiteral("B2"));
    EXPECT_EQ(list[3].text, QStringLiteral("Der Schüler ..."));

    const QStringList backups = namesIn(w.path(QStringLiteral("DEFINI/Sicherung")));
    EXPECT_TRUE(backups.filter(QRegularExpression(QStringLiteral("^#ALLE\\.DBF_[1-9]$"))).size() == 1)
        << backups.join(u' ').toStdString();
    EXPECT_FALSE(w.exists(QStringLiteral("DEFINI/tbstmp.dbf")));
    EXPECT_FALSE(w.exists(QStringLiteral("DEFINI/TMP.DBF")));
}

TEST(TextBlockFileEditor, ExclusiveUseIsRefusedWhileAnotherComputerHasTheFile)
{
    TextBlockWorkspace w;
    w.writeBlockFile(QStringLiteral("#GETEILT.DBF"), {{QStringLiteral("G1"), QStringLiteral("geteilt")}});
    ASSERT_TRUE(w.blocks->open(QStringLiteral("#GETEILT.DBF")));
    test::HoldingComputer other(w.path(QStringLiteral("DEFINI/#GETEILT.DBF")));
    EXPECT_FALSE(w.blocks->exclusiveUseTest());
    EXPECT_EQ(w.ui.messages(), QStringList{QStringLiteral(
        "Bearbeitung nicht möglich, weil Datei gerade \nbei einem anderen Anwender geöffnet ist!\n")});
    EXPECT_TRUE(w.blocks->isOpen()) << "the file is open shared again";
    EXPECT_EQ(w.ids(), QStringList{QStringLiteral("G1")});
}

TEST(TextBlockRules, SingleBlockTextPermissionAndEditorLines)
{
    EXPECT_EQ(joinBlockLines(QStringLiteral("  Er arbeitet\n\n sorgfältig  \r\nund gern. ")),
              QStringLiteral("Er arbeitet sorgfältig und gern. "));
    EXPECT_EQ(joinBlockLines(QString(300, u'a')).size(), kBlockTextCapacity);
    EXPECT_EQ(parseEditorLine(QStringLiteral("A1;Der Schüler ...")).id, QStringLiteral("A1"));
    EXPECT_EQ(parseEditorLine(QStringLiteral("abcdef;x")).id, QStringLiteral("??"));
    EXPECT_EQ(parseEditorLine(QStringLiteral("abcde;x")).id, QStringLiteral("ABCD"));

    ScriptedInteraction ui;
    Settings settings;
    Passwords passwords;
    UserMode mode(passwords, ui);
    EXPECT_FALSE(mayChangeBlocks(settings, mode, ui));
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Nur dem Systembetreuer erlaubt!\n\n")});
    settings.TBSFuerAlle = true;
    EXPECT_TRUE(mayChangeBlocks(settings, mode, ui));
    settings.TBSFuerAlle = false;
    mode.setAdministrator(true);
    EXPECT_TRUE(mayChangeBlocks(settings, mode, ui));
    EXPECT_EQ(ui.messages().size(), 1);
}
