// Shared by the window suites: a Form1 created in the test process against a temporary
// registry key and temporary files, with a scripted open-file dialog and the boxes and save
// dialogs recorded instead of shown, driven by window messages and real input.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "form1.h"
#include "layout/window_commands.h"
#include "temporary_folder.h"
#include "temporary_registry_key.h"
#include "window_text.h"

namespace zorbalin::win32::testing {

// An open-file dialog that answers from a script instead of asking the user.
struct ScriptedDialog : dialogs::OpenFileDialogBackend {
    std::function<std::u16string()> answer = [] { return std::u16string(); };
    int calls = 0;
    Result<std::u16string> chooseExistingFile(const dialogs::OpenFileDialogRequest&) override {
        ++calls;
        return answer();
    }
    void showFailureBox(std::u16string_view, std::u16string_view) override {}
};

// A box or save dialog, with the window it was over and whether Form1 took input meanwhile.
struct ShownBox {
    HWND owner;
    std::u16string text;
    bool formEnabled;
};

// Serves the thread's messages that are waiting now, as the program's loop serves them.
void pumpMessages();
// Serves messages until the condition holds; false after `timeoutMs` without it.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

inline std::u16string textOf(HWND window) { return windowText(window); }
inline void typeText(HWND field, std::u16string_view text) { setWindowText(field, text); }
// The user presses a key with the modifiers held down, as the keyboard delivers it to the
// focused control, and the program's loop serves it.
void pressKey(WORD key, std::initializer_list<WORD> modifiers = {});
// A real click in the middle of the window (MOUSEEVENTF_LEFTDOWN, _LEFTUP or the right
// button's), left waiting in the queue until the next pump.
void queueClick(HWND window, DWORD down, DWORD up);

// Reads a menu of the window as it opens (its entries as shown: "-" for a separator, the key
// after a tab, " (checked)", " (grayed)"), then leaves the keys in the queue for the menu's
// own loop. Installed for the test's thread while it lives.
class MenuProbe {
public:
    MenuProbe();
    ~MenuProbe();
    MenuProbe(const MenuProbe&) = delete;
    MenuProbe& operator=(const MenuProbe&) = delete;
    static inline std::vector<std::u16string> offered;
    static inline std::vector<WPARAM> keys;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
};

// The keys that go up from the end of the pick display's menu to the entry of the command,
// and choose it (Wine's menus stop at grayed entries too).
std::vector<WPARAM> keysUpTo(layout::WindowCommand command);

class Form1Test : public ::testing::Test {
protected:
    Form1& open(DrawTimerKind timerKind = DrawTimerKind::HighResolutionWaitable);
    // Opened, shown and active, with the focus in the editor.
    Form1& openShown();
    // The user closes the window (the close button sends WM_CLOSE).
    void closeWindow() { SendMessageW(form->window(), WM_CLOSE, 0, 0); }

    HWND control(const char* name) { return form->control(layout::findControlNamed(name)->id); }
    HWND editor() { return control("RichTextBox1"); }
    HWND pick() { return control("Text1"); }
    HWND interval() { return control("Text2"); }
    HWND startStop() { return control("Command2"); }
    HWND chooseFile() { return control("Command1"); }
    void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
    // Opens the menu on Text1 with the menu key and chooses the command's entry.
    void choosePickMenu(layout::WindowCommand command);
    // A tick of Timer1, delivered as the timer delivers it.
    void tick() { SendMessageW(form->window(), kTimer1TickMessage, 0, 0); }
    bool scrolling() { return textOf(startStop()) == u"停止滚动"; }

    std::wstring writeFile(const wchar_t* name, std::string_view bytes) {
        const std::wstring path = files.file(name);
        writeBytes(path, bytes);
        return path;
    }

    TemporaryRegistryKey settings;
    std::wstring settingsKeyPath = settings.path();  // where Form1 keeps its settings
    TemporaryFolder files;
    ScriptedDialog dialog;
    std::u16string saveAnswer;  // the save dialog's
    std::vector<ShownBox> boxes;
    std::vector<ShownBox> saveDialogs;
    std::unique_ptr<Form1> form;
};

}  // namespace zorbalin::win32::testing
