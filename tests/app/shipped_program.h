#pragma once
// The program as installed, started on a fresh workspace: shipped
// templates, the demo class 10b and the demo layout.
#include "core/app_context.h"
#include "app/ui/TFMain.h"
#include "app/ui/program_start.h"
#include "base/scripted_interaction.h"

#include <QFile>
#include <QTest>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zedora::test {

class NoPasswordPrompts : public PasswordPrompts {
public:
    QString askStartPassword() override { return {}; }
    AdminPasswordAnswer askAdminPassword() override { return {}; }
};

class ShippedProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paths = ProgramPaths{QStringLiteral(ZEDORA_SHARE_DIR) + "/", root.path() + "/ws/", "SHIP"};
        if (!QFile::exists(paths.programDir + "MUSTER/demo.dbf"))
            GTEST_SKIP() << "the build has not made the shipped data";
        app = std::make_unique<AppContext>(ui, paths);
        window = startProgram(*app, {"zedora"}, prompts);
        ASSERT_TRUE(window);
    }
    // Shown at the usual working size and active (the first activation
    // opens the file again; that is behind the test then).
    void showActive()
    {
        window->resize(1280, 800);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ui.clear();
    }
    void TearDown() override
    {
        if (window)
            window->close();
    }

    QTemporaryDir root;
    ProgramPaths paths;
    ScriptedInteraction ui;
    NoPasswordPrompts prompts;
    std::unique_ptr<AppContext> app;
    std::unique_ptr<TFMain> window;
};

// The program started and its window shown active, as a user finds it.
class ShownProgramTest : public ShippedProgramTest {
protected:
    void SetUp() override
    {
        ShippedProgramTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        showActive();
    }
};

} // namespace zedora::test
