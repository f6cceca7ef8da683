#pragma once

#include <QRect>
#include <QString>

#include <array>

namespace zorbalin::window {

// Positions are designed in twips (1440 to the inch); at 96 dpi 15 twips make one
// device-independent pixel, and Qt scales those on high-DPI screens.
inline constexpr int kTwipsPerPixel = 15;

enum class ControlKind { PushButton, Label, LineEdit, Editor };

// How a control follows the window when it is enlarged beyond its designed size.
enum class Anchor {
    TopLeft,        // stays where it is
    TopRight,       // keeps its distance to the right edge
    StretchWidth,   // keeps both side distances
    StretchBoth,    // keeps all four distances
};

struct ControlLayout {
    const char* name;        // the Qt object name
    ControlKind kind;
    const char16_t* text;    // initial text or caption
    int left, top, width, height;  // twips, relative to the client area
    int tabIndex;            // labels take no focus but keep their place in the order
    Anchor anchor;
};

inline constexpr int kClientWidthTwips = 4320;
inline constexpr int kClientHeightTwips = 5415;

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

QString layoutText(const ControlLayout& control);

// The designed rectangle in pixels.
QRect designedRect(const ControlLayout& control);

// The rectangle for a client area of the given size (never smaller than designed).
QRect anchoredRect(const ControlLayout& control, QSize clientSize);

QSize designedClientSize();

}  // namespace zorbalin::window
