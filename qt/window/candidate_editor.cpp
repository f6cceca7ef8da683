#include "candidate_editor.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMimeData>
#include <QResizeEvent>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>
#include <vector>

#include "draw/text_removals.h"
#include "layout/texts.h"
#include "layout/window_commands.h"
#include "lifecycle/main_window.h"
#include "qstring_u16.h"

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

CandidateEditor::CandidateEditor(lifecycle::MainWindow* window, QWidget* parent)
    : QPlainTextEdit(parent), window_(window) {
    setObjectName(QStringLiteral("RichTextBox1"));
    setTabChangesFocus(true);  // keeps the window usable without a mouse
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // A change of the viewport's width makes Qt give every line a layout of its own (330 MB
    // for a million lines): a scroll bar that comes and goes with a long list would do that
    // on every load, so it is always there, as on Windows.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int, int) {
        if (!settingText_) text_.forget();
    });
}

const std::u16string& CandidateEditor::text() {
    return text_.read([this] { return crlfTextFromEditorText(document()->toRawText()); });
}

void CandidateEditor::setText(const std::u16string& text) {
    text_.set(text);
}

bool CandidateEditor::flush(Progress& progress) {
    const std::u16string* after = text_.pending();
    if (after == nullptr) {
        if (!text_.rewriteWaiting()) return false;
        lookRewritten();
        text_.rewriteDone();
        return true;
    }
    progress.report(ProgressStage::Loading, 0, after->size());
    const std::u16string* before = text_.shown();
    // A hidden editor and its viewport learn their sizes only when shown: a remembered list
    // put in before would be laid out for a wrong width first, then every line again.
    for (QWidget* widget : {static_cast<QWidget*>(this), viewport()}) {
        if (widget->testAttribute(Qt::WA_PendingResizeEvent)) {
            QResizeEvent resized(widget->size(), QSize());
            QCoreApplication::sendEvent(widget, &resized);
            widget->setAttribute(Qt::WA_PendingResizeEvent, false);
        }
    }
    settingText_ = true;
    if (before == nullptr || !removeDroppedParts(*before, *after)) {
        setPlainText(editorTextFromCrlfText(*after));
    }
    settingText_ = false;
    // Exactly: a text with CR LF breaks only reads back from the widget as it went in.
    text_.written(true);
    return true;
}

void CandidateEditor::resizeEvent(QResizeEvent* event) {
    // A widget given its geometry again while hidden gets a resize "from no size" when shown,
    // and a QPlainTextEdit then lays out every line anew (330 MB for a million), even when the
    // document was laid out for this very width.
    const bool sameWidth = !event->oldSize().isValid() && viewport()->width() == laidOutWidth_;
    QResizeEvent fromSameWidth(event->size(), QSize(event->size().width(), -1));
    QPlainTextEdit::resizeEvent(sameWidth ? &fromSameWidth : event);
    laidOutWidth_ = viewport()->width();
}

void CandidateEditor::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (window_ != nullptr) {
        menu->addSeparator();
        // Qt shows what follows a tab in the shortcut column.
        const QString text = toQString(layout::kSaveListMenuItem) + u'\t' +
                             toQString(layout::bindingName(layout::WindowView::Main, layout::WindowCommand::SaveList));
        QAction* save = menu->addAction(text);
        save->setObjectName(QStringLiteral("SaveList"));
        connect(save, &QAction::triggered, this, [this] { window_->runCommand(layout::WindowCommand::SaveList); });
    }
    menu->popup(event->globalPos());
}

void CandidateEditor::insertFromMimeData(const QMimeData* source) {
    const auto paste = [this, source] {
        if (!source->hasText()) return;
        const std::u16string pasted = draw::withEditorLineBreaks(source->text().toStdU16String());
        insertPlainText(editorTextFromCrlfText(pasted));
        ensureCursorVisible();
    };
    if (window_ != nullptr) {
        window_->handle(paste);
    } else {
        paste();
    }
}

// Tidying a long list usually removes a few line breaks from it; rebuilding the whole
// document for that costs seconds at a million lines, removing them costs microseconds.
// The result is what a whole new plain text gives: the same paragraphs, no undo step back
// to the old text, the cursor at the start.
bool CandidateEditor::removeDroppedParts(const std::u16string& before, const std::u16string& after) {
    std::optional<std::vector<draw::Removal>> removals = draw::removalsBetween(before, after);
    if (!removals) {
        return false;
    }
    // Document positions count a CR LF pair as the one paragraph separator that it is there.
    // They replace the text positions in place: nothing is allocated once the runs are found.
    std::size_t pairs = 0;
    std::size_t scanned = 0;
    const auto documentPosition = [&](std::size_t at) {
        for (; scanned + 1 < at; ++scanned) {
            pairs += before[scanned] == u'\r' && before[scanned + 1] == u'\n';
        }
        return at - pairs;
    };
    for (draw::Removal& removal : *removals) {
        removal.begin = documentPosition(removal.begin);
        removal.end = documentPosition(removal.end);
    }

    QTextDocument* const doc = document();
    const bool undoEnabled = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);  // also forgets the earlier undo steps
    QTextCursor cursor(doc);
    for (auto span = removals->rbegin(); span != removals->rend(); ++span) {  // last first: positions stay valid
        cursor.setPosition(static_cast<int>(span->begin));
        cursor.setPosition(static_cast<int>(span->end), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    doc->setUndoRedoEnabled(undoEnabled);
    lookRewritten();
    return true;
}

// As a whole new plain text leaves it: no undo step back, the cursor and the view at the start.
void CandidateEditor::lookRewritten() {
    QTextDocument* const doc = document();
    doc->clearUndoRedoStacks();
    doc->setModified(false);
    setTextCursor(QTextCursor(doc));
    ensureCursorVisible();
}

}  // namespace zorbalin::window
