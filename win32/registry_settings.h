// The two values remembered between runs, in the registry under HKEY_CURRENT_USER, where the
// original program's per-user settings live, so that an existing installation carries over.
#pragma once

#include <string>

namespace zorbalin::win32 {

inline constexpr wchar_t kSettingsKeyPath[] =
    L"Software\\VB and VBA Program Settings\\Pellanor\\Nomal";

struct StoredSettings {
    std::wstring path;      // "Path": the remembered candidate file, "" when none
    std::wstring interval;  // "Interval": the interval text of the last Start, "" when none
};

class RegistrySettings {
public:
    // The key below HKEY_CURRENT_USER; tests give a temporary one.
    explicit RegistrySettings(std::wstring keyPath = kSettingsKeyPath);

    // Missing values, values that are not text and a key that cannot be read give "".
    StoredSettings read() const;
    // Both values as REG_SZ, the key created as needed; false when they could not be written.
    bool write(const StoredSettings& settings) const;
    // Where the values are kept, for messages.
    std::wstring location() const;

private:
    std::wstring keyPath_;
};

}  // namespace zorbalin::win32
