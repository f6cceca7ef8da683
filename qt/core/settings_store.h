#pragma once

#include "lifecycle/settings.h"

namespace zorbalin::window {

// The remembered values in Qt's native per-user store: organisation and application
// "Pellanor", group "Nomal"; on Linux the file ~/.config/Pellanor/Pellanor.conf.
class QtSettingsStore final : public lifecycle::SettingsStore {
public:
    std::optional<std::u16string> read(std::u16string_view key) override;
    Status write(const Values& values) override;
    std::u16string location() const override;
};

}  // namespace zorbalin::window
