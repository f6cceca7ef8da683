#pragma once

#include <windows.h>

#include <string_view>

#include "handles.h"

namespace zorbalin::win32 {

// BeginPaint and its EndPaint, which must come whatever happens in between.
class Painting {
public:
    explicit Painting(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~Painting() { EndPaint(window_, &paint_); }
    Painting(const Painting&) = delete;
    Painting& operator=(const Painting&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Answers WM_PAINT with paint(dc, client) drawn aside and copied in one go, so that a pick
// that changes with every tick does not flicker.
template <class Paint>
void paintBuffered(HWND window, Paint&& paint) {
    const Painting painting(window);
    RECT client{};
    GetClientRect(window, &client);
    const UniqueMemoryDc memory(CreateCompatibleDC(painting.dc()));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(painting.dc(), client.right, client.bottom));
    if (!memory || !bitmap) return;
    const SelectedObject selected(memory.get(), bitmap.get());
    paint(memory.get(), client);
    BitBlt(painting.dc(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

inline int drawText(HDC dc, std::u16string_view text, RECT& rect, UINT format) {
    return DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
                     &rect, format);
}

}  // namespace zorbalin::win32
