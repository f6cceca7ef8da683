#include "textio/candidate_decoding.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_code_page_decoder.h"

namespace zorbalin::textio {
namespace {

using testing::fakeDecoder;

struct PlainCase {
    const char* name;
    std::string bytes;
    std::u16string text;
    TextEncoding encoding;
};

void PrintTo(const PlainCase& c, std::ostream* os) { *os << c.name; }

class DecodesAsText : public ::testing::TestWithParam<PlainCase> {};

TEST_P(DecodesAsText, GivesTextAndEncoding) {
    const DecodeOutcome outcome = decodeCandidateBytes(GetParam().bytes, fakeDecoder());
    ASSERT_TRUE(outcome.decoded.has_value());
    EXPECT_FALSE(outcome.refusal.has_value());
    EXPECT_EQ(outcome.decoded->text, GetParam().text);
    EXPECT_EQ(outcome.decoded->encoding, GetParam().encoding);
}

const PlainCase kPlainCases[] = {
    {"Utf8WithoutMark", "张三\r\nx", u"张三\r\nx", TextEncoding::Utf8},
    {"Utf8WithMark", "\xEF\xBB\xBF张三", u"张三", TextEncoding::Utf8WithBom},
    {"Utf16LittleEndian", std::string("\xFF\xFE\x20\x5F\n\0", 6), u"张\r\n", TextEncoding::Utf16LE},
    {"Utf16BigEndian", std::string("\xFE\xFF\x5F\x20\0\r", 6), u"张\r\n", TextEncoding::Utf16BE},
    {"GbkWhenNotUtf8", "\xD5\xC5\xC8\xFD\nx", u"张三\r\nx", TextEncoding::Gb18030},
    {"Gb18030FourByte", "\x94\x39\xFC\x36", u"😀", TextEncoding::Gb18030},
    {"EmptyIsUtf8", "", u"", TextEncoding::Utf8},
    {"LoneLineFeeds", "a\nb\n", u"a\r\nb\r\n", TextEncoding::Utf8},
    {"LoneCarriageReturns", "a\rb\r", u"a\r\nb\r\n", TextEncoding::Utf8},
    {"RichTextWritesBackAsUtf8", R"({\rtf1\ansicpg936 \'d5\'c5\par})", u"张", TextEncoding::Utf8},
};

INSTANTIATE_TEST_SUITE_P(Files, DecodesAsText, ::testing::ValuesIn(kPlainCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CandidateDecoding, RichTextIsMarkedAsSuch) {
    EXPECT_TRUE(decodeCandidateBytes(R"({\rtf1 a})", fakeDecoder()).decoded->fromRichText);
    EXPECT_FALSE(decodeCandidateBytes("{\\rt", fakeDecoder()).decoded->fromRichText);
}

TEST(CandidateDecoding, RefusesWhatIsNotText) {
    for (const std::string& bytes : {
             std::string("a\0b", 3),                    // NUL byte outside UTF-16
             std::string("a\0b\0", 4),                  // UTF-16 without a mark is not guessed
             std::string("\x89PNG\r\n\x1A\n\0\0", 10),  // binary data
             std::string("\xD5x"),                      // neither UTF-8 nor GB18030
             std::string("\xEF\xBB\xBF\xD5\xC5"),       // UTF-8 mark over GBK bytes
             std::string("\xFF\xFE" "a\0\0\0", 6),      // UTF-16 with a NUL character
             std::string("\xFF\xFE" "a", 3),            // UTF-16 cut in half
         }) {
        const DecodeOutcome outcome = decodeCandidateBytes(bytes, fakeDecoder());
        EXPECT_FALSE(outcome.decoded.has_value());
        EXPECT_EQ(outcome.refusal, DecodeRefusal::NotText);
    }
}

TEST(CandidateDecoding, RefusesMoreThan64MiB) {
    const std::string bytes(kMaxCandidateFileBytes + 1, 'a');
    EXPECT_EQ(decodeCandidateBytes(bytes, fakeDecoder()).refusal, DecodeRefusal::TooLarge);
    EXPECT_TRUE(decodeCandidateBytes(std::string_view(bytes).substr(1), fakeDecoder()).decoded);
}

}  // namespace
}  // namespace zorbalin::textio
