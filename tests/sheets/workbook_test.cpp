// Which names a workbook gives, or why none: workbooks saved by LibreOffice (tests/data) and
// workbooks made here, each with one thing to prove.
#include "sheets/workbook.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "zip_writer.h"

namespace zorbalin::sheets {
namespace {

using testing::SheetXml;
using testing::workbookOf;
using testing::workbookParts;
using testing::zipOf;
using Refusal = WorkbookRefusal;

std::string sample(const char* name) {
    std::ifstream in(std::string(ZORBALIN_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string row(const std::string& cells) { return "<row>" + cells + "</row>"; }
std::string shared(const std::string& at, int index) {
    return "<c r=\"" + at + "\" t=\"s\"><v>" + std::to_string(index) + "</v></c>";
}
std::string inlineText(const std::string& at, const std::string& text) {
    return "<c r=\"" + at + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}
std::string number(const std::string& at, const std::string& value) {
    return "<c r=\"" + at + "\"><v>" + value + "</v></c>";
}

struct WorkbookCase {
    const char* name;
    std::function<std::string()> bytes;
    WorkbookOutcome expected;
};

TEST(ReadWorkbookNames, TakesTheColumnOfNamesOrSaysWhyNot) {
    const auto file = [](const char* name) { return [name] { return sample(name); }; };
    const auto book = [](std::vector<SheetXml> sheets, std::vector<std::string> strings = {}) {
        return [=] { return workbookOf(sheets, strings); };
    };
    const auto rows = [](std::initializer_list<std::string> list) {
        std::string out;
        for (const std::string& r : list) out += row(r);
        return out;
    };
    const WorkbookCase cases[] = {
        // Saved by LibreOffice from the CSV files beside them.
        {"HeaderInColumnB", file("workbook-header-b.xlsx"), u"张三\r\n李四\r\n王五\r\nÉmile Zola"},
        {"NoHeaderNamesBesideNumbers", file("workbook-no-header.xlsx"), u"Ann\r\nBob\r\n赵六"},
        {"NumbersAsExcelShowsThem", file("workbook-numbers.xlsx"),
         u"2023001\r\n12.5\r\n0.1\r\n-3\r\n45536\r\n1.23456789012346E+17"},
        {"LegacyXls", file("workbook-legacy.xls"), Refusal::Legacy},
        {"DamagedXlsx", [] { std::string b = sample("workbook-header-b.xlsx"); return b.substr(0, b.size() - 100); },
         Refusal::Damaged},
        // Made here.
        {"SharedInlineRichAndFormulaStrings",
         book({{rows({shared("A1", 0), shared("A2", 1), inlineText("A3", "Dan"),
                      "<c r=\"A4\" t=\"inlineStr\"><is><r><t>E</t></r><r><rPr><b/></rPr><t>ve</t></r></is></c>",
                      "<c r=\"A5\" t=\"str\"><f>A1&amp;\"!\"</f><v>Ann!</v></c>",
                      "<c r=\"A6\" t=\"b\"><v>1</v></c>"})}},
              {"<t>Ann</t>", "<r><t>B</t></r><r><t>ob</t></r><rPh sb=\"0\" eb=\"1\"><t>ボブ</t></rPh>"}),
         u"Ann\r\nBob\r\nDan\r\nEve\r\nAnn!\r\nTRUE"},
        {"HiddenEmptyFirstSheet", book({{"", "hidden"}, {"", "veryHidden"}, {row(inlineText("A1", "Ann"))}}), u"Ann"},
        {"EverySheetHidden", book({{row(inlineText("A1", "Ann")), "hidden"}}), Refusal::NoText},
        {"HeaderTrimmedAnyCaseBelowAnEmptyRow",
         book({{rows({"", inlineText("A2", "No.") + inlineText("C2", " NAME "), inlineText("A3", "1") + inlineText("C3", "Ann"),
                      inlineText("A4", "2"), inlineText("A5", "3") + inlineText("C5", "Cy")})}}),
         u"Ann\r\nCy"},
        {"ChineseHeaderAfterOthers",
         book({{rows({inlineText("A1", "学号") + inlineText("B1", "名单"), number("A2", "1") + inlineText("B2", "张三")})}}),
         u"张三"},
        {"UnknownHeaderOverANumberColumn",
         book({{rows({inlineText("A1", "序号") + inlineText("B1", "同学"), number("A2", "1") + inlineText("B2", "张三")})}}),
         u"同学\r\n张三"},
        {"OnlyNumbers", book({{rows({number("B1", "2023001.0"), number("B2", "7")})}}), u"2023001\r\n7"},
        {"CellsWithoutReferences",
         book({{rows({"<c><v>1</v></c><c t=\"inlineStr\"><is><t>Ann</t></is></c>", "<c/><c t=\"inlineStr\"><is><t>Bob</t></is></c>"})}}),
         u"Ann\r\nBob"},
        {"OneCellOneLine", book({{rows({inlineText("A1", " Ann\r\nLee "), inlineText("A2", "Bo_x000D__x000A_b_x0000_")})}}),
         u"Ann Lee\r\nBo b"},
        {"OnlyAHeader", book({{row(inlineText("A1", "姓名"))}}), Refusal::NoText},
        {"EmptySheet", book({{""}}), Refusal::NoText},
        {"BlanksAndErrorsOnly", book({{rows({inlineText("A1", "  "), "<c r=\"B1\" t=\"e\"><v>#N/A</v></c>"})}}), Refusal::NoText},
        {"SharedStringOutOfRange", book({{row(shared("A1", 1))}}, {"<t>Ann</t>"}), Refusal::Damaged},
        {"NotANumber", book({{row(number("A1", "12abc"))}}), Refusal::Damaged},
        {"MalformedSheet", book({{"<row><c r=\"A1\"></row>"}}), Refusal::Damaged},
        {"CellOutsideARow", book({{inlineText("A1", "Ann")}}), Refusal::Damaged},
        {"ColumnBeyondXFD", book({{row(inlineText("XFE1", "Ann"))}}), Refusal::Damaged},
        {"NoRelationships", [] {
             auto parts = workbookParts({{row(inlineText("A1", "Ann"))}});
             parts.erase(parts.begin() + 1);
             return zipOf(parts);
         }, Refusal::Damaged},
        {"SheetPartMissing", [] {
             auto parts = workbookParts({{row(inlineText("A1", "Ann"))}});
             parts.pop_back();
             return zipOf(parts);
         }, Refusal::Damaged},
        {"ZipBombSheet", [] {
             auto parts = workbookParts({{row(inlineText("A1", "Ann"))}});
             parts.back().declaredSize = static_cast<std::uint32_t>(kMaxInflatedBytes + 1);
             return zipOf(parts);
         }, Refusal::TooLarge},
        {"ZipWithoutAWorkbook", [] { return zipOf({{"word/document.xml", "<w/>"}}); }, Refusal::NotAWorkbook},
        {"EncryptedWorkbook", [] { return testing::compoundFileWith({u"EncryptionInfo", u"EncryptedPackage"}); },
         Refusal::Encrypted},
        {"CompoundLegacyWorkbook", [] { return testing::compoundFileWith({u"\x05SummaryInformation", u"Workbook"}); },
         Refusal::Legacy},
        {"WordDocument", [] { return testing::compoundFileWith({u"WordDocument", u"1Table"}); }, Refusal::NotAWorkbook},
    };
    for (const WorkbookCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = c.bytes();
        EXPECT_TRUE(looksLikeWorkbook(bytes));
        EXPECT_EQ(readWorkbookNames(bytes), c.expected);
    }
}

// A million rows are read; one more is refused.
TEST(ReadWorkbookNames, ReadsAtMostAMillionRows) {
    std::string rows;
    for (std::size_t i = 1; i < kMaxRows; ++i) rows += "<row/>";
    rows += row(inlineText("A1", "Ann"));
    EXPECT_EQ(readWorkbookNames(workbookOf({{rows}})), WorkbookOutcome(u"Ann"));
    EXPECT_EQ(readWorkbookNames(workbookOf({{rows + "<row/>"}})), WorkbookOutcome(Refusal::TooLarge));
}

TEST(CellNumberText, ShowsAPlainNumberAsExcelDoes) {
    const std::pair<double, std::u16string_view> cases[] = {
        {2023001, u"2023001"},   {0.1 + 0.2, u"0.3"},      {-3, u"-3"},
        {-0.0, u"0"},            {1.0 / 3, u"0.333333333333333"},
        {123456789012345, u"123456789012345"}, {1e15, u"1E+15"}, {1.5e20, u"1.5E+20"},
        {1e-7, u"1E-07"},        {0.0001, u"0.0001"},
    };
    for (const auto& [value, text] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(cellNumberText(value), text);
    }
}

TEST(LooksLikeWorkbook, OnlyZipAndCompoundFiles) {
    EXPECT_FALSE(looksLikeWorkbook("PK"));
    EXPECT_FALSE(looksLikeWorkbook("姓名\r\nAnn"));
    EXPECT_FALSE(looksLikeWorkbook("{\\rtf1 PK\x03\x04}"));
}

}  // namespace
}  // namespace zorbalin::sheets
