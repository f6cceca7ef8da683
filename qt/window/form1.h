#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <memory>

#include "busy_window.h"
#include "file_system.h"
#include "layout/layout_table.h"
#include "lifecycle/main_window.h"
#include "lifecycle/window_port.h"
#include "qstring_u16.h"
#include "scrolling_silence.h"
#include "settings_store.h"

class QLineEdit;
class QTimer;

namespace zorbalin::window {

class CandidateEditor;
class FileChooser;
class FloatingWindow;
class PresentationView;
class RecordWindow;

// The program's one window on Qt: creates the controls from the layout table, routes each
// event to its handler in the shared window, and gives it Qt's controls and services.
class Form1 : public QWidget, private lifecycle::WindowPort {
    Q_OBJECT
public:
    // The file chooser is replaceable for tests; null means Qt's own open-file dialog.
    explicit Form1(FileChooser* fileChooser = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    QString listPath() const { return toQString(window_.state().listPath); }

    // The session asks for the program's data before it ends.
    void StoreSettings() { window_.storeSettingsForSession(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void connectEvents();
    void showPickMenu(const QPoint& at);
    QWidget* control(layout::ControlId id) const { return controls_[layout::indexOf(id)]; }

    QLineEdit* lineEdit(layout::ControlId id) const;
    int layoutDpi() const;
    QWidget* viewWidget(lifecycle::View view);

    // lifecycle::WindowPort
    const std::u16string& editorText() override;
    void setEditorText(const std::u16string& text) override;
    void setPickText(std::u16string_view text) override;
    std::u16string intervalFieldText() override;
    void setIntervalFieldText(const std::u16string& text) override;
    void setStartStopCaption(std::u16string_view caption) override;
    Status startTimer(std::int32_t milliseconds) override;
    void stopTimer() override;
    Progress& progress() override { return busy_; }
    void flushEditor() override;
    void discardEditor() override;
    bool intervalFieldHasFocus() override;
    void endBusy() override { busy_.end(); }
    bool isShown() const override { return isVisible(); }
    void showBox(const layout::MessageBoxText& box, lifecycle::View owner) override;
    std::u16string showOpenFileDialog(std::u16string_view title, std::u16string_view filter) override;
    Result<std::u16string> showSaveFileDialog(const layout::SaveDialogTexts& dialog, lifecycle::View owner) override;
    void showPresentation(bool shown) override;
    bool presentationShown() const override;
    void showPresentationContent(const std::vector<std::u16string>& picks, std::u16string_view help) override;
    void showFloating(bool shown, std::optional<layout::PixelPoint> at) override;
    bool floatingShown() const override;
    void showFloatingContent(std::u16string_view pick, std::u16string_view caption) override;
    std::optional<std::size_t> askDrawCount(std::size_t current, std::size_t maximum) override;
    void showRecordWindow() override;
    void closeRecordWindow() override;
    bool recordWindowShown() const override;
    void showRecordRows(const draw::ResultRecord& record, std::size_t unchangedRows) override;
    void announce(std::u16string_view text) override;
    void copyPickSelection() override;
    void selectAllPick() override;
    bool setClipboardText(std::u16string_view text) override;
    lifecycle::SettingsStore& settingsStore() override { return settings_; }
    files::FileSystem& fileSystem() override { return fileSystem_; }
    files::CodePages codePages() override { return qtCodePages(); }

    lifecycle::MainWindow window_{*this};
    BusyWindow busy_{this};
    // The controls in layout-table order, children of the window.
    std::array<QWidget*, layout::kLayout.size()> controls_{};
    CandidateEditor* RichTextBox1 = nullptr;
    QTimer* Timer1 = nullptr;
    // The classroom options' windows, made when first opened.
    PresentationView* presentation_ = nullptr;
    RecordWindow* record_ = nullptr;
    // A window of its own, so that it stays when this one is minimised.
    std::unique_ptr<FloatingWindow> floating_;
    // The pick display's text is no news to a screen reader while the draw scrolls.
    ScrollingSilence silence_;

    QtSettingsStore settings_;
    PosixFileSystem fileSystem_;
    FileChooser* fileChooser_;
};

}  // namespace zorbalin::window
