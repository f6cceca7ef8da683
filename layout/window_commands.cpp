#include "layout/window_commands.h"

#include <vector>

#include "base/decimal_text.h"
#include "layout/texts.h"

namespace zorbalin::layout {

WindowCommand commandForKey(WindowView view, const KeyPress& press) {
    if (press.autoRepeat || press.shift || press.alt) return WindowCommand::None;
    for (const KeyBinding& binding : kKeyBindings) {
        if (binding.view == view && binding.key == press.key && binding.ctrl == press.ctrl) {
            return binding.command;
        }
    }
    return WindowCommand::None;
}

std::u16string_view inputName(InputKey key) {
    switch (key) {
    case InputKey::F5: return u"F5";
    case InputKey::F11: return u"F11";
    case InputKey::Escape: return u"Esc";
    case InputKey::Space: return u"空格";
    case InputKey::Enter: return u"回车";
    case InputKey::H: return u"H";
    case InputKey::S: return u"S";
    case InputKey::Click: return u"单击";
    }
    return u"";
}

namespace {

// The inputs bound to a command in a view, in the table's order.
std::vector<const KeyBinding*> bindingsOf(WindowView view, WindowCommand command) {
    std::vector<const KeyBinding*> found;
    for (const KeyBinding& binding : kKeyBindings) {
        if (binding.view == view && binding.command == command) found.push_back(&binding);
    }
    return found;
}

std::u16string nameOf(const KeyBinding& binding) {
    std::u16string name = binding.ctrl ? u"Ctrl+" : u"";
    return name += inputName(binding.key);
}

bool isLatin(char16_t c) { return c < 0x80; }

// "空格、回车、F5 或单击": a blank sets 或 apart from a Latin name only, as Chinese is set.
std::u16string alternatives(WindowView view, WindowCommand command) {
    const std::vector<const KeyBinding*> bindings = bindingsOf(view, command);
    std::u16string text;
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        const std::u16string name = nameOf(*bindings[i]);
        if (i > 0 && i + 1 == bindings.size()) {
            if (isLatin(text.back())) text += u' ';
            text += u'或';
            if (isLatin(name.front())) text += u' ';
        } else if (i > 0) {
            text += u'、';
        }
        text += name;
    }
    return text;
}

}  // namespace

std::u16string bindingName(WindowView view, WindowCommand command) {
    const std::vector<const KeyBinding*> bindings = bindingsOf(view, command);
    return bindings.empty() ? std::u16string() : nameOf(*bindings.front());
}

std::u16string presentationHelpLine(std::optional<draw::RoundCount> count, std::size_t shown,
                                    std::size_t drawCount) {
    std::u16string text = alternatives(WindowView::Presentation, WindowCommand::StartStop);
    ((text += u"：开始/停止　　") += alternatives(WindowView::Presentation, WindowCommand::LeavePresentation))
        += u"：退出演示";
    if (count) {
        appendDecimal(text += u"　　剩余 ", count->remaining);
        appendDecimal(text += u" / ", count->total);
        if (shown < drawCount && shown > 0) appendDecimal(text += u"　　本轮只剩 ", shown) += u" 人";
    }
    return text;
}

std::array<MenuEntry, kPickMenuSize> pickMenu(const PickMenuFacts& facts) {
    const auto key = [](WindowCommand command) { return bindingName(WindowView::Main, command); };
    return {{
        {WindowCommand::CopyPick, kCopyMenuItem, u"", false, false, facts.pickHasSelection},
        {WindowCommand::SelectAllPick, kSelectAllMenuItem, u"", false, false, facts.pickHasText},
        {WindowCommand::None, u"", u"", false, false, true},
        {WindowCommand::TogglePresentation, kPresentationMenuItem, key(WindowCommand::TogglePresentation)},
        {WindowCommand::ToggleNoRepeat, kNoRepeatMenuItem, u"", true, facts.noRepeat},
        // Only a draw without repeats has a round to start over.
        {WindowCommand::RestartRound, kRestartRoundMenuItem, u"", false, false, facts.noRepeat},
        {WindowCommand::OpenRecord, kRecordMenuItem, key(WindowCommand::OpenRecord)},
        {WindowCommand::AskDrawCount, kDrawCountMenuItem, u""},
        {WindowCommand::ToggleSlowStop, kSlowStopMenuItem, u"", true, facts.slowStop},
        {WindowCommand::ToggleFloating, kFloatingMenuItem, u"", true, facts.floating},
    }};
}

// "右键单击(或按 Shift+F10)打开菜单：演示模式、不重复抽取、重新开始一轮、抽取记录": the
// commands after the menu's separator, without the dots that say a window opens.
std::u16string pickToolTip() {
    std::u16string text = u"右键单击(或按 ";
    (text += kPickMenuKeyName) += u")打开菜单：";
    bool afterSeparator = false;
    bool first = true;
    for (const MenuEntry& entry : pickMenu({})) {
        if (entry.command == WindowCommand::None) {
            afterSeparator = true;
            continue;
        }
        if (!afterSeparator) continue;
        std::u16string_view name = entry.text;
        if (name.ends_with(u"…")) name.remove_suffix(1);
        if (!first) text += u"、";
        text += name;
        first = false;
    }
    return text;
}

}  // namespace zorbalin::layout
