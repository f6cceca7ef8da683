#include "lifecycle/settings.h"

namespace zorbalin::lifecycle {

StoredSettings readStoredSettings(SettingsStore& store) {
    return {store.read(kPathKey).value_or(u""), store.read(kIntervalKey).value_or(u"")};
}

Status writeStoredSettings(SettingsStore& store, const StoredSettings& settings) {
    return store.write({{kPathKey, settings.path}, {kIntervalKey, settings.interval}});
}

}  // namespace zorbalin::lifecycle
