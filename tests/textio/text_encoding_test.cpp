#include "textio/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorbalin::textio {
namespace {

TEST(Utf8Validity, AcceptsWellFormedText) {
    for (const std::string& valid :
         {std::string(), std::string("plain ascii longer than eight bytes"), std::string("é"),
          std::string("张三"), std::string("😀"), std::string("\xF4\x8F\xBF\xBF"),
          std::string("ascii then 张 then more ascii text")}) {
        SCOPED_TRACE(valid);
        EXPECT_TRUE(isValidUtf8(valid));
    }
}

TEST(Utf8Validity, RejectsMalformedText) {
    for (const std::string& invalid : {
             std::string("\xC0\x80"),              // overlong NUL
             std::string("\xE0\x80\x80"),          // overlong three-byte form
             std::string("\xF0\x80\x80\x80"),      // overlong four-byte form
             std::string("\xED\xA0\x80"),          // a surrogate
             std::string("\xF4\x90\x80\x80"),      // above U+10FFFF
             std::string("\xF5\x80\x80\x80"),      // impossible lead byte
             std::string("abc\xE4\xB8"),           // cut off at the end
             std::string("\x80"),                  // stray continuation byte
             std::string("12345678\xD5\xC5 GBK"),  // GBK after the fast ASCII stretch
         }) {
        EXPECT_FALSE(isValidUtf8(invalid));
        EXPECT_FALSE(decodeUtf8(invalid).has_value());
    }
}

TEST(Utf8Decoding, DecodesAllSequenceLengths) {
    EXPECT_EQ(decodeUtf8("a long ascii stretch, é, 张三 and 😀!"),
              u"a long ascii stretch, é, 张三 and 😀!");
}

TEST(Utf16Decoding, DecodesBothByteOrders) {
    EXPECT_EQ(decodeUtf16(std::string("\x20\x5F\x3D\xD8\x00\xDE", 6), true), u"张😀");
    EXPECT_EQ(decodeUtf16(std::string("\x5F\x20\xD8\x3D\xDE\x00", 6), false), u"张😀");
}

TEST(Utf16Decoding, RejectsOddLengthAndUnpairedSurrogates) {
    EXPECT_FALSE(decodeUtf16(std::string("a\0b", 3), true).has_value());
    EXPECT_FALSE(decodeUtf16(std::string("\x3D\xD8" "a\0", 4), true).has_value());
    EXPECT_FALSE(decodeUtf16(std::string("\x00\xDE", 2), true).has_value());
    EXPECT_FALSE(decodeUtf16(std::string("\x3D\xD8", 2), true).has_value());
}

TEST(ByteOrderMark, IsDetectedWithItsLength) {
    EXPECT_EQ(detectByteOrderMark("\xEF\xBB\xBFx")->encoding, TextEncoding::Utf8WithBom);
    EXPECT_EQ(detectByteOrderMark("\xEF\xBB\xBFx")->length, 3u);
    EXPECT_EQ(detectByteOrderMark("\xFF\xFEx")->encoding, TextEncoding::Utf16LE);
    EXPECT_EQ(detectByteOrderMark("\xFE\xFFx")->encoding, TextEncoding::Utf16BE);
    EXPECT_FALSE(detectByteOrderMark("\xEF\xBB").has_value());
    EXPECT_FALSE(detectByteOrderMark("abc").has_value());
}

TEST(LineBreaks, EveryKindBecomesCrLf) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"a\r\nb", u"a\r\nb"},
        {u"a\nb", u"a\r\nb"},
        {u"a\rb", u"a\r\nb"},
        {u"a\r\r\nb", u"a\r\n\r\nb"},
        {u"a\n\rb", u"a\r\n\r\nb"},
        {u"\n\n", u"\r\n\r\n"},
        {u"end\r", u"end\r\n"},
        {u"", u""},
        {u"x\u2029y", u"x\r\ny"},
        {u"x\u2028y", u"x\r\ny"},
        {u"\u2029\u2028", u"\r\n\r\n"},
        {u"a\r\u2029b", u"a\r\n\r\nb"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(normalizeLineBreaks(input), expected);
        EXPECT_EQ(normalizeLineBreaks(std::u16string(input)), expected);  // the no-copy path
        EXPECT_EQ(hasOnlyCrLfBreaks(input), input == expected);
    }
}

TEST(UnicodeEncoding, WritesEachEncodingWithItsMark) {
    const std::u16string text = u"张\r\n😀";
    EXPECT_EQ(*encodeUnicodeText(text, TextEncoding::Utf8), "张\r\n😀");
    EXPECT_EQ(*encodeUnicodeText(text, TextEncoding::Utf8WithBom), "\xEF\xBB\xBF张\r\n😀");
    EXPECT_EQ(*encodeUnicodeText(text, TextEncoding::Utf16LE),
              std::string("\xFF\xFE\x20\x5F\r\0\n\0\x3D\xD8\x00\xDE", 12));
    EXPECT_EQ(*encodeUnicodeText(text, TextEncoding::Utf16BE),
              std::string("\xFE\xFF\x5F\x20\0\r\0\n\xD8\x3D\xDE\x00", 12));
    EXPECT_FALSE(encodeUnicodeText(text, TextEncoding::Gb18030).has_value());
}

TEST(UnicodeEncoding, UnpairedSurrogateIsWrittenAsReplacement) {
    const std::u16string text{u'a', char16_t(0xD83D), u'b'};
    EXPECT_EQ(*encodeUnicodeText(text, TextEncoding::Utf8), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(replaceLoneSurrogates(text), u"a\uFFFDb");
}

TEST(CodePageEncoding, OnlyTheChineseCodePagesReachTheConversion) {
    std::vector<int> asked;
    const CodePageEncoder encode = chineseCodePagesOnly([&asked](int codePage, std::u16string_view) {
        asked.push_back(codePage);
        return std::optional<std::string>("bytes");
    });
    EXPECT_EQ(encode(kGb18030CodePage, u"张"), "bytes");
    EXPECT_EQ(encode(kCodePage936, u"张"), "bytes");
    EXPECT_EQ(encode(1252, u"a"), std::nullopt);
    EXPECT_EQ(encode(65001, u"a"), std::nullopt);
    EXPECT_EQ(asked, (std::vector<int>{kGb18030CodePage, kCodePage936}));
}

}  // namespace
}  // namespace zorbalin::textio
