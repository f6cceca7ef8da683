// Whatever a file holds, decoding either refuses it or gives candidate text with whole
// line breaks that, written back in the encoding and line ending it came in, reads back
// the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "line_break_check.h"
#include "textio/candidate_decoding.h"
#include "code_pages.h"

namespace {

using namespace zorbalin;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const textio::CodePageDecoder decode = window::makeCodePageDecoder();
    static const textio::CodePageEncoder encode = window::makeCodePageEncoder();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const textio::DecodeOutcome outcome = textio::decodeCandidateBytes(bytes, decode);
    const auto* decoded = std::get_if<textio::DecodedText>(&outcome);
    if (decoded == nullptr) return 0;
    fuzz::checkCandidateText(decoded->text);
    if (decoded->fromRichText) return 0;

    const std::optional<std::string> written =
        textio::encodeCandidateText(decoded->text, decoded->format, encode);
    if (!written) std::abort();
    const textio::DecodeOutcome again = textio::decodeCandidateBytes(*written, decode);
    const auto* reread = std::get_if<textio::DecodedText>(&again);
    if (reread == nullptr || reread->text != decoded->text) std::abort();
    return 0;
}
