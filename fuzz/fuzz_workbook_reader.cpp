// Any bytes, read as a workbook, and any text, read as the XML of a sheet in a sound
// workbook, end in names or a refusal, without a crash, a hang or undefined behaviour; the
// names are candidate text with one name a line, trimmed, none empty.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "line_break_check.h"
#include "sheets/workbook.h"
#include "sheets/xml_reader.h"
#include "zip_writer.h"

namespace {

using namespace zorbalin;

void checkNames(const sheets::WorkbookOutcome& outcome) {
    const auto* names = std::get_if<std::u16string>(&outcome);
    if (names == nullptr) return;
    fuzz::checkCandidateText(*names);
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(names->find(u"\r\n", start), names->size());
        const std::u16string_view name = std::u16string_view(*names).substr(start, end - start);
        if (name.empty() || name.front() == u' ' || name.back() == u' ') std::abort();
        if (end == names->size()) break;
        start = end + 2;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkNames(sheets::readWorkbookNames(bytes));

    // The same bytes as XML: the reader advances on every event; and, inside the sheet data
    // and a shared string of a sound workbook (stored), they reach the choice of the column.
    sheets::XmlReader xml(bytes);
    for (std::size_t events = 0;; ++events) {
        const sheets::XmlReader::Event event = xml.next();
        if (event == sheets::XmlReader::Event::End || event == sheets::XmlReader::Event::Malformed) break;
        if (events > size) std::abort();
    }
    const std::string text(bytes);
    std::vector<sheets::testing::ZipPart> parts = sheets::testing::workbookParts({{text}}, {"<t>Ann</t>", text});
    for (sheets::testing::ZipPart& part : parts) part.deflated = false;
    checkNames(sheets::readWorkbookNames(sheets::testing::zipOf(parts)));
    return 0;
}
