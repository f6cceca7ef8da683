// The routine's rules with a scripted backend: the filter pairs, what reaches the dialog,
// and the one error box.
#include "dialogs/open_file_dialog.h"

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zorbalin::dialogs {
namespace {

std::u16string withNuls(std::u16string text) {
    for (char16_t& c : text) if (c == u'|') c = u'\0';
    return text;
}

struct FilterCase {
    const char* name;
    std::u16string filter;
    std::vector<FilterPair> expected;
};

class FilterPairsTest : public testing::TestWithParam<FilterCase> {};

TEST_P(FilterPairsTest, AreReadInOrderUpToTheEnd) {
    EXPECT_EQ(parseCommonDialogFilter(GetParam().filter), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FilterPairsTest,
    testing::Values(
        FilterCase{"AllFiles", withNuls(u"所有文件(*.*)|*.*|"), {{u"所有文件(*.*)", u"*.*"}}},
        FilterCase{"TwoPairsKeepTheirOrder", withNuls(u"Text|*.txt|All|*.*||"),
                   {{u"Text", u"*.txt"}, {u"All", u"*.*"}}},
        FilterCase{"MissingTrailingNul", withNuls(u"Text|*.txt"), {{u"Text", u"*.txt"}}},
        FilterCase{"DoubleNulEndsTheList", withNuls(u"Text|*.txt||All|*.*|"), {{u"Text", u"*.txt"}}},
        FilterCase{"DescriptionWithoutPatternIsDropped", withNuls(u"Text|*.txt|Orphan"),
                   {{u"Text", u"*.txt"}}},
        FilterCase{"Empty", u"", {}}),
    [](const testing::TestParamInfo<FilterCase>& test) { return test.param.name; });

class ScriptedBackend : public OpenFileDialogBackend {
public:
    std::function<Result<std::u16string>()> answer = [] { return std::u16string(); };
    bool boxThrows = false;
    int calls = 0;
    OpenFileDialogRequest lastRequest;
    std::vector<std::pair<std::u16string, std::u16string>> boxes;  // title, text

    Result<std::u16string> chooseExistingFile(const OpenFileDialogRequest& request) override {
        ++calls;
        lastRequest = request;
        return answer();
    }
    void showFailureBox(std::u16string_view title, std::u16string_view text) override {
        boxes.emplace_back(title, text);
        if (boxThrows) throw std::runtime_error("no box");
    }
};

const std::u16string kAllFiles = withNuls(u"所有文件(*.*)|*.*|");

TEST(RunOpenFileDialog, HandsTitleFilterAndFirstPairToTheDialogAndReturnsThePath) {
    ScriptedBackend backend;
    backend.answer = [] { return std::u16string(u"C:\\名单\\list.txt"); };

    EXPECT_EQ(runOpenFileDialog(u"选择一个文件", kAllFiles, backend), u"C:\\名单\\list.txt");

    EXPECT_EQ(backend.calls, 1);
    EXPECT_EQ(backend.lastRequest.title, u"选择一个文件");
    EXPECT_EQ(backend.lastRequest.filter, kAllFiles);
    EXPECT_EQ(backend.lastRequest.filterPairs, (std::vector<FilterPair>{{u"所有文件(*.*)", u"*.*"}}));
    EXPECT_EQ(backend.lastRequest.selectedPair, 0u);
    EXPECT_TRUE(backend.boxes.empty());
}

TEST(RunOpenFileDialog, CancelGivesEmptyTextAndNoBox) {
    ScriptedBackend backend;
    EXPECT_EQ(runOpenFileDialog(u"t", kAllFiles, backend), u"");
    EXPECT_TRUE(backend.boxes.empty());
}

TEST(RunOpenFileDialog, AFailingBoxDoesNotEscape) {
    ScriptedBackend backend;
    backend.answer = []() -> Result<std::u16string> { return dialogFailure(53, u"gone"); };
    backend.boxThrows = true;
    EXPECT_EQ(runOpenFileDialog(u"t", kAllFiles, backend), u"");
    EXPECT_EQ(backend.boxes.size(), 1u);
}

struct FailureCase {
    const char* name;
    std::function<Result<std::u16string>()> fail;
    std::u16string expectedText;
};

class FailingDialogTest : public testing::TestWithParam<FailureCase> {};

TEST_P(FailingDialogTest, ShowsExactlyOneBoxAndGivesEmptyText) {
    ScriptedBackend backend;
    backend.answer = GetParam().fail;

    EXPECT_EQ(runOpenFileDialog(u"t", kAllFiles, backend), u"");

    EXPECT_EQ(backend.calls, 1);
    ASSERT_EQ(backend.boxes.size(), 1u);
    EXPECT_EQ(backend.boxes[0].first, u"mnuFileOpenDialog_Click");
    EXPECT_EQ(backend.boxes[0].second, GetParam().expectedText);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailingDialogTest,
    testing::Values(
        FailureCase{"DialogFailureShowsItsNumberAndDescription",
                    []() -> Result<std::u16string> { return dialogFailure(53, u"File not found: comdlg32.dll"); },
                    u"Error: 53 File not found: comdlg32.dll"},
        FailureCase{"NegativeNumbersKeepTheirSign",
                    []() -> Result<std::u16string> { return dialogFailure(-2147467259, u"Unspecified"); },
                    u"Error: -2147467259 Unspecified"},
        FailureCase{"StandardExceptionShowsItsWhat",
                    []() -> Result<std::u16string> { throw std::runtime_error("backend broke"); },
                    u"Error: 51 出现内部错误(backend broke)，操作未能完成。"},
        FailureCase{"OutOfMemoryHasItsOwnNumber", []() -> Result<std::u16string> { throw std::bad_alloc(); },
                    u"Error: 7 内存不足，操作未能完成。窗口中的内容和磁盘上的文件均未改变。"},
        FailureCase{"AnythingElseIsCaughtToo", []() -> Result<std::u16string> { throw 42; },
                    u"Error: 51 出现内部错误(未知错误)，操作未能完成。"}),
    [](const testing::TestParamInfo<FailureCase>& test) { return test.param.name; });

}  // namespace
}  // namespace zorbalin::dialogs
