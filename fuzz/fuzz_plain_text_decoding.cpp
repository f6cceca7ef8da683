// Whatever a file holds, decoding either refuses it or gives candidate text with whole
// line breaks that, written back in the encoding it came in, reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "line_break_check.h"
#include "textio/candidate_decoding.h"
#include "code_page_decoder.h"

namespace {

using namespace zorbalin;

std::optional<std::string> encodeBack(const textio::DecodedText& decoded) {
    if (decoded.encoding == textio::TextEncoding::Gb18030) {
        return window::encodeGb18030(decoded.text);
    }
    return textio::encodeUnicodeText(decoded.text, decoded.encoding);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const textio::CodePageDecoder decode = window::makeCodePageDecoder();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const textio::DecodeOutcome outcome = textio::decodeCandidateBytes(bytes, decode);
    if (outcome.decoded.has_value() == outcome.refusal.has_value()) std::abort();
    if (!outcome.decoded) return 0;
    const textio::DecodedText& decoded = *outcome.decoded;
    fuzz::checkCandidateText(decoded.text);
    if (decoded.fromRichText) return 0;

    const std::optional<std::string> written = encodeBack(decoded);
    if (!written) std::abort();
    const textio::DecodeOutcome again = textio::decodeCandidateBytes(*written, decode);
    if (!again.decoded || again.decoded->text != decoded.text) std::abort();
    return 0;
}
