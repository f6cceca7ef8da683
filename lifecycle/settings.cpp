#include "lifecycle/settings.h"

#include "base/decimal_text.h"
#include "draw/scrolling_draw.h"

namespace zorbalin::lifecycle {

namespace {

std::optional<bool> readSwitch(SettingsStore& store, std::u16string_view key) {
    const std::optional<std::u16string> text = store.read(key);
    if (!text) return std::nullopt;
    return *text == u"1";
}

std::optional<std::size_t> readCount(SettingsStore& store) {
    const std::optional<std::u16string> text = store.read(kDrawCountKey);
    if (!text) return std::nullopt;
    std::size_t count = 0;
    for (const char16_t c : *text) {
        if (c < u'0' || c > u'9' || count > draw::kMaxDrawCount) return std::size_t{1};
        count = count * 10 + static_cast<std::size_t>(c - u'0');
    }
    return count >= 1 && count <= draw::kMaxDrawCount ? count : 1;
}

}  // namespace

StoredSettings readStoredSettings(SettingsStore& store) {
    StoredSettings settings{store.read(kPathKey).value_or(u""), store.read(kIntervalKey).value_or(u"")};
    settings.noRepeat = readSwitch(store, kNoRepeatKey);
    settings.slowStop = readSwitch(store, kSlowStopKey);
    settings.floating = readSwitch(store, kFloatingKey);
    settings.drawCount = readCount(store);
    settings.floatingPosition = store.read(kFloatingPositionKey);
    return settings;
}

Status writeStoredSettings(SettingsStore& store, const StoredSettings& settings) {
    SettingsStore::Values values{{kPathKey, settings.path}, {kIntervalKey, settings.interval}};
    const auto writeSwitch = [&values](std::u16string_view key, const std::optional<bool>& on) {
        if (on) values.emplace_back(key, *on ? u"1" : u"0");
    };
    writeSwitch(kNoRepeatKey, settings.noRepeat);
    if (settings.drawCount) values.emplace_back(kDrawCountKey, decimalText(*settings.drawCount));
    writeSwitch(kSlowStopKey, settings.slowStop);
    writeSwitch(kFloatingKey, settings.floating);
    if (settings.floatingPosition) values.emplace_back(kFloatingPositionKey, *settings.floatingPosition);
    return store.write(values);
}

}  // namespace zorbalin::lifecycle
