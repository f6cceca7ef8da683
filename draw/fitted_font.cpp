#include "draw/fitted_font.h"

#include <algorithm>

namespace zorbalin::draw {

namespace {

// Long picks are rare and costly to keep; a class list fits many times over.
constexpr std::size_t kLongestRemembered = 64;
constexpr std::size_t kPlaces = 1024;

std::size_t placeOf(std::u16string_view text) {
    return std::hash<std::u16string_view>{}(text) % kPlaces;
}

}  // namespace

FittedFont::FittedFont(int smallestPixels, int largestPixels)
    : smallest_(std::max(1, smallestPixels)),
      largest_(std::max(smallest_, largestPixels)),
      last_(smallest_),
      remembered_(kPlaces) {}

void FittedFont::setArea(TextBox area) {
    if (area.width == area_.width && area.height == area_.height) return;
    area_ = area;
    for (Remembered& place : remembered_) place.pixels = 0;
}

int FittedFont::fit(std::u16string_view text, const MeasureText& measure) {
    Remembered* const place =
        text.size() <= kLongestRemembered ? &remembered_[placeOf(text)] : nullptr;
    if (place != nullptr && place->pixels != 0 && place->text == text) {
        last_ = place->pixels;
        return last_;
    }
    // Throughout, `low` fits (or is below the smallest size) and `high` does not (or is
    // above the largest), so `low` is the answer once they are neighbours.
    int low = smallest_ - 1;
    int high = largest_ + 1;
    TextBox box;
    bool lastFitted = false;
    const auto fits = [&](int pixels) {
        box = measure(text, pixels, area_.width);
        lastFitted = box.width <= area_.width && box.height <= area_.height;
        (lastFitted ? low : high) = pixels;
        return lastFitted;
    };

    // A text on one line grows in proportion to its font, so the box at one size tells
    // where the answer lies. Wrapping and hinting make that a guess; each guess measured
    // narrows the range, and a few of them come close enough.
    constexpr int kGuesses = 4;
    int probe = std::clamp(last_, smallest_, largest_);
    for (int guess = 0; guess < kGuesses && high - low > 1; ++guess) {
        fits(probe);
        if (box.width <= 0 || box.height <= 0 || high - low <= 1) break;
        const double scale = std::min(static_cast<double>(area_.width) / box.width,
                                      static_cast<double>(area_.height) / box.height);
        probe = static_cast<int>(std::clamp(probe * scale, static_cast<double>(low + 1),
                                            static_cast<double>(high - 1)));
    }
    // Steps that double from there, towards the answer, and then halving.
    if (high - low > 1) {
        const bool upwards = lastFitted;
        for (int step = 1; high - low > 1; step *= 2) {
            const int next =
                upwards ? std::min(low + step, high - 1) : std::max(high - step, low + 1);
            if (fits(next) != upwards) break;
        }
    }
    while (high - low > 1) fits(low + (high - low) / 2);
    last_ = std::max(low, smallest_);

    if (place != nullptr) {
        place->text.assign(text);
        place->pixels = last_;
    }
    return last_;
}

}  // namespace zorbalin::draw
