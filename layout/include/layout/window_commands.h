// What keys, clicks and the pick display's menu do, in one table for both front ends: each
// maps its own key codes to InputKey and carries out the WindowCommand it gets back.
#pragma once

#include <array>
#include <string_view>

namespace zorbalin::layout {

enum class WindowCommand {
    None,
    StartStop,           // what a click on Command2 does
    TogglePresentation,  // opens the presentation view, or leaves it
    LeavePresentation,
    OpenRecord,
    CopyPick,            // the pick display's own copy and select all
    SelectAllPick,
    ToggleNoRepeat,
    RestartRound,
};

// Where the input arrives: anywhere in the main window, or in the presentation view.
enum class WindowView { Main, Presentation };

// The inputs that do something somewhere; every other key is left to the platform.
// Enter is either Enter key; Click is the primary mouse button.
enum class InputKey { F5, F11, Escape, Space, Enter, H, Click };

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

// Esc does nothing in the main window: it only leaves the presentation view, so that a
// second press after leaving it changes nothing.
inline constexpr std::array<KeyBinding, 9> kKeyBindings{{
    {WindowView::Main, InputKey::F5, false, WindowCommand::StartStop},
    {WindowView::Main, InputKey::F11, false, WindowCommand::TogglePresentation},
    {WindowView::Main, InputKey::H, true, WindowCommand::OpenRecord},
    {WindowView::Presentation, InputKey::Space, false, WindowCommand::StartStop},
    {WindowView::Presentation, InputKey::Enter, false, WindowCommand::StartStop},
    {WindowView::Presentation, InputKey::F5, false, WindowCommand::StartStop},
    {WindowView::Presentation, InputKey::Click, false, WindowCommand::StartStop},
    {WindowView::Presentation, InputKey::Escape, false, WindowCommand::LeavePresentation},
    {WindowView::Presentation, InputKey::F11, false, WindowCommand::LeavePresentation},
}};

// The command bound to the input with exactly these modifiers, else None. A key held down
// gives None for its repeats, so that it cannot start and stop the draw over and over.
WindowCommand commandForKey(WindowView view, const KeyPress& press);

// What the menu on the pick display depends on.
struct PickMenuFacts {
    bool pickHasText = false;
    bool pickHasSelection = false;
    bool noRepeat = false;
};

struct MenuEntry {
    WindowCommand command;        // None: a separator
    std::u16string_view text;
    std::u16string_view keyName;  // shown in the shortcut column, "" for none
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
};

// The menu on the pick display, in order: 复制, 全选, a separator, 演示模式, 不重复抽取,
// 重新开始一轮, 抽取记录….
std::array<MenuEntry, 7> pickMenu(const PickMenuFacts& facts);

}  // namespace zorbalin::layout
