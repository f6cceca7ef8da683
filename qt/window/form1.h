#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <utility>

#include "busy_window.h"
#include "draw/random_pick.h"
#include "layout/layout_table.h"
#include "lifecycle/front_end.h"
#include "lifecycle/handler_guard.h"
#include "lifecycle/program_state.h"
#include "file_system.h"
#include "qstring_u16.h"
#include "settings_store.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace zorbalin::window {

class CandidateEditor;
class FileChooser;
class IntervalField;

// The program's one window. It owns all state, routes each event to the operation that
// handles it, and gives the draw and the shared sequences their control and platform
// operations.
class Form1 : public QWidget, private lifecycle::FrontEnd, private lifecycle::HandlerGuard::Window {
    Q_OBJECT
public:
    // The file chooser is replaceable for tests; null means Qt's own open-file dialog.
    explicit Form1(FileChooser* fileChooser = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    QString listPath() const { return toQString(state_.listPath); }

    // Writes the path and the interval to the settings store without closing anything,
    // as the shutdown does; for a session that asks for the program's data.
    void StoreSettings();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void connectEvents();

    // Every event handler runs through the one guard.
    template <typename Handler>
    void handle(Handler&& handler) {
        guard_.run(std::forward<Handler>(handler));
    }
    // lifecycle::HandlerGuard::Window
    void handlerEnded() override;
    void handlerFailed(const Problem& problem, bool outermost) noexcept override;
    // Before anything modal lets the user at the controls.
    void beforeModal();

    // Event handlers.
    void Form_Load();
    void Form_Unload();
    void Command1_Click();
    void Command2_Click();
    void Timer1_Timer();
    void Text2_LostFocus();

    void ChooseCandidateFile();

    // lifecycle::FrontEnd
    lifecycle::SettingsStore& settingsStore() override { return settings_; }
    files::FileSystem& fileSystem() override { return fileSystem_; }
    files::CodePages codePages() override { return qtCodePages(); }
    std::u16string showOpenFileDialog(std::u16string_view title,
                                      std::u16string_view filter) override;
    void reportFailure(std::u16string_view message) override;

    // draw::DrawControls
    std::u16string editorText() override;
    void setEditorText(const std::u16string& text) override;
    void setPickText(std::u16string_view text) override;
    std::u16string intervalFieldText() override;
    void setIntervalFieldText(const std::u16string& text) override;
    void setStartStopCaption(std::u16string_view caption) override;
    void setTimerInterval(std::int32_t milliseconds) override;
    void setTimerEnabled(bool enabled) override;
    Progress& progress() override { return busy_; }

    QWidget* control(layout::ControlId id) const { return controls_[layout::indexOf(id)]; }

    lifecycle::HandlerGuard guard_{*this};
    BusyWindow busy_{this};

    // Controls, named as in the layout table.
    std::array<QWidget*, layout::kLayout.size()> controls_{};
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QLineEdit* Text1 = nullptr;
    IntervalField* Text2 = nullptr;
    CandidateEditor* RichTextBox1 = nullptr;
    QTimer* Timer1 = nullptr;

    // State.
    lifecycle::ProgramState state_;  // the draw's state, listPath, the startup's failure
    draw::RandomSource random_;
    QtSettingsStore settings_;
    PosixFileSystem fileSystem_;
    FileChooser* fileChooser_;
};

}  // namespace zorbalin::window
