// The draw as the window wires it: the start/stop button, the pick display, Timer1's ticks,
// the interval field, long work, and moving through the controls with the keys.
#include "form1_fixture.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "message_loop.h"

namespace zorbalin::win32::testing {
namespace {

using DrawTest = Form1Test;

// Command2 starts and stops, the real timer's ticks of either kind reach Timer1_Timer as
// messages of the window's thread, and the pick reaches Text1.
TEST_F(DrawTest, Command2StartsAndStopsTheTimerWhoseTicksArriveOnTheWindowsThread) {
    for (DrawTimerKind kind : {DrawTimerKind::HighResolutionWaitable, DrawTimerKind::TimerQueue}) {
        SCOPED_TRACE(static_cast<int>(kind));
        open(kind);
        typeText(editor(), u"x\r\ny\r\nz\r\n");
        typeText(interval(), u"5");
        click(startStop());
        EXPECT_EQ(textOf(editor()), u"x\r\ny\r\nz");
        EXPECT_EQ(textOf(pick()), u"x");
        EXPECT_EQ(textOf(startStop()), u"停止滚动");
        EXPECT_TRUE(form->timer().enabled());
        EXPECT_EQ(form->timer().interval(), 5);
        EXPECT_TRUE(pumpUntil([&] { return textOf(pick()) != u"x"; }));
        click(startStop());
        EXPECT_EQ(textOf(startStop()), u"开始滚动");
        EXPECT_FALSE(form->timer().enabled());
        form.reset();
    }
}

// The user's next edit is read from the control (EN_CHANGE), not from what was cached.
TEST_F(DrawTest, AnEditAfterTheTidyingIsWhatTheNextStartReads) {
    open();
    typeText(editor(), u"a\nb\n");
    click(startStop());
    EXPECT_EQ(textOf(editor()), u"a\r\nb");
    SendMessageW(editor(), EM_SETSEL, 0, 0);
    SendMessageW(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"z"));
    click(startStop());
    click(startStop());
    EXPECT_EQ(textOf(pick()), u"za");
}

// The window's captions, with whether the wait cursor was up at each.
struct CaptionRecorder {
    static inline HWND window = nullptr;
    static inline std::vector<std::u16string> captions;
    static LRESULT CALLBACK record(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->hwnd == window && message->message == WM_SETTEXT) {
            const bool wait = GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
            const std::u16string caption = reinterpret_cast<const char16_t*>(message->lParam);
            // A stage shown over something left unpainted in the window or its controls, such
            // as a closed dialog's image.
            bool unpainted = GetUpdateRect(window, nullptr, FALSE) != FALSE;
            for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
                unpainted = unpainted || GetUpdateRect(child, nullptr, FALSE) != FALSE;
            }
            unpainted = unpainted && caption != layout::kWindowCaption;
            captions.push_back(caption + (wait ? u" (wait)" : u"") + (unpainted ? u" (unpainted)" : u""));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

// Long work shows what it does in the caption under a wait cursor, in a window painted first
// (here, where a dialog had covered it), and a click made meanwhile (waiting in the queue) is
// not taken when the work ends; after short work it would be.
TEST_F(DrawTest, StartOnALongListShowsItsWorkAndTakesNoClickMadeMeanwhile) {
    std::u16string untidy;
    for (int i = 0; i < 1500; ++i) untidy += std::u16string(200, u'x') + u"\r\n\r\n";
    openShown();
    CaptionRecorder::window = form->window();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &CaptionRecorder::record, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    for (const bool longList : {false, true}) {
        SCOPED_TRACE(longList);
        typeText(editor(), longList ? untidy : u"a\r\n\r\nb");
        CaptionRecorder::captions.clear();
        dialog.calls = 0;
        pumpMessages();
        RedrawWindow(form->window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        queueClick(chooseFile(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        click(startStop());
        pumpMessages();
        EXPECT_EQ(dialog.calls, longList ? 0 : 1);
        const std::vector<std::u16string> shown = {
            u"Zorbalin - 正在整理名单 (wait)", u"Zorbalin - 正在显示名单 (wait)", u"Zorbalin (wait)"};
        EXPECT_EQ(CaptionRecorder::captions, longList ? shown : std::vector<std::u16string>());
        click(startStop());
    }
    UnhookWindowsHookEx(hook);
}

TEST_F(DrawTest, LeavingTheWindowDoesNotNormalizeTheInterval) {
    openShown();
    SetFocus(interval());
    typeText(interval(), u"120ms");
    // Another program's window takes the focus: the window is deactivated, not left.
    HWND other = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                                 50, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    SetFocus(other);
    pumpMessages();
    EXPECT_NE(GetFocus(), interval());
    EXPECT_EQ(textOf(interval()), u"120ms");
    DestroyWindow(other);
}

TEST_F(DrawTest, TabAndShiftTabMoveThroughTheFieldsByTabIndexAndLeaveTheEditor) {
    openShown();
    const char* order[] = {"RichTextBox1", "Command1", "Command2", "Text1", "Text2"};
    for (int i = 1; i <= 5; ++i) {
        pressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), control(order[i % 5])) << order[i % 5];
    }
    for (int i = 4; i >= 0; --i) {
        pressKey(VK_TAB, {VK_SHIFT});
        EXPECT_EQ(GetFocus(), control(order[i])) << order[i];
    }
    EXPECT_EQ(textOf(editor()), u"") << "Tab typed nothing into the editor";
}

// Enter on a focused button presses it, once while it is held, in the window and in the record
// window.
TEST_F(DrawTest, EnterPressesTheFocusedButtonOnce) {
    openShown();
    typeText(editor(), u"a\r\nb");
    const auto holdEnter = [](HWND focus) {
        const MSG repeat{focus, WM_KEYDOWN, VK_RETURN, 1 << 30, 0, {}};  // sent again while held
        serveMessage(repeat);
    };
    SetFocus(startStop());
    pressKey(VK_RETURN);
    EXPECT_TRUE(scrolling());
    holdEnter(startStop());
    EXPECT_TRUE(scrolling());
    pressKey(VK_RETURN);
    EXPECT_FALSE(scrolling());
    SetFocus(chooseFile());
    pressKey(VK_RETURN);
    EXPECT_EQ(dialog.calls, 1);

    pressKey('H', {VK_CONTROL});
    const HWND record = FindWindowW(nullptr, L"抽取记录");
    ASSERT_NE(record, nullptr);
    const HWND list = FindWindowExW(record, nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
    SetFocus(FindWindowExW(record, nullptr, L"Button", L"清空"));
    pressKey(VK_RETURN);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
}

// Real keys through the program's loop: each means what it means in the Linux program, and
// none closes the window or changes a text it was not typed into.
TEST_F(DrawTest, KeysWithoutAMeaningInTheWindowChangeNothing) {
    struct KeyCase {
        const char* focus;
        WORD key;
        WORD modifier;
        const char* focusAfter;
        const char16_t* editorAfter;
    };
    const KeyCase cases[] = {
        {"RichTextBox1", VK_ESCAPE, 0, "RichTextBox1", u"a\r\nb"},
        {"Text2", VK_ESCAPE, 0, "Text2", u"a\r\nb"},
        {"Command2", VK_ESCAPE, 0, "Command2", u"a\r\nb"},
        {"RichTextBox1", VK_RETURN, 0, "RichTextBox1", u"a\r\nb\r\n"},
        {"RichTextBox1", VK_RETURN, VK_CONTROL, "RichTextBox1", u"a\r\nb\r\n"},
        {"Text2", VK_RETURN, 0, "Text2", u"a\r\nb"},
        {"Text1", VK_RETURN, 0, "Text1", u"a\r\nb"},
        {"Command2", 'S', VK_MENU, "Command2", u"a\r\nb"},
        {"Text2", 'S', VK_MENU, "Text2", u"a\r\nb"},
        {"RichTextBox1", VK_TAB, VK_CONTROL, "RichTextBox1", u"a\r\nb"},
        {"Command1", VK_LEFT, 0, "RichTextBox1", u"a\r\nb"},
        {"Command1", VK_DOWN, 0, "Command2", u"a\r\nb"},
        {"Command2", VK_UP, 0, "Command1", u"a\r\nb"},
        {"Command2", VK_RIGHT, 0, "Text1", u"a\r\nb"},
    };
    openShown();
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.focus << " key " << c.key << " with " << c.modifier);
        SetFocus(control(c.focus));
        typeText(editor(), u"a\r\nb");
        SendMessageW(editor(), EM_SETSEL, 4, 4);
        typeText(interval(), u"120ms");
        pumpMessages();
        c.modifier != 0 ? pressKey(c.key, {c.modifier}) : pressKey(c.key);
        ASSERT_TRUE(IsWindowVisible(form->window()));
        EXPECT_EQ(GetFocus(), control(c.focusAfter));
        EXPECT_EQ(textOf(editor()), c.editorAfter);
        EXPECT_EQ(textOf(interval()), u"120ms");
        EXPECT_FALSE(scrolling());
        EXPECT_EQ(dialog.calls, 0);
    }
}

}  // namespace
}  // namespace zorbalin::win32::testing
