#include "termination_signals.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSessionManager>
#include <QWidget>

#if defined(Q_OS_UNIX)
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace zorbalin::window {

#if defined(Q_OS_UNIX)
namespace {

// A signal handler may only do async-signal-safe work, so it writes one byte to a socket
// that the event loop watches, and the window is closed from there.
int signalSocket[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalSocket[0], &byte, 1);
}

void watchSignals(QWidget* window) {
    if (signalSocket[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSocket) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(signalSocket[1], &byte, 1);
        // Closing stores the settings; quitting then also ends a dialog that may be open,
        // whose own event loop would otherwise keep the process alive.
        window->close();
        QCoreApplication::quit();
    });

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signalNumber, &action, nullptr);
    }
}

}  // namespace
#endif

void closeOnTermination(QWidget* window) {
#if defined(Q_OS_UNIX)
    watchSignals(window);
#endif
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
        return;
    }
    QPointer<QWidget> guarded(window);
    // The session is ending: store everything now, whatever the session manager does next.
    QObject::connect(app, &QGuiApplication::commitDataRequest, window, [guarded](QSessionManager&) {
        if (guarded) {
            guarded->close();
        }
    });
    // The event loop may also end without the window being closed (QCoreApplication::quit).
    QObject::connect(app, &QCoreApplication::aboutToQuit, window, [guarded] {
        if (guarded && guarded->isVisible()) {
            guarded->close();
        }
    });
}

}  // namespace zorbalin::window
