#pragma once

#include <array>
#include <string_view>

namespace zorbalin::layout {

// Positions are designed in twips (1440 to the inch): 15 twips make one pixel at 96 dpi.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDesignDpi = 96;

enum class ControlKind { PushButton, Label, LineEdit, Editor };

// How a control follows the window when it is enlarged beyond its designed size.
enum class Anchor {
    TopLeft,        // stays where it is
    TopRight,       // keeps its distance to the right edge
    StretchWidth,   // keeps both side distances
    StretchBoth,    // keeps all four distances
};

struct ControlLayout {
    const char* name;        // the control's name (Qt object name, Win32 member)
    ControlKind kind;
    const char16_t* text;    // initial text or caption
    int left, top, width, height;  // twips, relative to the client area
    int tabIndex;            // labels take no focus but keep their place in the order
    Anchor anchor;
};

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

inline constexpr std::u16string_view kWindowCaption = u"Zorbalin";
inline constexpr int kClientWidthTwips = 4320;
inline constexpr int kClientHeightTwips = 5415;
inline constexpr int kTimerInitialIntervalMs = 100;

inline constexpr std::array<ControlLayout, 9> kLayout{{
    {"Command2", ControlKind::PushButton, u"开始滚动", 3120, 120, 1095, 375, 2, Anchor::TopRight},
    {"Label1", ControlKind::Label, u"选中项:", 120, 360, 630, 180, 3, Anchor::TopLeft},
    {"Text1", ControlKind::LineEdit, u"", 120, 600, 4095, 270, 5, Anchor::StretchWidth},
    {"Label3", ControlKind::Label, u"滚动频率:", 120, 1080, 810, 180, 6, Anchor::TopLeft},
    {"Text2", ControlKind::LineEdit, u"50", 120, 1320, 1215, 270, 7, Anchor::TopLeft},
    {"Label4", ControlKind::Label, u"单位(ms)", 1440, 1350, 720, 180, 8, Anchor::TopLeft},
    {"Command1", ControlKind::PushButton, u"选择文件", 3120, 1680, 1095, 375, 1, Anchor::TopRight},
    {"Label2", ControlKind::Label, u"备选项(每行为一项):", 120, 1920, 1710, 180, 4, Anchor::TopLeft},
    {"RichTextBox1", ControlKind::Editor, u"", 120, 2160, 4095, 3135, 0, Anchor::StretchBoth},
}};

// The label that names each field, for screen readers.
struct LabelBuddy {
    const char* label;
    const char* field;
};
inline constexpr std::array<LabelBuddy, 4> kLabelBuddies{{
    {"Label1", "Text1"},
    {"Label3", "Text2"},
    {"Label4", "Text2"},
    {"Label2", "RichTextBox1"},
}};

// Twips to pixels at the given dots per inch, rounded to the nearest pixel.
int twipsToPixels(int twips, int dpi);

// The table row of the named control; the table's own names only.
const ControlLayout& controlNamed(std::string_view name);

// The controls in tab order (labels included, as they hold their place in it).
std::array<const ControlLayout*, kLayout.size()> controlsInTabOrder();

PixelSize designedClientSize(int dpi = kDesignDpi);
PixelRect designedRect(const ControlLayout& control, int dpi = kDesignDpi);

// The rectangle for a client area of the given size in pixels; a client area smaller than
// designed places the controls as designed.
PixelRect anchoredRect(const ControlLayout& control, PixelSize clientSize, int dpi = kDesignDpi);

}  // namespace zorbalin::layout
