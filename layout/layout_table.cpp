#include "layout/layout_table.h"

#include <algorithm>

#include "base/decimal_text.h"

namespace zorbalin::layout {

int twipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = kTwipsPerInch / 2;
    return static_cast<int>((scaled >= 0 ? scaled + half : scaled - half) / kTwipsPerInch);
}

int layoutDpi(int screenDpi, int chinesePixels) {
    return std::max(screenDpi, chinesePixels * kDesignDpi / kDesignChinesePixels);
}

const ControlLayout* findControlNamed(std::string_view name) {
    const auto found = std::find_if(kLayout.begin(), kLayout.end(),
                                    [name](const ControlLayout& c) { return c.name == name; });
    return found == kLayout.end() ? nullptr : &*found;
}

std::array<const ControlLayout*, kLayout.size()> controlsInTabOrder() {
    std::array<const ControlLayout*, kLayout.size()> ordered{};
    for (const ControlLayout& control : kLayout) ordered[static_cast<std::size_t>(control.tabIndex)] = &control;
    return ordered;
}

PixelSize designedClientSize(int dpi) {
    return {twipsToPixels(kClientWidthTwips, dpi), twipsToPixels(kClientHeightTwips, dpi)};
}

PixelRect designedRect(const ControlLayout& control, int dpi) {
    return {twipsToPixels(control.left, dpi), twipsToPixels(control.top, dpi),
            twipsToPixels(control.width, dpi), twipsToPixels(control.height, dpi)};
}

PixelRect anchoredRect(const ControlLayout& control, PixelSize clientSize, int dpi) {
    const PixelSize designed = designedClientSize(dpi);
    const int extraWidth = std::max(0, clientSize.width - designed.width);
    const int extraHeight = std::max(0, clientSize.height - designed.height);
    PixelRect rect = designedRect(control, dpi);
    switch (control.anchor) {
    case Anchor::TopLeft:
        break;
    case Anchor::TopRight:
        rect.left += extraWidth;
        break;
    case Anchor::StretchWidth:
        rect.width += extraWidth;
        break;
    case Anchor::StretchBoth:
        rect.width += extraWidth;
        rect.height += extraHeight;
        break;
    }
    return rect;
}

PresentationLayout presentationLayout(PixelSize screen) {
    const int margin = screen.height / 20;
    const int helpPixels = std::max(16, screen.height / 40);
    const int width = std::max(0, screen.width - 2 * margin);
    const int helpTop = std::max(margin, screen.height - margin - 2 * helpPixels);
    return {{margin, margin, width, std::max(0, helpTop - 2 * margin)},
            {margin, helpTop, width, 2 * helpPixels},
            helpPixels};
}

Grid presentationGrid(PixelSize area, std::size_t cells) {
    Grid best;
    long long bestPixels = -1;
    const int count = static_cast<int>(std::max<std::size_t>(cells, 1));
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        // A name of three characters, a character's width apart from its neighbours.
        const long long pixels = std::min<long long>(area.width / columns / 4, area.height / rows * 4 / 5);
        if (pixels > bestPixels) {
            bestPixels = pixels;
            best = {columns, rows};
        }
    }
    return best;
}

PixelRect gridCell(const PixelRect& area, const Grid& grid, std::size_t index) {
    const int column = static_cast<int>(index % static_cast<std::size_t>(grid.columns));
    const int row = static_cast<int>(index / static_cast<std::size_t>(grid.columns));
    const int left = area.left + area.width * column / grid.columns;
    const int top = area.top + area.height * row / grid.rows;
    return {left, top, area.left + area.width * (column + 1) / grid.columns - left,
            area.top + area.height * (row + 1) / grid.rows - top};
}

PixelRect gridPickArea(const PixelRect& cell, const Grid& grid) {
    if (grid.columns * grid.rows <= 1) return cell;
    const int across = cell.width / 8;
    const int down = cell.height / 10;
    return {cell.left + across, cell.top + down, cell.width - 2 * across, cell.height - 2 * down};
}

PixelPoint placeOnScreens(const PixelRect& wanted, const std::vector<PixelRect>& screens) {
    if (screens.empty()) return {wanted.left, wanted.top};
    const auto overlap = [&wanted](const PixelRect& screen) {
        const long long width = std::min(wanted.left + wanted.width, screen.left + screen.width) -
                                std::max(wanted.left, screen.left);
        const long long height = std::min(wanted.top + wanted.height, screen.top + screen.height) -
                                 std::max(wanted.top, screen.top);
        return width > 0 && height > 0 ? width * height : 0;
    };
    const auto most = std::max_element(screens.begin(), screens.end(),
                                       [&](const PixelRect& a, const PixelRect& b) { return overlap(a) < overlap(b); });
    const PixelRect& screen = overlap(*most) > 0 ? *most : screens.front();
    const auto within = [](int at, int size, int from, int room) {
        return std::max(from, std::min(at, from + room - size));
    };
    return {within(wanted.left, wanted.width, screen.left, screen.width),
            within(wanted.top, wanted.height, screen.top, screen.height)};
}

std::u16string pointText(PixelPoint point) {
    return signedDecimalText(point.x) + u"," + signedDecimalText(point.y);
}

std::optional<PixelPoint> pointOfText(std::u16string_view text) {
    const auto number = [](std::u16string_view digits) -> std::optional<int> {
        const bool negative = !digits.empty() && digits.front() == u'-';
        if (negative) digits.remove_prefix(1);
        if (digits.empty() || digits.size() > 6) return std::nullopt;
        int value = 0;
        for (const char16_t c : digits) {
            if (c < u'0' || c > u'9') return std::nullopt;
            value = value * 10 + (c - u'0');
        }
        return negative ? -value : value;
    };
    const std::size_t comma = text.find(u',');
    if (comma == std::u16string_view::npos) return std::nullopt;
    const std::optional<int> x = number(text.substr(0, comma));
    const std::optional<int> y = number(text.substr(comma + 1));
    if (!x || !y) return std::nullopt;
    return PixelPoint{*x, *y};
}

}  // namespace zorbalin::layout
