// What an editor knows of its control's text: read once, written whenever the control holds
// another text, and only CR LF line breaks in either direction.
#include "draw/editor_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zorbalin::draw {
namespace {

// A control that counts how often its whole text is read.
struct FakeControl {
    std::u16string text;
    int reads = 0;
    auto reader() {
        return [this] {
            ++reads;
            return text;
        };
    }
};

TEST(EditorText, ReadsTheControlOnceUntilItChanges) {
    FakeControl control{u"a\r\nb"};
    EditorText editor;
    EXPECT_EQ(editor.read(control.reader()), u"a\r\nb");
    EXPECT_EQ(editor.read(control.reader()), u"a\r\nb");
    EXPECT_EQ(control.reads, 1);
    control.text = u"typed";
    editor.forget();
    EXPECT_EQ(editor.read(control.reader()), u"typed");
    EXPECT_EQ(control.reads, 2);
}

// The draw cuts at CR LF only, so every other line break reads as CR LF, and the control
// that showed it is written again with CR LF so that it shows the lines the draw cuts.
TEST(EditorText, OtherLineBreaksReadAsCrLfAndTheControlIsWrittenAgain) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"a\nb", u"a\r\nb"},       {u"a\rb", u"a\r\nb"},     {u"a\u2028b", u"a\r\nb"},
        {u"a\u2029b", u"a\r\nb"},   {u"\r\r\n\n", u"\r\n\r\n\r\n"},
    };
    for (const auto& [held, read] : cases) {
        FakeControl control{held};
        EditorText editor;
        EXPECT_EQ(editor.read(control.reader()), read);
        ASSERT_NE(editor.pending(), nullptr);
        EXPECT_EQ(*editor.pending(), read);
        // What the tidy writes back is the same text: the control still takes it.
        editor.set(read);
        ASSERT_NE(editor.pending(), nullptr);
        EXPECT_EQ(*editor.pending(), read);
    }
}

TEST(EditorText, ATextIsWrittenOnlyWhenTheControlHoldsAnother) {
    FakeControl control{u"a\r\nb"};
    EditorText editor;
    editor.set(u"x");  // the control's text is not known: written
    ASSERT_NE(editor.pending(), nullptr);
    editor.written(true);
    EXPECT_EQ(*editor.shown(), u"x");

    editor.set(u"x");
    EXPECT_EQ(editor.pending(), nullptr);
    editor.set(u"y");
    editor.set(u"x");  // back to what the control holds before the flush
    EXPECT_EQ(editor.pending(), nullptr);
    editor.set(u"a\nb");  // set with another line break: written with CR LF
    ASSERT_NE(editor.pending(), nullptr);
    EXPECT_EQ(*editor.pending(), u"a\r\nb");
    EXPECT_EQ(control.reads, 0);
}

TEST(EditorText, ADiscardedTextLeavesWhatTheControlHolds) {
    FakeControl control{u"kept"};
    EditorText editor;
    editor.read(control.reader());
    editor.set(u"dropped");
    EXPECT_EQ(editor.read(control.reader()), u"dropped");
    editor.discard();
    EXPECT_EQ(editor.read(control.reader()), u"kept");
    EXPECT_EQ(control.reads, 1);

    editor.set(u"unsure");
    editor.written(false);  // the control may hold something else: read it again
    EXPECT_EQ(editor.read(control.reader()), u"kept");
    EXPECT_EQ(control.reads, 2);
}

}  // namespace
}  // namespace zorbalin::draw
