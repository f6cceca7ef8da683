// What keys, clicks and the pick display's menu do, in one table for both front ends: each
// maps its own key codes to InputKey and carries out the WindowCommand it gets back.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "draw/draw_round.h"

namespace zorbalin::layout {

enum class WindowCommand {
    None,
    StartStop,           // what a click on Command2 does
    TogglePresentation,  // opens the presentation view, or leaves it
    LeavePresentation,
    OpenRecord,
    CloseRecord,
    CopyPick,            // the pick display's own copy and select all
    SelectAllPick,
    ToggleNoRepeat,
    RestartRound,
    SaveList,            // 保存名单: the editor's text into the chosen file, or a new one
    ToggleFloating,      // the small window over the slides
    AskDrawCount,        // how many at once
    ToggleSlowStop,
};

// Where the input arrives: anywhere in the main window, in the presentation view, or in the
// record window. The keys of the draw, the view and the record work in all three.
enum class WindowView { Main, Presentation, Record };

// The inputs that do something somewhere; every other key is left to the platform.
// Enter is either Enter key; Click is the primary mouse button.
enum class InputKey { F5, F11, Escape, Space, Enter, H, S, Click };

struct KeyPress {
    InputKey key;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool autoRepeat = false;  // sent again while the key is held down
};

struct KeyBinding {
    WindowView view;
    InputKey key;
    bool ctrl;  // held with Ctrl; no binding uses Shift or Alt
    WindowCommand command;
};

// Esc does nothing in the main window: it leaves the presentation view and closes the record
// window, so that a second press after that changes nothing.
inline constexpr std::array<KeyBinding, 15> kKeyBindings{{
    {WindowView::Main, InputKey::F5, false, WindowCommand::StartStop},
    {WindowView::Main, InputKey::F11, false, WindowCommand::TogglePresentation},
    {WindowView::Main, InputKey::H, true, WindowCommand::OpenRecord},
    {WindowView::Main, InputKey::S, true, WindowCommand::SaveList},
    {WindowView::Presentation, InputKey::Space, false, WindowCommand::StartStop},
    {WindowView::Presentation, InputKey::Enter, false, WindowCommand::StartStop},
    {WindowView::Presentation, InputKey::F5, false, WindowCommand::StartStop},
    {WindowView::Presentation, InputKey::Click, false, WindowCommand::StartStop},
    {WindowView::Presentation, InputKey::Escape, false, WindowCommand::LeavePresentation},
    {WindowView::Presentation, InputKey::F11, false, WindowCommand::LeavePresentation},
    {WindowView::Presentation, InputKey::H, true, WindowCommand::OpenRecord},
    {WindowView::Record, InputKey::F5, false, WindowCommand::StartStop},
    {WindowView::Record, InputKey::F11, false, WindowCommand::TogglePresentation},
    {WindowView::Record, InputKey::H, true, WindowCommand::OpenRecord},
    {WindowView::Record, InputKey::Escape, false, WindowCommand::CloseRecord},
}};

// The command bound to the input with exactly these modifiers, else None: a click with Ctrl,
// Shift or Alt held is no click, as such a key is no key. A key held down gives None for its
// repeats, so that it cannot start and stop the draw over and over.
WindowCommand commandForKey(WindowView view, const KeyPress& press);

// How the texts name an input ("F5", "空格", "单击") and the first binding of a command in a
// view ("Ctrl+H"); "" for a command without one.
std::u16string_view inputName(InputKey key);
std::u16string bindingName(WindowView view, WindowCommand command);

// The presentation view's line under the pick, made from the table: the inputs that start and
// stop, those that leave, and in a draw without repeats how many are left ("剩余 3 / 40"),
// and when the last draw of a round shows fewer than drawCount, that only those were left.
std::u16string presentationHelpLine(std::optional<draw::RoundCount> count, std::size_t shown = 1,
                                    std::size_t drawCount = 1);

// What the menu on the pick display depends on.
struct PickMenuFacts {
    bool pickHasText = false;
    bool pickHasSelection = false;
    bool noRepeat = false;
    bool floating = false;
    bool slowStop = false;
};

struct MenuEntry {
    WindowCommand command;        // None: a separator
    std::u16string_view text;
    std::u16string keyName;       // shown in the shortcut column, "" for none
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
};

// The menu on the pick display, in order: 复制, 全选, a separator, 演示模式, 不重复抽取,
// 重新开始一轮, 抽取记录…, 每次抽取人数…, 缓停, 悬浮窗 (the later options after the earlier).
inline constexpr std::size_t kPickMenuSize = 10;
std::array<MenuEntry, kPickMenuSize> pickMenu(const PickMenuFacts& facts);

// The pick display's tooltip, which names the menu, how to open it, and its commands.
std::u16string pickToolTip();

}  // namespace zorbalin::layout
