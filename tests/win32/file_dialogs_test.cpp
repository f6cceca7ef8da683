#include "file_dialogs.h"
#include "layout/texts.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <functional>
#include <string>
#include <vector>

#include "system_error_text.h"
#include "temporary_folder.h"
#include "wide_text.h"

namespace zorbalin::win32 {
namespace {

constexpr std::u16string_view kTitle = u"选择一个文件";
const std::u16string kFilter(u"所有文件 (*.*)\0*.*\0", 17);

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Answers every dialog box (#32770) this thread activates: a hook sees it come up and the
// answer posts the user's reply, so nothing waits on the clock. A thread timer ends a modal
// loop that was never answered, so a broken test fails instead of hanging.
class DialogAnswerer {
public:
    using Answer = std::function<void(HWND dialog)>;

    explicit DialogAnswerer(Answer answer) : answer_(std::move(answer)) {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, onEvent, nullptr, GetCurrentThreadId());
        timer_ = SetTimer(nullptr, 0, 20000, giveUp);
    }
    ~DialogAnswerer() {
        UnhookWindowsHookEx(hook_);
        KillTimer(nullptr, timer_);
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE) {
            ADD_FAILURE() << "a dialog was not answered in time";
        }
        current_ = nullptr;
    }
    bool installed() const { return hook_ != nullptr && timer_ != 0; }
    const std::vector<std::wstring>& titles() const { return titles_; }

private:
    static void CALLBACK giveUp(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); }
    static LRESULT CALLBACK onEvent(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current_ != nullptr) {
            const auto window = reinterpret_cast<HWND>(wParam);
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            if (std::wstring_view(className) == L"#32770" && current_->seen_.insert(window)) {
                current_->titles_.push_back(windowText(window));
                current_->answer_(window);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    struct Seen {
        std::vector<HWND> windows;
        bool insert(HWND window) {
            for (HWND known : windows) if (known == window) return false;
            windows.push_back(window);
            return true;
        }
    };

    static inline DialogAnswerer* current_ = nullptr;
    Answer answer_;
    HHOOK hook_ = nullptr;
    UINT_PTR timer_ = 0;
    Seen seen_;
    std::vector<std::wstring> titles_;
};

void press(HWND dialog, int button) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// Keeps what the routine would show, instead of showing it.
class RecordingBackend : public dialogs::OpenFileDialogBackend {
public:
    explicit RecordingBackend(CommonDialogBackend real) : real_(std::move(real)) {}
    Result<std::u16string> chooseExistingFile(const dialogs::OpenFileDialogRequest& request) override {
        return real_.chooseExistingFile(request);
    }
    void showFailureBox(std::u16string_view title, std::u16string_view text) override {
        boxes.push_back(std::u16string(title) + u"|" + std::u16string(text));
    }
    std::vector<std::u16string> boxes;

private:
    CommonDialogBackend real_;
};

TEST(CommonDialogTest, MissingLibraryOrEntryPointIsOneErrorBox) {
    const struct {
        const wchar_t* library;
        const char* entryPoint;
        DWORD error;
    } cases[] = {
        {L"zorbalin-no-such-library.dll", "GetOpenFileNameW", ERROR_MOD_NOT_FOUND},
        {L"comdlg32.dll", "GetOpenFileNameZ", ERROR_PROC_NOT_FOUND},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.entryPoint);
        RecordingBackend backend(CommonDialogBackend(nullptr, test.library, test.entryPoint));
        EXPECT_EQ(ShowOpenFileDialog(nullptr, kTitle, kFilter, &backend), u"");
        const std::u16string text =
            layout::dialogFailureText(static_cast<long>(test.error), systemErrorText(test.error));
        EXPECT_EQ(backend.boxes, std::vector<std::u16string>{u"mnuFileOpenDialog_Click|" + text});
        EXPECT_EQ(text.find(u'\r'), std::u16string::npos) << "the system text keeps its line break";
    }
}

TEST(CommonDialogTest, ErrorBoxHasOnlyOkAndNoIcon) {
    std::wstring text;
    std::vector<int> visibleButtons;
    bool iconShown = true;
    DialogAnswerer answerer([&](HWND box) {
        text = windowText(GetDlgItem(box, 0xFFFF));
        for (int button : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
            const HWND control = GetDlgItem(box, button);
            if (control != nullptr && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0) {
                visibleButtons.push_back(button);
            }
        }
        const HWND icon = GetDlgItem(box, 0x0440);  // the box's icon control
        iconShown = icon != nullptr && (GetWindowLongW(icon, GWL_STYLE) & WS_VISIBLE) != 0 &&
                    SendMessageW(icon, STM_GETICON, 0, 0) != 0;
        press(box, IDOK);
    });
    ASSERT_TRUE(answerer.installed());
    CommonDialogBackend backend(nullptr, L"comdlg32.dll", "GetOpenFileNameZ");
    EXPECT_EQ(ShowOpenFileDialog(nullptr, kTitle, kFilter, &backend), u"");
    EXPECT_EQ(answerer.titles(), std::vector<std::wstring>{L"mnuFileOpenDialog_Click"});
    EXPECT_EQ(fromWide(text),
              layout::dialogFailureText(ERROR_PROC_NOT_FOUND, systemErrorText(ERROR_PROC_NOT_FOUND)));
    EXPECT_EQ(visibleButtons, std::vector<int>{IDOK});
    EXPECT_FALSE(iconShown);
}

TEST(CommonDialogTest, CancelGivesNothingAndNoBox) {
    DialogAnswerer answerer([](HWND dialog) { press(dialog, IDCANCEL); });
    ASSERT_TRUE(answerer.installed());
    EXPECT_EQ(ShowOpenFileDialog(nullptr, kTitle, kFilter), u"");
    EXPECT_EQ(answerer.titles(), std::vector<std::wstring>{toWide(kTitle)});
}

TEST(CommonDialogTest, ChosenFileComesBackWhole) {
    testing::TemporaryFolder folder;
    // 258 characters: longer than the 255 of the old buffer, within what the dialog (Wine's
    // too) accepts as a typed name.
    const std::wstring name = L"\\名单.txt";
    std::wstring deep = folder.path();
    const std::size_t folderLength = 258 - name.size();
    while (deep.size() < folderLength) {
        const std::size_t rest = folderLength - deep.size() - 1;
        deep += L"\\" + std::wstring(rest > 61 ? 50 : rest, L'd');
        ASSERT_TRUE(CreateDirectoryW(testing::extended(deep).c_str(), nullptr));
    }
    for (const std::wstring& path : {folder.file(L"名单.txt"), deep + name}) {
        ASSERT_LE(path.size(), 258u);
        SCOPED_TRACE(path.size());
        testing::writeBytes(path, "a\r\n");
        DialogAnswerer answerer([&](HWND dialog) {
            HWND field = GetDlgItem(dialog, cmb13);
            if (field == nullptr) field = GetDlgItem(dialog, edt1);
            SetWindowTextW(field, path.c_str());
            press(dialog, IDOK);
        });
        ASSERT_TRUE(answerer.installed());
        EXPECT_EQ(ShowOpenFileDialog(nullptr, kTitle, kFilter), fromWide(path));
        EXPECT_EQ(answerer.titles().size(), 1u);
    }
}

// The save dialog offers its file name and gives a name typed without an extension its own.
TEST(CommonDialogTest, SaveDialogOffersItsNameAndGivesATypedNameItsExtension) {
    testing::TemporaryFolder folder;
    std::wstring offered;
    DialogAnswerer answerer([&](HWND dialog) {
        HWND field = GetDlgItem(dialog, cmb13);
        if (field == nullptr) field = GetDlgItem(dialog, edt1);
        offered = windowText(field);
        SetWindowTextW(field, folder.file(L"记录").c_str());
        press(dialog, IDOK);
    });
    ASSERT_TRUE(answerer.installed());
    const layout::SaveDialogTexts texts = layout::recordSaveDialog();
    const Result<std::u16string> chosen = ShowSaveFileDialog(nullptr, texts);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, fromWide(folder.file(L"记录.txt")));
    EXPECT_EQ(offered, toWide(texts.fileName));
    EXPECT_EQ(answerer.titles(), std::vector<std::wstring>{toWide(texts.title)});
}

}  // namespace
}  // namespace zorbalin::win32
