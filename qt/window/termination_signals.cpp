#include "termination_signals.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSessionManager>
#include <QWidget>

#include "form1.h"

#if defined(Q_OS_UNIX)
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace zorbalin::window {

#if defined(Q_OS_UNIX)
namespace {

// A signal handler may only do async-signal-safe work, so it writes one byte to a socket
// that the event loop watches, and the window is closed from there. Both ends are
// non-blocking, so that a burst of signals can never stop the handler on a full socket,
// and close-on-exec, so that no program started from here inherits them.
int signalSocket[2] = {-1, -1};

void onTerminationSignal(int) {
    const int savedErrno = errno;  // the interrupted code may be about to read it
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalSocket[0], &byte, 1);
    errno = savedErrno;
}

void watchSignals(QWidget* window) {
    if (signalSocket[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalSocket) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char bytes[64];
        while (::read(signalSocket[1], bytes, sizeof bytes) > 0) {
        }
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

std::pair<int, int> terminationSignalSocket() {
#if defined(Q_OS_UNIX)
    return {signalSocket[0], signalSocket[1]};
#else
    return {-1, -1};
#endif
}

void closeOnTermination(Form1* window) {
#if defined(Q_OS_UNIX)
    watchSignals(window);
#endif
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
        return;
    }
    QPointer<Form1> guarded(window);
    // The session may end: store the settings now, and keep the window, since the user may
    // still cancel the logout (and Qt forbids quitting here). If the session does end, the
    // window is closed and its shutdown runs then.
    QObject::connect(app, &QGuiApplication::commitDataRequest, window, [guarded](QSessionManager&) {
        if (guarded) {
            guarded->StoreSettings();
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
