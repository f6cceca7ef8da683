// The classroom options in the window: the menu on Text1 and its tooltip, the window's keys,
// the presentation view and the record window, driven by real input through the program's
// loop.
#include "form1_fixture.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "layout/texts.h"

namespace zorbalin::win32::testing {
namespace {

using ClassroomTest = Form1Test;

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
    std::optional<MenuProbe> probe(std::in_place);
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
    enum class Open { RightButton, ShiftF10, MenuKey };
    struct Case {
        Open how;
        bool pickSelected;
        std::vector<WPARAM> keys;             // to the item chosen
        std::vector<std::u16string> offered;  // as shown, when checked
    };
    const Case cases[] = {
        {Open::RightButton, false, keysUpTo(layout::WindowCommand::ToggleNoRepeat),
         shownMenu({.pickHasText = true})},
        {Open::ShiftF10, true, {VK_DOWN, VK_RETURN},  // 复制
         shownMenu({.pickHasText = true, .pickHasSelection = true, .noRepeat = true})},
        {Open::MenuKey, true, keysUpTo(layout::WindowCommand::OpenRecord), {}},
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
    probe.reset();
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

// Esc closes the record window, and the draw's and the view's keys work in it; Ctrl+S saves
// the list from anywhere in the main window (with no file chosen, through the save dialog).
TEST_F(ClassroomTest, RecordWindowTakesTheProgramsKeysAndCtrlSSavesTheList) {
    openShown();
    typeText(editor(), u"a\r\nb");
    pressKey('H', {VK_CONTROL});
    const HWND record = FindWindowW(nullptr, L"抽取记录");
    ASSERT_EQ(GetForegroundWindow(), record);
    pressKey(VK_F5);
    EXPECT_TRUE(scrolling());
    pressKey(VK_F5);
    EXPECT_FALSE(scrolling());
    pressKey(VK_F11);
    const HWND view = FindWindowW(nullptr, L"Zorbalin 演示");
    ASSERT_TRUE(view != nullptr && IsWindowVisible(view));
    pressKey(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(view));
    SetForegroundWindow(record);
    ASSERT_TRUE(pumpUntil([record] { return GetForegroundWindow() == record; }));
    pressKey(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(record));

    for (const char* focus : {"RichTextBox1", "Command2"}) {
        SetForegroundWindow(form->window());
        ASSERT_TRUE(pumpUntil([this] { return GetForegroundWindow() == form->window(); }));
        SetFocus(control(focus));
        pressKey('S', {VK_CONTROL});
    }
    EXPECT_EQ(saveDialogs.size(), 2u);
}

// The editor's own menu: the standard commands enabled as the control's are, and 保存名单.
TEST_F(ClassroomTest, EditorMenuHasTheStandardCommandsAndSavesTheList) {
    openShown();
    typeText(editor(), u"甲\r\n乙");
    const MenuProbe probe;
    const std::u16string saveList = std::u16string(layout::kSaveListMenuItem) + u"\tCtrl+S";
    struct Case {
        int selectFrom, selectTo;
        std::vector<WPARAM> keys;
        std::vector<std::u16string> offered;
        std::u16string textAfter;
    };
    const Case cases[] = {
        {0, 0, {VK_UP, VK_RETURN},  // 保存名单
         {u"撤销 (grayed)", u"-", u"剪切 (grayed)", u"复制 (grayed)", u"粘贴", u"删除 (grayed)", u"-", u"全选", u"-",
          saveList},
         u"甲\r\n乙"},
        {0, 3, {VK_UP, VK_UP, VK_UP, VK_RETURN},  // 删除
         {u"撤销 (grayed)", u"-", u"剪切", u"复制", u"粘贴", u"删除", u"-", u"全选", u"-", saveList}, u"乙"},
        {0, 0, {VK_DOWN, VK_RETURN}, {u"撤销", u"-", u"剪切 (grayed)", u"复制 (grayed)", u"粘贴", u"删除 (grayed)",
                                       u"-", u"全选", u"-", saveList}, u"甲\r\n乙"},  // 撤销
    };
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard());
    SetClipboardData(CF_UNICODETEXT, GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8));
    CloseClipboard();
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        MenuProbe::offered.clear();
        MenuProbe::keys = c.keys;
        SendMessageW(editor(), EM_SETSEL, static_cast<WPARAM>(c.selectFrom), c.selectTo);
        queueClick(editor(), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        pumpMessages();
        EXPECT_EQ(MenuProbe::offered, c.offered);
        EXPECT_EQ(textOf(editor()), c.textAfter);
    }
    EXPECT_EQ(saveDialogs.size(), 1u);
}

// The WinEvents raised in the process, by window and event.
struct WinEvents {
    static inline std::vector<std::pair<HWND, DWORD>> seen;
    static void CALLBACK record(HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG, DWORD, DWORD) {
        seen.emplace_back(window, event);
    }
    static std::size_t count(HWND window, DWORD event) {
        return static_cast<std::size_t>(std::count(seen.begin(), seen.end(), std::pair(window, event)));
    }
};

// A screen reader hears a result once, when the draw stops, from the alert that holds it;
// the ticks raise nothing of the program's own. The presentation view shows the picks to it
// in a label, its title kept.
TEST_F(ClassroomTest, AScreenReaderIsToldTheResultOnceItStops) {
    constexpr DWORD kLiveRegionChanged = 0x8019;
    openShown();
    typeText(editor(), u"甲\r\n乙\r\n丙");
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &WinEvents::record,
                                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    const HWND announcement = form->announcement();
    for (int draw = 1; draw <= 2; ++draw) {
        WinEvents::seen.clear();
        click(startStop());
        for (int i = 0; i < 21; ++i) tick();
        pumpMessages();
        EXPECT_EQ(WinEvents::count(announcement, EVENT_SYSTEM_ALERT), 0u);
        click(startStop());
        pumpMessages();
        EXPECT_EQ(WinEvents::count(announcement, EVENT_SYSTEM_ALERT), 1u);
        EXPECT_EQ(WinEvents::count(announcement, kLiveRegionChanged), 1u);
        EXPECT_EQ(textOf(announcement), layout::resultAnnouncement(textOf(pick())));
    }
    UnhookWinEvent(hook);
    EXPECT_FALSE(IsWindowVisible(announcement) && GetWindowLongPtrW(announcement, GWL_STYLE) & WS_TABSTOP);

    pressKey(VK_F11);
    const HWND view = FindWindowW(nullptr, L"Zorbalin 演示");
    ASSERT_NE(view, nullptr);
    const HWND label = FindWindowExW(view, nullptr, L"Static", nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(textOf(label), textOf(pick()));
    EXPECT_EQ(textOf(view), u"Zorbalin 演示");
}

// A TAB between name and number (a list from a spreadsheet) shows as a wide space, and a long
// pick shows its start.
TEST_F(ClassroomTest, PickDisplayShowsATabAsAWideSpaceAndTheStartOfALongPick) {
    openShown();
    const std::u16string longPick(60, u'长');
    typeText(editor(), u"韩娟\t2024015\r\n" + longPick);
    click(startStop());
    EXPECT_EQ(textOf(pick()), u"韩娟\u30002024015");
    for (int i = 0; i < 200 && textOf(pick()) != longPick; ++i) tick();
    ASSERT_EQ(textOf(pick()), longPick);
    EXPECT_EQ(SendMessageW(pick(), EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the first character in sight";
    click(startStop());
}

}  // namespace
}  // namespace zorbalin::win32::testing
