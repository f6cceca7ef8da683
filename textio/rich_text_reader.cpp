#include "textio/rich_text_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

namespace zorbalin::textio {
namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr std::size_t kMaxControlWordLength = 32;
constexpr std::size_t kMaxGroupDepth = 1000;
constexpr int kFallbackCodePage = 1252;

// What a control word does to the reader.
enum class Kind {
    Destination,          // the rest of the group is not text (fonts, pictures, metadata...)
    FontTable,            // a destination whose fonts say which code page their text uses
    AnsiCodePage,         // \ansicpgN: the document's code page
    Bin,                  // \binN: N raw bytes follow
    Character,            // a named character such as \emdash
    DefaultFont,          // \deffN: the font before any \f
    Font,                 // \fN: selects a font, or defines one inside the font table
    FontCharset,          // \fcharsetN of the font being defined
    FontCodePage,         // \cpgN of the font being defined
    LineBreak,            // \line
    ParagraphMark,        // \par and the marks that end a paragraph with it
    Plain,                // \plain: back to the default font
    Tab,                  // \tab, \cell
    Unicode,              // \uN
    UnicodeSkipCount,     // \ucN: how many fallback characters follow each \uN
    UnicodeAlternatives,  // \upr: an ANSI group and a \*\ud group with the same text
    UnicodeDestination,   // \ud: the Unicode half of \upr
};

struct Keyword {
    std::string_view name;
    Kind kind;
    char16_t character;
};

// Sorted by name (byte order) for binary search; control words not listed are ignored.
constexpr std::array kKeywords = std::to_array<Keyword>({
    {"aftncn", Kind::Destination, 0}, {"aftnsep", Kind::Destination, 0},
    {"aftnsepc", Kind::Destination, 0}, {"annotation", Kind::Destination, 0},
    {"ansicpg", Kind::AnsiCodePage, 0}, {"atnauthor", Kind::Destination, 0},
    {"atndate", Kind::Destination, 0}, {"atnicn", Kind::Destination, 0},
    {"atnid", Kind::Destination, 0}, {"atnparent", Kind::Destination, 0},
    {"atnref", Kind::Destination, 0}, {"atntime", Kind::Destination, 0},
    {"atrfend", Kind::Destination, 0}, {"atrfstart", Kind::Destination, 0},
    {"author", Kind::Destination, 0}, {"background", Kind::Destination, 0},
    {"bin", Kind::Bin, 0}, {"bkmkend", Kind::Destination, 0},
    {"bkmkstart", Kind::Destination, 0}, {"blipuid", Kind::Destination, 0},
    {"bullet", Kind::Character, 0x2022}, {"buptim", Kind::Destination, 0},
    {"category", Kind::Destination, 0}, {"cell", Kind::Tab, 0},
    {"colorschememapping", Kind::Destination, 0}, {"colortbl", Kind::Destination, 0},
    {"comment", Kind::Destination, 0}, {"company", Kind::Destination, 0},
    {"cpg", Kind::FontCodePage, 0}, {"creatim", Kind::Destination, 0},
    {"datafield", Kind::Destination, 0}, {"datastore", Kind::Destination, 0},
    {"defchp", Kind::Destination, 0}, {"deff", Kind::DefaultFont, 0},
    {"defpap", Kind::Destination, 0}, {"do", Kind::Destination, 0},
    {"doccomm", Kind::Destination, 0}, {"docvar", Kind::Destination, 0},
    {"dptxbxtext", Kind::Destination, 0}, {"emdash", Kind::Character, 0x2014},
    {"endash", Kind::Character, 0x2013}, {"f", Kind::Font, 0},
    {"falt", Kind::Destination, 0}, {"fcharset", Kind::FontCharset, 0},
    {"ffdeftext", Kind::Destination, 0}, {"ffformat", Kind::Destination, 0},
    {"ffhelptext", Kind::Destination, 0}, {"ffname", Kind::Destination, 0},
    {"ffstattext", Kind::Destination, 0}, {"file", Kind::Destination, 0},
    {"filetbl", Kind::Destination, 0}, {"fldinst", Kind::Destination, 0},
    {"fontemb", Kind::Destination, 0}, {"fontfile", Kind::Destination, 0},
    {"fonttbl", Kind::FontTable, 0}, {"footer", Kind::Destination, 0},
    {"footerf", Kind::Destination, 0}, {"footerl", Kind::Destination, 0},
    {"footerr", Kind::Destination, 0}, {"footnote", Kind::Destination, 0},
    {"ftncn", Kind::Destination, 0}, {"ftnsep", Kind::Destination, 0},
    {"ftnsepc", Kind::Destination, 0}, {"generator", Kind::Destination, 0},
    {"gridtbl", Kind::Destination, 0}, {"header", Kind::Destination, 0},
    {"headerf", Kind::Destination, 0}, {"headerl", Kind::Destination, 0},
    {"headerr", Kind::Destination, 0}, {"hlinkbase", Kind::Destination, 0},
    {"info", Kind::Destination, 0}, {"keywords", Kind::Destination, 0},
    {"latentstyles", Kind::Destination, 0}, {"ldblquote", Kind::Character, 0x201C},
    {"levelnumbers", Kind::Destination, 0}, {"leveltext", Kind::Destination, 0},
    {"lfolevel", Kind::Destination, 0}, {"line", Kind::LineBreak, 0},
    {"list", Kind::Destination, 0}, {"listlevel", Kind::Destination, 0},
    {"listname", Kind::Destination, 0}, {"listoverride", Kind::Destination, 0},
    {"listoverridetable", Kind::Destination, 0}, {"listpicture", Kind::Destination, 0},
    {"listtable", Kind::Destination, 0}, {"listtext", Kind::Destination, 0},
    {"lquote", Kind::Character, 0x2018}, {"manager", Kind::Destination, 0},
    {"mmathPr", Kind::Destination, 0}, {"nestcell", Kind::Tab, 0},
    {"nestrow", Kind::ParagraphMark, 0}, {"nesttableprops", Kind::Destination, 0},
    {"nonesttables", Kind::Destination, 0}, {"nonshppict", Kind::Destination, 0},
    {"objalias", Kind::Destination, 0}, {"objclass", Kind::Destination, 0},
    {"objdata", Kind::Destination, 0}, {"object", Kind::Destination, 0},
    {"objname", Kind::Destination, 0}, {"objsect", Kind::Destination, 0},
    {"objtime", Kind::Destination, 0}, {"operator", Kind::Destination, 0},
    {"page", Kind::ParagraphMark, 0}, {"panose", Kind::Destination, 0},
    {"par", Kind::ParagraphMark, 0}, {"password", Kind::Destination, 0},
    {"pgdsctbl", Kind::Destination, 0}, {"picprop", Kind::Destination, 0},
    {"pict", Kind::Destination, 0}, {"plain", Kind::Plain, 0},
    {"pn", Kind::Destination, 0}, {"pntext", Kind::Destination, 0},
    {"pntxta", Kind::Destination, 0}, {"pntxtb", Kind::Destination, 0},
    {"printim", Kind::Destination, 0}, {"private", Kind::Destination, 0},
    {"protusertbl", Kind::Destination, 0}, {"rdblquote", Kind::Character, 0x201D},
    {"revtbl", Kind::Destination, 0}, {"revtim", Kind::Destination, 0},
    {"row", Kind::ParagraphMark, 0}, {"rquote", Kind::Character, 0x2019},
    {"rsidtbl", Kind::Destination, 0}, {"rxe", Kind::Destination, 0},
    {"sect", Kind::ParagraphMark, 0}, {"shp", Kind::Destination, 0},
    {"shpinst", Kind::Destination, 0}, {"shppict", Kind::Destination, 0},
    {"shprslt", Kind::Destination, 0}, {"sn", Kind::Destination, 0},
    {"sp", Kind::Destination, 0}, {"stylesheet", Kind::Destination, 0},
    {"subject", Kind::Destination, 0}, {"sv", Kind::Destination, 0},
    {"tab", Kind::Tab, 0}, {"tc", Kind::Destination, 0},
    {"template", Kind::Destination, 0}, {"themedata", Kind::Destination, 0},
    {"title", Kind::Destination, 0}, {"txe", Kind::Destination, 0},
    {"u", Kind::Unicode, 0}, {"uc", Kind::UnicodeSkipCount, 0},
    {"ud", Kind::UnicodeDestination, 0}, {"upr", Kind::UnicodeAlternatives, 0},
    {"userprops", Kind::Destination, 0}, {"wgrffmtfilter", Kind::Destination, 0},
    {"xe", Kind::Destination, 0}, {"xmlnstbl", Kind::Destination, 0},
});
static_assert(std::is_sorted(kKeywords.begin(), kKeywords.end(),
                             [](const Keyword& a, const Keyword& b) { return a.name < b.name; }));

const Keyword* findKeyword(std::string_view name) {
    const auto it = std::lower_bound(kKeywords.begin(), kKeywords.end(), name,
                                     [](const Keyword& k, std::string_view n) { return k.name < n; });
    return (it != kKeywords.end() && it->name == name) ? &*it : nullptr;
}

// The code page that a font's \fcharset implies, or 0 when it implies none.
int codePageOfCharset(int charset) {
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return 0;
    }
}

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// What { and } save and restore.
struct GroupState {
    int unicodeSkipCount = 1;  // \uc
    int font = -1;             // -1: the document's default font (\deff)
    bool skipping = false;     // inside a destination that holds no text
    bool fontTable = false;
    // \upr: the group skips its ANSI half; a \*\ud child restores the skipping from before.
    bool unicodeAlternatives = false;
    bool skippingBeforeAlternatives = false;
    bool parentIsUnicodeAlternatives = false;
    bool parentSkippingBeforeAlternatives = false;
};

