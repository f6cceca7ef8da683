#include "lifecycle/settings.h"

namespace zorbalin::lifecycle {

StoredSettings readStoredSettings(SettingsStore& store) {
    StoredSettings settings{store.read(kPathKey).value_or(u""), store.read(kIntervalKey).value_or(u"")};
    if (const std::optional<std::u16string> noRepeat = store.read(kNoRepeatKey)) {
        settings.noRepeat = *noRepeat == u"1";
    }
    return settings;
}

Status writeStoredSettings(SettingsStore& store, const StoredSettings& settings) {
    SettingsStore::Values values{{kPathKey, settings.path}, {kIntervalKey, settings.interval}};
    if (settings.noRepeat) values.emplace_back(kNoRepeatKey, *settings.noRepeat ? u"1" : u"0");
    return store.write(values);
}

}  // namespace zorbalin::lifecycle
