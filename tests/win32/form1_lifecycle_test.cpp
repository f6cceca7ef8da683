// Startup and shutdown against a temporary registry key: what a user sees at start, and
// what is remembered for the next run.
#include "form1_fixture.h"

namespace zorbalin::win32::testing {
namespace {

using LifecycleTest = Form1Test;

TEST_F(LifecycleTest, FirstRunStartsEmptyWithFiftyAndStoresThem) {
    open();
    EXPECT_EQ(textOf(editor()), u"");
    EXPECT_EQ(textOf(interval()), u"50");
    EXPECT_EQ(textOf(pick()), u"");
    EXPECT_EQ(textOf(startStop()), u"开始滚动");
    EXPECT_FALSE(form->timer().enabled());
    EXPECT_EQ(form->timer().interval(), 100);
    closeWindow();
    EXPECT_EQ(form->window(), nullptr);
    EXPECT_EQ(settings.get(L"Path"), L"");
    EXPECT_EQ(settings.get(L"Interval"), L"50");
}

TEST_F(LifecycleTest, RememberedFileIsLoadedTidiedAndLeftAsItWasOnDisk) {
    const std::string bytes = "a\r\n\r\n\r\nb\r\n";
    const std::wstring path = writeFile(L"名单.txt", bytes);
    settings.set(L"Path", path);
    settings.set(L"Interval", L"75");
    open();
    EXPECT_EQ(textOf(editor()), u"a\r\nb");
    EXPECT_EQ(textOf(interval()), u"75");
    EXPECT_EQ(readBytes(path), bytes);
}

TEST_F(LifecycleTest, DeletedRememberedFileLeavesEditorEmptyAndPathKept) {
    const std::wstring path = files.file(L"gone.txt");
    settings.set(L"Path", path);
    openShown();
    pumpMessages();
    EXPECT_EQ(textOf(editor()), u"");
    EXPECT_TRUE(boxes.empty());
    closeWindow();
    EXPECT_EQ(settings.get(L"Path"), path);
}

TEST_F(LifecycleTest, UnreadableRememberedFileIsReportedOnceTheWindowIsUpAndPathKept) {
    // A PNG is no candidate list: refused with a message once the window is shown.
    const std::wstring path = writeFile(L"photo.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    settings.set(L"Path", path);
    open();
    pumpMessages();
    EXPECT_TRUE(boxes.empty()) << "no box before the window is shown";
    form->show(SW_SHOWNORMAL);
    ASSERT_TRUE(pumpUntil([this] { return !boxes.empty(); }));
    pumpMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, form->window());
    EXPECT_EQ(boxes[0].title, u"Zorbalin");
    EXPECT_NE(boxes[0].text.find(u"photo.png"), std::u16string::npos);
    EXPECT_EQ(textOf(editor()), u"");
    closeWindow();
    EXPECT_EQ(settings.get(L"Path"), path);
}

TEST_F(LifecycleTest, StoredIntervalIsShownVerbatimAndOnlyLeavingTidiesIt) {
    settings.set(L"Interval", L"abc");
    openShown();
    EXPECT_EQ(textOf(interval()), u"abc");
    SetFocus(interval());
    SetFocus(startStop());
    EXPECT_EQ(textOf(interval()), u"0");
}

struct ShutdownCase {
    const char* name;
    const wchar_t* storedInterval;
    const char16_t* typedInterval;
    bool startDraw;
    const wchar_t* expectedInterval;
};

class ShutdownTest : public Form1Test, public ::testing::WithParamInterface<ShutdownCase> {};

// The interval of the last Start is what is stored, not what was typed afterwards.
TEST_P(ShutdownTest, StoresPathAndTheIntervalOfTheLastStart) {
    const ShutdownCase& c = GetParam();
    settings.set(L"Interval", c.storedInterval);
    openShown();
    typeText(editor(), u"x\r\ny");
    typeText(interval(), c.typedInterval);
    if (c.startDraw) click(startStop());
    EXPECT_EQ(form->timer().enabled(), c.startDraw);
    closeWindow();
    EXPECT_EQ(settings.get(L"Interval"), c.expectedInterval);
    EXPECT_EQ(settings.get(L"Path"), L"");
    EXPECT_TRUE(boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShutdownTest,
    ::testing::Values(ShutdownCase{"TypedWithoutStart", L"80", u"200", false, L"80"},
                      ShutdownCase{"WhileScrolling", L"80", u"30", true, L"30"},
                      ShutdownCase{"VerbatimText", L"", u"1,5 ms", true, L"1,5 ms"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(LifecycleTest, EndOfSessionStoresTheSettingsOnceWithoutABox) {
    settings.set(L"Interval", L"80");
    open();
    EXPECT_TRUE(SendMessageW(form->window(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(settings.get(L"Interval"), L"80");
    settings.set(L"Interval", L"stored again at the end");
    SendMessageW(form->window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(settings.get(L"Interval"), L"80");
    EXPECT_EQ(settings.get(L"Path"), L"");
    // What was stored is not stored again when the window goes after all.
    settings.set(L"Interval", L"changed meanwhile");
    closeWindow();
    EXPECT_EQ(settings.get(L"Interval"), L"changed meanwhile");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(LifecycleTest, CancelledEndOfSessionKeepsTheWindowAndStoresAgainOnClosing) {
    open();
    EXPECT_TRUE(SendMessageW(form->window(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(settings.get(L"Interval"), L"50");
    SendMessageW(form->window(), WM_ENDSESSION, FALSE, 0);
    ASSERT_NE(form->window(), nullptr);
    settings.set(L"Interval", L"changed meanwhile");
    closeWindow();
    EXPECT_EQ(settings.get(L"Interval"), L"50");
}

class UnwritableStoreTest : public Form1Test {
protected:
    // No key name may be longer than 255 characters, so nothing can be stored there.
    void SetUp() override { settingsKeyPath = settings.path() + L"\\" + std::wstring(300, L'k'); }
};

TEST_F(UnwritableStoreTest, UserClosingHearsOnceThatNothingWasStored) {
    openShown();
    const HWND window = form->window();
    closeWindow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, window);
    EXPECT_EQ(boxes[0].text.rfind(u"无法保存设置到“HKEY_CURRENT_USER\\Software\\ZorbalinTests\\", 0), 0u);
    EXPECT_EQ(form->window(), nullptr) << "the window closes all the same";
}

TEST_F(UnwritableStoreTest, EndOfSessionDoesNotWaitOnABox) {
    open();
    SendMessageW(form->window(), WM_ENDSESSION, TRUE, 0);
    form.reset();  // the session ends the process
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace zorbalin::win32::testing
