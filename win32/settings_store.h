// The remembered values in the registry under HKEY_CURRENT_USER, where the original program's
// per-user settings live, so that an existing installation carries over.
#pragma once

#include <string>

#include "lifecycle/settings.h"

namespace zorbalin::win32 {

// Software\VB and VBA Program Settings\<application>\<section>, below HKEY_CURRENT_USER.
std::wstring defaultSettingsKeyPath();

class RegistrySettingsStore final : public lifecycle::SettingsStore {
public:
    // The key below HKEY_CURRENT_USER; tests give a temporary one.
    explicit RegistrySettingsStore(std::wstring keyPath = defaultSettingsKeyPath());

    // Values that are not REG_SZ read as missing.
    std::optional<std::u16string> read(std::u16string_view key) override;
    // Each value as REG_SZ, the key created as needed.
    Status write(const Values& values) override;
    std::u16string location() const override;

private:
    std::wstring keyPath_;
};

}  // namespace zorbalin::win32
