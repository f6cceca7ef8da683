#include "draw/editor_text.h"

#include <utility>

#include "textio/text_encoding.h"

namespace zorbalin::draw {

std::u16string withEditorLineBreaks(std::u16string text) {
    return textio::normalizeLineBreaks(std::move(text));
}

bool hasEditorLineBreaks(std::u16string_view text) {
    return textio::hasOnlyCrLfBreaks(text);
}

void EditorText::set(std::u16string text) {
    text = withEditorLineBreaks(std::move(text));
    if (shown_ && *shown_ == text) {
        pending_.reset();
    } else {
        pending_ = std::move(text);
    }
    rewrite_ = true;
}

void EditorText::written(bool exactly) {
    if (exactly) {
        shown_ = std::move(pending_);
    } else {
        shown_.reset();
    }
    pending_.reset();
    rewrite_ = false;
}

void EditorText::forget() {
    shown_.reset();
    pending_.reset();
    rewrite_ = false;
}

void EditorText::took(std::u16string controlText) {
    if (hasEditorLineBreaks(controlText)) {
        shown_ = std::move(controlText);
    } else {
        pending_ = withEditorLineBreaks(std::move(controlText));
    }
}

}  // namespace zorbalin::draw
