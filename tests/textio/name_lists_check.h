#pragma once

// The two corpora of name lists and the sweep over Chinese names, read through a platform's
// real code pages: each front end's code-page suite runs them with its own converters.
//
// tests/data/name-lists-gbk.txt (GBK) and name-lists-utf8.txt (UTF-8) hold one list per line,
// its names separated by tabs; each list is tried as a file of its own, CR LF after each
// name. chinese-name-characters.txt holds common surnames on its first line and given-name
// characters on its second.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "textio/candidate_decoding.h"
#include "textio/text_plausibility.h"

namespace zorbalin::textio::testing {

inline std::string readTestData(const char* name) {
    std::ifstream in(std::string(ZORBALIN_TEST_DATA_DIR "/") + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::string> splitAt(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;) {
        parts.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
    if (start < text.size()) parts.push_back(text.substr(start));
    return parts;
}

// Each list of the corpus is read in the encoding it was written in, and a list that reads
// so comes back byte for byte when written again: a GBK list stays GBK.
inline void checkCorpus(const char* corpus, TextEncoding expected, const CodePageDecoder& decode,
                        const CodePageEncoder& encode) {
    int right = 0;
    int validInBoth = 0;
    const std::vector<std::string> lists = splitAt(readTestData(corpus), "\r\n");
    for (const std::string& line : lists) {
        std::string bytes;
        for (const std::string& name : splitAt(line, "\t")) bytes += name + "\r\n";
        validInBoth += isValidUtf8(bytes) && holdsOnlyCommonChinese(bytes) &&
                       decode(kGb18030CodePage, bytes).has_value();
        const DecodeOutcome outcome = decodeCandidateBytes(bytes, decode);
        const auto* text = std::get_if<DecodedText>(&outcome);
        if (text && text->format.encoding == expected) {
            ++right;
            EXPECT_EQ(encodeCandidateText(text->text, text->format, encode), bytes) << line;
        } else {
            ADD_FAILURE() << corpus << ": read in another encoding: " << line;
        }
    }
    std::cout << corpus << ": " << right << " of " << lists.size()
              << " lists read right; " << validInBoth
              << " of them are valid UTF-8 and common hanzi in GB18030 both\n";
}

inline void checkNameCorpora(const CodePageDecoder& decode, const CodePageEncoder& encode) {
    checkCorpus("name-lists-gbk.txt", TextEncoding::Gb18030, decode, encode);
    checkCorpus("name-lists-utf8.txt", TextEncoding::Utf8, decode, encode);
}

// Every name of a surname and one or two given-name characters, in code page 936: of those
// that are valid UTF-8 too, how many are read as GBK when each is a file of its own.
inline void sweepChineseNames(const CodePageDecoder& decode, const CodePageEncoder& encode) {
    const std::vector<std::string> lines = splitAt(readTestData("chinese-name-characters.txt"), "\n");
    ASSERT_EQ(lines.size(), 2u);
    const auto inGbk = [&](const std::string& utf8) {
        std::vector<std::string> characters;
        const std::optional<std::u16string> text = decodeUtf8(utf8);
        for (const char16_t c : text.value_or(u"")) {
            characters.push_back(encode(kCodePage936, std::u16string(1, c)).value_or(""));
            EXPECT_EQ(characters.back().size(), 2u);
        }
        return characters;
    };
    const std::vector<std::string> surnames = inGbk(lines[0]);
    const std::vector<std::string> characters = inGbk(lines[1]);
    std::vector<std::string> givenNames = characters;
    for (const std::string& first : characters) {
        for (const std::string& second : characters) givenNames.push_back(first + second);
    }
    long names = 0, validUtf8 = 0, readAsGbk = 0;
    for (const std::string& surname : surnames) {
        for (const std::string& given : givenNames) {
            ++names;
            const std::string bytes = surname + given;
            if (!isValidUtf8(bytes)) continue;
            ++validUtf8;
            const DecodeOutcome outcome = decodeCandidateBytes(bytes, decode);
            const auto* text = std::get_if<DecodedText>(&outcome);
            readAsGbk += text && text->format.encoding == TextEncoding::Gb18030;
        }
    }
    std::cout << "2- and 3-character names: " << names << "; valid UTF-8 in GBK: " << validUtf8
              << "; of those read as GBK: " << readAsGbk << "\n";
    // The rest are true ties, such as 肖小 read as the Cyrillic initials "ФС".
    EXPECT_GE(readAsGbk * 1000, validUtf8 * 999);
}

}  // namespace zorbalin::textio::testing
