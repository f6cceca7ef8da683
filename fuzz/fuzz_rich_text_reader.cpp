// Any bytes, however malformed, are read to an end without a crash, a hang or undefined
// behaviour, and give candidate text with whole line breaks.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "line_break_check.h"
#include "textio/rich_text_reader.h"
#include "code_pages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const zorbalin::textio::CodePageDecoder decode = zorbalin::window::makeCodePageDecoder();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto text = zorbalin::textio::readRichText(bytes, decode)) {
        zorbalin::fuzz::checkCandidateText(*text);
    }
    return 0;
}
