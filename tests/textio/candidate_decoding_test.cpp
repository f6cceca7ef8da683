#include "textio/candidate_decoding.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "fake_code_pages.h"

namespace zorbalin::textio {
namespace {

using testing::fakeDecoder;
using testing::fakeEncoder;

using enum LineEnding;
using enum TextEncoding;

struct PlainCase {
    const char* name;
    std::string bytes;
    std::u16string text;
    FileFormat format;
};

void PrintTo(const PlainCase& c, std::ostream* os) { *os << c.name; }

DecodedText decoded(DecodeOutcome outcome) {
    auto* text = std::get_if<DecodedText>(&outcome);
    EXPECT_NE(text, nullptr) << "refused";
    return text ? std::move(*text) : DecodedText{};
}

class DecodesAsText : public ::testing::TestWithParam<PlainCase> {};

TEST_P(DecodesAsText, GivesTextAndFormat) {
    const DecodedText text = decoded(decodeCandidateBytes(GetParam().bytes, fakeDecoder()));
    EXPECT_EQ(text.text, GetParam().text);
    EXPECT_EQ(text.format.encoding, GetParam().format.encoding);
    EXPECT_EQ(text.format.lineEnding, GetParam().format.lineEnding);
}

const PlainCase kPlainCases[] = {
    {"Utf8WithoutMark", "张三\r\nx", u"张三\r\nx", {Utf8, CrLf}},
    {"Utf8WithMark", "\xEF\xBB\xBF张三", u"张三", {Utf8WithBom, CrLf}},
    {"Utf16LittleEndian", std::string("\xFF\xFE\x20\x5F\n\0", 6), u"张\r\n", {Utf16LE, Lf}},
    {"Utf16BigEndian", std::string("\xFE\xFF\x5F\x20\0\r", 6), u"张\r\n", {Utf16BE, Cr}},
    {"GbkWhenNotUtf8", "\xD5\xC5\xC8\xFD\nx", u"张三\r\nx", {Gb18030, Lf}},
    // Valid UTF-8 too, where it reads "֣ΰ" and "֣ǿ": no list of names.
    {"ShortGbkListThatIsValidUtf8", "\xD6\xA3\xCE\xB0\r\n\xD6\xA3\xC7\xBF\r\n",
     u"郑伟\r\n郑强\r\n", {Gb18030, CrLf}},
    {"Gb18030FourByte", "\x94\x39\xFC\x36", u"😀", {Gb18030, CrLf}},
    {"Gb18030Euro", "\xA2\xE3\xD5\xC5", u"€张", {Gb18030, CrLf}},
    {"CodePage936EuroWhenNotGb18030", "\x80\xD5\xC5", u"€张", {CodePage936, CrLf}},
    {"EmptyIsUtf8", "", u"", {Utf8, CrLf}},
    {"LoneLineFeeds", "a\nb\n", u"a\r\nb\r\n", {Utf8, Lf}},
    {"LoneCarriageReturns", "a\rb\r", u"a\r\nb\r\n", {Utf8, Cr}},
    {"MostlyLineFeeds", "a\nb\nc\r\nd", u"a\r\nb\r\nc\r\nd", {Utf8, Lf}},
    {"MostlyCarriageReturns", "a\rb\rc\nd\r\ne", u"a\r\nb\r\nc\r\nd\r\ne", {Utf8, Cr}},
    {"TieGoesToCrLf", "a\r\nb\nc\rd", u"a\r\nb\r\nc\r\nd", {Utf8, CrLf}},
    {"TieOfLfAndCrGoesToLf", "a\nb\rc", u"a\r\nb\r\nc", {Utf8, Lf}},
    {"ParagraphSeparatorIsALineBreak", "x\xE2\x80\xA9y", u"x\r\ny", {Utf8, CrLf}},
    {"LineSeparatorIsALineBreak", "x\xE2\x80\xA8y\nz", u"x\r\ny\r\nz", {Utf8, Lf}},
    {"RichTextWritesBackAsUtf8", R"({\rtf1\ansicpg936 \'d5\'c5\par})", u"张", {Utf8, CrLf}},
    {"RichTextSeparator", R"({\rtf1 x\u8233?y})", u"x\r\ny", {Utf8, CrLf}},
};

INSTANTIATE_TEST_SUITE_P(Files, DecodesAsText, ::testing::ValuesIn(kPlainCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(CandidateDecoding, RichTextIsMarkedAsSuch) {
    EXPECT_TRUE(decoded(decodeCandidateBytes(R"({\rtf1 a})", fakeDecoder())).fromRichText);
    EXPECT_FALSE(decoded(decodeCandidateBytes("{\\rt", fakeDecoder())).fromRichText);
}

TEST(CandidateDecoding, RefusesWhatIsNotText) {
    for (const std::string& bytes : {
             std::string("a\0b", 3),                    // NUL byte outside UTF-16
             std::string("a\0b\0", 4),                  // UTF-16 without a mark is not guessed
             std::string("\x89PNG\r\n\x1A\n\0\0", 10),  // binary data
             std::string("\xD5x"),                      // neither UTF-8 nor GB18030
             std::string("\x80\xFF"),                   // 0xFF: no text in any code page
             std::string("\xEF\xBB\xBF\xD5\xC5"),       // UTF-8 mark over GBK bytes
             std::string("\xFF\xFE" "a\0\0\0", 6),      // UTF-16 with a NUL character
             std::string("\xFF\xFE" "a", 3),            // UTF-16 cut in half
         }) {
        const DecodeOutcome outcome = decodeCandidateBytes(bytes, fakeDecoder());
        EXPECT_EQ(std::get_if<DecodeRefusal>(&outcome) ? std::get<DecodeRefusal>(outcome)
                                                       : DecodeRefusal::TooLarge,
                  DecodeRefusal::NotText);
    }
}

// A tidy file read and written back comes out byte for byte as it was: same encoding,
// same line ending.
TEST(CandidateEncoding, WritesBackInTheFilesOwnFormat) {
    for (const std::string& bytes : {
             std::string("a\nb\nc"), std::string("a\rb\rc"), std::string("a\r\nb\r\nc"),
             std::string("\xEF\xBB\xBF张\n三"), std::string("\xFF\xFE" "a\0\n\0b\0", 8),
             std::string("\xFE\xFF\0a\0\r\0b", 8), std::string("\xD5\xC5\n\xC8\xFD"),
             std::string("\xA2\xE3\n\xD5\xC5"), std::string("\x80\n\xD5\xC5"),
             std::string("\xD6\xA3\xCE\xB0\r\n\xD5\xC5"),  // 郑伟 张: valid UTF-8 too
         }) {
        const DecodedText text = decoded(decodeCandidateBytes(bytes, fakeDecoder()));
        EXPECT_EQ(encodeCandidateText(text.text, text.format, fakeEncoder()), bytes);
    }
}

TEST(CandidateEncoding, SeparatorsAndMixedBreaksGoBackInTheMostUsedStyle) {
    const DecodedText text =
        decoded(decodeCandidateBytes("a\nb\nc\r\nd\xE2\x80\xA9" "e", fakeDecoder()));
    EXPECT_EQ(encodeCandidateText(text.text, text.format, fakeEncoder()), "a\nb\nc\nd\ne");
    EXPECT_EQ(encodeCandidateText(u"x\r\ny", FileFormat{Utf16LE, Cr}, fakeEncoder()),
              std::string("\xFF\xFEx\0\r\0y\0", 8));
}

TEST(CandidateDecoding, RefusesMoreThan64MiB) {
    const std::string bytes(kMaxCandidateFileBytes + 1, 'a');
    EXPECT_TRUE(std::holds_alternative<DecodeRefusal>(decodeCandidateBytes(bytes, fakeDecoder())));
    EXPECT_TRUE(std::holds_alternative<DecodedText>(
        decodeCandidateBytes(std::string_view(bytes).substr(1), fakeDecoder())));
    const std::string richText = "{\\rtf1 " + bytes + "}";  // rich text is no exception
    EXPECT_TRUE(std::holds_alternative<DecodeRefusal>(decodeCandidateBytes(richText, fakeDecoder())));
}

}  // namespace
}  // namespace zorbalin::textio
