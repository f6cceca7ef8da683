#pragma once

#include <QPlainTextEdit>

#include <string>

#include "base/progress.h"
#include "draw/editor_text.h"

namespace zorbalin::lifecycle {
class MainWindow;
}

namespace zorbalin::window {

// The candidate editor (RichTextBox1): a plain-text editor whose text is presented with
// CR LF between lines, whatever the widget keeps inside.
class CandidateEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    // The editor's own handlers (a paste) run through the window's guard, when it has one.
    explicit CandidateEditor(lifecycle::MainWindow* window = nullptr, QWidget* parent = nullptr);

    // The text as the draw reads it; a text to show at the next flush, which is put in whole
    // (or by removing what it dropped), or never after discard.
    const std::u16string& text();
    void setText(const std::u16string& text);
    bool flush(Progress& progress);
    bool flush() {
        NoProgress quietly;
        return flush(quietly);
    }
    void discard() { text_.discard(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The editor's own menu, and 保存名单 at its end.
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Pasted and dropped text gets CR LF line breaks (draw/editor_text.h).
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Edits the document from `before` (what it holds) to `after` by removing the parts
    // that `after` dropped; false, with nothing done, when `after` differs otherwise.
    bool removeDroppedParts(const std::u16string& before, const std::u16string& after);
    void lookRewritten();

    bool settingText_ = false;
    int laidOutWidth_ = -1;  // the viewport's width at the last resize
    draw::EditorText text_;
    lifecycle::MainWindow* window_;
};

// Conversions between the widget's paragraph separators and CR LF line breaks.
std::u16string crlfTextFromEditorText(const QString& rawText);
QString editorTextFromCrlfText(const std::u16string& text);

}  // namespace zorbalin::window
