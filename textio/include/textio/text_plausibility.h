#pragma once

#include <string>
#include <string_view>

namespace zorbalin::textio {

// Many short GBK lists of Chinese names are valid UTF-8 as well: 郑伟 in GBK is the UTF-8 of
// U+05A3 U+03B0. These two tests tell such bytes from real UTF-8 text.

// True when every non-ASCII character of these GB18030 bytes is one of GB2312's 6,763 hanzi
// or one of its punctuation and full-width rows, and there is at least one. The bytes are
// taken to be valid GB18030.
bool holdsOnlyCommonChinese(std::string_view bytes);

// False when the text holds what no list of names would, as a GBK list read as UTF-8 does:
// a control character, a letter of Latin (IPA), Greek (Coptic), Cyrillic (historic), Hebrew
// or Arabic that no language writes names with, a combining mark that follows no letter of its
// script, a word that mixes scripts, a Latin word without any ASCII letter, a Greek or Cyrillic
// capital after a small letter in one word, a sign such as ¶ or ¬, or one such as ½ or ³
// touching a letter outside ASCII.
bool readsAsNames(std::u16string_view text);

}  // namespace zorbalin::textio
