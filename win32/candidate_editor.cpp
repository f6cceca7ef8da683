#include "candidate_editor.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "draw/text_removals.h"
#include "wide_text.h"

namespace zorbalin::win32 {

namespace {

// Wine's EDIT control walks its list of lines on every selection and replacement, so each
// run removed costs about a fiftieth of setting the whole text (win32_window_bench, "tidy");
// beyond a few runs the whole text is set.
constexpr std::size_t kMaxControlRemovals = 8;

std::u16string_view textOf(LPARAM lParam) {
    const auto* text = reinterpret_cast<const char16_t*>(lParam);
    return text == nullptr ? std::u16string_view() : std::u16string_view(text);
}

// The clipboard's text, or nullopt when it holds none or cannot be opened.
std::optional<std::u16string> clipboardText(HWND owner) {
    if (IsClipboardFormatAvailable(CF_UNICODETEXT) == FALSE || OpenClipboard(owner) == FALSE) {
        return std::nullopt;
    }
    std::optional<std::u16string> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* units = static_cast<const char16_t*>(GlobalLock(data)); units != nullptr) {
            // The text ends at its first NUL or with its memory block, whichever comes first.
            const std::size_t limit = GlobalSize(data) / sizeof(char16_t);
            text.emplace(units, std::find(units, units + limit, u'\0'));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace

void CandidateEditor::attach(HWND control) {
    control_ = control;
    SendMessageW(control_, EM_SETLIMITTEXT, 0, 0);  // 0: the largest the control can hold
    text_.forget();
}

std::optional<LRESULT> CandidateEditor::filterMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) return 0;
        // Shift+Insert pastes inside the control without a WM_PASTE: made one here.
        if (wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
            return paste();
        }
        break;
    case WM_CHAR:
        // Enter, Ctrl+Enter or a line break sent by another program: always a CR LF.
        if (wParam == u'\r' || wParam == u'\n') {
            return SendMessageW(control_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\r\n"));
        }
        break;
    case WM_PASTE:
        return paste();
    case WM_SETTEXT:
    case EM_REPLACESEL: {
        if (settingText_) break;  // the editor's own text has its line breaks already
        // Text from outside (another program, an accessibility tool, a test) sends no EN_CHANGE
        // when it replaces the whole text, so it is watched here too.
        if (message == WM_SETTEXT) text_.forget();
        const std::u16string_view text = textOf(lParam);
        if (draw::hasEditorLineBreaks(text)) break;
        const std::wstring accepted = toWide(draw::withEditorLineBreaks(std::u16string(text)));
        return DefSubclassProc(control_, message, wParam, reinterpret_cast<LPARAM>(accepted.c_str()));
    }
    default:
        break;
    }
    return std::nullopt;
}

// The control would paste the clipboard's text as it stands, lone line breaks and all.
LRESULT CandidateEditor::paste() {
    const std::optional<std::u16string> text = clipboardText(control_);
    if (!text) return 0;  // nothing the control could paste either
    const std::wstring accepted = toWide(draw::withEditorLineBreaks(*text));
    SendMessageW(control_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(accepted.c_str()));
    return 0;
}

const std::u16string& CandidateEditor::text() {
    return text_.read([this] {
        const auto length = static_cast<std::size_t>(SendMessageW(control_, WM_GETTEXTLENGTH, 0, 0));
        std::u16string text(length + 1, u'\0');
        const auto copied = static_cast<std::size_t>(
            SendMessageW(control_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
        text.resize(std::min(copied, length));
        return text;
    });
}

void CandidateEditor::setText(const std::u16string& text) {
    text_.set(text);
}

void CandidateEditor::flush(Progress& progress) {
    if (!text_.rewriteWaiting()) return;
    const std::u16string* after = text_.pending();
    if (after == nullptr) {  // the text it holds
        showAsRewritten();
        text_.rewriteDone();
        return;
    }
    progress.report(ProgressStage::Loading, 0, after->size());
    // What allocates comes before the control is touched.
    std::optional<std::vector<draw::Removal>> removals;
    if (const std::u16string* before = text_.shown()) {
        removals = draw::removalsBetween(*before, *after, kMaxControlRemovals);
    }
    settingText_ = true;
    const bool exactly =
        removals ? removeDroppedParts(*removals, after->size())
                 : SendMessageW(control_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(after->c_str())) != FALSE;
    settingText_ = false;
    showAsRewritten();
    text_.written(exactly);  // otherwise read back what the control did take
}

// Tidying a long list usually removes a few line breaks from it: removing just those takes
// milliseconds where giving the control the whole text again takes seconds. The control
// counts a CR LF pair as two characters, as the text does, so the runs' positions are its
// own.
bool CandidateEditor::removeDroppedParts(const std::vector<draw::Removal>& removals,
                                         std::size_t lengthAfter) {
    SendMessageW(control_, WM_SETREDRAW, FALSE, 0);  // one repaint at the end, not one per run
    for (auto removal = removals.rbegin(); removal != removals.rend(); ++removal) {
        // Last first, so that the positions of the runs before it stay valid.
        SendMessageW(control_, EM_SETSEL, removal->begin, static_cast<LPARAM>(removal->end));
        SendMessageW(control_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    }
    SendMessageW(control_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(control_, nullptr, TRUE);  // turning redrawing back on does not repaint
    return static_cast<std::size_t>(SendMessageW(control_, WM_GETTEXTLENGTH, 0, 0)) == lengthAfter;
}

// As a new text leaves the control: no undo step, the cursor at the start, scrolled to it.
void CandidateEditor::showAsRewritten() {
    SendMessageW(control_, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(control_, EM_SETSEL, 0, 0);
    SendMessageW(control_, EM_SCROLLCARET, 0, 0);
}

void CandidateEditor::contentChanged() {
    if (!settingText_) text_.forget();
}

}  // namespace zorbalin::win32
