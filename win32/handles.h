// Owners of the Win32 handles the program holds (kernel handles, libraries, registry keys,
// GDI objects, menus, device contexts), so that each is released exactly once on every path.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>

namespace zorbalin::win32 {

// A kernel handle (file, event...), closed with CloseHandle. INVALID_HANDLE_VALUE and null
// both mean "none", because CreateFileW and the other functions disagree on the failure value.
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) {
            close();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() { close(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

    // Closes now and reports whether CloseHandle succeeded (it can report a late write error).
    bool close() {
        const bool open = static_cast<bool>(*this);
        const HANDLE handle = std::exchange(handle_, nullptr);
        return !open || CloseHandle(handle) != FALSE;
    }

private:
    HANDLE handle_ = nullptr;
};

// A loaded library, released with FreeLibrary.
class OwnedModule {
public:
    explicit OwnedModule(HMODULE module) : module_(module) {}
    OwnedModule(const OwnedModule&) = delete;
    OwnedModule& operator=(const OwnedModule&) = delete;
    ~OwnedModule() {
        if (module_ != nullptr) FreeLibrary(module_);
    }

    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

struct RegistryKeyCloser {
    void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
using UniqueRegistryKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegistryKeyCloser>;

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniquePen = std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter>;

struct MenuDestroyer {
    void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

// A memory device context from CreateCompatibleDC.
struct DcDeleter {
    void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

// A device context got with GetDC, released to its window.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for one scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        // HGDI_ERROR, spelled out: the macro's cast trips -Wsign-conversion.
        if (previous_ != nullptr && previous_ != reinterpret_cast<HGDIOBJ>(~std::uintptr_t{0})) {
            SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace zorbalin::win32
