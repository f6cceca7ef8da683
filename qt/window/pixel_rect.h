// The shared layout's pixel rectangles as Qt's.
#pragma once

#include <QRect>

#include "layout/layout_table.h"

namespace zorbalin::window {

inline QRect toQRect(const layout::PixelRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

}  // namespace zorbalin::window
