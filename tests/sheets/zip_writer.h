// Zip archives and workbooks made by the tests: each part stored or deflated with zlib, and
// each field of the archive open to being made wrong on purpose.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorbalin::sheets::testing {

struct ZipPart {
    std::string name;
    std::string bytes;
    bool deflated = true;
    // What the directory says instead of the truth, to make a damaged or hostile archive.
    std::optional<std::uint32_t> declaredSize = {};
    std::optional<std::uint16_t> method = {};
    std::uint16_t flags = 0;
    bool wrongChecksum = false;
};

std::string zipOf(const std::vector<ZipPart>& parts);

// Raw deflate, as a zip entry holds it.
std::string deflated(const std::string& bytes);

struct SheetXml {
    std::string rows;  // the content of <sheetData>
    std::string state = "visible";
};

// A workbook with these sheets, in this order, and these shared strings (each an <si>'s
// content), its parts deflated.
std::string workbookOf(const std::vector<SheetXml>& sheets, const std::vector<std::string>& sharedStrings = {});

// The parts of such a workbook, to be changed before zipOf.
std::vector<ZipPart> workbookParts(const std::vector<SheetXml>& sheets,
                                   const std::vector<std::string>& sharedStrings = {});

// An OLE compound file (512-byte sectors) whose directory holds streams of these names.
std::string compoundFileWith(const std::vector<std::u16string>& streamNames);

}  // namespace zorbalin::sheets::testing
