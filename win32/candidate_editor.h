// The candidate editor (RichTextBox1) over a multi-line EDIT control: plain text with CR LF
// between lines. The plain EDIT control keeps up with a million lines where RichEdit does
// not, and the program's own readers give it the text of every kind of file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "draw/text_removals.h"

namespace zorbalin::win32 {

class CandidateEditor {
public:
    // Styles of the control that this class drives.
    static constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL |
                                    ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;

    // Takes over a control created with kStyle: lifts its length limit, and makes Tab move
    // the focus instead of typing a tab, as on Linux.
    void attach(HWND control);
    HWND control() const { return control_; }

    // The whole content, CR LF between lines (a lone CR or LF, as a paste may leave, reads
    // as a line break too).
    const std::u16string& text();
    // Replaces the whole content. Writing the text the editor already holds changes nothing.
    // The control gets the text at the next flush(): a file loaded and then tidied in one
    // handler is put into the control once, which is what takes the time with long lists.
    void setText(const std::u16string& text);
    // Puts a text set since the last flush into the control. The window calls this when a
    // handler ends and before anything modal lets the user at the control.
    void flush();

    // The window calls this on EN_CHANGE: the user changed the content. The editor must not
    // move while its control lives (the control keeps a pointer to it).
    void contentChanged();

private:
    static LRESULT CALLBACK controlProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR editor);
    // Takes the runs out of the control; false when it does not end up `lengthAfter` long.
    bool removeDroppedParts(const std::vector<draw::Removal>& removals, std::size_t lengthAfter);

    HWND control_ = nullptr;
    bool settingText_ = false;
    bool controlBehind_ = false;       // the cached text is newer than the control's
    bool cacheIsControlText_ = false;  // the cached text is exactly what the control holds
    // What the control holds while a newer text waits for flush(), when known.
    std::optional<std::u16string> controlText_;
    // Reading the control's text costs time proportional to the list, so the last text
    // read or written is kept until the user changes the content.
    std::optional<std::u16string> cachedText_;
};

}  // namespace zorbalin::win32
