#include "textio/candidate_decoding.h"

#include "textio/rich_text_reader.h"

namespace zorbalin::textio {
namespace {

DecodeOutcome refused(DecodeRefusal reason) { return DecodeOutcome{std::nullopt, reason}; }

DecodeOutcome accepted(std::u16string text, TextEncoding encoding, bool fromRichText = false) {
    return DecodeOutcome{DecodedText{std::move(text), encoding, fromRichText}, std::nullopt};
}

// A NUL character marks binary data, whatever encoding it came through.
bool containsNul(std::u16string_view text) { return text.find(u'\0') != std::u16string_view::npos; }

std::optional<std::u16string> decodePlainText(std::string_view bytes, TextEncoding& encoding,
                                              const CodePageDecoder& decode) {
    if (const auto mark = detectByteOrderMark(bytes)) {
        encoding = mark->encoding;
        const std::string_view body = bytes.substr(mark->length);
        if (encoding == TextEncoding::Utf8WithBom) return decodeUtf8(body);
        return decodeUtf16(body, encoding == TextEncoding::Utf16LE);
    }
    // Without a byte-order mark a NUL byte means binary data (UTF-16 is never guessed).
    if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
    if (auto text = decodeUtf8(bytes)) {
        encoding = TextEncoding::Utf8;
        return text;
    }
    encoding = TextEncoding::Gb18030;
    return decode ? decode(kChineseCodePage, bytes) : std::nullopt;
}

}  // namespace

bool isRichText(std::string_view bytes) { return bytes.starts_with("{\\rtf"); }

DecodeOutcome decodeCandidateBytes(std::string_view bytes, const CodePageDecoder& decode) {
    if (bytes.size() > kMaxCandidateFileBytes) return refused(DecodeRefusal::TooLarge);
    if (isRichText(bytes)) return accepted(readRichText(bytes, decode), TextEncoding::Utf8, true);

    TextEncoding encoding = TextEncoding::Utf8;
    std::optional<std::u16string> text = decodePlainText(bytes, encoding, decode);
    if (!text || containsNul(*text)) return refused(DecodeRefusal::NotText);
    return accepted(normalizeLineBreaks(std::move(*text)), encoding);
}

std::optional<std::string> encodeCandidateText(std::u16string_view text, TextEncoding encoding,
                                               const CodePageEncoder& encode) {
    if (encoding != TextEncoding::Gb18030) return encodeUnicodeText(text, encoding);
    if (!encode) return std::nullopt;
    return encode(kChineseCodePage, replaceLoneSurrogates(text));
}

}  // namespace zorbalin::textio
