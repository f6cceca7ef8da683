// A registry key below HKEY_CURRENT_USER for one test, deleted with its values afterwards.
#pragma once

#include <string>

namespace zorbalin::win32::testing {

class TemporaryRegistryKey {
public:
    TemporaryRegistryKey();
    ~TemporaryRegistryKey();
    TemporaryRegistryKey(const TemporaryRegistryKey&) = delete;
    TemporaryRegistryKey& operator=(const TemporaryRegistryKey&) = delete;

    const std::wstring& path() const { return path_; }
    void set(const wchar_t* name, const std::wstring& value) const;
    // The REG_SZ value, or "<missing>".
    std::wstring get(const wchar_t* name) const;

private:
    std::wstring path_;
};

}  // namespace zorbalin::win32::testing
