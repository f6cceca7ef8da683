#include "message_loop.h"

namespace zorbalin::win32 {

int runMessageLoop(HWND dialogWindow) {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        if (IsWindow(dialogWindow) && IsDialogMessageW(dialogWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace zorbalin::win32
