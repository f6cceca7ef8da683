#include "form1_fixture.h"

#include <iterator>

#include "message_loop.h"

namespace zorbalin::win32::testing {

void pumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) serveMessage(message);
}

bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        pumpMessages();
        if (condition()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        // Wakes for the next message, so nothing waits longer than it must.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}

void pressKey(WORD key, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    const auto add = [&inputs](WORD virtualKey, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (const WORD modifier : modifiers) add(modifier, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    for (auto modifier = std::rbegin(modifiers); modifier != std::rend(modifiers); ++modifier) {
        add(*modifier, KEYEVENTF_KEYUP);
    }
    const auto count = static_cast<UINT>(inputs.size());
    ASSERT_EQ(SendInput(count, inputs.data(), sizeof(INPUT)), count);
    pumpMessages();
}

void queueClick(HWND window, DWORD down, DWORD up) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = down;
    inputs[1].mi.dwFlags = up;
    ASSERT_EQ(SendInput(2, inputs, sizeof(INPUT)), 2u);
}

MenuProbe::MenuProbe() : hook_(SetWindowsHookExW(WH_CALLWNDPROC, &MenuProbe::hook, nullptr, GetCurrentThreadId())) {
    EXPECT_NE(hook_, nullptr);
}

MenuProbe::~MenuProbe() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
}

LRESULT CALLBACK MenuProbe::hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_INITMENUPOPUP) {
        const auto menu = reinterpret_cast<HMENU>(message->wParam);
        offered.clear();
        for (UINT at = 0; at < static_cast<UINT>(GetMenuItemCount(menu)); ++at) {
            const UINT state = GetMenuState(menu, at, MF_BYPOSITION);
            wchar_t text[64]{};
            GetMenuStringW(menu, at, text, 64, MF_BYPOSITION);
            offered.push_back((state & MF_SEPARATOR) != 0 ? u"-"
                              : fromWide(text) + ((state & MF_CHECKED) != 0 ? u" (checked)" : u"") +
                                    ((state & MF_GRAYED) != 0 ? u" (grayed)" : u""));
        }
        for (const WPARAM key : keys) PostMessageW(message->hwnd, WM_KEYDOWN, key, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<WPARAM> keysUpTo(layout::WindowCommand command) {
    const auto entries = layout::pickMenu({});
    std::size_t at = entries.size() - 1;
    while (at > 0 && entries[at].command != command) --at;
    std::vector<WPARAM> keys(entries.size() - at, VK_UP);
    keys.push_back(VK_RETURN);
    return keys;
}

void Form1Test::choosePickMenu(layout::WindowCommand command) {
    const MenuProbe probe;
    MenuProbe::keys = keysUpTo(command);
    SetFocus(pick());
    pressKey(VK_APPS);
    EXPECT_FALSE(MenuProbe::offered.empty()) << "no menu";
    MenuProbe::offered.clear();
    pumpMessages();
}

Form1& Form1Test::open(DrawTimerKind timerKind) {
    Form1Options options;
    options.settingsKeyPath = settingsKeyPath;
    options.dialogBackend = &dialog;
    const auto formEnabled = [this] { return form && IsWindowEnabled(form->window()) != FALSE; };
    options.showBox = [this, formEnabled](HWND owner, const layout::MessageBoxText& box) {
        boxes.push_back({owner, box.text, formEnabled()});
    };
    options.saveDialog = [this, formEnabled](HWND owner) -> Result<std::u16string> {
        saveDialogs.push_back({owner, {}, formEnabled()});
        return saveAnswer;
    };
    options.timerKind = timerKind;
    options.quitWhenDestroyed = false;
    options.recoveryFolder = files.file(L"recovery");
    form = std::make_unique<Form1>(std::move(options));
    return *form;
}

Form1& Form1Test::openShown() {
    open().show(SW_SHOWNORMAL);
    SetForegroundWindow(form->window());
    EXPECT_TRUE(pumpUntil([this] { return GetForegroundWindow() == form->window(); }));
    SetFocus(editor());
    pumpMessages();
    return *form;
}

}  // namespace zorbalin::win32::testing
