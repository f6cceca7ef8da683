#include "settings_store.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

#include "qstring_u16.h"

namespace zorbalin::window {

namespace {

// Organisation and application are the same name; the values are in one group.
QSettings openStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     toQString(lifecycle::kSettingsApplication),
                     toQString(lifecycle::kSettingsApplication));
}

QString keyOf(std::u16string_view key) {
    return toQString(lifecycle::kSettingsSection) + u'/' + toQString(key);
}

}  // namespace

std::optional<std::u16string> QtSettingsStore::read(std::u16string_view key) {
    const QSettings store = openStore();
    if (store.status() != QSettings::NoError) return std::nullopt;
    const QVariant value = store.value(keyOf(key));
    if (!value.isValid()) return std::nullopt;
    // Values are always text. A hand-edited file may hold an unquoted list ("a, b"), which
    // the store hands back as several strings: put it back together as it was typed.
    if (value.typeId() == QMetaType::QStringList) {
        return fromQString(value.toStringList().join(QStringLiteral(", ")));
    }
    return fromQString(value.toString());
}

Status QtSettingsStore::write(const Values& values) {
    QSettings store = openStore();
    for (const auto& [key, text] : values) store.setValue(keyOf(key), toQString(text));
    store.sync();
    if (store.status() == QSettings::NoError) return done();
    qWarning("Zorbalin: the settings could not be saved to %s", qUtf8Printable(toQString(location())));
    return Problem{ProblemCode::SettingsNotSaved, {}, SystemCause::Other, location()};
}

std::u16string QtSettingsStore::location() const {
    return fromQString(QDir::toNativeSeparators(openStore().fileName()));
}

}  // namespace zorbalin::window
