// The program's one window. It owns all state, routes each window message to the handler
// named after the control and event, and gives the draw its control operations.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "busy_window.h"
#include "candidate_editor.h"
#include "dialogs/open_file_dialog.h"
#include "draw_timer.h"
#include "file_system.h"
#include "handles.h"
#include "layout/layout_table.h"
#include "lifecycle/main_window.h"
#include "presentation_view.h"
#include "record_window.h"
#include "settings_store.h"
#include "wide_text.h"

namespace zorbalin::win32 {

// The main window's styles: a resizable frame, and Tab moving through its controls.
inline constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
inline constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

// Private messages of Form1.
inline constexpr UINT kTimer1TickMessage = WM_APP + 1;       // a tick of Timer1
inline constexpr UINT kStartupFailureMessage = WM_APP + 2;   // the window is up: report

// Shows a modal box with only an OK button over the owner.
using MessageBoxFunction =
    std::function<void(HWND owner, std::u16string_view text, std::u16string_view title)>;

struct Form1Options {
    std::wstring settingsKeyPath = defaultSettingsKeyPath();  // below HKEY_CURRENT_USER
    dialogs::OpenFileDialogBackend* dialogBackend = nullptr;  // null: the common dialog
    MessageBoxFunction showMessage;                           // null: MessageBoxW
    DrawTimerKind timerKind = DrawTimerKind::HighResolutionWaitable;
    bool quitWhenDestroyed = true;  // the program ends with its window
    std::wstring recoveryFolder;    // "": %LOCALAPPDATA%\Zorbalin
    std::function<std::u16string()> chooseRecordFile;  // null: the common save dialog
};

class Form1 final : private lifecycle::MainWindow {
public:
    // Creates the window and its controls and runs the startup; the window is not shown.
    explicit Form1(HINSTANCE instance, Form1Options options = {});
    ~Form1() override;

    HWND window() const { return window_; }
    // The control, or null after the window is gone.
    HWND control(layout::ControlId id) const { return controls_[layout::indexOf(id)]; }
    std::wstring listPath() const { return toWide(state().listPath); }
    const DrawTimer& timer() const { return *Timer1; }

    // Shows the window with the focus in the editor.
    void show(int showCommand);

private:
    // Every message of the window and of its subclassed controls passes the one guard.
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProcedure(HWND control, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR form);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    void handleCommand(HWND control, WORD notification);

    void createControls();
    void addPickToolTip();
    // The menu on Text1, at the pointer or (lParam -1: from the keyboard) under Text1.
    void showPickMenu(LPARAM at);
    // Fonts and positions for the window's current dpi and client size.
    void applyDpi(int dpi);
    void layoutControls();
    SIZE designedWindowSize() const;

    // lifecycle::MainWindow
    lifecycle::EditorControl& editor() override { return RichTextBox1; }
    void setControlText(layout::ControlId id, std::u16string_view text) override;
    std::u16string controlText(layout::ControlId id) override;
    void setTimerInterval(std::int32_t milliseconds) override { Timer1->setInterval(milliseconds); }
    void setTimerEnabled(bool enabled) override { Timer1->setEnabled(enabled); }
    lifecycle::BusyIndicator& busy() override { return busy_; }
    bool isShown() const override { return window_ != nullptr && IsWindowVisible(window_) != FALSE; }
    void showBox(const layout::MessageBoxText& box) override;
    lifecycle::SettingsStore& settingsStore() override { return settings_; }
    files::FileSystem& fileSystem() override { return fileSystem_; }
    files::CodePages codePages() override { return win32CodePages(); }
    std::u16string runOpenFileDialog(std::u16string_view title, std::u16string_view filter) override;
    void showPresentation(bool shown) override {
        shown ? presentation_.show(window_) : presentation_.hide();
    }
    bool presentationShown() const override { return presentation_.shown(); }
    void showRecord() override { record_.show(window_); }
    void refreshViews() override {
        presentation_.refresh();
        record_.refresh();
    }
    void copyPickSelection() override { SendMessageW(control(layout::ControlId::Text1), WM_COPY, 0, 0); }
    void selectAllPick() override { SendMessageW(control(layout::ControlId::Text1), EM_SETSEL, 0, -1); }
    bool setClipboardText(std::u16string_view text) override;
    Result<std::u16string> chooseRecordFile() override;

    Form1Options options_;
    HWND window_ = nullptr;
    int dpi_ = layout::kDesignDpi;
    UniqueFont font_;
    // The controls in layout-table order; child windows, destroyed with the window.
    std::array<HWND, layout::kLayout.size()> controls_{};
    CandidateEditor RichTextBox1;
    std::unique_ptr<DrawTimer> Timer1;
    BusyWindow busy_;
    HWND focusBeforeDeactivation_ = nullptr;

    RegistrySettingsStore settings_;
    Win32FileSystem fileSystem_;
    PresentationView presentation_{*this, guard()};
    RecordWindow record_{*this, guard()};
};

}  // namespace zorbalin::win32
