// Startup and shutdown as the window wires them: the registry's values, the messages that
// close the window or end the session, and the box once the window is up.
#include "form1_fixture.h"

namespace zorbalin::win32::testing {
namespace {

using LifecycleTest = Form1Test;

// The registry's values come back as they were stored, whatever they hold.
TEST_F(LifecycleTest, StoredValuesRoundTripThroughTheRegistryVerbatim) {
    const std::wstring path = files.file(L"名单 2024, 班级;=#.txt");  // no file there
    settings.set(L"Path", path);
    settings.set(L"Interval", L" 1,5 ms");
    open();
    EXPECT_EQ(form->listPath(), path);
    EXPECT_EQ(textOf(interval()), u" 1,5 ms");
    closeWindow();
    EXPECT_EQ(form->window(), nullptr);
    EXPECT_EQ(settings.get(L"Path"), path);
    EXPECT_EQ(settings.get(L"Interval"), L" 1,5 ms");
}

TEST_F(LifecycleTest, UnreadableRememberedFileIsReportedOnceTheWindowIsUp) {
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
    EXPECT_NE(boxes[0].text.find(u"photo.png"), std::u16string::npos);
}

// WM_QUERYENDSESSION stores, a cancelled end (WM_ENDSESSION FALSE) changes nothing, the end
// stores again and the window's going after it does not.
TEST_F(LifecycleTest, TheEndOfTheSessionStoresWithoutABox) {
    settings.set(L"Interval", L"80");
    open();
    settings.set(L"Interval", L"changed meanwhile");
    EXPECT_TRUE(SendMessageW(form->window(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(settings.get(L"Interval"), L"80");
    settings.set(L"Interval", L"changed meanwhile");
    SendMessageW(form->window(), WM_ENDSESSION, FALSE, 0);
    ASSERT_NE(form->window(), nullptr);
    EXPECT_EQ(settings.get(L"Interval"), L"changed meanwhile");
    SendMessageW(form->window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(settings.get(L"Interval"), L"80");
    settings.set(L"Interval", L"changed meanwhile");
    closeWindow();
    EXPECT_EQ(settings.get(L"Interval"), L"changed meanwhile");
    EXPECT_TRUE(boxes.empty());
}

class UnwritableStoreTest : public Form1Test {
protected:
    // No key name may be longer than 255 characters, so nothing can be stored there.
    void SetUp() override { settingsKeyPath = settings.path() + L"\\" + std::wstring(300, L'k'); }
};

TEST_F(UnwritableStoreTest, OnlyTheUserClosingHearsThatNothingWasStored) {
    openShown();
    const HWND window = form->window();
    closeWindow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, window);
    EXPECT_EQ(boxes[0].text.rfind(u"无法保存设置到“HKEY_CURRENT_USER\\Software\\ZorbalinTests\\", 0), 0u);
    EXPECT_EQ(form->window(), nullptr) << "the window closes all the same";
    boxes.clear();
    open();
    SendMessageW(form->window(), WM_ENDSESSION, TRUE, 0);
    form.reset();  // the session ends the process
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace zorbalin::win32::testing
