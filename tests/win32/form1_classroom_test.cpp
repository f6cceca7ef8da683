// The classroom options in the window: the menu on Text1 and its tooltip, the window's keys,
// the presentation view and the record window, driven by real input through the program's
// loop.
#include "form1_fixture.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace zorbalin::win32::testing {
namespace {

using ClassroomTest = Form1Test;

// Reads the menu as it opens, then leaves keys in the queue for the menu's own loop.
struct MenuProbe {
    static inline std::vector<std::u16string> offered;
    static inline std::vector<WPARAM> keys;
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->message == WM_INITMENUPOPUP) {
            const auto menu = reinterpret_cast<HMENU>(message->wParam);
            offered.clear();
            for (UINT at = 0; at < static_cast<UINT>(GetMenuItemCount(menu)); ++at) {
                const UINT state = GetMenuState(menu, at, MF_BYPOSITION);
                wchar_t text[64]{};
                GetMenuStringW(menu, at, text, 64, MF_BYPOSITION);
                offered.push_back((state & MF_SEPARATOR) != 0 ? u"-"
                                  : fromWide(text) + ((state & MF_CHECKED) != 0 ? u" (checked)" : u"") +
                                        ((state & MF_GRAYED) != 0 ? u" (grayed)" : u""));
            }
            for (const WPARAM key : keys) PostMessageW(message->hwnd, WM_KEYDOWN, key, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

std::u16string clipboardText() {
    std::u16string text;
    if (!OpenClipboard(nullptr)) return u"<not open>";
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const char16_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::u16string cell(HWND list, int row, int column) {
    wchar_t text[256]{};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return fromWide(text);
}

TEST_F(ClassroomTest, PickMenuOpensFromEachInputShowsTheSharedItemsAndRunsTheChosenOne) {
    openShown();
    typeText(editor(), u"a\r\nb");
    click(startStop());
    click(startStop());
    const std::u16string result = textOf(pick());
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &MenuProbe::hook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    // The menu as the shared window makes it, in the form the probe reads it.
    const auto shownMenu = [](const layout::PickMenuFacts& facts) {
        std::vector<std::u16string> shown;
        for (const layout::MenuEntry& entry : layout::pickMenu(facts)) {
            if (entry.command == layout::WindowCommand::None) {
                shown.push_back(u"-");
                continue;
            }
            std::u16string text(entry.text);
            if (!entry.keyName.empty()) (text += u'\t') += entry.keyName;
            if (entry.checked) text += u" (checked)";
            if (!entry.enabled) text += u" (grayed)";
            shown.push_back(text);
        }
        return shown;
    };
    // Up from the end of the menu to an entry (Wine's menus stop at grayed entries too).
    const auto upTo = [](layout::WindowCommand command) {
        const auto entries = layout::pickMenu({});
        std::size_t at = entries.size() - 1;
        while (at > 0 && entries[at].command != command) --at;
        std::vector<WPARAM> keys(entries.size() - at, VK_UP);
        keys.push_back(VK_RETURN);
        return keys;
    };
    enum class Open { RightButton, ShiftF10, MenuKey };
    struct Case {
        Open how;
        bool pickSelected;
        std::vector<WPARAM> keys;             // to the item chosen
        std::vector<std::u16string> offered;  // as shown, when checked
    };
    const Case cases[] = {
        {Open::RightButton, false, upTo(layout::WindowCommand::ToggleNoRepeat),
         shownMenu({.pickHasText = true})},
        {Open::ShiftF10, true, {VK_DOWN, VK_RETURN},  // 复制
         shownMenu({.pickHasText = true, .pickHasSelection = true, .noRepeat = true})},
        {Open::MenuKey, true, upTo(layout::WindowCommand::OpenRecord), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.how));
        MenuProbe::offered.clear();
        MenuProbe::keys = c.keys;
        SetFocus(pick());
        SendMessageW(pick(), EM_SETSEL, 0, c.pickSelected ? -1 : 0);
        switch (c.how) {
        case Open::RightButton:
            queueClick(pick(), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
            pumpMessages();
            break;
        case Open::ShiftF10: pressKey(VK_F10, {VK_SHIFT}); break;
        case Open::MenuKey: pressKey(VK_APPS); break;
        }
        ASSERT_FALSE(MenuProbe::offered.empty()) << "no menu";
        if (!c.offered.empty()) {
            EXPECT_EQ(MenuProbe::offered, c.offered);
        }
    }
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(clipboardText(), result);
    const HWND record = FindWindowW(nullptr, L"抽取记录");
    EXPECT_TRUE(record != nullptr && IsWindowVisible(record));

    // The tooltip of Text1 names the menu.
    wchar_t tip[256]{};
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = form->window();
    tool.uId = reinterpret_cast<UINT_PTR>(pick());
    tool.lpszText = tip;
    for (HWND tips = nullptr; (tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
        if (GetWindow(tips, GW_OWNER) == form->window()) {
            SendMessageW(tips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        }
    }
    EXPECT_EQ(fromWide(tip), layout::pickToolTip());
}

// F5, F11 and Ctrl+H work wherever the focus is in the window. Ctrl+H is then no backspace
// in the editor, and a key bound to nothing in the window keeps its meaning.
TEST_F(ClassroomTest, WindowKeysWorkWhereverTheFocusIs) {
    openShown();
    for (const char* focus : {"RichTextBox1", "Text1", "Text2", "Command1", "Command2"}) {
        SCOPED_TRACE(focus);
        typeText(editor(), u"a\r\nb");
        SendMessageW(editor(), EM_SETSEL, 4, 4);
        SetFocus(control(focus));
        pressKey(VK_F5);
        EXPECT_TRUE(scrolling());
        pressKey(VK_F5);
        EXPECT_FALSE(scrolling());
        pressKey('H', {VK_CONTROL});
        EXPECT_EQ(GetForegroundWindow(), FindWindowW(nullptr, L"抽取记录"));
        SetForegroundWindow(form->window());
        EXPECT_TRUE(pumpUntil([this] { return GetForegroundWindow() == form->window(); }));
        EXPECT_EQ(textOf(editor()), u"a\r\nb");
    }
    SetFocus(editor());
    SendMessageW(editor(), EM_SETSEL, 4, 4);
    pressKey(VK_SPACE);
    EXPECT_EQ(textOf(editor()), u"a\r\nb ");
}

// The view covers the screen without a frame, over Form1. Space, Enter, F5 and a click start
// and stop the draw, a click with Ctrl held does not, and the picks it is told are painted;
// Esc leaves it (F11 and its place on the screen: the end-to-end test).
TEST_F(ClassroomTest, PresentationViewTakesItsKeysAndPaintsWhatItIsTold) {
    openShown();
    typeText(editor(), u"a\r\nb\r\nc");
    pressKey(VK_F11);
    const HWND view = FindWindowW(nullptr, L"Zorbalin 演示");
    ASSERT_TRUE(view != nullptr && IsWindowVisible(view));
    EXPECT_EQ(GetForegroundWindow(), view);
    EXPECT_EQ(GetWindow(view, GW_OWNER), form->window());
    EXPECT_EQ(GetWindowLongPtrW(view, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    for (const WORD key : std::initializer_list<WORD>{VK_SPACE, VK_RETURN, VK_F5, 0}) {  // 0: a click
        const bool wasScrolling = scrolling();
        if (key == 0) {
            queueClick(view, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
            pumpMessages();
        } else {
            pressKey(key);
        }
        EXPECT_NE(scrolling(), wasScrolling) << "key " << key;
    }
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 0);
    EXPECT_FALSE(scrolling());
    pressKey(VK_SPACE);
    pumpMessages();
    const std::u16string first = textOf(pick());
    for (int i = 0; i < 100 && textOf(pick()) == first; ++i) tick();
    EXPECT_TRUE(GetUpdateRect(view, nullptr, FALSE));
    pressKey(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(view));
    EXPECT_TRUE(pumpUntil([this] { return GetForegroundWindow() == form->window(); }));
    EXPECT_TRUE(scrolling());
}

// The list follows the record as it grows and is cleared, and closing only hides it. Its
// boxes and its save dialog are over it, Form1 taking no input meanwhile; the file chosen is
// written. (复制 and the record's text: the end-to-end test.)
TEST_F(ClassroomTest, RecordWindowFollowsTheDrawsAndItsButtonsAreServedOverIt) {
    const std::wstring saved = files.file(L"记录.txt");
    saveAnswer = fromWide(saved);
    openShown();
    typeText(editor(), u"甲");
    pressKey('H', {VK_CONTROL});
    const HWND record = FindWindowW(nullptr, L"抽取记录");
    ASSERT_NE(record, nullptr);
    const HWND list = FindWindowExW(record, nullptr, WC_LISTVIEWW, nullptr);
    const auto clickButton = [record](const wchar_t* caption) {
        SendMessageW(FindWindowExW(record, nullptr, L"Button", caption), BM_CLICK, 0, 0);
    };
    const auto rows = [list] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); };
    EXPECT_EQ(rows(), 0);
    for (int draw = 1; draw <= 2; ++draw) {
        click(startStop());
        click(startStop());
        EXPECT_EQ(rows(), draw);
    }
    EXPECT_EQ(cell(list, 1, 0).size(), 8u);  // 08:05:09
    EXPECT_EQ(cell(list, 1, 1), u"");        // no round outside a draw without repeats
    EXPECT_EQ(cell(list, 1, 2), u"甲");

    ASSERT_TRUE(OpenClipboard(list));  // another window holds it
    clickButton(L"复制");
    CloseClipboard();
    clickButton(L"另存为…");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, layout::kClipboardBusyMessage);
    ASSERT_EQ(saveDialogs.size(), 1u);
    for (const ShownBox& shown : {boxes[0], saveDialogs[0]}) {
        EXPECT_EQ(shown.owner, record);
        EXPECT_FALSE(shown.formEnabled);
    }
    EXPECT_TRUE(IsWindowEnabled(form->window()));
    EXPECT_EQ(readBytes(saved).substr(0, 3), "\xef\xbb\xbf");  // the record's own format

    clickButton(L"清空");
    EXPECT_EQ(rows(), 0);
    SendMessageW(record, WM_CLOSE, 0, 0);
    click(startStop());
    click(startStop());
    pressKey('H', {VK_CONTROL});
    EXPECT_TRUE(IsWindowVisible(record));
    EXPECT_EQ(rows(), 1);
}

}  // namespace
}  // namespace zorbalin::win32::testing
