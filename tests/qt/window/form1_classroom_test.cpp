// The classroom options as the window wires them: the menu on the pick display, the keys
// that work anywhere in the window, the presentation view and the record window.
#include <QAccessible>
#include <QClipboard>
#include <QHeaderView>
#include <QInputDialog>
#include <QToolButton>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTreeWidget>

#include "failing_allocations.h"
#include "floating_window.h"
#include "file_dialog_driver.h"
#include "form1_fixture.h"
#include "layout/texts.h"
#include "message_box_catcher.h"
#include "presentation_view.h"

namespace zorbalin::test {
namespace {

class ClassroomTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        openShown();
        editor()->setPlainText(QStringLiteral("甲\n乙\n丙"));
    }

    static void press(QWidget* to, Qt::Key key, Qt::KeyboardModifiers held = Qt::NoModifier) {
        QTest::keyClick(to, key, held);
    }
    QMenu* openMenu(bool byKey) {
        if (byKey) {
            press(pick(), Qt::Key_F10, Qt::ShiftModifier);
        } else {
            QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), pick()->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(pick(), &click);
        }
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    void chooseFromMenu(const QString& text) {
        QMenu* menu = openMenu(false);
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text().section(u'\t', 0, 0) == text) action->trigger();
        }
        menu->close();
    }
    window::PresentationView* view() { return form->findChild<window::PresentationView*>(); }
    QWidget* recordWindow() { return form->findChild<QWidget*>(QStringLiteral("RecordWindow")); }
    QTreeWidget* recordList() { return form->findChild<QTreeWidget*>(QStringLiteral("RecordList")); }
    void clickRecordButton(std::u16string_view caption) {
        for (QPushButton* button : recordWindow()->findChildren<QPushButton*>()) {
            if (button->text() == qs(std::u16string(caption))) QTest::mouseClick(button, Qt::LeftButton);
        }
    }
    bool scrolling() { return timer()->isActive(); }
    // The small window is a window of its own, not the main window's child.
    static window::FloatingWindow* floating() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<window::FloatingWindow*>(widget)) return found;
        }
        return nullptr;
    }
    bool menuChecks(const QString& text) {
        QMenu* menu = openMenu(false);
        bool checked = false;
        for (QAction* action : menu->actions()) {
            if (action->text() == text) checked = action->isChecked();
        }
        menu->close();
        return checked;
    }
};

TEST_F(ClassroomTest, PickMenuOpensByMouseAndShiftF10WithTheSharedEntries) {
    EXPECT_EQ(pick()->toolTip(), qs(layout::pickToolTip()));
    for (const bool noRepeat : {false, true}) {
        for (const bool byKey : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "noRepeat " << noRepeat << ", by key " << byKey);
            QMenu* menu = openMenu(byKey);
            ASSERT_NE(menu, nullptr);
            QStringList shown;
            for (const QAction* action : menu->actions()) {
                shown << action->text() + (action->isCheckable() ? (action->isChecked() ? " [x]" : " [ ]") : "") +
                             (action->isEnabled() ? "" : " (off)");
            }
            const QString check = noRepeat ? " [x]" : " [ ]";
            EXPECT_EQ(shown, QStringList({"复制 (off)", "全选 (off)", "", "演示模式\tF11", "不重复抽取" + check,
                                          noRepeat ? "重新开始一轮" : "重新开始一轮 (off)", "抽取记录…\tCtrl+H",
                                          "每次抽取人数…", "缓停 [ ]", "悬浮窗 [ ]"}));
            menu->close();
        }
        chooseFromMenu(QStringLiteral("不重复抽取"));
    }
    closeWindow();
    EXPECT_EQ(storedSetting("NoRepeat").toString(), "0");  // on, then off again
}

