#pragma once

#include <QPlainTextEdit>

#include <optional>
#include <string>

namespace zorbalin::window {

// The candidate editor (RichTextBox1): a plain-text editor whose text is presented with
// CR LF between lines, whatever the widget keeps inside.
class CandidateEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CandidateEditor(QWidget* parent = nullptr);

    // The whole content, CR LF between lines, every other character untouched.
    const std::u16string& text();
    // Replaces the whole content. Writing the text the editor already holds changes nothing.
    void setText(const std::u16string& text);

private:
    void forgetCachedText();
    // Edits the document from `before` (what it holds) to `after` by removing the parts
    // that `after` dropped; false, with nothing done, when `after` differs otherwise.
    bool removeDroppedParts(const std::u16string& before, const std::u16string& after);

    // Reading the widget's text costs time proportional to the list, so the last text read
    // or written is kept until the user or the program changes the document.
    std::optional<std::u16string> cachedText_;
};

// Conversions between the widget's paragraph separators and CR LF line breaks.
std::u16string crlfTextFromEditorText(const QString& rawText);
QString editorTextFromCrlfText(const std::u16string& text);

}  // namespace zorbalin::window
