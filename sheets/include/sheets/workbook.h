// The names in an Excel workbook (Office Open XML, .xlsx): the first visible sheet's column
// of names, one a line. Recognised by content, never by the file's name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace zorbalin::sheets {

// Limits against hostile files, besides the size of the file itself.
inline constexpr std::uint64_t kMaxInflatedBytes = std::uint64_t{64} * 1024 * 1024;  // all parts read
inline constexpr std::size_t kMaxRows = 1'000'000;

// Bytes that begin as a zip archive or an OLE compound file: read them as a workbook, not
// as text.
bool looksLikeWorkbook(std::string_view bytes);

enum class WorkbookRefusal {
    NotAWorkbook,  // a zip without xl/workbook.xml, an OLE file of something else
    Encrypted,     // protected by a password
    Legacy,        // an Excel 97-2003 workbook (.xls)
    Damaged,       // a zip or XML that does not read whole, a part missing
    NoText,        // no sheet is visible, or the sheet holds no text
    TooLarge,      // more than kMaxInflatedBytes to inflate, or more than kMaxRows rows
};

// CR LF between names (the text a loaded file gives); or why there are none.
using WorkbookOutcome = std::variant<std::u16string, WorkbookRefusal>;

// The names of the first sheet that is not hidden. The column is the one whose first row
// (the first that holds anything) is a name header: 姓名, 名字, 学生姓名, Name or 名单,
// trimmed, in any case; that row is no name. Without one, the first column with text below
// its first row, else the first with any text, else the first with numbers. Cells left empty
// are skipped. A cell gives the text Excel shows for it as a plain number or string (see
// cellNumberText), its edges trimmed and its line breaks as blanks, so that one cell is one
// line.
WorkbookOutcome readWorkbookNames(std::string_view bytes);

// A number as Excel shows it in a cell of the General format: at most 15 significant
// digits, no trailing zeros, an exponent ("1.5E+20", "1E-07") only where printf's %g has
// one. "2023001" for 2023001 or 2023001.0.
std::u16string cellNumberText(double value);

}  // namespace zorbalin::sheets
