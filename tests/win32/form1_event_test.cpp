// The window's options for the event: the small window over the slides and the dialog that
// asks how many are drawn at once, wired to the shared window.
#include "form1_fixture.h"

#include <commctrl.h>

#include <string>

namespace zorbalin::win32::testing {
namespace {

using EventTest = Form1Test;

// Its flags keep it on top and out of the focus; clicks on it do not activate it, its button
// starts the draw with Form1 still active, a dialog over Form1 disables it, its close mark
// hides it.
TEST_F(EventTest, FloatingWindowTakesNoFocusAndRoutesItsButtonAndCloseMark) {
    openShown();
    typeText(editor(), u"甲\r\n乙\r\n丙");
    choosePickMenu(layout::WindowCommand::ToggleFloating);
    const HWND floating = form->floating().window();
    ASSERT_TRUE(floating != nullptr && IsWindowVisible(floating));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(floating, GWL_EXSTYLE));
    EXPECT_EQ(exStyle & kFloatingExStyle, kFloatingExStyle);
    EXPECT_EQ(SendMessageW(floating, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(floating),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    EXPECT_EQ(textOf(form->floating().button()), u"开始滚动");

    // No press of its button while a dialog is open over Form1.
    bool enabledMeanwhile = true;
    dialog.answer = [&] {
        enabledMeanwhile = IsWindowEnabled(floating) != FALSE;
        return std::u16string();
    };
    click(chooseFile());
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(floating));

    queueClick(form->floating().button(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(pumpUntil([this] { return scrolling(); }));
    EXPECT_EQ(GetForegroundWindow(), form->window());
    EXPECT_EQ(textOf(form->floating().button()), u"停止滚动");

    queueClick(form->floating().closeMark(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(pumpUntil([floating] { return !IsWindowVisible(floating); }));
    EXPECT_EQ(GetForegroundWindow(), form->window());
}

// What the timer below does once the dialog is there: types into its field, then a key.
struct DialogAnswer {
    static inline std::u16string typed;
    static inline WPARAM key = 0;
    static inline bool seen = false;
    static void CALLBACK answer(HWND, UINT, UINT_PTR timer, DWORD) {
        const HWND dialog = FindWindowW(L"Zorbalin.DrawCount", nullptr);
        if (dialog == nullptr || !IsWindowVisible(dialog)) return;
        KillTimer(nullptr, timer);
        seen = true;
        const HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
        if (!typed.empty()) typeText(field, typed);
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    }
};

// Enter takes the number typed (one beyond the list taken as all), Esc keeps the count; the
// record window shows the 次序 column once a draw is of several.
TEST_F(EventTest, DrawCountDialogSetsTheCountOrCancels) {
    openShown();
    typeText(editor(), u"甲\r\n乙\r\n丙");
    const auto picksShown = [this] {
        click(startStop());
        click(startStop());
        std::size_t picks = 1;
        for (const char16_t c : textOf(pick())) picks += c == u'、' ? 1 : 0;
        return picks;
    };
    const auto recordColumns = [] {
        const HWND record = FindWindowW(nullptr, L"抽取记录");
        const HWND list = FindWindowExW(record, nullptr, WC_LISTVIEWW, nullptr);
        return SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0);
    };
    struct Case {
        std::u16string typed;
        WPARAM key;
        std::size_t picks;
        LRESULT columns;
    };
    const Case cases[] = {
        {u"2", VK_RETURN, 2, 4},
        {u"1", VK_ESCAPE, 2, 4},
        {u"9", VK_RETURN, 3, 4},
        {u"1", VK_RETURN, 1, 4},  // the record still holds draws of several
    };
    pressKey('H', {VK_CONTROL});
    ASSERT_EQ(recordColumns(), 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        DialogAnswer::typed = c.typed;
        DialogAnswer::key = c.key;
        DialogAnswer::seen = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &DialogAnswer::answer);
        SetForegroundWindow(form->window());
        choosePickMenu(layout::WindowCommand::AskDrawCount);
        KillTimer(nullptr, timer);
        ASSERT_TRUE(DialogAnswer::seen) << "no dialog";
        EXPECT_TRUE(IsWindowEnabled(form->window()));
        EXPECT_EQ(picksShown(), c.picks);
        EXPECT_EQ(recordColumns(), c.columns);
    }
}

}  // namespace
}  // namespace zorbalin::win32::testing
