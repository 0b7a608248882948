// Several computers started on one workspace, each with its own computer
// name, as a school runs the program on a network share.
#include "core/app_context.h"
#include "app/ui/TFMain.h"
#include "app/ui/program_start.h"
#include "base/scripted_interaction.h"
#include "data/current_student_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

namespace {

class NoPasswords : public PasswordPrompts {
public:
    QString askStartPassword() override { return {}; }
    AdminPasswordAnswer askAdminPassword() override { return {}; }
};

struct Computer {
    ScriptedInteraction ui;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<TFMain> window;
    StudentTable& table() { return window->studentFile().table(); }
};

class SharedWorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFile::exists(QStringLiteral(ZEDORA_SHARE_DIR) + "/MUSTER/demo.dbf"))
            GTEST_SKIP() << "the build has not made the shipped data";
    }
    void TearDown() override
    {
        for (auto& c : computers) {
            if (c->window)
                c->window->close();
        }
    }
    Computer& start(const QString& name)
    {
        auto c = std::make_unique<Computer>();
        const ProgramPaths paths{QStringLiteral(ZEDORA_SHARE_DIR) + "/", root.path() + "/ws/", name};
        c->context = std::make_unique<AppContext>(c->ui, paths);
        c->window = startProgram(*c->context, {"zedora"}, prompts);
        EXPECT_TRUE(c->window);
        computers.push_back(std::move(c));
        return *computers.back();
    }

    QTemporaryDir root;
    NoPasswords prompts;
    std::vector<std::unique_ptr<Computer>> computers;
};

} // namespace

TEST_F(SharedWorkspaceTest, NewComputersKeepTheDemoClassAndNoSaveIsLostSilently)
{
    Computer& pc1 = start("PC1");
    ASSERT_TRUE(pc1.window);
    const QString demo = pc1.window->studentFile().path();
    ASSERT_TRUE(demo.endsWith("ZE-0000-0/demo.dbf", Qt::CaseInsensitive)) << demo.toStdString();
    const QString student = pc1.table().value("NAME");
    ASSERT_TRUE(pc1.table().setValue("DE", "2"));
    ASSERT_TRUE(pc1.table().post());

    // Two more computers start for the first time (no ZDR-PC2.ini, no
    // zdrlokal.ini): the set-up runs, the demo class stays as PC1 left it.
    Computer& pc2 = start("PC2");
    Computer& pc3 = start("PC3");
    ASSERT_TRUE(pc2.window && pc3.window);
    for (Computer* c : {&pc2, &pc3}) {
        EXPECT_EQ(c->window->studentFile().path(), demo);
        ASSERT_TRUE(c->table().gotoBookmark(pc1.table().bookmark()));
        EXPECT_EQ(c->table().value("NAME"), student);
        EXPECT_EQ(c->table().value("DE"), "2");
    }

    // The same cell typed on two computers: the later save asks.
    pc1.ui.clear();
    ASSERT_TRUE(pc1.table().setValue("DE", "5"));
    ASSERT_TRUE(pc2.table().setValue("DE", "1"));
    ASSERT_TRUE(pc2.table().post());
    pc1.ui.answers.enqueue(Answer::No);
    EXPECT_TRUE(pc1.table().post());
    ASSERT_EQ(pc1.ui.messages().size(), 1);
    EXPECT_TRUE(pc1.ui.messages()[0].startsWith("Das Feld DE bei "));
    EXPECT_TRUE(pc1.ui.messages()[0].contains("Ihre Eingabe:\n5\n\nAm anderen Computer gespeichert:\n1\n\n"));
    EXPECT_EQ(pc1.table().value("DE"), "1");
    pc3.table().takeOverOutsideChanges();
    EXPECT_EQ(pc3.table().value("DE"), "1");
}

TEST_F(SharedWorkspaceTest, AReorganisationWhileAnotherComputerWorksChangesNothing)
{
    Computer& pc1 = start("PC1");
    Computer& pc2 = start("PC2");
    ASSERT_TRUE(pc1.window && pc2.window);
    QSignalSpy gone(&pc1.window->studentFile(), &CurrentStudentFile::cannotGoOn);
    pc1.ui.clear();
    pc1.ui.answers.enqueue(Answer::Yes);
    EXPECT_FALSE(pc1.window->studentFile().reorganiseCurrent());
    EXPECT_EQ(pc1.ui.messages().last(),
              "Die Datei " + QFileInfo(pc1.window->studentFile().path()).fileName()
                  + " wird an einem anderen Computer benutzt.\nReorganisation kann nicht durchgeführt werden!\n");
    EXPECT_TRUE(gone.isEmpty()) << "the window stays";
    EXPECT_TRUE(pc1.table().isOpen());

    // The other computer's save reports exactly what happened: it worked.
    pc2.ui.clear();
    ASSERT_TRUE(pc2.table().setValue("DE", "3"));
    EXPECT_TRUE(pc2.table().post());
    EXPECT_TRUE(pc2.ui.messages().isEmpty());
    pc1.table().takeOverOutsideChanges();
    ASSERT_TRUE(pc1.table().gotoBookmark(pc2.table().bookmark()));
    EXPECT_EQ(pc1.table().value("DE"), "3");
}
