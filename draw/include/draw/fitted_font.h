#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

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
// A size is searched from the one fitted last, first step by step and then by halving
// (the picks of a list are mostly alike, so two measurements usually settle it: the last
// size fits and the next does not), and remembered for each short text, so that the picks
// of a class list are measured once. A text is taken to fit in every size below one it
// fits in.
class FittedFont {
public:
    FittedFont(int smallestPixels, int largestPixels);

    // The area the pick may fill; a new area forgets what was fitted.
    void setArea(TextBox area);

    // The font size for the text; the smallest when not even that fits.
    int fit(std::u16string_view text, const MeasureText& measure);

private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view text) const {
            return std::hash<std::u16string_view>{}(text);
        }
    };

    int smallest_;
    int largest_;
    TextBox area_;
    int last_;
    std::unordered_map<std::u16string, int, TextHash, std::equal_to<>> fitted_;
};

}  // namespace zorbalin::draw
