#include "textio/candidate_decoding.h"

#include "textio/rich_text_reader.h"
#include "textio/text_plausibility.h"

namespace zorbalin::textio {
namespace {

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
        // Bytes valid in both: a short GBK list of Chinese names often is valid UTF-8 too,
        // and then reads as odd letters of several scripts. GB18030 is chosen only when it
        // reads as common hanzi and UTF-8 does not read as names; UTF-8 otherwise.
        const bool onlyAscii = text->size() == bytes.size();
        if (!onlyAscii && decode && holdsOnlyCommonChinese(bytes) && !readsAsNames(*text)) {
            if (auto chinese = decode(kGb18030CodePage, bytes)) {
                encoding = TextEncoding::Gb18030;
                return chinese;
            }
        }
        encoding = TextEncoding::Utf8;
        return text;
    }
    if (!decode) return std::nullopt;
    encoding = TextEncoding::Gb18030;
    if (auto text = decode(kGb18030CodePage, bytes)) return text;
    // Windows' own 936 has a euro sign at byte 0x80; it also reads byte 0xFF, as a private
    // character U+F8F5, which no text holds.
    encoding = TextEncoding::CodePage936;
    std::optional<std::u16string> text = decode(kCodePage936, bytes);
    if (text && text->find(u'\uF8F5') != std::u16string::npos) return std::nullopt;
    return text;
}

}  // namespace

bool isRichText(std::string_view bytes) { return bytes.starts_with("{\\rtf"); }

DecodeOutcome decodeCandidateBytes(std::string_view bytes, const CodePageDecoder& decode) {
    if (bytes.size() > kMaxCandidateFileBytes) return DecodeRefusal::TooLarge;
    // Rich text only when it is one whole document; anything else that begins like it is
    // read as plain text (or refused), so that nothing after a first document is cut off.
    if (isRichText(bytes)) {
        if (std::optional<std::u16string> text = readRichText(bytes, decode)) {
            return DecodedText{std::move(*text), FileFormat{}, true};
        }
    }

    TextEncoding encoding = TextEncoding::Utf8;
    std::optional<std::u16string> text = decodePlainText(bytes, encoding, decode);
    if (!text || containsNul(*text)) return DecodeRefusal::NotText;
    const LineEnding lineEnding = detectLineEnding(*text);
    return DecodedText{normalizeLineBreaks(std::move(*text)), FileFormat{encoding, lineEnding}};
}

std::optional<std::string> encodeCandidateText(std::u16string_view text, const FileFormat& format,
                                               const CodePageEncoder& encode) {
    const std::u16string_view lineBreak = format.lineEnding == LineEnding::CrLf ? u"\r\n"
                                          : format.lineEnding == LineEnding::Lf ? u"\n"
                                                                                : u"\r";
    const bool gb18030 = format.encoding == TextEncoding::Gb18030;
    if (!gb18030 && format.encoding != TextEncoding::CodePage936) {
        return encodeUnicodeText(text, format.encoding, lineBreak);
    }
    if (!encode) return std::nullopt;
    return encode(gb18030 ? kGb18030CodePage : kCodePage936, replaceLoneSurrogates(text, lineBreak));
}

}  // namespace zorbalin::textio
