#include "textio/rich_text_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fake_code_pages.h"

namespace zorbalin::textio {
namespace {

using testing::fakeDecoder;

struct Snippet {
    const char* name;
    std::string rtf;
    std::optional<std::u16string> text;  // nullopt: no whole rich-text document
};

void PrintTo(const Snippet& snippet, std::ostream* os) { *os << snippet.name; }

class RichTextSnippet : public ::testing::TestWithParam<Snippet> {};

TEST_P(RichTextSnippet, ReadsToExpectedText) {
    EXPECT_EQ(readRichText(GetParam().rtf, fakeDecoder()), GetParam().text);
}

const Snippet kSnippets[] = {
    // Tokens
    {"PlainText", R"({\rtf1 Hello})", u"Hello"},
    {"OneSpaceAfterControlWordIsItsDelimiter", R"({\rtf1\b bold\b0  two})", u"bold two"},
    {"FileLineBreaksAreIgnored", "{\\rtf1 A\r\nB\rC\nD}", u"ABCD"},
    {"BackslashNewlineIsParagraph", "{\\rtf1 A\\\r\nB\\\nC}", u"A\r\nB\r\nC"},
    {"UnknownControlWordsAddNothing", R"({\rtf1\pard\plain\fs24\lang2052\kerning0 x})", u"x"},
    // Line ends and tabs
    {"FinalParagraphMarkDropped", R"({\rtf1 A\par B\par})", u"A\r\nB"},
    {"OnlyOneFinalParagraphMarkDropped", R"({\rtf1 A\par B\par\par})", u"A\r\nB\r\n"},
    {"LineEndingWords", R"({\rtf1 a\line b\sect c\page d\row e})", u"a\r\nb\r\nc\r\nd\r\ne"},
    {"TabAndCellGiveTab", R"({\rtf1 a\tab b\cell c})", u"a\tb\tc"},
    {"NestedTableCellsAndRowsLikeOthers",
     R"({\rtf1 a\cell{b\nestcell c\nestcell{\*\nesttableprops\trowd x}\nestrow}\cell\row d})",
     u"a\tb\tc\t\r\n\t\r\nd"},
    {"NestedTablesFallbackSkipped", R"({\rtf1 a{\nonesttables b}c})", u"ac"},
    {"LineBreakAsTextIsCrLf", R"({\rtf1 a\u13?b\'0ac})", u"a\r\nb\r\nc"},
    // Symbols and named characters
    {"ControlSymbols", R"({\rtf1 a\~b\_c\-d\{\}\\})", u"a\u00A0b\u2011cd{}\\"},
    {"NamedCharacters", R"({\rtf1\emdash\endash\lquote\rquote\ldblquote\rdblquote\bullet})",
     u"—–‘’“”•"},
    // \u and its fallback characters
    {"UnicodeSkipsOneFallbackByDefault", R"({\rtf1\u8364?x})", u"€x"},
    {"Uc0SkipsNothing", R"({\rtf1\uc0\u24352\u19977})", u"张三"},
    {"Uc2SkipsTwoHexBytes", R"({\rtf1\ansicpg936\uc2\u24352\'d5\'c5\u19977\'c8\'fd})", u"张三"},
    {"UcIsScopedToGroup", R"({\rtf1{\uc2\u8364 xx}\u8364 ?y})", u"€€y"},
    {"SkipCountsControlWordAsOne", R"({\rtf1\uc2\u8364\f1 ?x})", u"€x"},
    {"BraceEndsTheSkip", R"({\rtf1\uc3\u8364{b}c})", u"€bc"},
    {"NegativeUnicodeAdds65536", R"({\rtf1\u-3913?})", u"\uF0B7"},
    {"SurrogatePair", R"({\rtf1\u-10179?\u-8704?})", u"😀"},
    {"LoneHighSurrogateBecomesReplacement", R"({\rtf1\u55357?x})", u"\uFFFDx"},
    {"LoneLowSurrogateBecomesReplacement", R"({\rtf1\u56832?})", u"\uFFFD"},
    // Code pages
    {"DefaultCodePageIs1252", R"({\rtf1 caf\'e9})", u"café"},
    {"AnsiCodePage936", R"({\rtf1\ansi\ansicpg936 \'d5\'c5\'c8\'fd})", u"张三"},
    {"LeadAsHexTrailAsRawByte", "{\\rtf1\\ansicpg936 \\'d5\xC5}", u"张"},
    {"LeadAsHexTrailAsAsciiByte", R"({\rtf1\ansicpg936 \'81@})", u"丂"},
    {"TrailIsEscapedBackslash", R"({\rtf1\ansicpg932 \'95\\})", u"表"},
    {"FontCharsetPicksCodePage",
     R"({\rtf1\ansicpg1252{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset134 B;}}\f1\'d5\'c5\f0\'e9})",
     u"张é"},
    {"FontCodePageBeatsCharset", R"({\rtf1{\fonttbl{\f0\fcharset0\cpg936 A;}}\f0\'d5\'c5})", u"张"},
    {"Charset136IsBig5", R"({\rtf1{\fonttbl\f0\fcharset136 M;}\f0\'b1\'69})", u"張"},
    {"DefaultFontAppliesBeforeAnyF",
     R"({\rtf1\deff1{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset134 B;}}\'d5\'c5})", u"张"},
    {"GroupRestoresFont",
     R"({\rtf1{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset134 B;}}\f0{\f1\'d5\'c5}\'e9})", u"张é"},
    {"PlainReturnsToDefaultFont",
     R"({\rtf1\deff0{\fonttbl{\f0\fcharset134 A;}{\f1\fcharset0 B;}}\f1\'e9\plain\'d5\'c5})", u"é张"},
    {"UndecodableByteBecomesReplacement", R"({\rtf1\ansicpg936 \'d5x})", u"\uFFFDx"},
    {"UnknownCodePageKeepsAscii", R"({\rtf1\ansicpg99999 \'e9a})", u"\uFFFDa"},
    // Destinations
    {"FieldKeepsResultOnly", R"({\rtf1{\field{\*\fldinst{HYPERLINK "http://x"}}{\fldrslt{link}}}})",
     u"link"},
    {"UprKeepsUnicodeHalf", R"({\rtf1{\upr{ansi}{\*\ud{\uc0\u24352}}}x})", u"张x"},
    {"StarredUnknownDestinationSkipped", R"({\rtf1 a{\*\anything b}c})", u"ac"},
    {"HeaderPositionWordsAreNoDestinations", R"({\rtf1\headery720\footery720 a})", u"a"},
    // Raw binary data
    {"BinSkipsRawBytes", "{\\rtf1 a\\bin3 }{\\b}", u"ab"},
    {"BinInsideSkippedGroup", "{\\rtf1{\\pict\\bin2 }}}x}", u"x"},
    {"NegativeBinIsZero", R"({\rtf1\bin-5 ab})", u"ab"},
    {"BinLongerThanFile", "{\\rtf1 a\\bin999 xyz", std::nullopt},
    // Structure and malformed input: only one whole document is rich text
    {"BlanksAfterDocumentGroup", "{\\rtf1 a}\r\n \t", u"a"},
    {"TextAfterDocumentGroup", R"({\rtf1 a}b{c})", std::nullopt},
    {"SecondDocument", R"({\rtf1 a}{\rtf1 b})", std::nullopt},
    {"ExtraClosingBrace", R"({\rtf1{a}}})", std::nullopt},
    {"EndOfFileInsideGroup", R"({\rtf1 a{\b b)", std::nullopt},
    {"NotStartingLikeRichText", R"( {\rtf1 a})", std::nullopt},
    {"OverlongControlWordIgnored",
     "{\\rtf1 a\\" + std::string(40, 'q') + " b}", u"ab"},
    {"HugeParameterSaturates", R"({\rtf1\fs123456789012345678901234567890 x})", u"x"},
    {"HugeNegativeUnicodeIsReplacement", R"({\rtf1\u-99999999999999999999 ?a})", u"\uFFFDa"},
    {"MalformedHexEscapeDropped", R"({\rtf1 a\'zzb})", u"azzb"},
    {"TruncatedHexEscape", "{\\rtf1 a\\'}", u"a"},
    {"LoneBackslashAtEnd", "{\\rtf1 a\\", std::nullopt},
    {"DeepNestingBeyondCap",
     "{\\rtf1 " + std::string(5000, '{') + "x" + std::string(5000, '}') + "y}", u"xy"},
};

INSTANTIATE_TEST_SUITE_P(Rules, RichTextSnippet, ::testing::ValuesIn(kSnippets),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(RichTextReader, DestinationsHoldNoText) {
    for (const char* word :
         {"fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "objdata", "header",
          "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "footnote",
          "pntext", "pn", "listtext", "nonshppict", "author", "title", "listtable",
          "latentstyles", "themedata", "shp"}) {
        SCOPED_TRACE(word);
        const std::string rtf = std::string("{\\rtf1 a{\\") + word + " hidden{\\b nested}}b}";
        EXPECT_EQ(readRichText(rtf, fakeDecoder()), u"ab");
    }
}

TEST(RichTextReader, WorksWithoutAnyDecoder) {
    EXPECT_EQ(readRichText(R"({\rtf1 a\'e9b})", CodePageDecoder{}), u"a\uFFFDb");
}

}  // namespace
}  // namespace zorbalin::textio
