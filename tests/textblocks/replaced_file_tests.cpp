// A block file replaced on disk while it is open (a zip import brings a
// new .DBF under the same name, without its index): what is read and
// written afterwards is the new file, and a block chosen in the old one is
// never written over another block of the new one.
#include "text_block_workspace.h"
#include "app/shipped_program.h"
#include "exchange/zip_archive.h"
#include "exchange/zip_import.h"
#include "textblocks/text_block_table_model.h"
#include "textblocks/ui/TFTBS.h"
#include "textblocks/ui/text_block_commands.h"
#include "core/ui/main_menu.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

// A zip export that carries only DEFINI\<name> with these blocks, in this
// physical order and without an index, as another computer packs it.
QString blockFileZip(const QString& templatePath, const QString& folder, const QString& name,
                     const std::vector<std::pair<QString, QString>>& content)
{
    const QString dbf = folder + u'/' + name;
    EXPECT_TRUE(QFile::copy(templatePath, dbf));
    {
        auto t = dbase::Table::open(dbf.toStdString(), dbase::OpenMode::Exclusive);
        for (const auto& [id, text] : content) {
            t->append();
            t->setText("ID", toAnsiStd(id));
            t->setText("INHALT", toAnsiStd(text));
            t->post();
        }
        // Indexed there, so its header says it has an index.
        t->addIndexTag("ID", "ID", false);
    }
    const QString log = folder + QStringLiteral("/export.log");
    QFile f(log);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\r\nDEFINI\\") + name.toLatin1() + "\r\n\r\n");
    f.close();
    const QString zip = folder + QStringLiteral("/blocks.zip");
    EXPECT_TRUE(QFileInfo(dbf).isFile()) << dbf.toStdString();
    EXPECT_EQ(packFiles(zip, {{name, dbf}, {QStringLiteral("export.log"), log}}), PackResult::Ok);
    return zip;
}

// The blocks on disk under path, read by a table of their own.
QStringList idsOnDisk(const QString& path)
{
    QStringList out;
    auto t = dbase::Table::open(path.toStdString());
    for (t->first(); !t->eof(); t->next())
        out << QString::fromLatin1(t->text("ID")) + u'=' + fromAnsi(t->text("INHALT")).trimmed();
    out.sort();
    return out;
}

} // namespace

