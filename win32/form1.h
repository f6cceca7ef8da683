// The program's one window on Windows: creates the controls from the layout table, routes each
// window message to its handler in the shared window, and gives it Windows' controls and
// services.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "announcer.h"
#include "busy_window.h"
#include "candidate_editor.h"
#include "dialogs/open_file_dialog.h"
#include "draw_count_dialog.h"
#include "draw_timer.h"
#include "file_system.h"
#include "floating_window.h"
#include "handles.h"
#include "layout/layout_table.h"
#include "lifecycle/main_window.h"
#include "lifecycle/window_port.h"
#include "presentation_view.h"
#include "record_window.h"
#include "settings_store.h"
#include "view_window.h"
#include "wide_text.h"

namespace zorbalin::win32 {

// The main window's styles: a resizable frame, and Tab moving through its controls.
inline constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
inline constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

// Private messages of Form1.
inline constexpr UINT kTimer1TickMessage = WM_APP + 1;       // a tick of Timer1
inline constexpr UINT kStartupFailureMessage = WM_APP + 2;   // the window is up: report

struct Form1Options {
    std::wstring settingsKeyPath = defaultSettingsKeyPath();  // below HKEY_CURRENT_USER
    dialogs::OpenFileDialogBackend* dialogBackend = nullptr;  // null: the common dialog
    // Instead of MessageBoxW and the common save dialog, over the owner (tests).
    std::function<void(HWND owner, const layout::MessageBoxText& box)> showBox;
    std::function<Result<std::u16string>(HWND owner)> saveDialog;
    DrawTimerKind timerKind = DrawTimerKind::HighResolutionWaitable;
    bool quitWhenDestroyed = true;  // the program ends with its window
    std::wstring recoveryFolder;    // "": %LOCALAPPDATA%\Zorbalin
};

class Form1 final : public ViewWindow<Form1>, private lifecycle::WindowPort {
public:
    // Creates the window and its controls and runs the startup; the window is not shown. A
    // window that cannot be made throws a ProblemError.
    explicit Form1(Form1Options options = {});
    ~Form1() override;

    // The control, or null after the window is gone.
    HWND control(layout::ControlId id) const { return controls_[layout::indexOf(id)]; }
    std::wstring listPath() const { return toWide(shared_.state().listPath); }
    const DrawTimer& timer() const { return *Timer1; }
    // The label a screen reader hears a draw's result from.
    HWND announcement() const { return announcer_.label(); }
    // The small window over the slides, or null before it was first shown.
    const FloatingWindow& floating() const { return floating_; }

    // Shows the window with the focus in the editor.
    void show(int showCommand);

private:
    friend class ViewWindow<Form1>;
    // Every message of the window and of its subclassed controls passes the one guard.
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static constexpr UINT_PTR kControlSubclass = 1;
    static LRESULT CALLBACK controlProcedure(HWND control, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR form);
    LRESULT handleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    void handleCommand(HWND control, WORD notification);

    void createControls();
    void addPickToolTip();
    // The menu on Text1, at the pointer or (lParam -1: from the keyboard) under Text1.
    void showPickMenu(LPARAM at);
    // Fonts and positions for the window's current dpi and client size.
    void applyDpi(int dpi);
    void applySystemFont();
    void layoutControls();
    SIZE designedWindowSize() const;
    HWND viewWindow(lifecycle::View view) const;

    // lifecycle::WindowPort
    const std::u16string& editorText() override { return RichTextBox1.text(); }
    void setEditorText(const std::u16string& text) override { RichTextBox1.setText(text); }
    void setPickText(std::u16string_view text) override;
    std::u16string intervalFieldText() override;
    void setIntervalFieldText(const std::u16string& text) override;
    void setStartStopCaption(std::u16string_view caption) override;
    Status startTimer(std::int32_t milliseconds) override { return Timer1->start(milliseconds); }
    void stopTimer() override { Timer1->stop(); }
    Progress& progress() override { return busy_; }
    void flushEditor() override { RichTextBox1.flush(busy_); }
    void discardEditor() override { RichTextBox1.discard(); }
    bool intervalFieldHasFocus() override { return GetFocus() == control(layout::ControlId::Text2); }
    void endBusy() override { busy_.end(); }
    bool isShown() const override { return shown(); }
    void showBox(const layout::MessageBoxText& box, lifecycle::View owner) override;
    std::u16string showOpenFileDialog(std::u16string_view title, std::u16string_view filter) override;
    Result<std::u16string> showSaveFileDialog(const layout::SaveDialogTexts& dialog, lifecycle::View owner) override;
    void showPresentation(bool open) override;
    bool presentationShown() const override { return presentation_.shown(); }
    void showPresentationContent(const std::vector<std::u16string>& picks, std::u16string_view help) override {
        presentation_.showContent(picks, help);
    }
    void showFloating(bool shown, std::optional<layout::PixelPoint> at) override;
    bool floatingShown() const override { return floating_.shown(); }
    void showFloatingContent(std::u16string_view pick, std::u16string_view caption) override {
        floating_.showContent(pick, caption);
    }
    std::optional<std::size_t> askDrawCount(std::size_t current, std::size_t maximum) override;
    void showRecordWindow() override { record_.show(window_); }
    void closeRecordWindow() override {
        if (record_.shown()) ShowWindow(record_.window(), SW_HIDE);
    }
    bool recordWindowShown() const override { return record_.shown(); }
    void showRecordRows(const draw::ResultRecord& record, std::size_t unchangedRows) override {
        record_.showRows(record, unchangedRows);
    }
    void announce(std::u16string_view text) override;
    void copyPickSelection() override;
    void selectAllPick() override;
    bool setClipboardText(std::u16string_view text) override;
    lifecycle::SettingsStore& settingsStore() override { return settings_; }
    files::FileSystem& fileSystem() override { return fileSystem_; }
    files::CodePages codePages() override { return win32CodePages(); }

    Form1Options options_;
    lifecycle::MainWindow shared_{*this};
    int dpi_ = layout::kDesignDpi;
    int layoutDpi_ = layout::kDesignDpi;  // the dpi the layout table is computed at
    UniqueFont font_;
    // The controls in layout-table order; child windows, destroyed with the window.
    std::array<HWND, layout::kLayout.size()> controls_{};
    CandidateEditor RichTextBox1;
    std::unique_ptr<DrawTimer> Timer1;
    BusyWindow busy_;
    Announcer announcer_;
    HWND focusBeforeDeactivation_ = nullptr;

    RegistrySettingsStore settings_;
    Win32FileSystem fileSystem_;
    PresentationView presentation_{shared_};
    RecordWindow record_{shared_};
    FloatingWindow floating_{shared_};
};

}  // namespace zorbalin::win32
