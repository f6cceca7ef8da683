#include "dpi.h"

#include "layout/layout_table.h"
#include "system_function.h"

namespace zorbalin::win32 {

namespace {

// An entry point of user32.dll, or null where this Windows does not have it.
template <typename Function>
Function user32Function(const char* name) {
    return systemFunction<Function>(L"user32.dll", name);
}

int screenDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

int windowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    return screenDpi();
}

int systemDpi() {
    using GetDpiForSystemFunction = UINT(WINAPI*)();
    static const auto getDpiForSystem = user32Function<GetDpiForSystemFunction>("GetDpiForSystem");
    if (getDpiForSystem != nullptr) {
        const UINT dpi = getDpiForSystem();
        if (dpi != 0) return static_cast<int>(dpi);
    }
    return screenDpi();
}

RECT windowRectForClient(RECT client, DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi =
        user32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT rect = client;
    if (adjustForDpi != nullptr && adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        return rect;
    }
    rect = client;
    if (!AdjustWindowRectEx(&rect, style, FALSE, exStyle)) return client;
    return rect;
}

UniqueFont createMessageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
        font.lfHeight = MulDiv(font.lfHeight, dpi, systemDpi());
    } else {
        // 9 points, the classic interface font size.
        font.lfHeight = -MulDiv(9, dpi, 72);
        font.lfCharSet = DEFAULT_CHARSET;
    }
    return UniqueFont(CreateFontIndirectW(&font));
}

int fontLayoutDpi(int dpi, HFONT font) {
    WindowDc screen(nullptr);
    SIZE extent{};
    if (font == nullptr || screen.get() == nullptr) return dpi;
    const SelectedObject selected(screen.get(), font);
    if (!GetTextExtentPoint32W(screen.get(), L"\u4e2d", 1, &extent)) return dpi;  // 中
    return layout::layoutDpi(dpi, extent.cx);
}

}  // namespace zorbalin::win32
