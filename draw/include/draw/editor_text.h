// The candidate editor's text, as both front ends keep it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorbalin::draw {

// The editor holds CR LF between lines and no other line break: text entering it (typed,
// pasted, set by another program, loaded from a file) has every lone CR, lone LF, U+2028 and
// U+2029 made CR LF first. Windows' EDIT control breaks lines only at CR LF, so this is what
// keeps the lines a user sees the lines that the draw cuts.
std::u16string withEditorLineBreaks(std::u16string text);
bool hasEditorLineBreaks(std::u16string_view text);

// What an editor knows of its control's text, and the text waiting to go into it. Reading or
// replacing a control's whole text takes time in proportion to the list, so the text last
// read or written is kept until the control changes; and the texts that a handler sets reach
// the control once, when the handler ends (a file loaded and then tidied goes in once), or
// never when the handler fails, which leaves the control as it was.
class EditorText {
public:
    // The text as the draw reads it. `readControl()` gives the control's own text and is
    // called only when that is not known. A control holding other line breaks (put there past
    // the editor) reads with CR LF breaks, and is written again with them at the next flush.
    template <typename ReadControl>
    const std::u16string& read(ReadControl&& readControl) {
        if (!pending_ && !shown_) took(readControl());
        return pending_ ? *pending_ : *shown_;
    }
    // The text the control is to hold; it is written whenever the control holds another. Set
    // with the text the control holds, the control is only to look rewritten.
    void set(std::u16string text);

    // The text waiting for the control, or null.
    const std::u16string* pending() const { return pending_ ? &*pending_ : nullptr; }
    // Whether a text was set since the control last took one: it is to look as after a
    // rewrite (the cursor at the start, no undo step back), even with the text it holds.
    bool rewriteWaiting() const { return pending_ || rewrite_; }
    // The control looks rewritten, holding the text it held.
    void rewriteDone() { rewrite_ = false; }
    // Exactly what the control holds, or null when that is not known.
    const std::u16string* shown() const { return shown_ ? &*shown_ : nullptr; }
    // The control took the waiting text; `exactly` is false when it may hold another.
    void written(bool exactly);
    // Drops the waiting text: the control keeps what it holds.
    void discard() {
        pending_.reset();
        rewrite_ = false;
    }
    // The control's content changed in a way that the editor did not make.
    void forget();

private:
    void took(std::u16string controlText);

    std::optional<std::u16string> shown_;
    std::optional<std::u16string> pending_;
    bool rewrite_ = false;
};

}  // namespace zorbalin::draw
