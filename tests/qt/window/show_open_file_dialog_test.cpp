// The routine with scripted backends: what reaches the backend, what comes back, and the
// error box.
#include "file_dialogs.h"
#include "qt_gtest_printers.h"
#include "message_box_catcher.h"

#include <QWidget>

#include <functional>

#include <gtest/gtest.h>

namespace zorbalin::window {
namespace {

using test::MessageBoxCatcher;

class ScriptedBackend : public FileChooser {
public:
    explicit ScriptedBackend(std::function<Result<QString>()> script) : script_(std::move(script)) {}
    Result<QString> chooseExistingFile(const FileDialogRequest& request) override {
        ++calls;
        lastRequest = request;
        return script_();
    }
    int calls = 0;
    FileDialogRequest lastRequest{};

private:
    std::function<Result<QString>()> script_;
};

const QString kAllFiles = QString::fromUtf16(u"所有文件(*.*)") + QChar(u'\0') + "*.*" + QChar(u'\0');

TEST(ShowOpenFileDialog, PassesOwnerTitleAndFiltersWithTheFirstSelected) {
    QWidget owner;
    ScriptedBackend backend([] { return QString("/data/list.txt"); });
    MessageBoxCatcher boxes;
    const QString twoPairs = QString("Text") + QChar(u'\0') + "*.txt" + QChar(u'\0') + "All" +
                             QChar(u'\0') + "*.*" + QChar(u'\0');

    EXPECT_EQ(ShowOpenFileDialog(&owner, "Pick", twoPairs, backend), "/data/list.txt");

    EXPECT_EQ(backend.calls, 1);
    EXPECT_EQ(backend.lastRequest.owner, &owner);
    EXPECT_EQ(backend.lastRequest.title, "Pick");
    EXPECT_EQ(backend.lastRequest.nameFilters, (QStringList{"Text (*.txt)", "All (*)"}));
    EXPECT_EQ(backend.lastRequest.selectedNameFilter, "Text (*.txt)");
    EXPECT_TRUE(boxes.caught().isEmpty());
}

TEST(ShowOpenFileDialog, CancelGivesEmptyTextAndNoBox) {
    ScriptedBackend backend([] { return QString(); });
    MessageBoxCatcher boxes;

    EXPECT_EQ(ShowOpenFileDialog(nullptr, "t", kAllFiles, backend), "");
    EXPECT_TRUE(boxes.caught().isEmpty());
}

struct FailureCase {
    const char* name;
    std::function<Result<QString>()> fail;
    QString expectedText;
    friend void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }
};

class FailingBackendTest : public testing::TestWithParam<FailureCase> {};

TEST_P(FailingBackendTest, ShowsExactlyOnePlainBoxAndGivesEmptyText) {
    QWidget owner;
    ScriptedBackend backend(GetParam().fail);
    MessageBoxCatcher boxes;

    EXPECT_EQ(ShowOpenFileDialog(&owner, "t", kAllFiles, backend), "");

    EXPECT_EQ(backend.calls, 1);
    ASSERT_EQ(boxes.caught().size(), 1);
    const test::CaughtMessageBox& box = boxes.caught().first();
    EXPECT_EQ(box.text, GetParam().expectedText);
    EXPECT_EQ(box.title, "mnuFileOpenDialog_Click");
    EXPECT_EQ(box.textFormat, Qt::PlainText);
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.standardButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box.buttonCount, 1);
    EXPECT_TRUE(box.modal);
    EXPECT_EQ(box.parent, &owner);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailingBackendTest,
    testing::Values(
        FailureCase{"DialogFailureShowsItsNumberAndDescription",
                    []() -> Result<QString> { return dialogs::dialogFailure(53, u"File not found: comdlg32.dll"); },
                    "Error: 53 File not found: comdlg32.dll"},
        FailureCase{"DescriptionThatLooksLikeMarkupIsShownAsIs",
                    []() -> Result<QString> { return dialogs::dialogFailure(453, u"<b>no entry</b>"); },
                    "Error: 453 <b>no entry</b>"},
        FailureCase{"AnExceptionIsCaughtToo", []() -> Result<QString> { throw 42; },
                    "Error: 51 出现内部错误(未知错误)，操作未能完成。"}),
    [](const testing::TestParamInfo<FailureCase>& test) { return test.param.name; });

}  // namespace
}  // namespace zorbalin::window