struct FontInfo {
    int codePage = 0;  // \cpg
    int charset = -1;  // \fcharset
};

class RichTextReader {
public:
    RichTextReader(std::string_view bytes, const CodePageDecoder& decode)
        : bytes_(bytes), decode_(decode) {
        groups_.emplace_back();
        // Every unit of text takes at least one byte of the file, so this is never
        // outgrown; pages that stay unused are never touched.
        out_.reserve(bytes.size());
    }

    std::optional<std::u16string> read() {
        if (!bytes_.starts_with("{\\rtf")) return std::nullopt;
        while (pos_ < bytes_.size() && !finished_) {
            const auto c = static_cast<unsigned char>(bytes_[pos_]);
            switch (c) {
            case '{':
                ++pos_;
                openGroup();
                break;
            case '}':
                ++pos_;
                closeGroup();
                break;
            case '\\':
                ++pos_;
                readControl();
                break;
            case '\r':
            case '\n':
                ++pos_;  // line breaks of the file itself are not text
                break;
            default:
                readPlainText();
                break;
            }
        }
        // One whole document: its group closed, nothing but blanks after it. Anything else
        // (a second document, a cut file) would lose text if read as rich text.
        if (!finished_ || bytes_.find_first_not_of(std::string_view(" \t\r\n\0", 5), pos_) !=
                              std::string_view::npos) {
            return std::nullopt;
        }
        flushRun();
        flushPendingHighSurrogate();
        // The document's last paragraph mark ends it rather than adding an empty line.
        if (endsWithParagraphMark_) out_.resize(out_.size() - 2);
        // A CR or LF that came as text (\u13, \'0a) still has to be a whole line break.
        return normalizeLineBreaks(std::move(out_));
    }

private:
    GroupState& state() { return groups_.back(); }

