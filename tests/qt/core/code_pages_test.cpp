#include "code_pages.h"

#include <gtest/gtest.h>

#include "name_lists_check.h"

namespace zorbalin::window {
namespace {

TEST(CodePageDecoder, DecodesTheCommonWindowsCodePages) {
    EXPECT_EQ(decodeCodePage(936, "\xD5\xC5\xC8\xFD"), u"张三");
    EXPECT_EQ(decodeCodePage(54936, "\xD5\xC5\x94\x39\xFC\x36"), u"张😀");
    EXPECT_EQ(decodeCodePage(936, "\x80"), u"€");  // only Windows' 936 has it
    EXPECT_EQ(decodeCodePage(54936, "\x80"), std::nullopt);
    EXPECT_EQ(decodeCodePage(950, "\xB1\x69"), u"張");
    EXPECT_EQ(decodeCodePage(932, "\x95\x5C"), u"表");
    EXPECT_EQ(decodeCodePage(949, "\xC7\xD1"), u"한");
    EXPECT_EQ(decodeCodePage(1252, "caf\xE9 \x80"), u"café €");
    EXPECT_EQ(decodeCodePage(1251, "\xC0"), u"А");
    EXPECT_EQ(decodeCodePage(936, ""), u"");
}

TEST(CodePageDecoder, IsStrict) {
    EXPECT_FALSE(decodeCodePage(936, "\xD5").has_value());      // lead byte cut off
    EXPECT_FALSE(decodeCodePage(54936, "\xFF\xFF").has_value());  // no such character
    EXPECT_FALSE(decodeCodePage(936, "\x94\x39\xFC\x36").has_value());  // GB18030 only
    EXPECT_FALSE(decodeCodePage(123456, "abc").has_value());    // no such code page
}

TEST(CodePageDecoder, ReusedDecoderStartsAfreshEachTime) {
    const textio::CodePageDecoder decode = makeCodePageDecoder();
    EXPECT_FALSE(decode(936, "\xD5").has_value());
    EXPECT_EQ(decode(936, "\xC5\xC8\xFD"), std::nullopt);  // no leftover lead byte joins in
    EXPECT_EQ(decode(936, "\xD5\xC5"), u"张");
    EXPECT_EQ(decode(1252, "\xE9"), u"é");
}

TEST(CodePageEncoding, WritesEachChineseCodePageAndRefusesWhatItCannotHold) {
    EXPECT_EQ(encodeCodePage(54936, u"张三😀€\r\n"), "\xD5\xC5\xC8\xFD\x94\x39\xFC\x36\xA2\xE3\r\n");
    EXPECT_EQ(encodeCodePage(936, u"张€"), "\xD5\xC5\x80");
    EXPECT_FALSE(encodeCodePage(54936, std::u16string{char16_t(0xD800)}).has_value());
    EXPECT_FALSE(encodeCodePage(936, u"😀").has_value());
}

TEST(NameLists, EachCorpusReadsInItsOwnEncodingAndWritesBackSo) {
    textio::testing::checkNameCorpora(makeCodePageDecoder(), makeCodePageEncoder());
}

TEST(NameLists, ShortChineseNamesInGbkThatAreValidUtf8ReadAsGbk) {
    textio::testing::sweepChineseNames(makeCodePageDecoder(), makeCodePageEncoder());
}

}  // namespace
}  // namespace zorbalin::window
