// The window at 96 dpi: its client size, where each control stands, and how the controls
// follow an enlarged window.
#include "form1_fixture.h"

#include "dpi.h"
#include "layout/layout_table.h"

namespace zorbalin::win32::testing {
namespace {

class LayoutTest : public Form1Test {
protected:
    void SetUp() override {
        open();
        if (windowDpi(form->window()) != 96) GTEST_SKIP() << "the screen is not at 96 dpi";
    }

    RECT clientRect() {
        RECT client{};
        GetClientRect(form->window(), &client);
        return client;
    }
    // The control's rectangle in the window's client coordinates.
    RECT rectOf(HWND control) {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, form->window(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    void resizeClientBy(int dx, int dy) {
        RECT window{};
        GetWindowRect(form->window(), &window);
        SetWindowPos(form->window(), nullptr, 0, 0, window.right - window.left + dx,
                     window.bottom - window.top + dy, SWP_NOMOVE | SWP_NOZORDER);
    }
};

TEST_F(LayoutTest, ClientAreaIs288By361WithTheCaption) {
    const RECT client = clientRect();
    EXPECT_EQ(client.right - client.left, 288);
    EXPECT_EQ(client.bottom - client.top, 361);
    EXPECT_EQ(textOf(form->window()), u"Zorbalin");
}

TEST_F(LayoutTest, ControlsStandWhereTheTableSaysAndLabelsFitTheirCaptions) {
    for (const layout::ControlLayout& row : layout::kLayout) {
        SCOPED_TRACE(row.name);
        const layout::PixelRect expected = layout::designedRect(row);
        const RECT actual = rectOf(control(row.name));
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        if (row.kind == layout::ControlKind::Label) {
            EXPECT_GT(actual.right - actual.left, 0);
            EXPECT_GT(actual.bottom - actual.top, 0);
        } else {
            EXPECT_EQ(actual.right - actual.left, expected.width);
            EXPECT_EQ(actual.bottom - actual.top, expected.height);
        }
        EXPECT_EQ(textOf(control(row.name)), row.text);
    }
}

TEST_F(LayoutTest, EnlargedWindowMovesTheButtonsAndStretchesTheFields) {
    const RECT before[] = {rectOf(control("Command2")), rectOf(control("Text1")),
                           rectOf(control("RichTextBox1")), rectOf(control("Label1")),
                           rectOf(control("Text2"))};
    resizeClientBy(100, 50);
    const RECT client = clientRect();
    ASSERT_EQ(client.right, 388);
    ASSERT_EQ(client.bottom, 411);
    const RECT command2 = rectOf(control("Command2"));
    EXPECT_EQ(command2.left, before[0].left + 100);
    EXPECT_EQ(command2.right - command2.left, before[0].right - before[0].left);
    EXPECT_EQ(rectOf(control("Text1")).right, before[1].right + 100);
    const RECT editorRect = rectOf(control("RichTextBox1"));
    EXPECT_EQ(editorRect.right, before[2].right + 100);
    EXPECT_EQ(editorRect.bottom, before[2].bottom + 50);
    EXPECT_EQ(rectOf(control("Label1")).left, before[3].left);
    EXPECT_EQ(rectOf(control("Text2")).right, before[4].right);
}

TEST_F(LayoutTest, TheUserCannotShrinkItBelowItsDesignedSize) {
    RECT window{};
    GetWindowRect(form->window(), &window);
    MINMAXINFO limits{};
    SendMessageW(form->window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, window.right - window.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, window.bottom - window.top);
}

TEST_F(LayoutTest, PickDisplayIsReadOnlyAndTheEditorMultiLine) {
    EXPECT_NE(GetWindowLongPtrW(pick(), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_EQ(GetWindowLongPtrW(interval(), GWL_STYLE) & ES_READONLY, 0);
    const LONG_PTR editorStyle = GetWindowLongPtrW(editor(), GWL_STYLE);
    EXPECT_NE(editorStyle & ES_MULTILINE, 0);
    EXPECT_NE(editorStyle & WS_VSCROLL, 0);
    // Raised to the largest the control can hold (Wine reports it as 0xFFFFFFFF).
    EXPECT_GE(static_cast<DWORD>(SendMessageW(editor(), EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
}

TEST_F(LayoutTest, ControlsUseTheMessageFont) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(editor(), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW used{};
    ASSERT_NE(GetObjectW(font, sizeof used, &used), 0);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    EXPECT_STREQ(used.lfFaceName, metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(used.lfHeight, metrics.lfMessageFont.lfHeight);
}

// Screen readers name a field after the label just before it.
TEST_F(LayoutTest, EachFieldFollowsTheLabelThatNamesIt) {
    const std::pair<const char*, const char*> pairs[] = {
        {"Label1", "Text1"}, {"Label3", "Text2"}, {"Label2", "RichTextBox1"}};
    for (const auto& [label, field] : pairs) {
        EXPECT_EQ(GetWindow(control(field), GW_HWNDPREV), control(label)) << field;
    }
    EXPECT_EQ(GetWindow(control("Label3"), GW_HWNDPREV), control("Label4"));
}

}  // namespace
}  // namespace zorbalin::win32::testing
