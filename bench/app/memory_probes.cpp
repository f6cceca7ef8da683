#include "memory_probes.h"

#include <QFile>
#include <QMetaObject>
#include <QTest>

#include <cstdio>

#include "child_process.h"
#include "form_access.h"

namespace zorbalin::bench {

namespace {

void print(const char* key, long value) {
    std::printf("%s %ld\n", key, value);
}

bool showAndStart(window::Form1& form) {
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return false;
    settle();
    FormControls controls = controlsOf(form);
    QTest::mouseClick(controls.startStop, Qt::LeftButton);
    settle();
    return controls.timer->isActive();
}

}  // namespace

int measureWindowMemory(const QString& path) {
    rememberCandidateFile(path);
    window::Form1 form;
    if (controlsOf(form).editor->document()->isEmpty()) return 1;
    print("loaded_hwm_kb", procStatusKb("VmHWM"));
    if (!showAndStart(form)) return 1;
    print("started_hwm_kb", procStatusKb("VmHWM"));
    return 0;
}

int measureBareEditorMemory(const QString& path) {
    QPlainTextEdit editor;
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor)) return 1;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return 1;
        editor.setPlainText(QString::fromUtf8(file.readAll()));
    }
    settle();
    print("hwm_kb", procStatusKb("VmHWM"));
    return 0;
}

int measureTickMemory(const QString& path, long ticks) {
    rememberCandidateFile(path);
    window::Form1 form;
    if (!showAndStart(form)) return 1;
    QTimer* timer = controlsOf(form).timer;
    long delivered = 0;
    QObject::connect(timer, &QTimer::timeout, [&delivered] { ++delivered; });

    // Warm-up ticks, so that the pick display and its painting have their buffers.
    constexpr long kSettleEvery = 1000;
    for (long i = 0; i < kSettleEvery; ++i) QMetaObject::invokeMethod(timer, "timeout");
    settle();
    const long before = procStatusKb("VmRSS");
    for (long i = 1; i <= ticks; ++i) {
        if (!QMetaObject::invokeMethod(timer, "timeout")) return 1;
        if (i % kSettleEvery == 0) settle();  // let the display repaint, as between real ticks
    }
    settle();
    if (delivered < ticks + kSettleEvery) return 1;  // the draw did not see every tick
    print("rss_before_kb", before);
    print("rss_after_kb", procStatusKb("VmRSS"));
    print("hwm_kb", procStatusKb("VmHWM"));
    return 0;
}

}  // namespace zorbalin::bench
