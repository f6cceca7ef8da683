// The click on "选择文件" with a scripted dialog and real files: load, tidy, write back.
#include "form1_fixture.h"

#include "wide_text.h"

namespace zorbalin::win32::testing {
namespace {

struct ChooseCase {
    const char* name;
    std::string bytes;
    std::u16string shown;
    std::string written;
};

class ChooseFileTest : public Form1Test, public ::testing::WithParamInterface<ChooseCase> {};

TEST_P(ChooseFileTest, ChosenFileIsShownTidiedAndWrittenBackInItsFormat) {
    const ChooseCase& c = GetParam();
    const std::wstring path = writeFile(L"候选.txt", c.bytes);
    dialog.answer = [&] { return fromWide(path); };
    openShown();
    click(chooseFile());
    EXPECT_EQ(dialog.calls, 1);
    EXPECT_EQ(textOf(editor()), c.shown);
    EXPECT_EQ(readBytes(path), c.written);
    EXPECT_EQ(form->listPath(), path);
    EXPECT_TRUE(boxes.empty());
    closeWindow();
    EXPECT_EQ(settings.get(L"Path"), path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseFileTest,
    ::testing::Values(
        ChooseCase{"CrLf", "a\r\n\r\nb\r\n", u"a\r\nb", "a\r\nb"},
        ChooseCase{"Lf", "a\n\n\nb\n", u"a\r\nb", "a\nb"},
        ChooseCase{"Utf8WithMark", "\xEF\xBB\xBF张三\r\n\r\n李四\r\n", u"张三\r\n李四",
                   "\xEF\xBB\xBF张三\r\n李四"},
        ChooseCase{"AlreadyTidy", "x\r\ny", u"x\r\ny", "x\r\ny"},
        // Not GB18030 (no euro sign at 0x80), yet valid in Windows' code page 936.
        ChooseCase{"CodePage936Euro", "\xD5\xC5 \x80\x35\r\n\r\n\xC8\xFD\r\n", u"张 €5\r\n三",
                   "\xD5\xC5 \x80\x35\r\n\xC8\xFD"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(Form1Test, CancelledChoiceKeepsTheEditorAndForgetsTheFile) {
    const std::wstring path = writeFile(L"old.txt", "a");
    settings.set(L"Path", path);
    openShown();
    ASSERT_EQ(textOf(editor()), u"a");
    click(chooseFile());
    EXPECT_EQ(textOf(editor()), u"a");
    EXPECT_EQ(form->listPath(), L"");
    closeWindow();
    EXPECT_EQ(settings.get(L"Path"), L"");
}

TEST_F(Form1Test, UnreadableChoiceIsReportedOnceAndNotWrittenOver) {
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    const std::wstring path = writeFile(L"photo.png", png);
    dialog.answer = [&] { return fromWide(path); };
    openShown();
    typeText(editor(), u"kept\r\n\r\n");
    click(chooseFile());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, form->window());
    EXPECT_NE(boxes[0].text.find(u"photo.png"), std::u16string::npos);
    EXPECT_EQ(readBytes(path), png);
    EXPECT_EQ(textOf(editor()), u"kept\r\n\r\n");
    EXPECT_EQ(form->listPath(), path);
}

TEST_F(Form1Test, ReadOnlyChoiceIsShownTidiedAndReportedAsNotSaved) {
    const std::wstring path = writeFile(L"readonly.txt", "a\r\n\r\nb");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    dialog.answer = [&] { return fromWide(path); };
    openShown();
    click(chooseFile());
    EXPECT_EQ(textOf(editor()), u"a\r\nb");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(u"只读"), std::u16string::npos);
    EXPECT_EQ(readBytes(path), "a\r\n\r\nb");
}

TEST_F(Form1Test, ChoosingWhileScrollingChangesTheEditorNotTheDraw) {
    const std::wstring path = writeFile(L"new.txt", "new");
    dialog.answer = [&] { return fromWide(path); };
    openShown();
    typeText(editor(), u"old");
    click(startStop());
    click(chooseFile());
    EXPECT_EQ(textOf(editor()), u"new");
    EXPECT_TRUE(form->timer().enabled());
    for (int i = 0; i < 10; ++i) tick();
    EXPECT_EQ(textOf(pick()), u"old");
}

}  // namespace
}  // namespace zorbalin::win32::testing