    void openGroup() {
        flushRun();
        unicodeSkipLeft_ = 0;
        if (groups_.size() > kMaxGroupDepth) {
            ++ignoredDepth_;
            return;
        }
        GroupState child = state();
        child.parentIsUnicodeAlternatives = child.unicodeAlternatives;
        child.parentSkippingBeforeAlternatives = child.skippingBeforeAlternatives;
        child.unicodeAlternatives = false;
        groups_.push_back(child);
    }

    void closeGroup() {
        flushRun();
        unicodeSkipLeft_ = 0;
        if (ignoredDepth_ > 0) {
            --ignoredDepth_;
            return;
        }
        if (groups_.size() > 1) groups_.pop_back();
        // Closing the document's own group ends it; whatever follows is not read.
        if (groups_.size() == 1) finished_ = true;
    }

    // Plain bytes up to the next brace, backslash or line break of the file.
    void readPlainText() {
        while (pos_ < bytes_.size()) {
            const auto c = static_cast<unsigned char>(bytes_[pos_]);
            if (c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n') return;
            ++pos_;
            if (unicodeSkipLeft_ > 0) {
                --unicodeSkipLeft_;
            } else if (!state().skipping) {
                addTextByte(c);
            }
        }
    }

    void addTextByte(unsigned char c) {
        // Bytes of a legacy code page gather into one run, decoded as a whole, so that a
        // double-byte character split across \'hh and a plain byte stays one character.
        if (c >= 0x80 || !run_.empty()) {
            if (c < 0x20 && c != '\t') return;
            if (run_.empty()) runCodePage_ = currentCodePage();
            run_.push_back(static_cast<char>(c));
        } else if (c >= 0x20 || c == '\t') {
            emitUnit(c);
        }
    }

    void readControl() {
        if (pos_ >= bytes_.size()) return;
        const auto c = static_cast<unsigned char>(bytes_[pos_]);
        if (isLetter(c)) {
            readControlWord();
            return;
        }
        ++pos_;
        if (c == '\'') {
            const int byte = readHexByte();
            if (unicodeSkipLeft_ > 0) {
                --unicodeSkipLeft_;
            } else if (byte > 0 && !state().skipping) {  // a NUL is no text
                if (run_.empty()) runCodePage_ = currentCodePage();
                run_.push_back(static_cast<char>(byte));
            }
            return;
        }
        if (unicodeSkipLeft_ > 0) {
            --unicodeSkipLeft_;
            return;
        }
        if (c == '*') {
            // An optional destination: skipped unless it is one this reader knows (\ud).
            state().skipping = true;
            return;
        }
        if (state().skipping) return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            addTextByte(c);
            break;
        case '\r':
        case '\n':
            emitLineBreak(true);
            break;
        case '~':
            emitUnit(0x00A0);
            break;
        case '_':
            emitUnit(0x2011);
            break;
        default:
            break;  // \- (optional hyphen) and the rest add no text
        }
    }

