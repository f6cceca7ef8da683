// Between Qt's strings and the shared code's UTF-16 strings: the same code units, copied.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace zorbalin::window {

inline QString toQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline QStringView toQStringView(std::u16string_view text) {
    return {text.data(), static_cast<qsizetype>(text.size())};
}

inline std::u16string_view toU16StringView(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

inline std::u16string fromQString(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace zorbalin::window
