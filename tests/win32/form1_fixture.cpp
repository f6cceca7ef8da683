#include "form1_fixture.h"

#include <atomic>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "message_loop.h"
#include "wide_text.h"

namespace zorbalin::win32::testing {

TemporaryRegistryKey::TemporaryRegistryKey() {
    static std::atomic<unsigned> counter{0};
    path_ = L"Software\\ZorbalinTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(counter.fetch_add(1));
}

TemporaryRegistryKey::~TemporaryRegistryKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ZorbalinTests");  // once the last one is gone
}

void TemporaryRegistryKey::set(const wchar_t* name, const std::wstring& value) const {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const LSTATUS status =
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

std::wstring TemporaryRegistryKey::get(const wchar_t* name) const {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, path_.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, path_.c_str(), name, RRF_RT_REG_SZ, nullptr, value.data(),
                     &bytes) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return value;
}

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

std::u16string textOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return fromWide(text);
}

void typeText(HWND field, std::u16string_view text) {
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(toWide(text).c_str()));
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

Form1& Form1Test::open(DrawTimerKind timerKind) {
    Form1Options options;
    options.settingsKeyPath = settingsKeyPath;
    options.dialogBackend = &dialog;
    options.showMessage = [this](HWND owner, std::u16string_view text, std::u16string_view title) {
        boxes.push_back({owner, std::u16string(text), std::u16string(title)});
    };
    options.timerKind = timerKind;
    options.quitWhenDestroyed = false;
    options.recoveryFolder = files.file(L"recovery");
    form = std::make_unique<Form1>(GetModuleHandleW(nullptr), std::move(options));
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
