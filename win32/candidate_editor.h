// The candidate editor (RichTextBox1) over a multi-line EDIT control: plain text with CR LF
// between lines. The plain EDIT control keeps up with a million lines where RichEdit does
// not, and the program's own readers give it the text of every kind of file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/progress.h"
#include "draw/editor_text.h"
#include "draw/text_removals.h"

namespace zorbalin::win32 {

class CandidateEditor final {
public:
    // Styles of the control that this class drives.
    static constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL |
                                    ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;

    // Takes over a control created with kStyle, and lifts its length limit.
    void attach(HWND control);
    HWND control() const { return control_; }

    // The text as the draw reads it; a text to show at the next flush, or never after discard.
    // A flushed editor looks as after a new text, whether or not the text changed: the cursor
    // at the start, nothing to undo, scrolled to the top; an unchanged text is not put in again.
    const std::u16string& text();
    void setText(const std::u16string& text);
    void flush(Progress& progress);
    void discard() { text_.discard(); }

    // The window passes every message of the control through here first (the control is
    // subclassed by the window, whose guard catches what this throws). Text entering the
    // control gets CR LF line breaks (draw/editor_text.h); Esc never reaches the control,
    // which closes the window on Esc once a dialog manager has driven it. Returns the
    // message's result when it was handled here.
    std::optional<LRESULT> filterMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The window calls this on EN_CHANGE: the user changed the content.
    void contentChanged();

private:
    // Takes the runs out of the control; false when it does not end up `lengthAfter` long.
    bool removeDroppedParts(const std::vector<draw::Removal>& removals, std::size_t lengthAfter);
    void showAsRewritten();
    LRESULT paste();

    HWND control_ = nullptr;
    bool settingText_ = false;
    draw::EditorText text_;
};

}  // namespace zorbalin::win32
