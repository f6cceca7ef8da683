// The OLE compound file, the container of Office's binary formats: what matters here is
// whether it holds an encrypted Office Open XML package (an Excel workbook with a password
// is kept so) or a legacy Excel workbook (.xls).
#pragma once

#include <string_view>

namespace zorbalin::sheets {

bool isCompoundFile(std::string_view bytes);  // its signature

enum class CompoundContent {
    EncryptedPackage,  // a stream "EncryptedPackage"
    LegacyWorkbook,    // a stream "Workbook" (Excel 97 and later) or "Book" (Excel 5, 95)
    Other,             // anything else, a directory that cannot be read included
};

// Told from the names of the streams in the file's directory.
CompoundContent compoundContent(std::string_view bytes);

}  // namespace zorbalin::sheets
