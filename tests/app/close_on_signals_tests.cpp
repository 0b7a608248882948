// A SIGTERM (logout, kill from a script) closes the main window the normal
// way and ends the program, even with other windows of its own open.
#include "app/ui/close_on_signals.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <csignal>

using namespace zedora;

namespace {

class MainWindowStub : public QWidget {
public:
    bool refuse = false;
    int closings = 0;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        ++closings;
        if (refuse)
            e->ignore();
        else
            e->accept();
    }
};

// Runs the event loop until the program quits or two seconds pass (1).
int runUntilQuitOrTimeout()
{
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    timeout.start(2000);
    QTimer::singleShot(0, qApp, [] { ::raise(SIGTERM); });
    return QCoreApplication::exec();
}

} // namespace

TEST(CloseOnSignals, TermClosesTheMainWindowAndEndsWithAPreviewStillOpen)
{
    MainWindowStub main;
    QDialog preview(nullptr, Qt::Window); // a window of its own, as the preview is
    main.show();
    preview.show();
    closeOnSignals(main);
    EXPECT_EQ(runUntilQuitOrTimeout(), 0);
    EXPECT_EQ(main.closings, 1);
    EXPECT_FALSE(main.isVisible());
}

TEST(CloseOnSignals, AClosingTheMainWindowRefusesKeepsTheProgram)
{
    MainWindowStub main;
    main.refuse = true;
    main.show();
    closeOnSignals(main);
    EXPECT_EQ(runUntilQuitOrTimeout(), 1);
    EXPECT_EQ(main.closings, 1);
    EXPECT_TRUE(main.isVisible());
}
