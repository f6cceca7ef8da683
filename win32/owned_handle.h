// Owners of the Win32 handles the services open: each closes its handle exactly once.
#pragma once

#include <windows.h>

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

}  // namespace zorbalin::win32
