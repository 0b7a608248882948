#include "app/ui/close_on_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace zedora {
namespace {

int signalPipe[2] = {-1, -1};

// Only a write is safe in a signal handler; the event loop does the rest.
void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

} // namespace

void closeOnSignals(QWidget& mainWindow)
{
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &mainWindow);
    QObject::connect(notifier, &QSocketNotifier::activated, &mainWindow, [&mainWindow] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &c, 1);
        mainWindow.close();
        // A closing the user was asked about and refused keeps the program.
        if (!mainWindow.isVisible())
            QCoreApplication::quit();
    });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

} // namespace zedora
