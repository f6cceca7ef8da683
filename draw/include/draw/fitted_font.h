#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zorbalin::draw {

struct TextBox {
    int width = 0;
    int height = 0;
};

// The box a text takes in a font of `fontPixels`, wrapped at `wrapWidth`, as the front end
// draws it (Qt: QFontMetrics::boundingRect with Qt::TextWordWrap; Win32: DrawText with
// DT_CALCRECT | DT_WORDBREAK). A word longer than the width gives a wider box.
using MeasureText =
    std::function<TextBox(std::u16string_view text, int fontPixels, int wrapWidth)>;

// The largest font in which the pick fits the presentation view, wrapped if it is long.
//
// The search starts from the size fitted last and the box measured there: a text on one
// line grows in proportion to its font, so that box predicts the answer, and steps that
// double from the prediction settle it (the picks of a list are mostly alike: two or three
// measurements). Short texts are remembered with their size, so that the picks of a class
// list are measured once. A text is taken to fit in every size below one it fits in.
class FittedFont {
public:
    FittedFont(int smallestPixels, int largestPixels);

    // The area the pick may fill; a new area forgets what was fitted.
    void setArea(TextBox area);

    // The font size for the text; the smallest when not even that fits.
    int fit(std::u16string_view text, const MeasureText& measure);

private:
    // One place per hash of a short text: a class list's picks keep their places, while a
    // long list only overwrites them, without allocating or clearing anything per tick.
    struct Remembered {
        std::u16string text;
        int pixels = 0;  // 0: nothing remembered here
    };

    int smallest_;
    int largest_;
    TextBox area_;
    int last_;
    std::vector<Remembered> remembered_;
};

}  // namespace zorbalin::draw
