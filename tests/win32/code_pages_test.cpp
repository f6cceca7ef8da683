#include "code_pages.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "name_lists_check.h"

namespace zorbalin::win32 {
namespace {

bool systemHasGb18030() { return chineseCodePage() == 54936; }

struct DecodeCase {
    const char* name;
    int codePage;
    std::string bytes;
    std::optional<std::u16string> expected;  // nullopt: refused
};

TEST(CodePagesTest, DecodesStrictly) {
    const DecodeCase cases[] = {
        {"GBK two-byte characters", 936, "\xD5\xC5\xC8\xFD ok", u"张三 ok"},
        {"empty", 936, "", u""},
        {"euro sign of code page 936", 936, "\x80\xD5\xC5", u"€张"},
        {"lead byte cut off at the end", 936, "\xD5\xC5\xD5", std::nullopt},
        {"lead byte before a blank", 936, "\xD5 x", std::nullopt},
        {"western code page of rich text", 1252, "caf\xE9", u"café"},
        {"unknown code page", 12345, "abc", std::nullopt},
        // ISO-2022-JP cannot report bad bytes, so it is never trusted with any.
        {"code page without strict mode", 50220, "abc", std::nullopt},
    };
    const textio::CodePageDecoder decode = makeCodePageDecoder();
    for (const DecodeCase& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(decode(test.codePage, test.bytes), test.expected);
    }
}

TEST(CodePagesTest, EncodesOnlyWhatTheCodePageHolds) {
    const textio::CodePageEncoder encode = makeCodePageEncoder();
    EXPECT_EQ(encode(936, u"张三 ok"), std::optional<std::string>("\xD5\xC5\xC8\xFD ok"));
    EXPECT_EQ(encode(936, u""), std::optional<std::string>(""));
    EXPECT_EQ(encode(936, u"€张"), std::optional<std::string>("\x80\xD5\xC5"));
    if (!systemHasGb18030()) {
        // GBK has neither, and must not write a look-alike ("A") or "?" instead.
        EXPECT_EQ(encode(936, u"\u00C0"), std::nullopt);
        EXPECT_EQ(encode(936, u"\U00020000"), std::nullopt);
        EXPECT_EQ(encode(936, u"\uFFFD"), std::nullopt);
    }
}

TEST(CodePagesTest, Gb18030FourByteSequences) {
    if (!systemHasGb18030()) {
        GTEST_SKIP() << "code page 54936 (GB18030) is missing here (Wine 8 has none); "
                        "four-byte sequences need it";
    }
    const textio::CodePageDecoder decode = makeCodePageDecoder();
    const textio::CodePageEncoder encode = makeCodePageEncoder();
    EXPECT_EQ(decode(54936, "\x95\x32\x82\x36"), std::optional<std::u16string>(u"\U00020000"));
    EXPECT_EQ(decode(54936, "\x81\x30\x81\x30"), std::optional<std::u16string>(u"\u0080"));
    EXPECT_EQ(decode(54936, "\x81\x30\x81"), std::nullopt);  // cut short
    EXPECT_EQ(encode(54936, u"\U00020000"), std::optional<std::string>("\x95\x32\x82\x36"));
    EXPECT_EQ(encode(54936, u"\uFFFD"), std::optional<std::string>("\x84\x31\xA4\x37"));
    EXPECT_EQ(decode(54936, "\x80"), std::nullopt);  // the euro sign is code page 936's alone
}

TEST(NameLists, EachCorpusReadsInItsOwnEncodingAndWritesBackSo) {
    textio::testing::checkNameCorpora(makeCodePageDecoder(), makeCodePageEncoder());
}

TEST(NameLists, ShortChineseNamesInGbkThatAreValidUtf8ReadAsGbk) {
    textio::testing::sweepChineseNames(makeCodePageDecoder(), makeCodePageEncoder());
}

}  // namespace
}  // namespace zorbalin::win32
