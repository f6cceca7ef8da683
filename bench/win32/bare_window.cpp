// The least a Win32 program needs to show a window of Zorbalin's client size titled
// "Bare window": the floor for the cold start. Given a UTF-8 file, it also shows the file's
// text in a plain multi-line EDIT control in the message font, the floor for loading
// candidates.
// Usage: bare_window [FILE]
#include <windows.h>

#include <string>

namespace {

constexpr int kClientWidth = 288;  // Zorbalin's client area at 96 dpi
constexpr int kClientHeight = 361;

std::wstring readUtf8File(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    LARGE_INTEGER size{};
    std::string bytes;
    DWORD read = 0;
    if (GetFileSizeEx(file, &size) && size.QuadPart < MAXDWORD) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
    }
    CloseHandle(file);
    bytes.resize(read);
    std::wstring text(bytes.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                           text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    if (RegisterClassW(&windowClass) == 0) return 1;

    constexpr DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Bare window", style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;

    if (__argc > 1) {
        HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                        ES_AUTOVSCROLL | ES_AUTOHSCROLL,  // lines not wrapped
                                    8, 144, 273, 209, window, nullptr, instance, nullptr);
        if (edit == nullptr) return 1;
        // The same font as the window's editor: the system's message font, which covers
        // Chinese. Measuring its glyphs is much of the control's work.
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
            if (font != nullptr) SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
        SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // 0: as much as the control can hold
        SetWindowTextW(edit, readUtf8File(__wargv[1]).c_str());
    }
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
