#include "form_scenarios.h"

#include <QEventLoop>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "form_access.h"

namespace zorbalin::bench {

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "benchmark precondition failed: %s\n", what);
        std::abort();
    }
}

std::unique_ptr<window::Form1> shownForm(AnsweringDialog* dialog = nullptr) {
    auto form = std::make_unique<window::Form1>(dialog);
    form->show();
    require(QTest::qWaitForWindowExposed(form.get()), "the window is shown");
    settle();
    return form;
}

void clickWhile(FormControls& controls, bool scrolling) {
    if (controls.timer->isActive() == scrolling) QTest::mouseClick(controls.startStop, Qt::LeftButton);
}

// Puts the list back into the editor as the user left it before the previous Start: the
// first time by pasting it whole, later by re-adding what the Start tidied away, which
// leaves the same document without the seconds that a whole paste of a long list costs.
void restoreList(QPlainTextEdit& editor, const QString& pasted, int lines, ListShape shape, bool first) {
    if (first || shape == ListShape::BlankLineEvery) {
        editor.setPlainText(pasted);
        return;
    }
    QTextCursor cursor(editor.document());
    if (shape == ListShape::FewBlankRuns) {
        cursor.setPosition(editor.document()->findBlockByNumber(lines / 2).position());
        cursor.insertText(QStringLiteral("\u2029\u2029\u2029"));
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("\u2029"));
    } else {
        // An edit that changes nothing still makes the editor read its text afresh.
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("x"));
        cursor.deletePreviousChar();
    }
}

}  // namespace

std::vector<double> startLatencyMs(int lines, ListShape shape, int runs) {
    rememberCandidateFile({});
    const auto form = shownForm();
    FormControls controls = controlsOf(*form);
    const QString pasted = pastedText(candidateText(lines, shape));
    const int pastedBlocks = static_cast<int>(pasted.count(QLatin1Char('\n'))) + 1;

    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        restoreList(*controls.editor, pasted, lines, shape, run == 0);
        require(controls.editor->document()->blockCount() == pastedBlocks, "the list is in the editor");
        settle();
        const auto start = Clock::now();
        QTest::mouseClick(controls.startStop, Qt::LeftButton);
        samples.push_back(msSince(start));
        require(controls.timer->isActive(), "the click started the draw");
        require(controls.editor->document()->blockCount() == lines, "the list was tidied");
        clickWhile(controls, true);
        settle();
    }
    return samples;
}

std::vector<double> bareSetPlainTextMs(const std::u16string& crlfText, bool shown, int runs) {
    rememberCandidateFile({});
    const auto form = shownForm();  // only for the editor's size
    const QSize editorSize = controlsOf(*form).editor->size();
    const QString text = pastedText(crlfText);

    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        QPlainTextEdit editor;
        editor.resize(editorSize);
        if (shown) {
            editor.show();
            require(QTest::qWaitForWindowExposed(&editor), "the bare editor is shown");
        }
        const auto start = Clock::now();
        editor.setPlainText(text);
        samples.push_back(msSince(start));
        settle();
    }
    return samples;
}

std::vector<double> startupLoadMs(const QString& path, int runs) {
    rememberCandidateFile(path);
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        window::Form1 form;
        samples.push_back(msSince(start));
        require(!controlsOf(form).editor->document()->isEmpty(), "the file was loaded");
    }
    rememberCandidateFile({});
    return samples;
}

std::vector<double> chooseFileMs(const QString& path, int lines, int runs) {
    rememberCandidateFile({});
    AnsweringDialog dialog;
    dialog.path = path;
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        require(writeCandidateFile(path, lines), "the candidate file is written");
        const auto form = shownForm(&dialog);
        FormControls controls = controlsOf(*form);
        const auto start = Clock::now();
        QTest::mouseClick(controls.chooseFile, Qt::LeftButton);
        samples.push_back(msSince(start));
        require(controls.editor->document()->blockCount() == lines, "the file was loaded and tidied");
    }
    return samples;
}

namespace {

// Runs the event loop for the given time while `timer` ticks, recording each tick.
TickRun recordTicks(QTimer& timer, int intervalMs, std::chrono::milliseconds runTime,
                    const std::function<void()>& startTimer) {
    std::vector<Clock::time_point> ticks;
    ticks.reserve(static_cast<std::size_t>(runTime.count() / intervalMs) * 2 + 16);
    const QMetaObject::Connection recording =
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ticks.push_back(Clock::now()); });

    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);

    startTimer();
    const auto start = Clock::now();
    const double cpuBefore = cpuSeconds();
    require(timer.isActive() && timer.interval() == intervalMs, "the timer runs at the interval");
    end.start(runTime);
    loop.exec();
    const auto stop = Clock::now();
    const double cpuUsed = cpuSeconds() - cpuBefore;
    QObject::disconnect(recording);

    TickRun result;
    result.ticks = summariseTicks(ticks, start, stop - start, intervalMs);
    result.cpuPercent = 100.0 * cpuUsed / std::chrono::duration<double>(stop - start).count();
    return result;
}

}  // namespace

TickRun scrollFor(int intervalMs, std::chrono::milliseconds runTime) {
    rememberCandidateFile({});
    const auto form = shownForm();
    FormControls controls = controlsOf(*form);
    controls.editor->setPlainText(pastedText(candidateText(1000, ListShape::Tidy)));
    controls.interval->setText(QString::number(intervalMs));
    settle();
    const TickRun run = recordTicks(*controls.timer, intervalMs, runTime, [&controls] {
        QTest::mouseClick(controls.startStop, Qt::LeftButton);
    });
    clickWhile(controls, true);
    return run;
}

TickRun bareTimerFor(int intervalMs, std::chrono::milliseconds runTime) {
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(intervalMs);
    return recordTicks(timer, intervalMs, runTime, [&timer] { timer.start(); });
}

}  // namespace zorbalin::bench
