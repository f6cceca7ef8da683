// The edge of every handler: a handler that fails leaves the editor as it was, and its
// problem is told in one box over the view in front, or once the window is up.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "fake_window_port.h"
#include "layout/texts.h"

namespace zorbalin::lifecycle::testing {
namespace {

// Choosing a file runs past the editor's new text to the write; the write throws.
void chooseAFileWhoseWriteThrows(FakeWindow& form, std::string_view primitive) {
    form.port.addFile(u"class.txt", "new\n\n\nlist");
    form.port.openAnswers = {u"/lists/class.txt"};
    form.port.files.before = [primitive](const std::string& operation) {
        if (operation == "openFolder") throw std::runtime_error(std::string(primitive));
    };
    form.window.Command1_Click();
}

TEST(HandlerGuard, AFailedHandlerDropsWhatItSetForTheEditorAndSaysWhy) {
    FakeWindow form;
    form.open();
    form.port.typeIntoEditor(u"kept");
    chooseAFileWhoseWriteThrows(form, "disk on fire");

    EXPECT_EQ(form.port.editorShown, u"kept");
    EXPECT_EQ(form.port.editorText(), u"kept");
    ASSERT_EQ(form.port.boxes.size(), 1u);
    EXPECT_EQ(form.port.boxes[0].text, layout::problemMessage(problemOf(ProblemCode::Internal, u"disk on fire")));
    EXPECT_FALSE(form.port.busy);
    form.window.Command2_Click();  // the window goes on with the text it shows
    EXPECT_EQ(form.port.pick, u"kept");
}

TEST(HandlerGuard, TheBoxIsOverThePresentationViewWhenItIsOpen) {
    FakeWindow form;
    form.open();
    form.window.runCommand(layout::WindowCommand::TogglePresentation);
    form.port.typeIntoEditor(u"a");
    form.port.timerStart = problemOf(ProblemCode::TimerNotStarted);
    form.window.runCommand(layout::WindowCommand::StartStop);
    ASSERT_EQ(form.port.boxes.size(), 1u);
    EXPECT_EQ(form.port.boxes[0].owner, View::Presentation);
}

TEST(HandlerGuard, AFailureBeforeTheWindowIsUpIsToldOnceItIs) {
    FakeWindow form;
    form.port.before = [](std::string_view primitive) {
        if (primitive == "setEditorText") throw std::bad_alloc();
    };
    form.port.settings.values[u"Path"] = form.port.addFile(u"class.txt", "a\nb");
    form.window.Form_Load();
    EXPECT_TRUE(form.port.boxes.empty());
    form.port.before = nullptr;
    form.port.shown = true;
    form.window.tellStartupNotice();
    ASSERT_EQ(form.port.boxes.size(), 1u);
    EXPECT_EQ(form.port.boxes[0].text, layout::kOutOfMemoryMessage);
    EXPECT_EQ(form.port.editorShown, u"");
}

TEST(HandlerGuard, WithNoMemoryForTheMessageTheBoxSaysOutOfMemory) {
    FakeWindow form;
    form.open();
    int boxes = 0;
    form.port.before = [&boxes](std::string_view primitive) {
        if (primitive == "showBox" && boxes++ == 0) throw std::bad_alloc();
    };
    form.port.typeIntoEditor(u"a");
    form.port.timerStart = problemOf(ProblemCode::TimerNotStarted);
    form.window.Command2_Click();
    ASSERT_EQ(form.port.boxes.size(), 1u);
    EXPECT_EQ(form.port.boxes[0].text, layout::kOutOfMemoryMessage);
}

TEST(HandlerGuard, APlatformsOwnHandlerInsideAnotherIsGuardedAndFlushedOnceAtTheEnd) {
    FakeWindow form;
    form.open();
    const bool ran = form.window.handle([&form] {
        EXPECT_FALSE(form.window.handle([&form] {
            form.port.setEditorText(u"lost");
            throw std::bad_alloc();
        }));
        form.port.setEditorText(u"after");
        EXPECT_EQ(form.port.editorFlushes, 0) << "flushed when the outermost handler ends";
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(form.port.editorShown, u"after");
    EXPECT_EQ(form.port.boxes.size(), 1u);
}

}  // namespace
}  // namespace zorbalin::lifecycle::testing
