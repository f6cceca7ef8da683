#include "temporary_registry_key.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

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
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, path_.c_str(), name, REG_SZ, value.c_str(), bytes),
              ERROR_SUCCESS);
}

std::wstring TemporaryRegistryKey::get(const wchar_t* name) const {
    wchar_t value[1024]{};  // enough for any value a test stores
    DWORD bytes = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, path_.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &bytes) !=
        ERROR_SUCCESS) {
        return L"<missing>";
    }
    return value;
}

}  // namespace zorbalin::win32::testing
