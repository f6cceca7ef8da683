// Legacy code pages through MultiByteToWideChar / WideCharToMultiByte, strictly.
#pragma once

#include "textio/text_encoding.h"

namespace zorbalin::win32 {

// The code page that reads and writes textio::kGb18030CodePage: GB18030 (54936) where the
// system has it, else 936, the nearest one.
unsigned chineseCodePage();

textio::CodePageDecoder makeCodePageDecoder();
textio::CodePageEncoder makeCodePageEncoder();

}  // namespace zorbalin::win32
