#include "sheets/workbook.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "sheets/compound_file.h"
#include "sheets/xml_reader.h"
#include "sheets/zip_archive.h"
#include "textio/text_encoding.h"

namespace zorbalin::sheets {
namespace {

using Event = XmlReader::Event;
using Refusal = WorkbookRefusal;
template <typename T>
using Outcome = std::variant<T, Refusal>;

constexpr std::string_view kWorkbookPart = "xl/workbook.xml";
constexpr std::string_view kWorkbookRelationships = "xl/_rels/workbook.xml.rels";
constexpr std::size_t kMaxColumns = 16384;  // A to XFD, as Excel has them

Refusal refusalOf(ZipFailure failure) {
    switch (failure) {
    case ZipFailure::Encrypted: return Refusal::Encrypted;
    case ZipFailure::TooLarge: return Refusal::TooLarge;
    case ZipFailure::Damaged: break;
    }
    return Refusal::Damaged;
}

Outcome<std::string> readPart(const ZipArchive& zip, std::string_view name, std::uint64_t& budget) {
    const ZipEntry* entry = zip.find(name);
    if (!entry) return Refusal::Damaged;
    std::variant<std::string, ZipFailure> read = zip.read(*entry, budget);
    if (auto* failure = std::get_if<ZipFailure>(&read)) return refusalOf(*failure);
    return std::get<std::string>(std::move(read));
}

// A relationship's target, relative to the folder of the workbook part unless it begins
// with "/"; "." and ".." are resolved, and a ".." above the top is dropped.
std::string partOf(std::string_view target) {
    std::vector<std::string_view> segments;
    if (!target.starts_with('/')) segments.push_back("xl");
    while (!target.empty()) {
        const std::size_t slash = std::min(target.find('/'), target.size());
        const std::string_view segment = target.substr(0, slash);
        target.remove_prefix(std::min(slash + 1, target.size()));
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
    }
    std::string part;
    for (std::string_view segment : segments) {
        if (!part.empty()) part += '/';
        part += segment;
    }
    return part;
}

struct SheetParts {
    std::string sheet;
    std::string sharedStrings;  // empty: the workbook has none
};

// The relationship id of the first sheet whose state is neither hidden nor veryHidden.
Outcome<std::string> firstVisibleSheet(std::string_view workbookXml) {
    XmlReader xml(workbookXml);
    for (;;) {
        switch (xml.next()) {
        case Event::StartElement:
            if (xml.name() == "sheet") {
                const std::string state = xml.attribute("state").value_or("visible");
                if (state == "hidden" || state == "veryHidden") break;
                std::optional<std::string> id = xml.attribute("id");
                if (!id) return Refusal::Damaged;
                return std::move(*id);
            }
            break;
        case Event::End: return Refusal::NoText;
        case Event::Malformed: return Refusal::Damaged;
        default: break;
        }
    }
}

Outcome<SheetParts> partsOf(std::string_view relationshipsXml, std::string_view sheetId) {
    SheetParts parts;
    XmlReader xml(relationshipsXml);
    for (Event event = xml.next(); event != Event::End; event = xml.next()) {
        if (event == Event::Malformed) return Refusal::Damaged;
        if (event != Event::StartElement || xml.name() != "Relationship") continue;
        const std::optional<std::string> target = xml.attribute("Target");
        if (!target || xml.attribute("TargetMode").value_or("Internal") != "Internal") continue;
        if (xml.attribute("Id") == sheetId) parts.sheet = partOf(*target);
        if (xml.attribute("Type").value_or("").ends_with("/sharedStrings")) {
            parts.sharedStrings = partOf(*target);
        }
    }
    if (parts.sheet.empty()) return Refusal::Damaged;
    return parts;
}

// After the StartElement of a string item (<si>, <is>): its text, its runs' <t> joined and
// its phonetic guide (<rPh>) left out; the reader stops after the item's EndElement.
bool readStringItem(XmlReader& xml, std::string& out) {
    std::size_t depth = 1, phonetic = 0;
    bool inText = false;
    for (;;) {
        switch (xml.next()) {
        case Event::StartElement:
            ++depth;
            if (xml.name() == "rPh") ++phonetic;
            inText = xml.name() == "t" && phonetic == 0;
            break;
        case Event::EndElement:
            if (xml.name() == "rPh" && phonetic > 0) --phonetic;
            inText = false;
            if (--depth == 0) return true;
            break;
        case Event::Text:
            if (inText) out += xml.text();
            break;
        default: return false;
        }
    }
}

// The shared strings, UTF-8, kept end to end in one buffer.
class SharedStrings {
public:
    bool read(std::string_view xmlText) {
        XmlReader xml(xmlText);
        for (Event event = xml.next(); event != Event::End; event = xml.next()) {
            if (event == Event::Malformed) return false;
            if (event == Event::StartElement && xml.name() == "si") {
                if (!readStringItem(xml, pool_)) return false;
                ends_.push_back(pool_.size());
            }
        }
        return true;
    }
    std::optional<std::string_view> operator[](std::size_t i) const {
        if (i >= ends_.size()) return std::nullopt;
        const std::size_t start = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(pool_).substr(start, ends_[i] - start);
    }

private:
    std::string pool_;
    std::vector<std::size_t> ends_;
};

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00A0'; }
bool isLineBreak(char16_t c) { return c == u'\r' || c == u'\n' || c == u'\u2028' || c == u'\u2029'; }

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// A cell's text as one line: Office's escapes of characters XML cannot hold ("_x000D_")
// resolved, each line break a blank, other control characters and the blanks at both ends
// dropped.
std::u16string oneLine(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    char16_t previous = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            int value = 0;
            for (std::size_t k = 2; k < 6 && value >= 0; ++k) {
                const int digit = hexDigit(text[i + k]);
                value = digit < 0 ? -1 : value * 16 + digit;
            }
            if (value >= 0) {
                c = static_cast<char16_t>(value);
                i += 6;
            }
        }
        if (isLineBreak(c)) {
            if (!(c == u'\n' && previous == u'\r')) out += u' ';  // CR LF: one break
        } else if (c >= 0x20 || c == u'\t') {
            out += c;  // other control characters (an escaped NUL) are dropped
        }
        previous = c;
    }
    std::size_t first = 0, last = out.size();
    while (first < last && isBlank(out[first])) ++first;
    while (last > first && isBlank(out[last - 1])) --last;
    return out.substr(first, last - first);
}

