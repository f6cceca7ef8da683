#include "draw/fitted_font.h"

#include <algorithm>

namespace zorbalin::draw {

namespace {

// Long picks are rare and costly to keep; a class list fits many times over.
constexpr std::size_t kLongestRemembered = 256;
constexpr std::size_t kMostRemembered = 4096;

}  // namespace

FittedFont::FittedFont(int smallestPixels, int largestPixels)
    : smallest_(smallestPixels),
      largest_(std::max(smallestPixels, largestPixels)),
      last_(smallestPixels) {}

void FittedFont::setArea(TextBox area) {
    if (area.width == area_.width && area.height == area_.height) return;
    area_ = area;
    fitted_.clear();
}

int FittedFont::fit(std::u16string_view text, const MeasureText& measure) {
    if (const auto found = fitted_.find(text); found != fitted_.end()) {
        last_ = found->second;
        return last_;
    }
    const auto fits = [&](int pixels) {
        const TextBox box = measure(text, pixels, area_.width);
        return box.width <= area_.width && box.height <= area_.height;
    };

    // Steps grow from the last size until one fits and one does not; then halving closes
    // in. Throughout, `low` fits (or is below the smallest size) and `high` does not (or is
    // above the largest), so `low` is the answer once they are neighbours.
    int low;
    int high;
    const int start = std::clamp(last_, smallest_, largest_);
    int step = 1;
    if (fits(start)) {
        low = start;
        high = largest_ + 1;
        for (int probe = start + 1; probe <= largest_; probe = low + step) {
            if (!fits(probe)) {
                high = probe;
                break;
            }
            low = probe;
            step *= 2;
        }
    } else {
        high = start;
        low = smallest_ - 1;
        for (int probe = start - 1; probe >= smallest_; probe = high - step) {
            if (fits(probe)) {
                low = probe;
                break;
            }
            high = probe;
            step *= 2;
        }
    }
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        (fits(middle) ? low : high) = middle;
    }
    last_ = std::max(low, smallest_);

    if (text.size() <= kLongestRemembered) {
        if (fitted_.size() >= kMostRemembered) fitted_.clear();
        fitted_.emplace(text, last_);
    }
    return last_;
}

}  // namespace zorbalin::draw
