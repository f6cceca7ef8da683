#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

#include "layout/texts.h"

namespace zorbalin::layout {

// Positions are designed in twips (1440 to the inch): 15 twips make one pixel at 96 dpi.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDesignDpi = 96;

enum class ControlKind { PushButton, Label, LineEdit, Editor };

// The window's controls, in the order of the table below; the code refers to a control by
// this identifier, never by its name.
enum class ControlId { Command2, Label1, Text1, Label3, Text2, Label4, Command1, Label2, RichTextBox1 };

// How a control follows the window when it is enlarged beyond its designed size.
enum class Anchor {
    TopLeft,        // stays where it is
    TopRight,       // keeps its distance to the right edge
    StretchWidth,   // keeps both side distances
    StretchBoth,    // keeps all four distances
};

struct ControlLayout {
    ControlId id;
    const char* name;        // the control's name: its Qt object name, for tests and tools
    ControlKind kind;
    std::u16string_view text;  // initial text or caption
    int left, top, width, height;  // twips, relative to the client area
    int tabIndex;            // labels take no focus but keep their place in the order
    Anchor anchor;
    bool readOnly = false;   // shows a text the user may select and copy but not change
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

inline constexpr int kClientWidthTwips = 4320;
inline constexpr int kClientHeightTwips = 5415;
inline constexpr int kTimerInitialIntervalMs = 100;

inline constexpr std::array<ControlLayout, 9> kLayout{{
    {ControlId::Command2, "Command2", ControlKind::PushButton, kStartCaption, 3120, 120, 1095, 375, 2, Anchor::TopRight},
    {ControlId::Label1, "Label1", ControlKind::Label, kPickLabel, 120, 360, 630, 180, 3, Anchor::TopLeft},
    {ControlId::Text1, "Text1", ControlKind::LineEdit, u"", 120, 600, 4095, 270, 5, Anchor::StretchWidth, true},
    {ControlId::Label3, "Label3", ControlKind::Label, kIntervalLabel, 120, 1080, 810, 180, 6, Anchor::TopLeft},
    {ControlId::Text2, "Text2", ControlKind::LineEdit, kDefaultIntervalText, 120, 1320, 1215, 270, 7, Anchor::TopLeft},
    {ControlId::Label4, "Label4", ControlKind::Label, kIntervalUnitLabel, 1440, 1350, 720, 180, 8, Anchor::TopLeft},
    {ControlId::Command1, "Command1", ControlKind::PushButton, kChooseFileCaption, 3120, 1680, 1095, 375, 1, Anchor::TopRight},
    {ControlId::Label2, "Label2", ControlKind::Label, kCandidatesLabel, 120, 1920, 1710, 180, 4, Anchor::TopLeft},
    {ControlId::RichTextBox1, "RichTextBox1", ControlKind::Editor, u"", 120, 2160, 4095, 3135, 0, Anchor::StretchBoth},
}};

// The label that names each field, for screen readers.
struct LabelBuddy {
    ControlId label;
    ControlId field;
};
inline constexpr std::array<LabelBuddy, 4> kLabelBuddies{{
    {ControlId::Label1, ControlId::Text1},
    {ControlId::Label3, ControlId::Text2},
    {ControlId::Label4, ControlId::Text2},
    {ControlId::Label2, ControlId::RichTextBox1},
}};

// Twips to pixels at the given dots per inch, rounded to the nearest pixel.
int twipsToPixels(int twips, int dpi);

// The table is designed for the 9-point interface font, whose Chinese characters are 12
// pixels wide at 96 dpi. A larger system font needs more room, as dialog units grow with the
// font: the dots per inch the layout is computed at are the screen's, raised by as much as a
// Chinese character of the window's font (chinesePixels wide on that screen) is wider than
// the design font's. Every size below takes this dpi, the window's own size too.
inline constexpr int kDesignChinesePixels = 12;
int layoutDpi(int screenDpi, int chinesePixels);

// The table row of a control, and its position in the table.
constexpr const ControlLayout& layoutOf(ControlId id) { return kLayout[static_cast<std::size_t>(id)]; }
constexpr std::size_t indexOf(ControlId id) { return static_cast<std::size_t>(id); }
static_assert([] {
    for (std::size_t i = 0; i < kLayout.size(); ++i) {
        if (indexOf(kLayout[i].id) != i) return false;
    }
    return true;
}(), "the table lists the controls in the order of ControlId");

// The table row of the control with that name, for tests and tools; nullptr for none.
const ControlLayout* findControlNamed(std::string_view name);

// The controls in tab order (labels included, as they hold their place in it).
std::array<const ControlLayout*, kLayout.size()> controlsInTabOrder();

PixelSize designedClientSize(int dpi = kDesignDpi);
PixelRect designedRect(const ControlLayout& control, int dpi = kDesignDpi);

// The rectangle for a client area of the given size in pixels; a client area smaller than
// designed places the controls as designed.
PixelRect anchoredRect(const ControlLayout& control, PixelSize clientSize, int dpi = kDesignDpi);

// The presentation view's pick is fitted in the largest font size between these (pixels).
inline constexpr int kPresentationSmallestPickPixels = 12;
inline constexpr int kPresentationLargestPickPixels = 4096;

// The presentation view over a screen of this size: the pick takes all but a margin and the
// help line's band at the bottom, whose text is helpPixels high.
struct PresentationLayout {
    PixelRect pick;
    PixelRect help;
    int helpPixels = 0;
};
PresentationLayout presentationLayout(PixelSize screen);

// Several picks at once in the presentation view: a grid of columns and rows over the pick's
// area, one cell a pick in the order drawn, row by row. The shape is the one whose cells
// give a name of three characters the largest font.
struct Grid {
    int columns = 1;
    int rows = 1;
    friend bool operator==(const Grid&, const Grid&) = default;
};
Grid presentationGrid(PixelSize area, std::size_t cells);
// The cell of a pick in the grid.
PixelRect gridCell(const PixelRect& area, const Grid& grid, std::size_t index);
// The part of a cell its pick is fitted in: the whole cell in a grid of one, else all but the
// gap that keeps neighbours apart (a character of a three-character name across, a fifth of
// the cell down, as presentationGrid reckons).
PixelRect gridPickArea(const PixelRect& cell, const Grid& grid);

// The small window over the slides, placed where it was left: wholly on the screen it is most
// on, or on the first screen when it is on none of them any more (a screen taken away).
struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};
PixelPoint placeOnScreens(const PixelRect& wanted, const std::vector<PixelRect>& screens);
// The remembered place as text, "x,y", and back; nothing for a text that is none.
std::u16string pointText(PixelPoint point);
std::optional<PixelPoint> pointOfText(std::u16string_view text);

}  // namespace zorbalin::layout