enum class CellKind { Empty, Text, Number };
struct Cell {
    std::size_t column = 0;
    CellKind kind = CellKind::Empty;
    std::u16string text;
};

std::optional<double> numberOf(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '+')) text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The column of a reference such as "AB12": its letters, from A = 0.
std::optional<std::size_t> columnOf(std::string_view reference) {
    std::size_t column = 0, letters = 0;
    for (char c : reference) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') break;
        column = column * 26 + static_cast<std::size_t>(c - 'A' + 1);
        if (++letters > 3 || column > kMaxColumns) return std::nullopt;
    }
    if (letters == 0) return std::nullopt;
    return column - 1;
}

// What a cell shows, from its type, its value (<v>) and its inline string (<is>).
std::optional<Cell> cellOf(std::string_view type, std::string_view value, std::string_view inlineText,
                           const SharedStrings& shared) {
    Cell cell;
    std::string_view utf8;
    if (type == "s") {
        const std::optional<double> index = numberOf(value);
        if (!index || *index < 0 || *index != std::floor(*index)) return std::nullopt;
        const std::optional<std::string_view> text = shared[static_cast<std::size_t>(*index)];
        if (!text) return std::nullopt;
        utf8 = *text;
    } else if (type == "inlineStr") {
        utf8 = inlineText;
    } else if (type == "str" || type == "d") {  // a formula's text, a date written as text
        utf8 = value;
    } else if (type == "b") {
        if (value != "0" && value != "1") return std::nullopt;
        cell.kind = CellKind::Number;
        cell.text = value == "1" ? u"TRUE" : u"FALSE";
        return cell;
    } else if (type == "n" || type.empty()) {
        if (value.empty()) return cell;
        const std::optional<double> number = numberOf(value);
        if (!number) return std::nullopt;
        cell.kind = CellKind::Number;
        cell.text = cellNumberText(*number);
        return cell;
    } else {
        return cell;  // an error value (#N/A) is no name
    }
    std::optional<std::u16string> text = textio::decodeUtf8(utf8);
    if (!text) return std::nullopt;
    cell.text = oneLine(*text);
    if (!cell.text.empty()) cell.kind = CellKind::Text;
    return cell;
}

