// The real window Form1 on Qt's offscreen platform, beside bare Qt doing the same work.
// Run with --benchmark_repetitions=N for medians. Loading, cold start and memory are
// measured on the whole program: see probe.cpp.
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "form1.h"

namespace {

using zorbalin::window::Form1;
enum Shape { kTidy, kBlankRun, kBlankAfterEach };  // what tidying has to do

// As pasted: LF between lines; kBlankRun has three blank lines in the middle and a final
// break, kBlankAfterEach a blank line after every candidate.
QString candidates(int lines, int shape) {
    static const QString names[] = {QStringLiteral("王伟 "), QStringLiteral("李秀英 "),
                                    QStringLiteral("欧阳丽娟 "), QStringLiteral("Anna Marie ")};
    QString text;
    for (int i = 0; i < lines; ++i) {
        if (i > 0) text += shape == kBlankAfterEach ? u"\n\n" : u"\n";
        if (i == lines / 2 && shape == kBlankRun) text += u"\n\n\n";
        text += names[i % 4] + QString::number(i);
    }
    return shape == kBlankRun ? text + u'\n' : text;
}

template <typename T>
T* control(QWidget& form, const char* name) {
    return form.findChild<T*>(QLatin1String(name));
}

void showAndSettle(QWidget& widget) {
    widget.show();
    if (!QTest::qWaitForWindowExposed(&widget)) std::abort();
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// The click on Command2 until it returns with Timer1 running, the list in the editor as
// after a paste (not yet read by the window).
void BM_Start(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    Form1 form;
    auto* editor = control<QPlainTextEdit>(form, "RichTextBox1");
    editor->setPlainText(candidates(lines, static_cast<int>(state.range(1))));
    showAndSettle(form);
    for (auto _ : state) QTest::mouseClick(control<QPushButton>(form, "Command2"), Qt::LeftButton);
    if (!control<QTimer>(form, "Timer1")->isActive() || editor->blockCount() != lines) {
        state.SkipWithError("the click did not tidy the list and start the draw");
    }
}
BENCHMARK(BM_Start)
    ->ArgsProduct({{10'000, 100'000, 1'000'000}, {kTidy, kBlankRun, kBlankAfterEach}})
    ->ArgNames({"lines", "shape"})->Iterations(1)->Unit(benchmark::kMillisecond);

// The floor: a shown QPlainTextEdit of the editor's size taking the tidied list.
void BM_BareSetPlainText(benchmark::State& state) {
    const QString text = candidates(static_cast<int>(state.range(0)), kTidy);
    QPlainTextEdit editor;
    editor.resize(Form1().findChild<QPlainTextEdit*>(QStringLiteral("RichTextBox1"))->size());
    showAndSettle(editor);
    for (auto _ : state) editor.setPlainText(text);
}
BENCHMARK(BM_BareSetPlainText)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->ArgName("lines")
    ->Iterations(1)->Unit(benchmark::kMillisecond);

// One tick of Timer1 drawing from 1,000 candidates at the interval (ms), or with bare:1 of
// the floor, a precise QTimer with nothing to do. Time is the mean interval.
void BM_Tick(benchmark::State& state) {
    const int interval = static_cast<int>(state.range(0));
    Form1 form;
    control<QPlainTextEdit>(form, "RichTextBox1")->setPlainText(candidates(1000, kTidy));
    control<QLineEdit>(form, "Text2")->setText(QString::number(interval));
    showAndSettle(form);
    QTimer bare;
    bare.setTimerType(Qt::PreciseTimer);
    QTimer* timer = state.range(1) != 0 ? &bare : control<QTimer>(form, "Timer1");
    QEventLoop loop;
    QObject::connect(timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (timer == &bare) bare.start(interval);
    else QTest::mouseClick(control<QPushButton>(form, "Command2"), Qt::LeftButton);
    if (!timer->isActive() || timer->interval() != interval) {
        state.SkipWithError("the timer does not run at the interval");
        return;
    }
    std::vector<double> deviations;  // |interval - set interval|, ms
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        loop.exec();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
        state.SetIterationTime(elapsed.count());
        deviations.push_back(std::abs(elapsed.count() * 1000 - interval));
    }
    const auto p99 = deviations.begin() + static_cast<long>(deviations.size() * 99 / 100);
    std::nth_element(deviations.begin(), p99, deviations.end());
    state.counters["p99_deviation_ms"] = *p99;
}
BENCHMARK(BM_Tick)->ArgsProduct({{1, 10, 50}, {0, 1}})->ArgNames({"ms", "bare"})
    ->UseManualTime()->MeasureProcessCPUTime()->MinTime(10)->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir settings;  // the window's settings, never the user's own
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
