#include "long_path.h"

#include <windows.h>

namespace zorbalin::win32 {
namespace {

bool hasDevicePrefix(const std::wstring& path) {
    return path.rfind(LR"(\\?\)", 0) == 0 || path.rfind(LR"(\\.\)", 0) == 0;
}

std::wstring fullPath(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full;
    while (size != 0) {
        full.assign(size, L'\0');
        const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
        if (length == 0) return {};
        if (length < size) {
            full.resize(length);
            return full;
        }
        size = length;  // the folder changed between the calls: try again with the new size
    }
    return {};
}

}  // namespace

std::wstring fileApiPath(const std::wstring& path) {
    if (path.empty()) return {};
    if (hasDevicePrefix(path)) return path;
    std::wstring full = fullPath(path);
    // Below this length every name the services derive from the path (a temporary file
    // beside it) still fits into MAX_PATH.
    constexpr std::size_t kPlainLimit = MAX_PATH - 32;
    if (full.size() < kPlainLimit) return full;
    if (full.rfind(LR"(\\)", 0) == 0) return LR"(\\?\UNC\)" + full.substr(2);
    return LR"(\\?\)" + full;
}

}  // namespace zorbalin::win32