TEST_F(ClassroomTest, WindowKeysWorkFromEveryControlAndLeaveOtherKeysAlone) {
    const QList<QWidget*> controls = {editor(), pick(), interval(), startStop(), chooseFile()};
    for (QWidget* focus : controls) {
        SCOPED_TRACE(qPrintable(focus->objectName()));
        focus->setFocus(Qt::OtherFocusReason);
        interval()->setText(QStringLiteral("120ms"));
        press(focus, Qt::Key_F5);
        EXPECT_TRUE(scrolling());
        // F5 does what the click does, which would have taken the focus from the field.
        EXPECT_EQ(interval()->text(), focus == interval() ? "120" : "120ms");
        QKeyEvent repeated(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(focus, &repeated);
        EXPECT_TRUE(scrolling());
        press(focus, Qt::Key_F5);
        EXPECT_FALSE(scrolling());

        press(focus, Qt::Key_H, Qt::ControlModifier);
        ASSERT_NE(recordWindow(), nullptr);
        EXPECT_TRUE(recordWindow()->isVisible());
        recordWindow()->close();

        press(focus, Qt::Key_F11);
        ASSERT_NE(view(), nullptr);
        EXPECT_TRUE(view()->isVisible());
        press(view(), Qt::Key_F11);
        EXPECT_FALSE(view()->isVisible());
    }
    editor()->setFocus(Qt::OtherFocusReason);
    press(editor(), Qt::Key_End, Qt::ControlModifier);
    press(editor(), Qt::Key_H);
    EXPECT_EQ(editorText(), "甲\r\n乙\r\n丙h");
    press(editor(), Qt::Key_F10, Qt::ShiftModifier);  // the pick display's key only
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// The program's keys work in its other windows too; Enter presses a focused button.
TEST_F(ClassroomTest, KeysWorkInTheRecordWindowAndEnterPressesAFocusedButton) {
    press(editor(), Qt::Key_H, Qt::ControlModifier);
    ASSERT_NE(recordWindow(), nullptr);
    press(recordList(), Qt::Key_F5);
    EXPECT_TRUE(scrolling());
    press(recordList(), Qt::Key_F5);
    press(recordList(), Qt::Key_Escape);
    EXPECT_FALSE(recordWindow()->isVisible());

    startStop()->setFocus(Qt::TabFocusReason);
    press(startStop(), Qt::Key_Return);
    EXPECT_TRUE(scrolling());
    press(startStop(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(scrolling());
    press(editor(), Qt::Key_F11);
    ASSERT_NE(view(), nullptr);
    press(view(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_TRUE(recordWindow()->isVisible());
}

TEST_F(ClassroomTest, PresentationViewShowsTheSamePickOverTheScreenAndItsInputRunsTheDraw) {
    interval()->setText(QStringLiteral("1"));
    press(editor(), Qt::Key_F11);
    window::PresentationView* shown = view();
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(shown));
    EXPECT_EQ(shown->windowTitle(), "Zorbalin 演示");
    EXPECT_TRUE(shown->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(shown->geometry(), form->screen()->geometry());
    EXPECT_EQ(shown->help(), qs(layout::presentationHelpLine(std::nullopt)));

    const std::function<void()> inputs[] = {
        [&] { press(shown, Qt::Key_Space); },
        [&] { press(shown, Qt::Key_Return); },
        [&] { press(shown, Qt::Key_Enter, Qt::KeypadModifier); },
        [&] { press(shown, Qt::Key_F5); },
        [&] { QTest::mouseClick(shown, Qt::LeftButton); },
    };
    for (const auto& input : inputs) {
        input();
        EXPECT_TRUE(scrolling());
        input();
        EXPECT_FALSE(scrolling());
    }

    press(shown, Qt::Key_Space);
    QSignalSpy ticks(timer(), &QTimer::timeout);
    ASSERT_TRUE(ticks.wait(2000));
    EXPECT_EQ(shown->picks(), QStringList(pick()->text()));
    press(shown, Qt::Key_Escape);
    EXPECT_FALSE(shown->isVisible());
    EXPECT_TRUE(scrolling());  // leaving leaves the draw as it is
    ASSERT_TRUE(ticks.wait(2000));
    startStop()->click();

    chooseFromMenu(QStringLiteral("不重复抽取"));
    chooseFromMenu(QStringLiteral("演示模式"));
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->help(), qs(layout::presentationHelpLine(draw::RoundCount{3, 3})));
}

// The measure wraps a long pick, so that it gets a larger font than one line would allow.
TEST_F(ClassroomTest, PresentationFitsAShortPickLargeAndWrapsALongOne) {
    const QString longPick = QStringLiteral("一二三四五六七八九十").repeated(8);
    editor()->setPlainText(QStringLiteral("甲\n") + longPick);
    press(editor(), Qt::Key_F11);
    ASSERT_NE(view(), nullptr);
    press(view(), Qt::Key_F5);
    ASSERT_EQ(view()->picks(), QStringList("甲"));
    view()->grab();
    EXPECT_GT(view()->pickPixels(), view()->height() / 3);
    press(view(), Qt::Key_F5);
    editor()->setPlainText(longPick);
    press(view(), Qt::Key_F5);
    ASSERT_EQ(view()->picks(), QStringList(longPick));
    view()->grab();
    EXPECT_GT(view()->pickPixels(), 2 * view()->width() / longPick.size());
}

TEST_F(ClassroomTest, RecordWindowFollowsTheRecordAndItsButtonsCopySaveAndClear) {
    press(editor(), Qt::Key_H, Qt::ControlModifier);
    ASSERT_NE(recordWindow(), nullptr);
    EXPECT_FALSE(recordWindow()->isModal());
    EXPECT_EQ(recordWindow()->windowTitle(), "抽取记录");
    for (int draw = 0; draw < 2; ++draw) {
        press(editor(), Qt::Key_F5);
        press(editor(), Qt::Key_F5);
    }
    ASSERT_EQ(recordList()->topLevelItemCount(), 2);
    const QTreeWidgetItem* last = recordList()->topLevelItem(1);
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(last->text(0)).hasMatch());
    EXPECT_TRUE(recordList()->isColumnHidden(1)) << "no draw numbers while one is drawn at a time";
    EXPECT_EQ(last->text(2), "");
    EXPECT_EQ(last->text(3), "甲");

    clickRecordButton(layout::kRecordCopyButton);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(copied, recordList()->topLevelItem(0)->text(0) + "\t\t甲\r\n" + last->text(0) + "\t\t甲\r\n");

    const QString path = files.filePath(QStringLiteral("saved.txt"));
    FileDialogDriver driver([&](QFileDialog& save) {
        EXPECT_EQ(save.windowTitle(), "另存为");
        EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(save.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(), "抽取记录.txt");
        EXPECT_EQ(FileDialogDriver::visibleNameFilters(save), QStringList({"文本文件(*.txt)", "所有文件(*.*)"}));
        save.selectFile(path);
        QMetaObject::invokeMethod(&save, "accept");
    });
    clickRecordButton(layout::kRecordSaveButton);
    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(readFile(path), "\xEF\xBB\xBF" + copied.toUtf8());

    clickRecordButton(layout::kRecordClearButton);
    EXPECT_EQ(recordList()->topLevelItemCount(), 0);
    press(editor(), Qt::Key_F5);
    press(editor(), Qt::Key_F5);
    EXPECT_EQ(recordList()->topLevelItemCount(), 1);
}

// How many at once is asked in a dialog over the window; several are a grid in the view, in
// one font, and the record shows their draw number.
TEST_F(ClassroomTest, SeveralAtOnceAreAskedForAndShownAsAGridWithTheirDrawNumbers) {
    editor()->setPlainText(QStringLiteral("甲\n乙\n丙\n丁"));
    press(editor(), Qt::Key_H, Qt::ControlModifier);
    for (const int answer : {0, 3}) {  // Esc, then 3 and Enter
        bool asked = false;
        QTimer::singleShot(0, [&] {
            auto* count = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(count, nullptr);
            asked = true;
            EXPECT_EQ(count->parentWidget(), form.get());
            EXPECT_EQ(count->windowTitle(), "每次抽取人数");
            EXPECT_EQ(count->labelText(), qs(layout::drawCountLabel(4)));
            EXPECT_EQ(count->intValue(), 1);
            EXPECT_EQ(count->intMaximum(), 4);
            count->setIntValue(answer);
            QTest::keyClick(count->focusWidget(), answer == 0 ? Qt::Key_Escape : Qt::Key_Return);
        });
        chooseFromMenu(QStringLiteral("每次抽取人数…"));
        EXPECT_TRUE(asked);
    }
    press(editor(), Qt::Key_F11);
    ASSERT_NE(view(), nullptr);
    press(view(), Qt::Key_F5);
    press(view(), Qt::Key_F5);
    const QStringList shown = view()->picks();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown.join(u'、'), pick()->text()) << "in the order drawn";
    EXPECT_EQ(QSet<QString>(shown.begin(), shown.end()).size(), 3);
    EXPECT_FALSE(recordList()->isColumnHidden(1));
    EXPECT_EQ(recordList()->headerItem()->text(1), "次序");
    ASSERT_EQ(recordList()->topLevelItemCount(), 3);
    EXPECT_EQ(recordList()->topLevelItem(2)->text(1), "1");

    // One size for all: the largest in which every pick fits its cell.
    const auto fittedPixels = [&](const std::vector<std::u16string>& picks) {
        view()->showPicks(picks, u"");
        view()->grab();
        return view()->pickPixels();
    };
    const int one = fittedPixels({u"甲"});
    const int two = fittedPixels({u"甲", u"乙"});
    const int withLong = fittedPixels({u"甲", u"一二三四五六七八九十一二三四五六七八九十"});
    EXPECT_LT(two, one);
    EXPECT_LT(withLong, two);
    EXPECT_GE(withLong, layout::kPresentationSmallestPickPixels);
}

TEST_F(ClassroomTest, FloatingWindowStaysOnTopTakesNoFocusRunsTheDrawAndIsKeptWhereDragged) {
    chooseFromMenu(QStringLiteral("悬浮窗"));
    window::FloatingWindow* small = floating();
    ASSERT_NE(small, nullptr);
    EXPECT_TRUE(small->isVisible());
    EXPECT_EQ(small->windowTitle(), "Zorbalin 悬浮窗");
    const Qt::WindowFlags flags = small->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(flags.testFlag(Qt::X11BypassWindowManagerHint));
    EXPECT_TRUE(small->testAttribute(Qt::WA_ShowWithoutActivating));
    auto* button = small->findChild<QPushButton*>(QStringLiteral("FloatingButton"));
    auto* closeMark = small->findChild<QToolButton*>(QStringLiteral("FloatingClose"));
    ASSERT_TRUE(button != nullptr && closeMark != nullptr);
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(closeMark->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(closeMark->accessibleName(), "关闭悬浮窗");
    const QRect room = form->screen()->availableGeometry();
    EXPECT_TRUE(room.contains(small->frameGeometry()));
    EXPECT_GT(small->x(), room.center().x()) << "near the top right";
    EXPECT_LT(small->y(), room.center().y());
    EXPECT_TRUE(menuChecks(QStringLiteral("悬浮窗")));

    EXPECT_EQ(button->text(), "开始滚动");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(scrolling());
    EXPECT_EQ(button->text(), "停止滚动");
    EXPECT_EQ(small->pick(), pick()->text());
    press(editor(), Qt::Key_F5);
    EXPECT_EQ(button->text(), "开始滚动");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(small)->text(QAccessible::Description), pick()->text());

    const QPoint from = small->pos();
    QTest::mousePress(small, Qt::LeftButton, {}, QPoint(20, 40));
    QTest::mouseMove(small, QPoint(60, 90));
    QTest::mouseRelease(small, Qt::LeftButton, {}, QPoint(60, 90));
    EXPECT_EQ(small->pos(), from + QPoint(40, 50));
    EXPECT_FALSE(scrolling()) << "a drag is no press";

    QTest::mouseClick(closeMark, Qt::LeftButton);
    EXPECT_FALSE(small->isVisible());
    EXPECT_FALSE(menuChecks(QStringLiteral("悬浮窗")));
    closeWindow();
    EXPECT_EQ(storedSetting("Floating").toString(), "0");
    EXPECT_EQ(storedSetting("FloatingPosition").toString(),
              QStringLiteral("%1,%2").arg(from.x() + 40).arg(from.y() + 50));

    // Remembered open at a place no screen has: it opens with the window, on the screen.
    storeSetting("Floating", "1");
    storeSetting("FloatingPosition", "99999,99999");
    form.reset();
    open().show();  // (offscreen activates every window shown: the focus is the e2e test's)
    ASSERT_TRUE(QTest::qWaitFor([] { return floating() != nullptr && floating()->isVisible(); }, 2000));
    EXPECT_TRUE(form->screen()->availableGeometry().contains(floating()->frameGeometry()));
}

// A screen reader finds a window named by its title in the view, and the result in it once
// the draw has stopped; the pick display's name is the result.
TEST_F(ClassroomTest, ScreenReaderFindsTheResultInTheViewOnceTheDrawStopped) {
    press(editor(), Qt::Key_F11);
    ASSERT_NE(view(), nullptr);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(view());
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Window);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Zorbalin 演示");
    press(view(), Qt::Key_F5);
    press(view(), Qt::Key_F5);
    EXPECT_EQ(accessible->text(QAccessible::Description), pick()->text());
    EXPECT_EQ(pick()->accessibleName(), qs(layout::resultAnnouncement(window::fromQString(pick()->text()))));
}

// The view covers the window: a box about a failure there must be over it, or it is hidden.
TEST_F(ClassroomTest, AFailureInThePresentationViewIsToldOverIt) {
    press(editor(), Qt::Key_F11);
    ASSERT_NE(view(), nullptr);
    MessageBoxCatcher boxes;
    for (std::size_t step = 1; step < 20 && boxes.caught().empty(); ++step) {
        editor()->setPlainText(QStringLiteral("候选人\n\n").repeated(3000));
        zorbalin::testing::FailingAllocations::arm(16 * 1024, step);
        press(view(), Qt::Key_F5);
        zorbalin::testing::FailingAllocations::disarm();
        if (scrolling()) press(view(), Qt::Key_F5);
    }
    ASSERT_EQ(boxes.caught().size(), 1);
    EXPECT_EQ(boxes.caught()[0].parent, view());
}

}  // namespace
}  // namespace zorbalin::test