// Calls onCell(row, cell) for each cell of the sheet, row counting the sheet's <row>
// elements from 0.
template <typename OnCell>
std::optional<Refusal> forEachCell(std::string_view sheetXml, const SharedStrings& shared, OnCell onCell) {
    XmlReader xml(sheetXml);
    std::size_t rows = 0;
    std::size_t nextColumn = 0;  // of a cell without a reference: the one after the last
    for (Event event = xml.next(); event != Event::End; event = xml.next()) {
        if (event == Event::Malformed) return Refusal::Damaged;
        if (event != Event::StartElement) continue;
        if (xml.name() == "row") {
            if (++rows > kMaxRows) return Refusal::TooLarge;
            nextColumn = 0;
            continue;
        }
        if (xml.name() != "c") continue;
        if (rows == 0) return Refusal::Damaged;
        const std::optional<std::string> reference = xml.attribute("r");
        const std::optional<std::size_t> column = reference ? columnOf(*reference) : nextColumn;
        if (!column || *column >= kMaxColumns) return Refusal::Damaged;
        nextColumn = *column + 1;
        const std::string type = xml.attribute("t").value_or("");
        std::string value, inlineText;
        std::size_t depth = 1;
        bool inValue = false;
        while (depth > 0) {
            switch (xml.next()) {
            case Event::StartElement:
                if (depth == 1 && xml.name() == "is") {
                    if (!readStringItem(xml, inlineText)) return Refusal::Damaged;
                    break;
                }
                ++depth;
                inValue = depth == 2 && xml.name() == "v";
                break;
            case Event::EndElement:
                --depth;
                inValue = false;
                break;
            case Event::Text:
                if (inValue) value += xml.text();
                break;
            default: return Refusal::Damaged;
            }
        }
        std::optional<Cell> cell = cellOf(type, value, inlineText, shared);
        if (!cell) return Refusal::Damaged;
        cell->column = *column;
        onCell(rows - 1, *cell);
    }
    return std::nullopt;
}

bool isNameHeader(std::u16string_view text) {
    static constexpr std::array<std::u16string_view, 5> kHeaders{u"姓名", u"名字", u"学生姓名", u"name", u"名单"};
    std::u16string folded(text);
    for (char16_t& c : folded) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return std::find(kHeaders.begin(), kHeaders.end(), folded) != kHeaders.end();
}

// Which column holds the names, and which row is their header (if any).
struct Choice {
    std::size_t column;
    std::optional<std::size_t> headerRow;
};

