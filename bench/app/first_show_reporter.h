// For the cold-start probes: prints "shown <steady_clock nanoseconds>" once the first
// window has been exposed and its first paint has been handled, then ends the process.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>

namespace zorbalin::bench {

class FirstShowReporter : public QObject {
public:
    explicit FirstShowReporter(QCoreApplication& app) { app.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window != nullptr && window->isExposed()) {
                seen_ = true;
                // The expose event is handled (the window painted) before a zero timer runs.
                QTimer::singleShot(0, this, [] {
                    const auto now = std::chrono::steady_clock::now().time_since_epoch();
                    std::printf("shown %lld\n", static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace zorbalin::bench