TEST(TextBlockFileReplaced, ZipImportedFileIsReadAndEditedInsteadOfTheOldOne)
{
    TextBlockWorkspace w;
    w.writeBlockFile(QStringLiteral("#TEAM.DBF"), {{QStringLiteral("T1"), QStringLiteral("alt eins")},
                                                   {QStringLiteral("T2"), QStringLiteral("alt zwei")}});
    ASSERT_TRUE(w.blocks->open(QStringLiteral("#TEAM.DBF")));
    ASSERT_EQ(w.ids(), (QStringList{QStringLiteral("T1"), QStringLiteral("T2")}));
    const TextBlock oldT2 = *w.blocks->find(QStringLiteral("T2"));

    QTemporaryDir other;
    const QString zip = blockFileZip(w.path(QStringLiteral("MUSTER/FLOSKEL.MST")), other.path(), QStringLiteral("#TEAM.DBF"),
                                     {{QStringLiteral("N3"), QStringLiteral("neu drei")},
                                      {QStringLiteral("N1"), QStringLiteral("neu eins")},
                                      {QStringLiteral("N2"), QStringLiteral("neu zwei")}});
    ZipImport import(w.workspace, false, w.ui, w.reg.get());
    // Held open, the file is not replaced; the program lets go of it for its own import.
    ASSERT_FALSE(import.importZip(zip).imported);
    EXPECT_TRUE(w.ui.messages().join(u'|').contains(QStringLiteral("#TEAM.DBF wird an einem anderen Computer benutzt")));
    EXPECT_EQ(w.ids(), (QStringList{QStringLiteral("T1"), QStringLiteral("T2")}));
    w.blocks->letGo();
    ASSERT_TRUE(import.importZip(zip).imported) << w.ui.messages().join(u'|').toStdString();
    EXPECT_FALSE(w.exists(QStringLiteral("DEFINI/#TEAM.MDX"))) << "the old index goes with the old file";
    ASSERT_TRUE(w.blocks->takeBack());
    w.ui.clear();

    // The new blocks, in ID order, although the old index knew other records.
    EXPECT_EQ(w.ids(), (QStringList{QStringLiteral("N1"), QStringLiteral("N2"), QStringLiteral("N3")}));
    EXPECT_TRUE(w.ui.messages().isEmpty()) << w.ui.messages().join(u'|').toStdString();
    ASSERT_TRUE(w.blocks->find(QStringLiteral("N2")));
    EXPECT_EQ(w.blocks->find(QStringLiteral("N2"))->text, QStringLiteral("neu zwei"));
    EXPECT_FALSE(w.blocks->find(QStringLiteral("T1")));
    EXPECT_EQ(w.blocks->nearest(QStringLiteral("N15"))->id, QStringLiteral("N2"));

    // Record 2 of the old file was T2; in the new one it is N1, which stays.
    w.ui.clear();
    EXPECT_FALSE(w.blocks->update(oldT2, QStringLiteral("T2"), QStringLiteral("geändert")));
    EXPECT_EQ(w.ui.messages().size(), 1);
    EXPECT_EQ(idsOnDisk(w.path(QStringLiteral("DEFINI/#TEAM.DBF"))),
              (QStringList{QStringLiteral("N1=neu eins"), QStringLiteral("N2=neu zwei"), QStringLiteral("N3=neu drei")}));

    // Changes made now land in the file that is there.
    const std::optional<TextBlock> n2 = w.blocks->find(QStringLiteral("N2"));
    ASSERT_TRUE(n2);
    EXPECT_TRUE(w.blocks->update(*n2, QStringLiteral("n2"), QStringLiteral("zwei geändert")));
    const std::optional<std::uint32_t> added = w.blocks->addEmpty();
    ASSERT_TRUE(added);
    EXPECT_TRUE(w.blocks->update(*added, QStringLiteral("N4"), QStringLiteral("neu vier")));
    EXPECT_EQ(idsOnDisk(w.path(QStringLiteral("DEFINI/#TEAM.DBF"))),
              (QStringList{QStringLiteral("N1=neu eins"), QStringLiteral("N2=zwei geändert"),
                           QStringLiteral("N3=neu drei"), QStringLiteral("N4=neu vier")}));
}

TEST(TextBlockFileReplaced, AStaleEditIsRefusedWithAMessageAndAnUnchangedFileIsNotReopened)
{
    TextBlockWorkspace w;
    w.writeBlockFile(QStringLiteral("#TEAM.DBF"), {{QStringLiteral("T1"), QStringLiteral("eins")}});
    ASSERT_TRUE(w.blocks->open(QStringLiteral("#TEAM.DBF")));
    EXPECT_FALSE(w.blocks->reopenIfReplaced());
    const std::uint32_t mark = w.blocks->find(QStringLiteral("T1"))->mark;
    EXPECT_TRUE(w.blocks->update(mark, QStringLiteral("T1"), QStringLiteral("eins geändert")));
    EXPECT_FALSE(w.blocks->reopenIfReplaced()) << "its own changes are no replacement";
    EXPECT_TRUE(w.ui.messages().isEmpty());

    QTemporaryDir other;
    const QString zip = blockFileZip(w.path(QStringLiteral("MUSTER/FLOSKEL.MST")), other.path(), QStringLiteral("#TEAM.DBF"),
                                     {{QStringLiteral("X1"), QStringLiteral("fremd")}});
    w.blocks->letGo();
    ASSERT_TRUE(ZipImport(w.workspace, false, w.ui, w.reg.get()).importZip(zip).imported);
    ASSERT_TRUE(w.blocks->takeBack());
    w.ui.clear();
    EXPECT_FALSE(w.blocks->remove(mark));
    EXPECT_EQ(w.ui.messages(),
              QStringList{QStringLiteral("Die Textbausteindatei #TEAM.DBF wurde inzwischen ersetzt (Datenimport oder "
                                         "Bearbeitung an einem anderen Arbeitsplatz).\nSie wird neu eingelesen, "
                                         "bitte wiederholen Sie die Änderung.\n")});
    EXPECT_EQ(idsOnDisk(w.path(QStringLiteral("DEFINI/#TEAM.DBF"))), QStringList{QStringLiteral("X1=fremd")});
    EXPECT_FALSE(w.blocks->reopenIfReplaced()) << "the new file is open now";
    EXPECT_TRUE(w.blocks->remove(w.blocks->find(QStringLiteral("X1"))->mark));
    EXPECT_TRUE(idsOnDisk(w.path(QStringLiteral("DEFINI/#TEAM.DBF"))).isEmpty());
}

