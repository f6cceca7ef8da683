// The candidate editor over a real EDIT control: whether a new text is put in whole or by
// removing what it dropped, the control ends holding exactly that text, as a new text
// leaves it; and in the window, whatever way text enters it, only CR LF breaks its lines.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "candidate_editor.h"
#include "form1_fixture.h"
#include "wide_text.h"

namespace zorbalin::win32 {
namespace {

std::u16string controlText(HWND control) {
    std::wstring buffer(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    buffer.resize(static_cast<std::size_t>(
        GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()))));
    return fromWide(buffer);
}

class CandidateEditorControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(frame_, nullptr);
        control_ = CreateWindowExW(0, L"EDIT", L"", CandidateEditor::kStyle, 0, 0, 280, 260, frame_,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(control_, nullptr);
        editor_.attach(control_);
    }
    void TearDown() override { DestroyWindow(frame_); }

    HWND frame_ = nullptr;
    HWND control_ = nullptr;
    CandidateEditor editor_;
    NoProgress quietly_;
};

// The control counts a CR LF pair as two characters: removals placed by text positions
// must take out exactly the dropped breaks, wherever they are in the list. A text set again
// as it was is not put in again, yet the control looks the same.
TEST_F(CandidateEditorControlTest, ANewTextLeavesTheControlHoldingExactlyIt) {
    std::u16string longList;
    for (int i = 0; i < 200; ++i) longList += u"line\r\n";
    struct Case {
        const char* what;
        std::u16string before;
        std::u16string after;
    };
    const Case cases[] = {
        {"final break dropped", u"a\r\nb\r\n", u"a\r\nb"},
        {"blank lines inside dropped", u"甲\r\n\r\n乙\r\n\r\n\r\n丙\r\n丁", u"甲\r\n乙\r\n丙\r\n丁"},
        {"leading breaks shortened", u"\r\n\r\n\r\nfirst\r\nsecond", u"\r\nfirst\r\nsecond"},
        {"everything removed", u"a\r\nb", u""},
        {"line changed inside", u"one\r\ntwo\r\nthree", u"one\r\ntwelve\r\nthree"},
        {"nothing changed", u"abc", u"abc"},
        {"a long list unchanged", longList, longList},
    };
    for (const Case& c : cases) {
        editor_.setText(c.before);
        editor_.flush(quietly_);
        // An undoable edit that leaves the text as it was, and the cursor at the end.
        SendMessageW(control_, EM_SETSEL, 0, 0);
        SendMessageW(control_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"typed"));
        SendMessageW(control_, EM_SETSEL, 0, 5);
        SendMessageW(control_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
        SendMessageW(control_, EM_SETSEL, c.before.size(), static_cast<LPARAM>(c.before.size()));
        SendMessageW(control_, EM_SCROLLCARET, 0, 0);
        ASSERT_EQ(controlText(control_), c.before) << c.what;

        editor_.setText(c.after);
        editor_.flush(quietly_);
        EXPECT_EQ(controlText(control_), c.after) << c.what;
        EXPECT_EQ(editor_.text(), c.after) << c.what;
        EXPECT_EQ(SendMessageW(control_, EM_CANUNDO, 0, 0), FALSE) << c.what;
        DWORD start = 1;
        DWORD end = 1;
        SendMessageW(control_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u) << c.what;
        EXPECT_EQ(end, 0u) << c.what;
        EXPECT_EQ(SendMessageW(control_, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << c.what;
    }
}

// A long list tidied in several places: every run lands where the text says.
TEST_F(CandidateEditorControlTest, ManyDroppedBreaksInALongListAreRemovedInPlace) {
    std::u16string untidy;
    std::u16string tidy;
    for (int i = 1; i <= 5000; ++i) {
        const std::u16string line = u"候选" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26));
        untidy += (i > 1 ? u"\r\n" : u"") + line + (i % 1000 == 0 ? u"\r\n" : u"");
        tidy += (i > 1 ? u"\r\n" : u"") + line;
    }
    editor_.setText(untidy);
    editor_.flush(quietly_);
    editor_.setText(tidy);
    editor_.flush(quietly_);
    EXPECT_EQ(controlText(control_), tidy);
}

