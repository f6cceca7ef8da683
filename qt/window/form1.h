#pragma once

#include <QString>
#include <QWidget>

#include <optional>
#include <variant>

#include "candidate_file.h"
#include "draw/draw_controls.h"
#include "draw/random_pick.h"
#include "draw/scrolling_draw.h"
#include "settings_store.h"
#include "textio/file_format.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace zorbalin::window {

class CandidateEditor;
class FileChooser;
class IntervalField;

// The program's one window. It owns all state, routes each event to the operation that
// handles it, and gives the draw its control operations.
class Form1 : public QWidget, private draw::DrawControls {
    Q_OBJECT
public:
    // The file chooser is replaceable for tests; null means Qt's own open-file dialog.
    explicit Form1(FileChooser* fileChooser = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    QString listPath() const { return listPath_; }

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

    // Event handlers.
    void Form_Load();
    void Form_Unload();
    void Command1_Click();
    void Command2_Click();
    void Timer1_Timer();
    void Text2_LostFocus();

    void ChooseCandidateFile();
    // The file's text into the editor; how the file was stored, or why it cannot be read.
    std::variant<textio::FileFormat, ReadFailure> LoadCandidateFile(const QString& path);
    void reportFailure(const QString& message);

    // draw::DrawControls
    std::u16string editorText() override;
    void setEditorText(const std::u16string& text) override;
    void setPickText(std::u16string_view text) override;
    std::u16string intervalFieldText() override;
    void setIntervalFieldText(const std::u16string& text) override;
    void setStartStopCaption(const std::u16string& caption) override;
    void setTimerInterval(std::int32_t milliseconds) override;
    void setTimerEnabled(bool enabled) override;

    // Controls, named as in the layout table.
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QLineEdit* Text1 = nullptr;
    IntervalField* Text2 = nullptr;
    CandidateEditor* RichTextBox1 = nullptr;
    QTimer* Timer1 = nullptr;

    // State.
    draw::DrawState draw_;  // itemList, intervalText, isScrolling
    QString listPath_;
    draw::RandomSource random_;
    SettingsStore settings_;
    FileChooser* fileChooser_;
    QString startupFailure_;  // shown once the window is up
    bool unloaded_ = false;
    bool settingsSaved_ = true;
};

}  // namespace zorbalin::window
