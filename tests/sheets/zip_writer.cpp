#include "zip_writer.h"

#include <zlib.h>

#include <stdexcept>

namespace zorbalin::sheets::testing {
namespace {

void put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}
void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

}  // namespace

std::string deflated(const std::string& bytes) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
}

std::string zipOf(const std::vector<ZipPart>& parts) {
    std::string zip, directory;
    for (const ZipPart& part : parts) {
        const std::string data = part.deflated ? deflated(part.bytes) : part.bytes;
        std::uint32_t crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(part.bytes.data()), static_cast<uInt>(part.bytes.size())));
        if (part.wrongChecksum) crc ^= 1;
        const std::uint16_t method = part.method.value_or(part.deflated ? 8 : 0);
        const std::uint32_t size = part.declaredSize.value_or(static_cast<std::uint32_t>(part.bytes.size()));
        const auto common = [&](std::string& out) {
            put16(out, 20);  // version needed
            put16(out, part.flags);
            put16(out, method);
            put32(out, 0);  // time and date
            put32(out, crc);
            put32(out, static_cast<std::uint32_t>(data.size()));
            put32(out, size);
            put16(out, static_cast<std::uint32_t>(part.name.size()));
            put16(out, 0);  // extra field
        };
        const std::uint32_t offset = static_cast<std::uint32_t>(zip.size());
        put32(zip, 0x04034b50);
        common(zip);
        zip += part.name;
        zip += data;

        put32(directory, 0x02014b50);
        put16(directory, 20);  // made by
        common(directory);
        put16(directory, 0);  // comment
        put16(directory, 0);  // disk
        put16(directory, 0);  // internal attributes
        put32(directory, 0);  // external attributes
        put32(directory, offset);
        directory += part.name;
    }
    const std::uint32_t directoryStart = static_cast<std::uint32_t>(zip.size());
    zip += directory;
    put32(zip, 0x06054b50);
    put16(zip, 0);
    put16(zip, 0);
    put16(zip, static_cast<std::uint32_t>(parts.size()));
    put16(zip, static_cast<std::uint32_t>(parts.size()));
    put32(zip, static_cast<std::uint32_t>(directory.size()));
    put32(zip, directoryStart);
    put16(zip, 0);
    return zip;
}

std::vector<ZipPart> workbookParts(const std::vector<SheetXml>& sheets,
                                   const std::vector<std::string>& sharedStrings) {
    const std::string ns = R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
                           R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
    const std::string type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    std::string workbook = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                           "\n<workbook " + ns + "><sheets>";
    std::string relationships = R"(<?xml version="1.0" encoding="UTF-8"?>)"
                                R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    std::vector<ZipPart> parts;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        workbook += R"(<sheet name="Sheet)" + n + R"(" sheetId=")" + n + R"(" state=")" + sheets[i].state +
                    R"(" r:id="rId)" + n + R"("/>)";
        relationships += R"(<Relationship Id="rId)" + n + R"(" Type=")" + type + R"(worksheet" Target="worksheets/sheet)" +
                         n + R"(.xml"/>)";
        parts.push_back({"xl/worksheets/sheet" + n + ".xml",
                         "<worksheet " + ns + "><sheetData>" + sheets[i].rows + "</sheetData></worksheet>"});
    }
    if (!sharedStrings.empty()) {
        relationships += R"(<Relationship Id="rIdS" Type=")" + type + R"(sharedStrings" Target="/xl/sharedStrings.xml"/>)";
        std::string sst = "<sst " + ns + ">";
        for (const std::string& item : sharedStrings) sst += "<si>" + item + "</si>";
        parts.push_back({"xl/sharedStrings.xml", sst + "</sst>"});
    }
    parts.insert(parts.begin(), {{"xl/workbook.xml", workbook + "</sheets></workbook>"},
                                 {"xl/_rels/workbook.xml.rels", relationships + "</Relationships>"}});
    return parts;
}

std::string workbookOf(const std::vector<SheetXml>& sheets, const std::vector<std::string>& sharedStrings) {
    return zipOf(workbookParts(sheets, sharedStrings));
}

std::string compoundFileWith(const std::vector<std::u16string>& streamNames) {
    // Sector 0 holds the allocation table, sectors 1 and on the directory (four entries each).
    const std::size_t directorySectors = (streamNames.size() + 1 + 3) / 4;
    std::string file("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    file.resize(0x1E, '\0');
    put16(file, 9);   // 512-byte sectors
    put16(file, 6);   // 64-byte mini sectors
    file.resize(0x2C, '\0');
    put32(file, 1);   // one sector of the allocation table
    put32(file, 1);   // the directory begins in sector 1
    file.resize(0x44, '\0');
    put32(file, 0xFFFFFFFE);  // no more table sectors
    put32(file, 0);
    put32(file, 0);  // the table is sector 0
    while (file.size() < 512) put32(file, 0xFFFFFFFF);

    std::string fat;
    put32(fat, 0xFFFFFFFD);  // sector 0: the table itself
    for (std::size_t i = 1; i <= directorySectors; ++i) {
        put32(fat, i == directorySectors ? 0xFFFFFFFE : static_cast<std::uint32_t>(i + 1));
    }
    while (fat.size() < 512) put32(fat, 0xFFFFFFFF);
    file += fat;

    std::string directory;
    const auto entry = [&directory](std::u16string_view name, char type) {
        std::string e(128, '\0');
        for (std::size_t i = 0; i < name.size(); ++i) {
            e[2 * i] = static_cast<char>(name[i] & 0xFF);
            e[2 * i + 1] = static_cast<char>(name[i] >> 8);
        }
        const std::size_t length = (name.size() + 1) * 2;
        e[64] = static_cast<char>(length);
        e[66] = type;
        directory += e;
    };
    entry(u"Root Entry", 5);
    for (const std::u16string& name : streamNames) entry(name, 2);
    directory.resize(directorySectors * 512, '\0');
    return file + directory;
}

}  // namespace zorbalin::sheets::testing
