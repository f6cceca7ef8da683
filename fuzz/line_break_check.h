#pragma once

#include <cstdlib>
#include <string>

namespace zorbalin::fuzz {

// Candidate text has whole CR LF pairs only: no lone CR, no lone LF, no U+2028 or
// U+2029 (they are line breaks too), no NUL.
inline void checkCandidateText(const std::u16string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\0' || text[i] == u'\u2028' || text[i] == u'\u2029') std::abort();
        if (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')) std::abort();
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) std::abort();
    }
}

}  // namespace zorbalin::fuzz
