#include "layout/layout_table.h"

#include <algorithm>

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

}  // namespace zorbalin::layout
