#include "textio/text_plausibility.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zorbalin::textio {
namespace {

// What a character is to a word of a name list.
enum class Kind : std::uint8_t {
    Separator,  // ends a word: blanks, digits, punctuation, symbols, emoji
    Sign,       // ends a word, and touches no letter outside ASCII (°, ², ½, £)
    Letter,
    Capital,    // a Greek or Cyrillic capital letter
    Small,      // a Greek or Cyrillic small letter
    Mark,       // a combining mark: needs a letter of its script before it
    Odd,        // no list of names holds it
};

// Scripts by number; a script without a number of its own is told by its 128-character block.
enum Script : std::uint32_t { Latin = 1, Greek, Cyrillic, Armenian, Hebrew, Arabic, Han, Hangul, Blocks };

struct CharClass {
    Kind kind;
    std::uint32_t script = 0;  // for marks: the script of the letters they go with
};

struct Range {
    char32_t first;
    char32_t last;
    CharClass what;
};

// U+0080 to U+07FF, where a GBK list read as UTF-8 lands: only these are taken as text,
// everything else there is odd. Sorted by first.
constexpr CharClass kSeparator{Kind::Separator};
constexpr CharClass kSign{Kind::Sign};
constexpr CharClass kLatin{Kind::Letter, Latin};
constexpr CharClass kGreekCapital{Kind::Capital, Greek};
constexpr CharClass kGreekSmall{Kind::Small, Greek};
constexpr std::array kTwoByteRanges{
    Range{0x00A0, 0x00A1, kSeparator},  // no-break space, ¡
    Range{0x00A2, 0x00A3, kSign},       // ¢ £
    Range{0x00A5, 0x00A5, kSign},       // ¥
    Range{0x00A7, 0x00A7, kSign},       // §
    Range{0x00A9, 0x00AA, kSign},       // © ª
    Range{0x00AB, 0x00AB, kSeparator},  // «
    Range{0x00AD, 0x00AE, kSign},       // soft hyphen, ®
    Range{0x00B0, 0x00B5, kSign},       // ° ± ² ³ ´ µ
    Range{0x00B7, 0x00B7, kSeparator},  // · between the parts of a transliterated name
    Range{0x00B9, 0x00BA, kSign},       // ¹ º
    Range{0x00BB, 0x00BB, kSeparator},  // »
    Range{0x00BC, 0x00BE, kSign},       // ¼ ½ ¾
    Range{0x00BF, 0x00BF, kSeparator},  // ¿
    Range{0x00C0, 0x00D6, kLatin},
    Range{0x00D7, 0x00D7, kSeparator},  // ×
    Range{0x00D8, 0x00F6, kLatin},
    Range{0x00F7, 0x00F7, kSeparator},  // ÷
    Range{0x00F8, 0x017F, kLatin},      // Western and Central European letters
    Range{0x01A0, 0x01A1, kLatin},      // Vietnamese Ơ ơ
    Range{0x01AF, 0x01B0, kLatin},      // Vietnamese Ư ư
    Range{0x01CD, 0x01DC, kLatin},      // pinyin with tone marks: ǎ ǐ ǒ ǔ ǖ ǘ ǚ ǜ
    Range{0x0218, 0x021B, kLatin},      // Romanian Ș ș Ț ț
    Range{0x0300, 0x036F, {Kind::Mark, Latin}},  // combining accents (José written decomposed)
    Range{0x0386, 0x0386, kGreekCapital},
    Range{0x0388, 0x038A, kGreekCapital},
    Range{0x038C, 0x038C, kGreekCapital},
    Range{0x038E, 0x038F, kGreekCapital},
    Range{0x0391, 0x03A1, kGreekCapital},
    Range{0x03A3, 0x03AB, kGreekCapital},
    Range{0x03AC, 0x03AF, kGreekSmall},
    Range{0x03B1, 0x03CE, kGreekSmall},  // not ΐ and ΰ, which hardly any word has
    Range{0x0400, 0x042F, {Kind::Capital, Cyrillic}},
    Range{0x0430, 0x045F, {Kind::Small, Cyrillic}},
    Range{0x0490, 0x0490, {Kind::Capital, Cyrillic}},  // Ukrainian Ґ ґ
    Range{0x0491, 0x0491, {Kind::Small, Cyrillic}},
    Range{0x0531, 0x0556, {Kind::Letter, Armenian}},
    Range{0x0561, 0x0587, {Kind::Letter, Armenian}},
    Range{0x05B0, 0x05BD, {Kind::Mark, Hebrew}},  // vowel points, not the cantillation marks
    Range{0x05BF, 0x05BF, {Kind::Mark, Hebrew}},
    Range{0x05C1, 0x05C2, {Kind::Mark, Hebrew}},
    Range{0x05C7, 0x05C7, {Kind::Mark, Hebrew}},
    Range{0x05D0, 0x05EA, {Kind::Letter, Hebrew}},
    Range{0x060C, 0x060C, kSeparator},  // Arabic comma
    Range{0x061B, 0x061B, kSeparator},
    Range{0x061F, 0x061F, kSeparator},
    Range{0x0620, 0x064A, {Kind::Letter, Arabic}},
    Range{0x064B, 0x0652, {Kind::Mark, Arabic}},
    Range{0x0660, 0x066D, kSeparator},  // Arabic-Indic digits and signs
    Range{0x066E, 0x06D3, {Kind::Letter, Arabic}},  // with Persian, Urdu and Uyghur letters
    Range{0x06D5, 0x06D5, {Kind::Letter, Arabic}},
    Range{0x06F0, 0x06F9, kSeparator},  // Persian digits
};

static_assert(std::is_sorted(kTwoByteRanges.begin(), kTwoByteRanges.end(),
                             [](const Range& a, const Range& b) { return a.last < b.first; }));

CharClass classify(char32_t c) {
    if (c < 0x80) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return kLatin;
        return kSeparator;
    }
    if (c < 0x800) {
        const auto* range = std::lower_bound(kTwoByteRanges.begin(), kTwoByteRanges.end(), c,
                                             [](const Range& r, char32_t x) { return r.last < x; });
        if (range != kTwoByteRanges.end() && range->first <= c) return range->what;
        return {Kind::Odd};  // C1 controls, IPA, Coptic, historic Cyrillic, Syriac, Thaana, NKo
    }
    if (c >= 0x1E00 && c <= 0x1EFF) return kLatin;  // Vietnamese
    if (c >= 0x1F00 && c <= 0x1FFF) return {Kind::Letter, Greek};
    if ((c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F) ||
        (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFF00 && c <= 0xFFEF) ||
        (c >= 0x1F000 && c <= 0x1FAFF)) {
        return kSeparator;  // punctuation, symbols, full-width forms, emoji
    }
    if ((c >= 0x3040 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) ||
        (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
        (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x323AF)) {
        return {Kind::Letter, Han};  // hanzi and kana
    }
    if ((c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x1100 && c <= 0x11FF) ||
        (c >= 0x3130 && c <= 0x318F)) {
        return {Kind::Letter, Hangul};
    }
    // Private use, U+FFFD and the like, and the other planes' scripts.
    if ((c >= 0xE000 && c <= 0xF8FF) || c >= 0xFFF0) return {Kind::Odd};
    return {Kind::Letter, Blocks + (c >> 7)};
}

bool isCjkPunctuationRow(unsigned char lead) { return lead == 0xA1 || lead == 0xA3; }

// GB2312's hanzi: rows 0xB0 to 0xF7, of which row 0xD7 ends at 0xF9.
bool isGb2312Hanzi(unsigned char lead, unsigned char trail) {
    return lead >= 0xB0 && lead <= 0xF7 && !(lead == 0xD7 && trail > 0xF9);
}

// One word (letters and marks between separators) as it is read.
class Word {
public:
    // False when the letter or mark cannot stand where it does.
    bool add(CharClass what, bool ascii) {
        if (what.kind == Kind::Mark) {
            if (script_ == 0) return false;
            const bool accents = what.script == Latin;
            if (accents ? script_ > Cyrillic : what.script != script_) return false;
            foreign_ = true;
            return true;
        }
        if (script_ != 0 && what.script != script_) return false;
        if (what.kind == Kind::Capital && lastSmall_) return false;
        script_ = what.script;
        lastSmall_ = what.kind == Kind::Small;
        (ascii ? ascii_ : foreign_) = true;
        return true;
    }

