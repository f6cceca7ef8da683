#include "settings_store.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

namespace zorbalin::window {

namespace {

QSettings openStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Pellanor"),
                     QStringLiteral("Pellanor"));
}

const QString kGroup = QStringLiteral("Nomal");
const QString kPathKey = QStringLiteral("Path");
const QString kIntervalKey = QStringLiteral("Interval");

// Values are always text. A hand-edited file may hold an unquoted list ("a, b"), which
// the store hands back as several strings: put it back together as it was typed.
QString readText(const QSettings& store, const QString& key) {
    const QVariant value = store.value(key);
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    return value.toString();
}

}  // namespace

StoredSettings SettingsStore::read() const {
    QSettings store = openStore();
    if (store.status() != QSettings::NoError) {
        return {};
    }
    store.beginGroup(kGroup);
    return {readText(store, kPathKey), readText(store, kIntervalKey)};
}

bool SettingsStore::write(const StoredSettings& settings) const {
    QSettings store = openStore();
    store.beginGroup(kGroup);
    store.setValue(kPathKey, settings.path);
    store.setValue(kIntervalKey, settings.interval);
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}

QString SettingsStore::location() const {
    return QDir::toNativeSeparators(openStore().fileName());
}

}  // namespace zorbalin::window