Outcome<Choice> chooseColumn(std::string_view sheetXml, const SharedStrings& shared) {
    constexpr std::size_t kNone = kMaxColumns;
    std::optional<std::size_t> firstRow;
    std::size_t header = kNone, textBelow = kNone, text = kNone, number = kNone;
    const std::optional<Refusal> refused = forEachCell(sheetXml, shared, [&](std::size_t row, const Cell& cell) {
        if (cell.kind == CellKind::Empty) return;
        if (!firstRow) firstRow = row;
        if (cell.kind == CellKind::Number) {
            number = std::min(number, cell.column);
            return;
        }
        text = std::min(text, cell.column);
        if (row != *firstRow) textBelow = std::min(textBelow, cell.column);
        if (row == *firstRow && isNameHeader(cell.text)) header = std::min(header, cell.column);
    });
    if (refused) return *refused;
    if (header != kNone) return Choice{header, firstRow};
    for (std::size_t column : {textBelow, text, number}) {
        if (column != kNone) return Choice{column, std::nullopt};
    }
    return Refusal::NoText;
}

}  // namespace

bool looksLikeWorkbook(std::string_view bytes) { return bytes.starts_with("PK\x03\x04") || isCompoundFile(bytes); }

WorkbookOutcome readWorkbookNames(std::string_view bytes) {
    if (isCompoundFile(bytes)) {
        switch (compoundContent(bytes)) {
        case CompoundContent::EncryptedPackage: return Refusal::Encrypted;
        case CompoundContent::LegacyWorkbook: return Refusal::Legacy;
        case CompoundContent::Other: return Refusal::NotAWorkbook;
        }
    }
    std::variant<ZipArchive, ZipFailure> opened = ZipArchive::open(bytes);
    if (std::holds_alternative<ZipFailure>(opened)) return Refusal::Damaged;
    const ZipArchive& zip = std::get<ZipArchive>(opened);
    if (!zip.find(kWorkbookPart)) return Refusal::NotAWorkbook;

    std::uint64_t budget = kMaxInflatedBytes;
    Outcome<std::string> workbook = readPart(zip, kWorkbookPart, budget);
    if (auto* refused = std::get_if<Refusal>(&workbook)) return *refused;
    Outcome<std::string> sheetId = firstVisibleSheet(std::get<std::string>(workbook));
    if (auto* refused = std::get_if<Refusal>(&sheetId)) return *refused;
    Outcome<std::string> relationships = readPart(zip, kWorkbookRelationships, budget);
    if (auto* refused = std::get_if<Refusal>(&relationships)) return *refused;
    Outcome<SheetParts> parts = partsOf(std::get<std::string>(relationships), std::get<std::string>(sheetId));
    if (auto* refused = std::get_if<Refusal>(&parts)) return *refused;

    SharedStrings shared;
    if (const std::string& part = std::get<SheetParts>(parts).sharedStrings; !part.empty()) {
        Outcome<std::string> xml = readPart(zip, part, budget);
        if (auto* refused = std::get_if<Refusal>(&xml)) return *refused;
        if (!shared.read(std::get<std::string>(xml))) return Refusal::Damaged;
    }
    Outcome<std::string> sheet = readPart(zip, std::get<SheetParts>(parts).sheet, budget);
    if (auto* refused = std::get_if<Refusal>(&sheet)) return *refused;
    const std::string& sheetXml = std::get<std::string>(sheet);

    Outcome<Choice> choice = chooseColumn(sheetXml, shared);
    if (auto* refused = std::get_if<Refusal>(&choice)) return *refused;
    const Choice chosen = std::get<Choice>(choice);
    std::u16string names;
    bool any = false;
    (void)forEachCell(sheetXml, shared, [&](std::size_t row, const Cell& cell) {
        if (cell.column != chosen.column || cell.kind == CellKind::Empty || row == chosen.headerRow) return;
        if (std::exchange(any, true)) names += u"\r\n";
        names += cell.text;
    });
    if (!any) return Refusal::NoText;
    return names;
}

std::u16string cellNumberText(double value) {
    if (value == 0) return u"0";  // -0 too
    std::array<char, 32> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                            std::chars_format::general, 15);
    std::u16string text;
    for (const char* c = digits.data(); error == std::errc() && c != end; ++c) {
        text += *c == 'e' ? u'E' : static_cast<char16_t>(*c);
    }
    return text;
}

}  // namespace zorbalin::sheets
