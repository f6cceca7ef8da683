#include "window/layout_table.h"

namespace zorbalin::window {

QString layoutText(const ControlLayout& control) {
    return QString::fromUtf16(control.text);
}

QRect designedRect(const ControlLayout& control) {
    return {control.left / kTwipsPerPixel, control.top / kTwipsPerPixel,
            control.width / kTwipsPerPixel, control.height / kTwipsPerPixel};
}

QSize designedClientSize() {
    return {kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel};
}

QRect anchoredRect(const ControlLayout& control, QSize clientSize) {
    const QSize designed = designedClientSize();
    const int extraWidth = std::max(0, clientSize.width() - designed.width());
    const int extraHeight = std::max(0, clientSize.height() - designed.height());
    QRect rect = designedRect(control);
    switch (control.anchor) {
    case Anchor::TopLeft:
        break;
    case Anchor::TopRight:
        rect.translate(extraWidth, 0);
        break;
    case Anchor::StretchWidth:
        rect.setWidth(rect.width() + extraWidth);
        break;
    case Anchor::StretchBoth:
        rect.setSize(rect.size() + QSize(extraWidth, extraHeight));
        break;
    }
    return rect;
}

}  // namespace zorbalin::window
