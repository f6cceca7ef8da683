#include "registry_settings.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "handles.h"

namespace zorbalin::win32 {

namespace {

constexpr wchar_t kPathValue[] = L"Path";
constexpr wchar_t kIntervalValue[] = L"Interval";

std::wstring readText(HKEY key, const wchar_t* name) {
    // The value may change size between the two calls: ask again until it fits.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
            type != REG_SZ) {
            return {};
        }
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LSTATUS status = RegQueryValueExW(key, name, nullptr, &type,
                                                reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS || type != REG_SZ) return {};
        // A stored string need not end in NUL; one that does keeps it out of the text.
        std::wstring text(buffer.data(), size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
    }
    return {};
}

bool writeText(HKEY key, const wchar_t* name, const std::wstring& text) {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes) == ERROR_SUCCESS;
}

}  // namespace

RegistrySettings::RegistrySettings(std::wstring keyPath) : keyPath_(std::move(keyPath)) {}

StoredSettings RegistrySettings::read() const {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS) {
        return {};
    }
    const UniqueRegistryKey key(opened);
    return {readText(key.get(), kPathValue), readText(key.get(), kIntervalValue)};
}

bool RegistrySettings::write(const StoredSettings& settings) const {
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &created, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueRegistryKey key(created);
    const bool pathWritten = writeText(key.get(), kPathValue, settings.path);
    const bool intervalWritten = writeText(key.get(), kIntervalValue, settings.interval);
    return pathWritten && intervalWritten;
}

std::wstring RegistrySettings::location() const {
    return L"HKEY_CURRENT_USER\\" + keyPath_;
}

}  // namespace zorbalin::win32
