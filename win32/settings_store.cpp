#include "settings_store.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "handles.h"
#include "wide_text.h"

namespace zorbalin::win32 {

namespace {

std::optional<std::wstring> readText(HKEY key, const wchar_t* name) {
    // The value may change size between the two calls: ask again until it fits.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
            type != REG_SZ) {
            return std::nullopt;
        }
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LSTATUS status = RegQueryValueExW(key, name, nullptr, &type,
                                                reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        // A stored string need not end in NUL; one that does keeps it out of the text.
        std::wstring text(buffer.data(), size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
    }
    return std::nullopt;
}

bool writeText(HKEY key, const wchar_t* name, const std::wstring& text) {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes) == ERROR_SUCCESS;
}

}  // namespace

std::wstring defaultSettingsKeyPath() {
    return L"Software\\VB and VBA Program Settings\\" + toWide(lifecycle::kSettingsApplication) + L"\\" +
           toWide(lifecycle::kSettingsSection);
}

RegistrySettingsStore::RegistrySettingsStore(std::wstring keyPath) : keyPath_(std::move(keyPath)) {}

std::optional<std::u16string> RegistrySettingsStore::read(std::u16string_view name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    const UniqueRegistryKey key(opened);
    const std::optional<std::wstring> text = readText(key.get(), toWide(name).c_str());
    if (!text) return std::nullopt;
    return fromWide(*text);
}

Status RegistrySettingsStore::write(const Values& values) {
    HKEY created = nullptr;
    bool written = RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr,
                                   REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &created,
                                   nullptr) == ERROR_SUCCESS;
    if (written) {
        const UniqueRegistryKey key(created);
        for (const auto& [name, text] : values) {
            written = writeText(key.get(), toWide(name).c_str(), toWide(text)) && written;
        }
    }
    if (written) return done();
    return Problem{ProblemCode::SettingsNotSaved, {}, SystemCause::Other, location()};
}

std::u16string RegistrySettingsStore::location() const {
    return fromWide(L"HKEY_CURRENT_USER\\" + keyPath_);
}

}  // namespace zorbalin::win32
