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

bool scrolling(HWND startStop) { return textOf(startStop) == u"停止滚动"; }

// Reads the menu as it opens, then leaves keys in the queue for the menu's own loop.
struct MenuProbe {
    static inline std::vector<std::u16string> offered;
    static inline std::vector<WPARAM> keys;
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->message == WM_INITMENUPOPUP) {
            const auto menu = reinterpret_cast<HMENU>(message->wParam);
            offered.clear();
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                wchar_t text[64]{};
                MENUITEMINFOW item{};
                item.cbSize = sizeof item;
                item.fMask = MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
                item.dwTypeData = text;
                item.cch = 64;
                GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item);
                std::u16string shown = fromWide(text);
                if ((item.fType & MFT_SEPARATOR) != 0) {
                    offered.push_back(u"-");
                    continue;
                }
                if ((item.fState & MFS_CHECKED) != 0) shown += u" (checked)";
                if ((item.fState & MFS_GRAYED) != 0) shown += u" (grayed)";
                offered.push_back(shown);
            }
            for (const WPARAM key : keys) PostMessageW(message->hwnd, WM_KEYDOWN, key, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

// A real click of the button, left waiting in the queue until the next pump.
void queueClick(HWND window, DWORD down, DWORD up) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = down;
    inputs[1].mi.dwFlags = up;
    ASSERT_EQ(SendInput(2, inputs, sizeof(INPUT)), 2u);
}

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
    enum class Open { RightButton, ShiftF10, MenuKey };
    struct Case {
        Open how;
        bool pickSelected;
        std::vector<WPARAM> keys;             // to the item chosen
        std::vector<std::u16string> offered;  // as shown, when checked
    };
    const Case cases[] = {
        {Open::RightButton, false, {VK_UP, VK_UP, VK_UP, VK_RETURN},  // 不重复抽取
         {u"复制 (grayed)", u"全选", u"-", u"演示模式\tF11", u"不重复抽取", u"重新开始一轮 (grayed)",
          u"抽取记录…\tCtrl+H"}},
        {Open::ShiftF10, true, {VK_DOWN, VK_RETURN},  // 复制
         {u"复制", u"全选", u"-", u"演示模式\tF11", u"不重复抽取 (checked)", u"重新开始一轮",
          u"抽取记录…\tCtrl+H"}},
        {Open::MenuKey, true, {VK_UP, VK_RETURN}, {}},  // 抽取记录…
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
    EXPECT_EQ(fromWide(tip), layout::kPickToolTip);
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
        EXPECT_TRUE(scrolling(startStop()));
        pressKey(VK_F5);
        EXPECT_FALSE(scrolling(startStop()));
        pressKey('H', {VK_CONTROL});
        EXPECT_EQ(GetForegroundWindow(), FindWindowW(nullptr, L"抽取记录"));
        SetForegroundWindow(form->window());
        EXPECT_TRUE(pumpUntil([this] { return GetForegroundWindow() == form->window(); }));
        EXPECT_EQ(textOf(editor()), u"a\r\nb");
    }
    SetFocus(editor());
    pressKey(VK_SPACE);
    EXPECT_EQ(textOf(editor()), u"a\r\nb ");
    pressKey(VK_F11);
    EXPECT_EQ(GetForegroundWindow(), FindWindowW(nullptr, L"Zorbalin 演示"));
}

