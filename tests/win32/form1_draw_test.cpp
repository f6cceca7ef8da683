// The draw in the window: the start/stop button, the pick display, Timer1's ticks, the
// interval field, and moving through the controls with Tab.
#include "form1_fixture.h"

#include <set>
#include <string>
#include <vector>

namespace zorbalin::win32::testing {
namespace {

using DrawTest = Form1Test;

TEST_F(DrawTest, StartShowsTheFirstLineThenTicksPickAndStopKeepsTheResult) {
    openShown();
    typeText(editor(), u"x\r\n\r\ny\r\nz\r\n");
    click(startStop());
    EXPECT_EQ(textOf(editor()), u"x\r\ny\r\nz");
    EXPECT_EQ(textOf(pick()), u"x");
    EXPECT_EQ(textOf(startStop()), u"停止滚动");
    EXPECT_TRUE(form->timer().enabled());
    EXPECT_EQ(form->timer().interval(), 50);

    std::set<std::u16string> shown;
    for (int i = 0; i < 200; ++i) {
        tick();
        shown.insert(textOf(pick()));
    }
    EXPECT_EQ(shown, (std::set<std::u16string>{u"x", u"y", u"z"}));

    click(startStop());
    EXPECT_EQ(textOf(startStop()), u"开始滚动");
    EXPECT_FALSE(form->timer().enabled());
    const std::u16string result = textOf(pick());
    for (int i = 0; i < 20; ++i) tick();  // late ticks change nothing
    EXPECT_EQ(textOf(pick()), result);
}

TEST_F(DrawTest, StartTidiesTheEditorWhateverTheTidyingRemoves) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"a\r\nb\r\n", u"a\r\nb"},              // the final break only
        {u"a\r\n\r\n\r\nb", u"a\r\nb"},          // breaks inside
        {u"a\nb\n", u"a\r\nb"},                  // as a paste may leave them
        {u"a\r\nb", u"a\r\nb"}};                 // nothing
    for (const auto& [typed, tidied] : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::u16string(typed)));
        open();
        typeText(editor(), typed);
        click(startStop());
        EXPECT_EQ(textOf(editor()), tidied);
        EXPECT_EQ(textOf(pick()), u"a");
        // The user's next edit is read from the control, not from what was cached.
        SendMessageW(editor(), EM_SETSEL, 0, 0);
        SendMessageW(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"z"));
        click(startStop());
        click(startStop());
        EXPECT_EQ(textOf(pick()), u"za");
        form.reset();
    }
}

// The window's captions and whether the wait cursor was up at each, seen from a hook on the
// messages the thread's windows get.
struct CaptionRecorder {
    static inline HWND window = nullptr;
    static inline std::vector<std::u16string> captions;
    static LRESULT CALLBACK record(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->hwnd == window && message->message == WM_SETTEXT) {
            const bool wait = GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
            captions.push_back(reinterpret_cast<const char16_t*>(message->lParam) +
                               std::u16string(wait ? u" (wait)" : u""));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

// A real click on the control, left waiting in the queue.
void queueClickOn(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    const auto absolute = [](LONG at, int metric) {
        return static_cast<LONG>((at * 65536 + GetSystemMetrics(metric) / 2) / GetSystemMetrics(metric));
    };
    INPUT inputs[3]{};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = absolute((rect.left + rect.right) / 2, SM_CXSCREEN);
        input.mi.dy = absolute((rect.top + rect.bottom) / 2, SM_CYSCREEN);
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    inputs[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(3, inputs, sizeof(INPUT)), 3u);
}

// Long work shows what it does in the caption under a wait cursor, and a click made meanwhile
// (waiting in the queue) is not taken when the work ends; after short work it would be.
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
        queueClickOn(chooseFile());
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

struct IntervalCase {
    const char16_t* typed;
    const char16_t* shown;  // after leaving the field
    int timerMs;            // after a Start
};

class IntervalFieldTest : public Form1Test, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(IntervalFieldTest, LeavingForAnotherControlNormalizesAndStartUsesTheValue) {
    const IntervalCase& c = GetParam();
    openShown();
    typeText(editor(), u"x");
    SetFocus(interval());
    typeText(interval(), c.typed);
    SetFocus(startStop());  // as a click on the button moves the focus first
    EXPECT_EQ(textOf(interval()), c.shown);
    click(startStop());
    EXPECT_EQ(form->timer().interval(), c.timerMs);
}

INSTANTIATE_TEST_SUITE_P(Cases, IntervalFieldTest,
                         ::testing::Values(IntervalCase{u"120ms", u"120", 120},
                                           IntervalCase{u"2.5", u"2.5", 2},
                                           IntervalCase{u"１２０", u"120", 120}));

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

TEST_F(DrawTest, TimerTicksArriveOnTheWindowsThread) {
    for (DrawTimerKind kind : {DrawTimerKind::HighResolutionWaitable, DrawTimerKind::TimerQueue}) {
        SCOPED_TRACE(static_cast<int>(kind));
        open(kind);
        std::u16string candidates;
        for (int i = 0; i < 100; ++i) candidates += u"item" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u"\r\n";
        typeText(editor(), candidates);
        typeText(interval(), u"5");
        click(startStop());
        const std::u16string first = textOf(pick());
        // Served by this thread's own message pump: the ticks come as window messages.
        EXPECT_TRUE(pumpUntil([&] { return textOf(pick()) != first; }));
        click(startStop());
        form.reset();
    }
}

TEST_F(DrawTest, TabAndShiftTabMoveThroughTheFieldsByTabIndexAndLeaveTheEditor) {
    openShown();
    ASSERT_EQ(GetFocus(), editor());
    const char* order[] = {"Command1", "Command2", "Text1", "Text2", "RichTextBox1"};
    for (const char* next : order) {
        pressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), control(next)) << next;
    }
    EXPECT_EQ(textOf(editor()), u"") << "Tab typed nothing into the editor";
    const char* reverse[] = {"Text2", "Text1", "Command2", "Command1", "RichTextBox1"};
    for (const char* previous : reverse) {
        pressKey(VK_TAB, {VK_SHIFT});
        EXPECT_EQ(GetFocus(), control(previous)) << previous;
    }
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
        {"Command1", VK_RETURN, 0, "Command1", u"a\r\nb"},
        {"Command2", VK_RETURN, 0, "Command2", u"a\r\nb"},
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
        if (c.modifier != 0) {
            pressKey(c.key, {c.modifier});
        } else {
            pressKey(c.key);
        }
        ASSERT_TRUE(IsWindowVisible(form->window()));
        EXPECT_EQ(GetFocus(), control(c.focusAfter));
        EXPECT_EQ(textOf(editor()), c.editorAfter);
        EXPECT_EQ(textOf(interval()), u"120ms");
        EXPECT_EQ(textOf(startStop()), u"开始滚动");
        EXPECT_EQ(dialog.calls, 0);
    }
}

TEST_F(DrawTest, EachFieldFollowsTheLabelThatNamesIt) {
    // Screen readers name a field after the label just before it.
    open();
    const std::pair<const char*, const char*> pairs[] = {
        {"Label1", "Text1"}, {"Label3", "Text2"}, {"Label2", "RichTextBox1"}};
    for (const auto& [label, field] : pairs) {
        EXPECT_EQ(GetWindow(control(field), GW_HWNDPREV), control(label)) << field;
    }
    EXPECT_EQ(GetWindow(control("Label3"), GW_HWNDPREV), control("Label4"));
}

}  // namespace
}  // namespace zorbalin::win32::testing
