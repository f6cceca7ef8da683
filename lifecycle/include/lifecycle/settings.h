// The values remembered between runs: their names and how they are read and written, once
// for both front ends, over the platform's per-user store of text values.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/result.h"

namespace zorbalin::lifecycle {

// Where they are kept: the application and the section of the platform's store.
inline constexpr std::u16string_view kSettingsApplication = u"Pellanor";
inline constexpr std::u16string_view kSettingsSection = u"Nomal";
inline constexpr std::u16string_view kPathKey = u"Path";
inline constexpr std::u16string_view kIntervalKey = u"Interval";
inline constexpr std::u16string_view kNoRepeatKey = u"NoRepeat";
inline constexpr std::u16string_view kDrawCountKey = u"DrawCount";
inline constexpr std::u16string_view kSlowStopKey = u"SlowStop";
inline constexpr std::u16string_view kFloatingKey = u"Floating";
inline constexpr std::u16string_view kFloatingPositionKey = u"FloatingPosition";

// The values of the options: each is nullopt while the store has none, and then none is
// written, so that a user who never touches an option keeps exactly the two values the
// window has always kept.
struct StoredSettings {
    std::u16string path;      // "Path": the remembered candidate file, "" when none
    std::u16string interval;  // "Interval": the interval text of the last Start, "" when none
    // "NoRepeat", "SlowStop", "Floating": stored as "1" or "0"; only "1" reads as on.
    std::optional<bool> noRepeat;
    std::optional<bool> slowStop;
    std::optional<bool> floating;
    // "DrawCount": how many at once, 1 to 99 (another text reads as 1).
    std::optional<std::size_t> drawCount;
    // "FloatingPosition": where the small window was left, "x,y" (another text reads as none).
    std::optional<std::u16string> floatingPosition;

    friend bool operator==(const StoredSettings&, const StoredSettings&) = default;
};

// The platform's per-user store of text values under kSettingsApplication and
// kSettingsSection: QSettings, the registry.
class SettingsStore {
public:
    using Values = std::vector<std::pair<std::u16string_view, std::u16string>>;

    virtual ~SettingsStore() = default;
    // The value's text; nullopt when it is missing, is not text, or the store cannot be read.
    virtual std::optional<std::u16string> read(std::u16string_view key) = 0;
    // Writes every value, creating what is needed; a SettingsNotSaved problem when any failed.
    virtual Status write(const Values& values) = 0;
    // Where the values are kept, as the user can find it.
    virtual std::u16string location() const = 0;
};

// Missing texts read as "".
StoredSettings readStoredSettings(SettingsStore& store);
Status writeStoredSettings(SettingsStore& store, const StoredSettings& settings);

}  // namespace zorbalin::lifecycle