// The view covers the screen of the window without a frame. Space, Enter, F5 and a click
// start and stop the draw; Esc and F11 leave the view and the draw goes on as it was. Each
// tick that changes the pick repaints it; a handler that changes nothing does not.
TEST_F(ClassroomTest, PresentationViewShowsTheDrawOverTheScreenAndTakesItsKeys) {
    openShown();
    typeText(editor(), u"a\r\nb\r\nc");
    for (const WORD leave : std::initializer_list<WORD>{VK_ESCAPE, VK_F11}) {
        SCOPED_TRACE(leave);
        SetFocus(editor());
        pressKey(VK_F11);
        const HWND view = FindWindowW(nullptr, L"Zorbalin 演示");
        ASSERT_TRUE(view != nullptr && IsWindowVisible(view));
        EXPECT_EQ(GetForegroundWindow(), view);
        EXPECT_EQ(GetWindow(view, GW_OWNER), form->window());
        EXPECT_EQ(GetWindowLongPtrW(view, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(form->window(), MONITOR_DEFAULTTONEAREST), &monitor);
        RECT covered{};
        GetWindowRect(view, &covered);
        EXPECT_TRUE(EqualRect(&covered, &monitor.rcMonitor));

        for (const WORD key : std::initializer_list<WORD>{VK_SPACE, VK_RETURN, VK_F5, 0}) {  // 0: a click
            const bool wasScrolling = scrolling(startStop());
            if (key == 0) {
                queueClick(view, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
                pumpMessages();
            } else {
                pressKey(key);
            }
            EXPECT_NE(scrolling(startStop()), wasScrolling) << "key " << key;
        }
        pumpMessages();
        tick();  // while stopped: nothing to show anew
        EXPECT_FALSE(GetUpdateRect(view, nullptr, FALSE));
        pressKey(VK_SPACE);
        const std::u16string first = textOf(pick());
        for (int i = 0; i < 100 && textOf(pick()) == first; ++i) tick();
        EXPECT_TRUE(GetUpdateRect(view, nullptr, FALSE));

        pressKey(leave);
        EXPECT_FALSE(IsWindowVisible(view));
        EXPECT_TRUE(pumpUntil([this] { return GetForegroundWindow() == form->window(); }));
        EXPECT_TRUE(scrolling(startStop()));
        click(startStop());
    }
}

// The list follows the record as it grows and is cleared; 复制 puts it on the clipboard (or
// says that another program holds it), 另存为… writes it to the file chosen.
TEST_F(ClassroomTest, RecordWindowFollowsTheDrawsAndItsButtonsCopySaveAndClear) {
    const std::wstring saved = files.file(L"记录.txt");
    chooseRecordFile = [&saved] { return fromWide(saved); };
    openShown();
    typeText(editor(), u"甲");
    pressKey('H', {VK_CONTROL});
    const HWND record = FindWindowW(nullptr, L"抽取记录");
    ASSERT_NE(record, nullptr);
    const HWND list = FindWindowExW(record, nullptr, WC_LISTVIEWW, nullptr);
    const auto button = [record](const wchar_t* caption) {
        return FindWindowExW(record, nullptr, L"Button", caption);
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

    std::u16string copied;
    std::string bytes = "\xef\xbb\xbf";  // UTF-8 with its byte-order mark, CR LF
    for (int row = 0; row < 2; ++row) {
        copied += cell(list, row, 0) + u"\t\t甲\r\n";
        for (const char16_t c : cell(list, row, 0)) bytes += static_cast<char>(c);
        bytes += "\t\t\xe7\x94\xb2\r\n";
    }
    click(button(L"复制"));
    EXPECT_EQ(clipboardText(), copied);
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(OpenClipboard(list));  // another window holds it
    click(button(L"复制"));
    CloseClipboard();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, layout::kClipboardBusyMessage);

    click(button(L"另存为…"));
    EXPECT_EQ(readBytes(saved), bytes);
    EXPECT_EQ(boxes.size(), 1u);

    click(button(L"清空"));
    EXPECT_EQ(rows(), 0);
    SendMessageW(record, WM_CLOSE, 0, 0);  // closing only hides it
    click(startStop());
    click(startStop());
    pressKey('H', {VK_CONTROL});
    EXPECT_TRUE(IsWindowVisible(record));
    EXPECT_EQ(rows(), 1);
}

}  // namespace
}  // namespace zorbalin::win32::testing
