#include "layout/window_commands.h"

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

std::array<MenuEntry, 7> pickMenu(const PickMenuFacts& facts) {
    return {{
        {WindowCommand::CopyPick, kCopyMenuItem, u"", false, false, facts.pickHasSelection},
        {WindowCommand::SelectAllPick, kSelectAllMenuItem, u"", false, false, facts.pickHasText},
        {WindowCommand::None, u"", u"", false, false, true},
        {WindowCommand::TogglePresentation, kPresentationMenuItem, kPresentationKeyName},
        {WindowCommand::ToggleNoRepeat, kNoRepeatMenuItem, u"", true, facts.noRepeat},
        // Only a draw without repeats has a round to start over.
        {WindowCommand::RestartRound, kRestartRoundMenuItem, u"", false, false, facts.noRepeat},
        {WindowCommand::OpenRecord, kRecordMenuItem, kRecordKeyName},
    }};
}

}  // namespace zorbalin::layout
