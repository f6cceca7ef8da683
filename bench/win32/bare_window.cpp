// The floor for the Windows program: the least a Win32 program does to show a window of
// Zorbalin's client size titled "Bare window". Given a UTF-8 file, it first gives the file's
// text to a multi-line EDIT control styled like the editor (message font, no wrapping).
// Usage: bare_window [FILE]
#include <windows.h>

#include <string>

namespace {

std::wstring readUtf8File(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size{};
    std::string bytes;
    DWORD read = 0;
    if (file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size) && size.QuadPart < MAXDWORD) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    std::wstring text(read, L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read),
                                           text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    RECT frame{0, 0, 288, 361};  // Zorbalin's client area at 96 dpi
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = RegisterClassW(&windowClass) == 0 ? nullptr
        : CreateWindowExW(0, L"BareWindow", L"Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                          CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                          nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (__argc > 1) {
        HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                        ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                    8, 144, 273, 209, window, nullptr, instance, nullptr);
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (edit == nullptr || !SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return 1;
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(CreateFontIndirectW(&metrics.lfMessageFont)), FALSE);
        SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // as much as the control can hold
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
