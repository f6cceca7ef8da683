// The draw as the window runs it: clicks on the start/stop button, the real timer, and the
// interval field tidying itself when it is left.
#include <QGuiApplication>
#include <QMouseEvent>
#include <QSignalSpy>

#include "form1_fixture.h"

namespace zorbalin::test {
namespace {

class DrawInWindowTest : public Form1Test {
protected:
    void typeCandidates(const QString& lines) {
        editor()->setFocus(Qt::MouseFocusReason);
        editor()->selectAll();
        const QStringList typed = lines.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < typed.size(); ++i) {
            if (i > 0) {
                QTest::keyClick(editor(), Qt::Key_Return);
            }
            for (const QChar ch : typed[i]) {
                // keyClicks knows only ASCII keys; other characters arrive as text.
                QTest::sendKeyEvent(QTest::Click, editor(), Qt::Key_unknown, QString(ch),
                                    Qt::NoModifier);
            }
            if (typed[i].isEmpty() && i == 0) {
                QTest::keyClick(editor(), Qt::Key_Delete);  // replaces the selection
            }
        }
    }
    void clickStartStop() { QTest::mouseClick(startStop(), Qt::LeftButton); }
};

TEST_F(DrawInWindowTest, StartShowsFirstCandidateAndRunsTheTimerThenStopKeepsIt) {
    openShown();
    typeCandidates(QStringLiteral("张三\n李四\n王五\n\n\n"));
    clickStartStop();
    EXPECT_EQ(pick()->text(), QStringLiteral("张三"));
    EXPECT_EQ(startStop()->text(), QStringLiteral("停止滚动"));
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 50);
    EXPECT_EQ(editorText(), QStringLiteral("张三\r\n李四\r\n王五"));

    clickStartStop();
    EXPECT_FALSE(timer()->isActive());
    EXPECT_EQ(startStop()->text(), QStringLiteral("开始滚动"));
    EXPECT_EQ(pick()->text(), QStringLiteral("张三"));
    EXPECT_EQ(pick()->accessibleName(), QStringLiteral("抽取结果：张三"));  // what a screen reader hears
}

TEST_F(DrawInWindowTest, ALongPickShowsItsStart) {
    openShown();
    const QString longPick = QStringLiteral("一二三四五六七八九十").repeated(3);
    editor()->setPlainText(longPick);
    clickStartStop();
    EXPECT_EQ(pick()->text(), longPick);
    EXPECT_EQ(pick()->cursorPosition(), 0);
}

TEST_F(DrawInWindowTest, RealTimerShowsOnlyCandidates) {
    openShown();
    typeCandidates(QStringLiteral("x\ny\nz"));
    interval()->setText(QStringLiteral("1"));
    clickStartStop();
    QSignalSpy ticks(timer(), &QTimer::timeout);
    ASSERT_TRUE(ticks.wait(2000));
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 5, 5000);
    const QStringList allowed = {"x", "y", "z"};
    EXPECT_TRUE(allowed.contains(pick()->text())) << qPrintable(pick()->text());
}

// Long work shows what it does in the title under a wait cursor, and a click made meanwhile
// (waiting in the queue) is not taken when the work ends; after short work it would be.
TEST_F(DrawInWindowTest, StartOnALongListShowsItsWorkAndTakesNoClickMadeMeanwhile) {
    const QString untidy = (QString(200, QLatin1Char('x')) + QStringLiteral("\n\n")).repeated(1500);
    openShown();
    QStringList titles;
    QObject::connect(form.get(), &QWidget::windowTitleChanged, [&titles](const QString& title) {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        titles << title + (cursor != nullptr && cursor->shape() == Qt::WaitCursor ? " (wait)" : "");
    });
    const auto queueClickOn = [](QWidget* button) {
        const QPointF at(button->rect().center());
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(button, new QMouseEvent(type, at, button->mapToGlobal(at),
                                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        }
    };
    for (const bool longList : {false, true}) {
        SCOPED_TRACE(longList);
        editor()->setPlainText(longList ? untidy : QStringLiteral("a\n\nb"));
        titles.clear();
        dialog.calls = 0;
        queueClickOn(chooseFile());
        clickStartStop();
        QCoreApplication::processEvents();
        EXPECT_EQ(dialog.calls, longList ? 0 : 1);
        EXPECT_EQ(titles, longList ? QStringList({"Zorbalin - 正在整理名单 (wait)",
                                                  "Zorbalin - 正在显示名单 (wait)", "Zorbalin (wait)"})
                                   : QStringList());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::focusWidget(), startStop());
        clickStartStop();
    }
}

// The click takes the focus from the field first: it is left, so it is tidied before the Start.
TEST_F(DrawInWindowTest, ClickingStartFromTheIntervalFieldTidiesItFirst) {
    openShown();
    editor()->setPlainText(QStringLiteral("a\nb"));
    interval()->setFocus(Qt::MouseFocusReason);
    interval()->clear();
    QTest::keyClicks(interval(), "120ms");
    clickStartStop();
    EXPECT_EQ(interval()->text(), "120");
    EXPECT_EQ(timer()->interval(), 120);
    EXPECT_TRUE(timer()->isActive());
}

TEST_F(DrawInWindowTest, DeactivatingTheWindowDoesNotTidyTheIntervalField) {
    openShown();
    interval()->setFocus(Qt::MouseFocusReason);
    interval()->setText(QStringLiteral("120ms"));
    QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(interval(), &deactivated);
    EXPECT_EQ(interval()->text(), "120ms");
}

TEST_F(DrawInWindowTest, BlanksAndNoBreakSpacesReachTheDrawUntouched) {
    openShown();
    const QString first = QStringLiteral("  a\u00A0 ");
    editor()->setPlainText(first + QStringLiteral("\n b"));
    clickStartStop();
    EXPECT_EQ(pick()->text(), first);
    EXPECT_EQ(editorText(), first + QStringLiteral("\r\n b"));
}

}  // namespace
}  // namespace zorbalin::test
