// What keys, clicks and the pick display's menu do, and the help line that tells of them.
#include "layout/window_commands.h"
#include "layout/texts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace zorbalin::layout {
namespace {

struct KeyCase {
    const char* name;
    WindowView view;
    KeyPress press;
    WindowCommand command;
};

TEST(CommandForKey, FollowsTheSharedTable) {
    using enum WindowCommand;
    constexpr WindowView kMain = WindowView::Main;
    constexpr WindowView kView = WindowView::Presentation;
    const KeyCase cases[] = {
        {"F5 clicks Command2", kMain, {InputKey::F5}, StartStop},
        {"F11 opens the view", kMain, {InputKey::F11}, TogglePresentation},
        {"Ctrl+H opens the record", kMain, {InputKey::H, true}, OpenRecord},
        {"H alone is typing", kMain, {InputKey::H}, None},
        {"Esc does nothing in the window", kMain, {InputKey::Escape}, None},
        {"Space is the focused control's", kMain, {InputKey::Space}, None},
        {"Enter is the focused control's", kMain, {InputKey::Enter}, None},
        {"Space in the view", kView, {InputKey::Space}, StartStop},
        {"Enter in the view", kView, {InputKey::Enter}, StartStop},
        {"F5 in the view", kView, {InputKey::F5}, StartStop},
        {"click in the view", kView, {InputKey::Click}, StartStop},
        {"a click with Ctrl is no click", kView, {InputKey::Click, true}, None},
        {"a click with Shift is no click", kView, {InputKey::Click, false, true}, None},
        {"Esc leaves the view", kView, {InputKey::Escape}, LeavePresentation},
        {"F11 leaves the view", kView, {InputKey::F11}, LeavePresentation},
        {"a held key repeats nothing", kView, {InputKey::Space, false, false, false, true}, None},
        {"Ctrl+F5 is not F5", kMain, {InputKey::F5, true}, None},
        {"Shift+F11 is not F11", kMain, {InputKey::F11, false, true}, None},
        {"Ctrl+Alt+H is not Ctrl+H", kMain, {InputKey::H, true, false, true}, None},
        {"Ctrl+H in the view", kView, {InputKey::H, true}, OpenRecord},
        {"F5 in the record", WindowView::Record, {InputKey::F5}, StartStop},
        {"F11 in the record", WindowView::Record, {InputKey::F11}, TogglePresentation},
        {"Ctrl+H in the record", WindowView::Record, {InputKey::H, true}, OpenRecord},
        {"Esc closes the record", WindowView::Record, {InputKey::Escape}, CloseRecord},
        {"Space in the record is its button's", WindowView::Record, {InputKey::Space}, None},
    };
    for (const KeyCase& c : cases) {
        EXPECT_EQ(commandForKey(c.view, c.press), c.command) << c.name;
    }
}

TEST(PickMenu, OrderTextsAndStates) {
    using enum WindowCommand;
    const auto closed = pickMenu({});
    const auto open = pickMenu(
        {.pickHasText = true, .pickHasSelection = true, .noRepeat = true, .floating = true, .slowStop = true});
    const std::array<WindowCommand, kPickMenuSize> order = {
        CopyPick, SelectAllPick, None, TogglePresentation, ToggleNoRepeat, RestartRound, OpenRecord,
        AskDrawCount, ToggleSlowStop, ToggleFloating};
    const std::array<bool, kPickMenuSize> enabledWithoutFacts = {false, false, true, true, true,
                                                                false, true, true, true, true};
    for (std::size_t i = 0; i < open.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(open[i].command, order[i]);
        EXPECT_TRUE(open[i].enabled);
        EXPECT_EQ(closed[i].enabled, enabledWithoutFacts[i]);
        EXPECT_EQ(open[i].checked, open[i].checkable);
        EXPECT_FALSE(closed[i].checked);
    }
    const auto textOnly = pickMenu({.pickHasText = true});
    EXPECT_FALSE(textOnly[0].enabled);  // copy needs a selection
    EXPECT_TRUE(textOnly[1].enabled);
    EXPECT_EQ(open[3].text, u"演示模式");
    EXPECT_EQ(open[3].keyName, u"F11");
    EXPECT_EQ(open[6].text, u"抽取记录…");
    EXPECT_EQ(open[6].keyName, u"Ctrl+H");
}

TEST(PresentationHelpLine, TellsTheKeysAndWhatIsLeft) {
    const std::u16string keys = u"空格、回车、F5 或单击：开始/停止　　Esc 或 F11：退出演示";
    EXPECT_EQ(presentationHelpLine(std::nullopt), keys);
    EXPECT_EQ(presentationHelpLine(draw::RoundCount{3, 40}), keys + u"　　剩余 3 / 40");
    EXPECT_EQ(presentationHelpLine(draw::RoundCount{0, 1000000}), keys + u"　　剩余 0 / 1000000");
    EXPECT_EQ(pickToolTip(),
              u"右键单击(或按 Shift+F10)打开菜单：演示模式、不重复抽取、重新开始一轮、抽取记录、每次抽取人数、缓停、悬浮窗");
}

}  // namespace
}  // namespace zorbalin::layout