    // False when the word as a whole cannot be a name; and starts the next one.
    bool end() {
        const bool plausible = !(script_ == Latin && foreign_ && !ascii_);
        *this = Word{};
        return plausible;
    }

private:
    std::uint32_t script_ = 0;
    bool lastSmall_ = false;
    bool ascii_ = false;    // has an ASCII letter
    bool foreign_ = false;  // has a letter or mark outside ASCII
};

}  // namespace

bool holdsOnlyCommonChinese(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    bool any = false;
    for (std::size_t i = 0; i < bytes.size();) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        if (i + 1 >= bytes.size()) return false;
        const unsigned char lead = p[i];
        const unsigned char trail = p[i + 1];
        if (trail < 0xA1 || trail > 0xFE) return false;  // also every four-byte sequence
        if (!isGb2312Hanzi(lead, trail) && !isCjkPunctuationRow(lead)) return false;
        any = true;
        i += 2;
    }
    return any;
}

bool readsAsNames(std::u16string_view text) {
    Word word;
    bool afterForeign = false;  // the character before was a letter or mark outside ASCII
    bool afterSign = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[++i]) - 0xDC00);
        }
        const CharClass what = classify(c);
        switch (what.kind) {
        case Kind::Odd: return false;
        case Kind::Sign:
            if (afterForeign) return false;
            [[fallthrough]];
        case Kind::Separator:
            if (!word.end()) return false;
            afterSign = what.kind == Kind::Sign;
            afterForeign = false;
            break;
        default:
            if (afterSign && c >= 0x80) return false;
            if (!word.add(what, c < 0x80)) return false;
            afterSign = false;
            afterForeign = c >= 0x80;
            break;
        }
    }
    return word.end();
}

}  // namespace zorbalin::textio
