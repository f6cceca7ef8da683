#pragma once

#include <QString>

namespace zorbalin::window {

// The two values remembered between runs.
struct StoredSettings {
    QString path;      // "Path": the remembered candidate file, "" when none
    QString interval;  // "Interval": the interval text of the last Start, "" when none
};

// The per-user settings store: organisation and application "Pellanor", group "Nomal".
// On Linux this is ~/.config/Pellanor/Pellanor.conf.
class SettingsStore {
public:
    // Missing keys, and a store that cannot be read, give empty texts.
    StoredSettings read() const;
    // Returns false when the values could not be written.
    bool write(const StoredSettings& settings) const;
    // Where the values are kept, for messages.
    QString location() const;
};

}  // namespace zorbalin::window