TEST(TextBlockFileReplaced, AnIndexThatDoesNotFitTheRecordsIsBuiltAgainOnOpening)
{
    TextBlockWorkspace w;
    w.writeBlockFile(QStringLiteral("#TEAM.DBF"), {{QStringLiteral("B"), QStringLiteral("bee")},
                                                   {QStringLiteral("A"), QStringLiteral("aa")}});
    ASSERT_TRUE(w.blocks->open(QStringLiteral("#TEAM.DBF")));
    w.blocks->close();
    // The index of another file of that name, as a copy from elsewhere leaves it.
    w.writeBlockFile(QStringLiteral("#ALT.DBF"), {{QStringLiteral("Z"), QStringLiteral("zet")}});
    {
        TextBlockFile alt(w.workspace, *w.files, w.ui);
        ASSERT_TRUE(alt.open(QStringLiteral("#ALT.DBF")));
    }
    QFile::remove(w.path(QStringLiteral("DEFINI/#TEAM.MDX")));
    ASSERT_TRUE(QFile::copy(w.path(QStringLiteral("DEFINI/#ALT.MDX")), w.path(QStringLiteral("DEFINI/#TEAM.MDX"))));

    ASSERT_TRUE(w.blocks->open(QStringLiteral("#TEAM.DBF")));
    EXPECT_EQ(w.ids(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(w.blocks->find(QStringLiteral("B"))->text, QStringLiteral("bee"));
    EXPECT_TRUE(w.ui.messages().isEmpty());
}

namespace {

class ReplacedBlockFileInProgram : public zedora::test::ShownProgramTest {};

} // namespace

TEST_F(ReplacedBlockFileInProgram, TheBlockWindowShowsAndEditsTheFileAZipImportBrought)
{
    auto* commands = window->findChild<TextBlockCommands*>(QStringLiteral("textBlockCommands"));
    ASSERT_TRUE(commands);
    window->menu().action(QStringLiteral("textBlockWindow"))->trigger();
    TFTBS& blocks = commands->blockWindow();
    QApplication::processEvents();
    ASSERT_GT(blocks.model()->rowCount(), 50);
    const QString name = commands->blockFile()->fileName();
    const QString path = commands->blockFile()->path();

    QTemporaryDir other;
    const QString zip = blockFileZip(app->workspace + QStringLiteral("MUSTER/FLOSKEL.MST"), other.path(), name,
                                     {{QStringLiteral("N2"), QStringLiteral("neu zwei")},
                                      {QStringLiteral("N1"), QStringLiteral("neu eins")}});
    ui.answers.enqueue(Answer::Yes);
    ui.texts.enqueue(zip);
    window->menu().action(QStringLiteral("zipImport"))->trigger();
    QApplication::processEvents();

    ASSERT_EQ(blocks.model()->rowCount(), 2) << "the window shows the imported blocks at once";
    EXPECT_EQ(blocks.model()->blocks().first().id, QStringLiteral("N1"));
    ASSERT_TRUE(commands->blockFile()->find(QStringLiteral("N2"))) << "Ctrl+T finds the imported blocks";
    const std::optional<TextBlock> first = blocks.currentBlock();
    ASSERT_TRUE(first);
    EXPECT_TRUE(commands->blockFile()->update(*first, first->id, QStringLiteral("eins geändert")));
    EXPECT_EQ(idsOnDisk(path), (QStringList{QStringLiteral("N1=eins geändert"), QStringLiteral("N2=neu zwei")}));
    blocks.hide();
}