    // The two hex digits after \' as a byte, or -1 (nothing consumed) when malformed.
    int readHexByte() {
        if (pos_ + 2 > bytes_.size()) return -1;
        const int high = hexValue(static_cast<unsigned char>(bytes_[pos_]));
        const int low = hexValue(static_cast<unsigned char>(bytes_[pos_ + 1]));
        if (high < 0 || low < 0) return -1;
        pos_ += 2;
        return high * 16 + low;
    }

    void readControlWord() {
        const std::size_t start = pos_;
        while (pos_ < bytes_.size() && isLetter(static_cast<unsigned char>(bytes_[pos_]))) ++pos_;
        const std::string_view word = bytes_.substr(start, pos_ - start);

        bool hasParameter = false;
        bool negative = false;
        if (pos_ + 1 < bytes_.size() && bytes_[pos_] == '-' &&
            isDigit(static_cast<unsigned char>(bytes_[pos_ + 1]))) {
            negative = true;
            ++pos_;
        }
        // Saturates at the 32-bit range instead of overflowing on absurdly long numbers.
        std::int64_t magnitude = 0;
        constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
        while (pos_ < bytes_.size() && isDigit(static_cast<unsigned char>(bytes_[pos_]))) {
            hasParameter = true;
            magnitude = std::min(kLimit, magnitude * 10 + (bytes_[pos_] - '0'));
            ++pos_;
        }
        const std::int64_t signedValue = negative ? -magnitude : magnitude;
        const auto parameter = static_cast<int>(std::clamp<std::int64_t>(
            signedValue, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
        if (pos_ < bytes_.size() && bytes_[pos_] == ' ') ++pos_;  // the delimiter

        const Keyword* keyword = word.size() <= kMaxControlWordLength ? findKeyword(word) : nullptr;
        if (keyword != nullptr && keyword->kind == Kind::Bin) {
            skipBinaryData(hasParameter ? parameter : 0);
        }
        if (unicodeSkipLeft_ > 0) {
            --unicodeSkipLeft_;
            return;
        }
        flushRun();
        if (keyword != nullptr) applyKeyword(*keyword, hasParameter, parameter);
    }

    void skipBinaryData(int count) {
        const std::size_t left = bytes_.size() - pos_;
        pos_ += std::min(left, static_cast<std::size_t>(std::max(count, 0)));
    }

    void applyKeyword(const Keyword& keyword, bool hasParameter, int parameter) {
        GroupState& group = state();
        // These act also inside destinations that hold no text.
        switch (keyword.kind) {
        case Kind::Destination:
            group.skipping = true;
            return;
        case Kind::FontTable:
            group.skipping = true;
            group.fontTable = true;
            return;
        case Kind::UnicodeAlternatives:
            group.unicodeAlternatives = true;
            group.skippingBeforeAlternatives = group.skipping;
            group.skipping = true;
            return;
        case Kind::UnicodeDestination:
            if (group.parentIsUnicodeAlternatives) {
                group.skipping = group.parentSkippingBeforeAlternatives;
            }
            return;
        case Kind::Font:
            if (group.fontTable) {
                fontBeingDefined_ = parameter;
            } else if (!group.skipping) {
                group.font = parameter;
            }
            return;
        case Kind::FontCharset:
            if (group.fontTable && fontBeingDefined_ >= 0) fonts_[fontBeingDefined_].charset = parameter;
            return;
        case Kind::FontCodePage:
            if (group.fontTable && fontBeingDefined_ >= 0) fonts_[fontBeingDefined_].codePage = parameter;
            return;
        default:
            break;
        }
        if (group.skipping) return;
        switch (keyword.kind) {
        case Kind::AnsiCodePage:
            ansiCodePage_ = parameter;
            break;
        case Kind::DefaultFont:
            defaultFont_ = parameter;
            break;
        case Kind::Plain:
            group.font = -1;
            break;
        case Kind::UnicodeSkipCount:
            group.unicodeSkipCount = hasParameter ? std::max(parameter, 0) : 1;
            break;
        case Kind::Unicode:
            emitUnicodeParameter(parameter);
            unicodeSkipLeft_ = static_cast<std::size_t>(group.unicodeSkipCount);
            break;
        case Kind::ParagraphMark:
            emitLineBreak(true);
            break;
        case Kind::LineBreak:
            emitLineBreak(false);
            break;
        case Kind::Tab:
            emitUnit(u'\t');
            break;
        case Kind::Character:
            emitUnit(keyword.character);
            break;
        default:
            break;
        }
    }

    int currentCodePage() const {
        const int font = groups_.back().font >= 0 ? groups_.back().font : defaultFont_;
        if (const auto it = fonts_.find(font); it != fonts_.end()) {
            if (it->second.codePage > 0) return it->second.codePage;
            if (const int fromCharset = codePageOfCharset(it->second.charset)) return fromCharset;
        }
        return ansiCodePage_ > 0 ? ansiCodePage_ : kFallbackCodePage;
    }

    // \uN: N is a signed 16-bit number; a high and a low surrogate in a row form a pair.
    void emitUnicodeParameter(int parameter) {
        const int value = parameter < 0 ? parameter + 65536 : parameter;
        if (value <= 0 || value > 0xFFFF) {
            if (value != 0) emitUnit(kReplacementCharacter);
            return;
        }
        const auto unit = static_cast<char16_t>(value);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            flushPendingHighSurrogate();
            pendingHighSurrogate_ = unit;
            endsWithParagraphMark_ = false;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (pendingHighSurrogate_ != 0) {
                out_.push_back(pendingHighSurrogate_);
                out_.push_back(unit);
                pendingHighSurrogate_ = 0;
            } else {
                emitUnit(kReplacementCharacter);
            }
        } else {
            emitUnit(unit);
        }
    }

    void flushPendingHighSurrogate() {
        if (pendingHighSurrogate_ != 0) {
            out_.push_back(kReplacementCharacter);
            pendingHighSurrogate_ = 0;
        }
    }

    void emitUnit(char16_t unit) {
        flushRun();
        flushPendingHighSurrogate();
        out_.push_back(unit);
        endsWithParagraphMark_ = false;
    }

    void emitLineBreak(bool paragraphMark) {
        flushRun();
        flushPendingHighSurrogate();
        out_.append(u"\r\n");
        endsWithParagraphMark_ = paragraphMark;
    }

    void flushRun() {
        if (run_.empty()) return;
        flushPendingHighSurrogate();
        std::optional<std::u16string> decoded;
        if (decode_) decoded = decode_(runCodePage_, run_);
        if (decoded) {
            out_.append(*decoded);
        } else {
            appendLeniently(run_);
        }
        run_.clear();
        endsWithParagraphMark_ = false;
    }

    // A run that does not decode as a whole: ASCII stays, each character that still
    // decodes on its own (one, two or four bytes) is kept, every other byte is U+FFFD.
    void appendLeniently(std::string_view run) {
        std::size_t i = 0;
        while (i < run.size()) {
            if (static_cast<unsigned char>(run[i]) < 0x80) {
                out_.push_back(static_cast<unsigned char>(run[i]));
                ++i;
                continue;
            }
            std::size_t used = 0;
            for (const std::size_t length : {std::size_t{1}, std::size_t{2}, std::size_t{4}}) {
                if (!decode_ || i + length > run.size()) break;
                const auto piece = decode_(runCodePage_, run.substr(i, length));
                if (piece && !piece->empty()) {
                    out_.append(*piece);
                    used = length;
                    break;
                }
            }
            if (used == 0) {
                out_.push_back(kReplacementCharacter);
                used = 1;
            }
            i += used;
        }
    }

    std::string_view bytes_;
    const CodePageDecoder& decode_;
    std::size_t pos_ = 0;
    bool finished_ = false;

    std::vector<GroupState> groups_;
    std::size_t ignoredDepth_ = 0;  // groups opened beyond kMaxGroupDepth
    std::size_t unicodeSkipLeft_ = 0;

    int ansiCodePage_ = 0;
    int defaultFont_ = -1;
    int fontBeingDefined_ = -1;
    std::unordered_map<int, FontInfo> fonts_;

    std::string run_;
    int runCodePage_ = kFallbackCodePage;

    std::u16string out_;
    char16_t pendingHighSurrogate_ = 0;
    bool endsWithParagraphMark_ = false;
};

}  // namespace

std::optional<std::u16string> readRichText(std::string_view bytes, const CodePageDecoder& decode) {
    return RichTextReader(bytes, decode).read();
}

}  // namespace zorbalin::textio
