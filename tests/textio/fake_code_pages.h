#pragma once

// A stand-in for the ICU-backed decoder: knows a handful of characters per code page,
// passes ASCII through and rejects every other byte, so the pure tests need no Qt.
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "textio/text_encoding.h"

namespace zorbalin::textio::testing {

inline std::optional<std::u16string> fakeDecode(int codePage, std::string_view bytes) {
    static const std::map<int, std::map<std::string, std::u16string>> known = {
        {54936, {{"\xD5\xC5", u"张"}, {"\xC8\xFD", u"三"}, {"\x81\x40", u"丂"},
                 {"\xD6\xA3", u"郑"}, {"\xCE\xB0", u"伟"}, {"\xC7\xBF", u"强"},
                 {"\x94\x39\xFC\x36", u"😀"}, {"\xA2\xE3", u"€"}}},
        {936, {{"\xD5\xC5", u"张"}, {"\xC8\xFD", u"三"}, {"\x81\x40", u"丂"}, {"\x80", u"€"},
               {"\xFF", u"\uF8F5"}}},
        {950, {{"\xB1\x69", u"張"}}},
        {932, {{"\x95\x5C", u"表"}}},
        {1252, {{"\xE9", u"é"}, {"\xEB", u"ë"}, {"\x80", u"€"}}},
    };
    const auto table = known.find(codePage);
    if (table == known.end()) return std::nullopt;
    std::u16string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            out.push_back(static_cast<char16_t>(bytes[i++]));
            continue;
        }
        bool matched = false;
        for (const auto& [sequence, text] : table->second) {
            if (bytes.substr(i).starts_with(sequence)) {
                out += text;
                i += sequence.size();
                matched = true;
                break;
            }
        }
        if (!matched) return std::nullopt;
    }
    return out;
}

inline const CodePageDecoder& fakeDecoder() {
    static const CodePageDecoder decoder = fakeDecode;
    return decoder;
}

// The reverse for the Chinese code pages: ASCII, 张, 三, 郑, 伟 and the euro sign.
inline std::optional<std::string> fakeEncode(int codePage, std::u16string_view text) {
    if (codePage != 54936 && codePage != 936) return std::nullopt;
    std::string out;
    for (const char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c == u'€') {
            out += codePage == 936 ? "\x80" : "\xA2\xE3";
        } else if (c == u'张') {
            out += "\xD5\xC5";
        } else if (c == u'三') {
            out += "\xC8\xFD";
        } else if (c == u'郑') {
            out += "\xD6\xA3";
        } else if (c == u'伟') {
            out += "\xCE\xB0";
        } else {
            return std::nullopt;
        }
    }
    return out;
}

inline const CodePageEncoder& fakeEncoder() {
    static const CodePageEncoder encoder = fakeEncode;
    return encoder;
}

}  // namespace zorbalin::textio::testing
