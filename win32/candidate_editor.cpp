#include "candidate_editor.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "draw/text_removals.h"
#include "wide_text.h"

namespace zorbalin::win32 {

namespace {

// Whether the text has a CR or LF that is not part of a CR LF pair.
bool hasLoneLineBreak(const std::u16string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 == text.size() || text[i + 1] != u'\n') return true;
            ++i;
        } else if (text[i] == u'\n') {
            return true;
        }
    }
    return false;
}

std::u16string withCrLfBreaks(const std::u16string& text) {
    std::u16string result;
    result.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            result += u"\r\n";
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

constexpr UINT_PTR kEditorSubclass = 1;

// Wine's EDIT control walks its list of lines on every selection and replacement, so each
// run removed costs about a fiftieth of setting the whole text (win32_window_bench, "tidy");
// beyond a few runs the whole text is set.
constexpr std::size_t kMaxControlRemovals = 8;

}  // namespace

// A multi-line EDIT control asks for every key, Tab included; giving Tab back to the
// dialog navigation keeps the window usable without a mouse. Text set from outside (an
// accessibility tool, a test) sends no EN_CHANGE, so it is watched here too.
LRESULT CALLBACK CandidateEditor::controlProcedure(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam, UINT_PTR, DWORD_PTR editor) {
    switch (message) {
    case WM_GETDLGCODE: {
        LRESULT code = DefSubclassProc(window, message, wParam, lParam);
        const auto* keyMessage = reinterpret_cast<const MSG*>(lParam);
        if (keyMessage != nullptr && keyMessage->message == WM_KEYDOWN &&
            keyMessage->wParam == VK_TAB) {
            code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
        }
        return code;
    }
    case WM_SETTEXT:
        reinterpret_cast<CandidateEditor*>(editor)->contentChanged();
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, &CandidateEditor::controlProcedure, kEditorSubclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}


void CandidateEditor::attach(HWND control) {
    control_ = control;
    SendMessageW(control_, EM_SETLIMITTEXT, 0, 0);  // 0: the largest the control can hold
    SetWindowSubclass(control_, &CandidateEditor::controlProcedure, kEditorSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
    cachedText_.reset();
}

const std::u16string& CandidateEditor::text() {
    if (!cachedText_) {
        const auto length = static_cast<std::size_t>(SendMessageW(control_, WM_GETTEXTLENGTH, 0, 0));
        std::wstring buffer(length + 1, L'\0');
        const auto copied = static_cast<std::size_t>(
            SendMessageW(control_, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
        buffer.resize(std::min(copied, length));
        std::u16string text = fromWide(buffer);
        cacheIsControlText_ = !hasLoneLineBreak(text);
        if (!cacheIsControlText_) text = withCrLfBreaks(text);
        cachedText_ = std::move(text);
    }
    return *cachedText_;
}

void CandidateEditor::setText(const std::u16string& text) {
    if (cachedText_ && *cachedText_ == text) return;  // the control holds it, or will
    if (!controlBehind_ && cacheIsControlText_ && cachedText_) controlText_ = std::move(cachedText_);
    cachedText_ = text;
    cacheIsControlText_ = false;
    controlBehind_ = true;
}

void CandidateEditor::flush() {
    if (!controlBehind_ || !cachedText_) return;
    controlBehind_ = false;
    const std::optional<std::u16string> before = std::exchange(controlText_, std::nullopt);
    const std::u16string& after = *cachedText_;
    settingText_ = true;
    std::optional<std::vector<draw::Removal>> removals;
    if (before) removals = draw::removalsBetween(*before, after, kMaxControlRemovals);
    const bool set = removals ? removeDroppedParts(*removals, after.size())
                              : SendMessageW(control_, WM_SETTEXT, 0,
                                             reinterpret_cast<LPARAM>(toWide(after).c_str())) != FALSE;
    settingText_ = false;
    cacheIsControlText_ = set;
    if (!set) cachedText_.reset();  // read back what the control did take
}

// Tidying a long list usually removes a few line breaks from it: removing just those takes
// milliseconds where giving the control the whole text again takes seconds. The control
// counts a CR LF pair as two characters, as the text does, so the runs' positions are its
// own. Afterwards the control is as a new text leaves it: no undo step, the cursor at the
// start.
bool CandidateEditor::removeDroppedParts(const std::vector<draw::Removal>& removals,
                                         std::size_t lengthAfter) {
    SendMessageW(control_, WM_SETREDRAW, FALSE, 0);  // one repaint at the end, not one per run
    for (auto removal = removals.rbegin(); removal != removals.rend(); ++removal) {
        // Last first, so that the positions of the runs before it stay valid.
        SendMessageW(control_, EM_SETSEL, removal->begin, static_cast<LPARAM>(removal->end));
        SendMessageW(control_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    }
    SendMessageW(control_, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(control_, EM_SETSEL, 0, 0);
    SendMessageW(control_, WM_SETREDRAW, TRUE, 0);
    SendMessageW(control_, EM_SCROLLCARET, 0, 0);
    InvalidateRect(control_, nullptr, TRUE);  // turning redrawing back on does not repaint
    return static_cast<std::size_t>(SendMessageW(control_, WM_GETTEXTLENGTH, 0, 0)) == lengthAfter;
}

void CandidateEditor::contentChanged() {
    if (settingText_) return;
    cachedText_.reset();
    controlText_.reset();
    controlBehind_ = false;
    cacheIsControlText_ = false;
}

}  // namespace zorbalin::win32
