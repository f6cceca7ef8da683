#pragma once

#include <QString>
#include <QWidget>

#include <array>

#include "busy_window.h"
#include "file_system.h"
#include "layout/layout_table.h"
#include "lifecycle/main_window.h"
#include "qstring_u16.h"
#include "settings_store.h"

class QTimer;

namespace zorbalin::window {

class CandidateEditor;
class FileChooser;
class PresentationView;
class RecordWindow;

// The program's one window on Qt: creates the controls from the layout table, routes each
// event to its handler in lifecycle::MainWindow, and gives it Qt's controls and services.
class Form1 : public QWidget, private lifecycle::MainWindow {
    Q_OBJECT
public:
    // The file chooser is replaceable for tests; null means Qt's own open-file dialog.
    explicit Form1(FileChooser* fileChooser = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    QString listPath() const { return toQString(state().listPath); }

    // The session asks for the program's data before it ends.
    void StoreSettings() { storeSettingsForSession(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void connectEvents();
    void showPickMenu(const QPoint& at);
    QWidget* control(layout::ControlId id) const { return controls_[layout::indexOf(id)]; }

    // lifecycle::MainWindow
    lifecycle::EditorControl& editor() override;
    void setControlText(layout::ControlId id, std::u16string_view text) override;
    std::u16string controlText(layout::ControlId id) override;
    void setTimerInterval(std::int32_t milliseconds) override;
    void setTimerEnabled(bool enabled) override;
    lifecycle::BusyIndicator& busy() override { return busy_; }
    bool isShown() const override { return isVisible(); }
    void showBox(const layout::MessageBoxText& box) override;
    lifecycle::SettingsStore& settingsStore() override { return settings_; }
    files::FileSystem& fileSystem() override { return fileSystem_; }
    files::CodePages codePages() override { return qtCodePages(); }
    std::u16string runOpenFileDialog(std::u16string_view title, std::u16string_view filter) override;
    void showPresentation(bool shown) override;
    bool presentationShown() const override;
    void showRecord() override;
    void refreshViews() override;
    void copyPickSelection() override;
    void selectAllPick() override;
    bool setClipboardText(std::u16string_view text) override;
    Result<std::u16string> chooseRecordFile() override;

    BusyWindow busy_{this};
    // The controls in layout-table order, children of the window.
    std::array<QWidget*, layout::kLayout.size()> controls_{};
    CandidateEditor* RichTextBox1 = nullptr;
    QTimer* Timer1 = nullptr;
    // The classroom options' windows, made when first opened.
    PresentationView* presentation_ = nullptr;
    RecordWindow* record_ = nullptr;

    QtSettingsStore settings_;
    PosixFileSystem fileSystem_;
    FileChooser* fileChooser_;
};

}  // namespace zorbalin::window