void putOnClipboard(HWND owner, std::u16string_view text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    ASSERT_NE(memory, nullptr);
    auto* units = static_cast<char16_t*>(GlobalLock(memory));
    std::copy(text.begin(), text.end(), units);
    units[text.size()] = u'\0';
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    CloseClipboard();
}

using EditorInWindowTest = testing::Form1Test;

// Windows' EDIT control shows a lone CR or LF inside its line, where the draw does not cut
// either. Wine's control breaks its lines at LF, so what the control holds is checked.
TEST_F(EditorInWindowTest, TextEnteringTheEditorAnyWayGetsCrLfLineBreaks) {
    openShown();
    const std::u16string unix = u"a\nb\rc\u2028d\u2029e";
    const std::u16string crlf = u"a\r\nb\r\nc\r\nd\r\ne";
    const auto paste = [&](const std::function<void()>& press) {
        return [&, press] {
            putOnClipboard(form->window(), unix);
            press();
        };
    };
    const std::tuple<const char*, std::function<void()>, std::u16string> ways[] = {
        {"WM_SETTEXT", [&] { testing::typeText(editor(), unix); }, crlf},
        {"EM_REPLACESEL",
         [&] { SendMessageW(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(toWide(unix).c_str())); },
         crlf},
        {"WM_PASTE", paste([&] { SendMessageW(editor(), WM_PASTE, 0, 0); }), crlf},
        {"Ctrl+V", paste([] { testing::pressKey('V', {VK_CONTROL}); }), crlf},
        {"Shift+Insert", paste([] { testing::pressKey(VK_INSERT, {VK_SHIFT}); }), crlf},
        {"WM_CHAR LF", [&] { SendMessageW(editor(), WM_CHAR, u'\n', 0); }, u"\r\n"},
        {"WM_CHAR CR", [&] { SendMessageW(editor(), WM_CHAR, u'\r', 0); }, u"\r\n"},
    };
    for (const auto& [way, enter, expected] : ways) {
        testing::typeText(editor(), u"");
        SetFocus(editor());
        enter();
        testing::pumpMessages();
        EXPECT_EQ(testing::textOf(editor()), expected) << way;
    }
}

// A Start that leaves a typed list as it was leaves the editor as a new text does.
TEST_F(EditorInWindowTest, StartOnATidyListLeavesTheCaretAtTheStartAndNothingToUndo) {
    open();
    SendMessageW(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"abc"));
    ASSERT_NE(SendMessageW(editor(), EM_CANUNDO, 0, 0), FALSE);
    click(startStop());
    EXPECT_EQ(testing::textOf(editor()), u"abc");
    EXPECT_EQ(SendMessageW(editor(), EM_CANUNDO, 0, 0), FALSE);
    DWORD start = 1;
    DWORD end = 1;
    SendMessageW(editor(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
}

// A lone LF put into the control past the editor (by the control's own window procedure):
// the draw cuts at CR LF only, and Start leaves the control showing the lines it cut.
TEST_F(EditorInWindowTest, StartWritesTheTidiedTextIntoAControlThatHoldsAnother) {
    open();
    WNDCLASSEXW editClass{};
    editClass.cbSize = sizeof editClass;
    ASSERT_TRUE(GetClassInfoExW(nullptr, L"EDIT", &editClass));
    CallWindowProcW(editClass.lpfnWndProc, editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"a\nb"));
    ASSERT_EQ(testing::textOf(editor()), u"a\nb");
    click(startStop());
    EXPECT_EQ(testing::textOf(pick()), u"a");
    EXPECT_EQ(testing::textOf(editor()), u"a\r\nb");
}

}  // namespace
}  // namespace zorbalin::win32
