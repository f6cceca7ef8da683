// What an editor knows of its control's text: read once, written whenever the control holds
// another text, dropped when a handler failed, and only CR LF line breaks either way.
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

std::u16string pendingOf(const EditorText& editor) {
    return editor.pending() != nullptr ? *editor.pending() : u"<none>";
}

TEST(EditorText, ReadsTheControlOnceAndWritesOnlyWhatItDoesNotHold) {
    FakeControl control{u"a\r\nb"};
    EditorText editor;
    EXPECT_EQ(editor.read(control.reader()), u"a\r\nb");
    editor.set(u"a\r\nb");
    EXPECT_EQ(pendingOf(editor), u"<none>");
    EXPECT_TRUE(editor.rewriteWaiting()) << "a text set is a rewrite, changed or not";
    editor.rewriteDone();
    EXPECT_FALSE(editor.rewriteWaiting());
    editor.set(u"x");
    EXPECT_EQ(editor.read(control.reader()), u"x");
    editor.set(u"a\r\nb");  // back to what the control holds before the flush
    EXPECT_EQ(pendingOf(editor), u"<none>");
    editor.set(u"y\nz");    // with another line break: written with CR LF
    EXPECT_EQ(pendingOf(editor), u"y\r\nz");
    editor.discard();       // the handler failed: the control keeps its text
    EXPECT_EQ(editor.read(control.reader()), u"a\r\nb");
    EXPECT_FALSE(editor.rewriteWaiting());
    EXPECT_EQ(control.reads, 1);

    editor.set(u"x");
    editor.written(false);  // the control may hold something else: read it again
    control.text = u"typed";
    EXPECT_EQ(editor.read(control.reader()), u"typed");
    editor.forget();        // the user changed it
    control.text = u"again";
    EXPECT_EQ(editor.read(control.reader()), u"again");
    EXPECT_EQ(control.reads, 3);
}

// The draw cuts at CR LF only, so every other line break reads as CR LF, and the control
// that showed it is written again with CR LF, even when the tidy changes nothing else.
TEST(EditorText, OtherLineBreaksReadAsCrLfAndTheControlIsWrittenAgain) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"a\nb", u"a\r\nb"}, {u"a\rb", u"a\r\nb"}, {u"a\u2028b", u"a\r\nb"},
        {u"a\u2029b", u"a\r\nb"}, {u"\r\r\n\n", u"\r\n\r\n\r\n"},
    };
    for (const auto& [held, read] : cases) {
        FakeControl control{held};
        EditorText editor;
        EXPECT_EQ(editor.read(control.reader()), read);
        editor.set(read);
        EXPECT_EQ(pendingOf(editor), read);
    }
}

}  // namespace
}  // namespace zorbalin::draw
