// Shared by the window suites: a Form1 created in the test process against a temporary
// registry key and temporary files, with a scripted open-file dialog and the message boxes
// recorded instead of shown, driven by window messages.
#pragma once

#include <windows.h>

#include "form1.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "temporary_folder.h"

namespace zorbalin::win32::testing {

// An open-file dialog that answers from a script instead of asking the user.
class ScriptedDialog : public dialogs::OpenFileDialogBackend {
public:
    std::function<std::u16string()> answer = [] { return std::u16string(); };
    int calls = 0;

    Result<std::u16string> chooseExistingFile(const dialogs::OpenFileDialogRequest&) override {
        ++calls;
        return answer();
    }
    void showFailureBox(std::u16string_view, std::u16string_view text) override {
        failures.emplace_back(text);
    }
    std::vector<std::u16string> failures;
};

struct ShownBox {
    HWND owner;
    std::u16string text;
    std::u16string title;
};

// A registry key below HKEY_CURRENT_USER for one test, deleted with its values afterwards.
class TemporaryRegistryKey {
public:
    TemporaryRegistryKey();
    ~TemporaryRegistryKey();
    TemporaryRegistryKey(const TemporaryRegistryKey&) = delete;
    TemporaryRegistryKey& operator=(const TemporaryRegistryKey&) = delete;

    const std::wstring& path() const { return path_; }
    void set(const wchar_t* name, const std::wstring& value) const;
    // The REG_SZ value, or "<missing>".
    std::wstring get(const wchar_t* name) const;

private:
    std::wstring path_;
};

// Serves the thread's messages that are waiting now, as the program's loop serves them.
void pumpMessages();
// Serves messages until the condition holds; false after `timeoutMs` without it.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

std::u16string textOf(HWND window);
void typeText(HWND field, std::u16string_view text);
// The user presses a key with the modifiers held down, as the keyboard delivers it to the
// focused control, and the program's loop serves it.
void pressKey(WORD key, std::initializer_list<WORD> modifiers = {});

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
    // A tick of Timer1, delivered as the timer delivers it.
    void tick() { SendMessageW(form->window(), kTimer1TickMessage, 0, 0); }

    std::wstring writeFile(const wchar_t* name, std::string_view bytes) {
        const std::wstring path = files.file(name);
        writeBytes(path, bytes);
        return path;
    }

    TemporaryRegistryKey settings;
    std::wstring settingsKeyPath = settings.path();  // where Form1 keeps its settings
    TemporaryFolder files;
    ScriptedDialog dialog;
    std::vector<ShownBox> boxes;
    std::unique_ptr<Form1> form;
};

}  // namespace zorbalin::win32::testing
