// Paths of any length for the file API: beyond MAX_PATH a path works only in its \\?\ form.
#pragma once

#include <string>

namespace zorbalin::win32 {

// The full path (GetFullPathNameW resolves ".", ".." and forward slashes, which a prefixed
// path would take literally), given the \\?\ or \\?\UNC\ prefix when it is too long for
// the plain form. Paths that already carry a \\?\ or \\.\ prefix are kept as they are.
// "" when the path cannot be resolved.
std::wstring fileApiPath(const std::wstring& path);

}  // namespace zorbalin::win32
