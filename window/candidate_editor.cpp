#include "window/candidate_editor.h"

#include <QFileInfo>
#include <QTextDocument>

#include "window/candidate_file.h"

namespace zorbalin::window {

namespace {
constexpr char16_t kParagraphSeparator = u'\u2029';
constexpr char16_t kLineSeparator = u'\u2028';
}  // namespace

std::u16string crlfTextFromEditorText(const QString& rawText) {
    const auto* units = reinterpret_cast<const char16_t*>(rawText.utf16());
    const std::size_t size = static_cast<std::size_t>(rawText.size());
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < size; ++i) {
        breaks += (units[i] == kParagraphSeparator || units[i] == kLineSeparator);
    }
    std::u16string text(size + breaks, u'\0');
    std::size_t out = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (units[i] == kParagraphSeparator || units[i] == kLineSeparator) {
            text[out++] = u'\r';
            text[out++] = u'\n';
        } else {
            text[out++] = units[i];
        }
    }
    return text;
}

QString editorTextFromCrlfText(const std::u16string& text) {
    // The widget starts a new paragraph at a CR LF pair and at a lone CR or LF alike.
    QString result(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(result.data());
    qsizetype length = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            out[length++] = kParagraphSeparator;
            ++i;
        } else {
            out[length++] = text[i];
        }
    }
    result.truncate(length);
    return result;
}

CandidateEditor::CandidateEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("RichTextBox1"));
    setTabChangesFocus(true);  // keeps the window usable without a mouse
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int, int, int) { forgetCachedText(); });
}

void CandidateEditor::forgetCachedText() {
    cachedText_.reset();
}

const std::u16string& CandidateEditor::text() {
    if (!cachedText_) {
        cachedText_ = crlfTextFromEditorText(document()->toRawText());
    }
    return *cachedText_;
}

void CandidateEditor::setText(const std::u16string& text) {
    if (cachedText_ && *cachedText_ == text) {
        return;  // the document already holds exactly this plain text
    }
    setPlainText(editorTextFromCrlfText(text));
    cachedText_ = text;
}

QString CandidateEditor::loadFile(const QString& path) {
    ReadOutcome outcome = readCandidateFile(path);
    if (!outcome.file) {
        return outcome.error;
    }
    encodingOfFile_.insert(QFileInfo(path).absoluteFilePath(), outcome.file->encoding);
    setText(outcome.file->text);
    return {};
}

QString CandidateEditor::saveFile(const QString& path) {
    const auto encoding = encodingOfFile_.value(QFileInfo(path).absoluteFilePath(),
                                                textio::TextEncoding::Utf8);
    return writeCandidateFile(path, text(), encoding);
}

}  // namespace zorbalin::window
