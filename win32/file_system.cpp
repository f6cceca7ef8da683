#include "file_system.h"

#include <windows.h>

#include <algorithm>

#include "code_pages.h"
#include "long_path.h"
#include "handles.h"
#include "system_error_text.h"
#include "wide_text.h"

namespace zorbalin::win32 {
namespace {

using files::FileFacts;
using files::FileKind;

// ERROR_DISK_QUOTA_EXCEEDED, which MinGW's headers lack.
constexpr DWORD kErrorDiskQuotaExceeded = 1295;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// ReadFile and WriteFile take a 32-bit count.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

// What the system said, and why in the words the messages use.
Problem systemProblem(DWORD error) {
    Problem problem;
    problem.detail = systemErrorText(error);
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: problem.cause = SystemCause::NoSpace; break;
    case kErrorDiskQuotaExceeded: problem.cause = SystemCause::QuotaExceeded; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: problem.cause = SystemCause::AccessDenied; break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: problem.cause = SystemCause::InUse; break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE: problem.cause = SystemCause::NotFound; break;
    default: break;
    }
    return problem;
}

Problem lastProblem() { return systemProblem(GetLastError()); }

std::int64_t ticks(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

Result<FileFacts> factsOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(file, &info) == FALSE) return lastProblem();
    FileFacts facts;
    facts.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Folder
                 : GetFileType(file) != FILE_TYPE_DISK                    ? FileKind::Other
                                                                          : FileKind::RegularFile;
    facts.stamp.volume = info.dwVolumeSerialNumber;
    facts.stamp.file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    facts.stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    facts.stamp.modified = ticks(info.ftLastWriteTime);
    FILE_BASIC_INFO basic{};
    if (GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) != FALSE) {
        facts.stamp.changed = basic.ChangeTime.QuadPart;
    }
    facts.linkCount = std::max<DWORD>(info.nNumberOfLinks, 1);
    facts.markedWritable = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
    return facts;
}

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

// Owns a file handle and does the OpenFile operations on it.
template <typename Base>
class HandleFile : public Base {
public:
    explicit HandleFile(OwnedHandle handle) : handle_(std::move(handle)) {}

    HANDLE handle() const { return handle_.get(); }

    Result<FileFacts> facts() override { return factsOf(handle_.get()); }
    Result<std::size_t> readAt(std::uint64_t offset, std::span<char> buffer) override {
        OVERLAPPED position = at(offset);
        DWORD got = 0;
        const auto want = static_cast<DWORD>(std::min(buffer.size(), kMaxTransfer));
        if (ReadFile(handle_.get(), buffer.data(), want, &got, &position) == FALSE) {
            if (GetLastError() == ERROR_HANDLE_EOF) return std::size_t{0};
            return lastProblem();
        }
        return std::size_t{got};
    }
    Status writeAt(std::uint64_t offset, std::string_view bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const auto count = static_cast<DWORD>(std::min(kMaxTransfer, bytes.size() - done));
            OVERLAPPED position = at(offset + done);
            DWORD written = 0;
            if (WriteFile(handle_.get(), bytes.data() + done, count, &written, &position) == FALSE) {
                return lastProblem();
            }
            if (written == 0) return systemProblem(ERROR_WRITE_FAULT);
            done += written;
        }
        return zorbalin::done();
    }
    // Extending the file with SetEndOfFile allocates its clusters, so the later writes cannot
    // run out of room; the bytes already there stay.
    Status reserve(std::uint64_t size) override {
        LARGE_INTEGER current{};
        if (GetFileSizeEx(handle_.get(), &current) == FALSE) return lastProblem();
        if (size <= static_cast<std::uint64_t>(current.QuadPart)) return zorbalin::done();
        return truncate(size);
    }
    Status truncate(std::uint64_t size) override {
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(size);
        if (SetFilePointerEx(handle_.get(), end, nullptr, FILE_BEGIN) == FALSE ||
            SetEndOfFile(handle_.get()) == FALSE) {
            return lastProblem();
        }
        return zorbalin::done();
    }
    Status flush() override {
        if (FlushFileBuffers(handle_.get()) == FALSE) return lastProblem();
        return zorbalin::done();
    }
    // NTFS overwrites in place; a write clears nothing of a file's own.
    files::DiskSpace space() override { return {}; }
    files::SpecialPermissions specialPermissions() override { return {}; }
    files::SpecialPermissions putBack(const files::SpecialPermissions&) override { return {}; }

protected:
    OwnedHandle handle_;
};

using HandleOpenFile = HandleFile<files::OpenFile>;

std::wstring inFolder(const std::wstring& folder, std::u16string_view name) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path += toWide(name);
}

// ReplaceFileW carries these over on Windows but not under Wine: given to the new file
// first, they are kept either way. The access list comes with ReplaceFileW.
constexpr DWORD kCarriedAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class Win32Folder final : public files::Folder {
public:
    Win32Folder(std::wstring path, OwnedHandle handle) : path_(std::move(path)), handle_(std::move(handle)) {}

    std::u16string pathOf(std::u16string_view name) override { return fromWide(inFolder(path_, name)); }
    // Opened without following a link at the name: a link that appeared has an ID of its own.
    Result<FileFacts> factsOf(std::u16string_view name) override {
        OwnedHandle file(CreateFileW(inFolder(path_, name).c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                     nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file) return lastProblem();
        return win32::factsOf(file.get());
    }
    // Asked by trying: the access list counts as well as the read-only attribute. A file held
    // open elsewhere is writable in principle.
    bool userMayWrite(std::u16string_view name) override {
        OwnedHandle probe(CreateFileW(inFolder(path_, name).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        return probe || GetLastError() != ERROR_ACCESS_DENIED;
    }
    // ReplaceFileW keeps the access list, the rest is given by keepMetadata.
    bool newFileCouldKeepAllOf(files::OpenFile&) override { return true; }
    // Written files may be read by others meanwhile but not written: the share mode denies
    // other writers while the handle is open, as a lock would.
    Result<std::unique_ptr<files::OpenFile>> open(std::u16string_view name, files::OpenMode mode) override {
        const bool reading = mode == files::OpenMode::Read;
        OwnedHandle handle(CreateFileW(
            inFolder(path_, name).c_str(), reading ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
            reading ? kShareAll : FILE_SHARE_READ, nullptr,
            mode == files::OpenMode::CreateNew || mode == files::OpenMode::CreateNewOrdinary ? CREATE_NEW
                                                                                            : OPEN_EXISTING,
            FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!handle) return lastProblem();
        return std::unique_ptr<files::OpenFile>(std::make_unique<HandleOpenFile>(std::move(handle)));
    }
    Status keepMetadata(files::OpenFile& from, files::OpenFile& to) override {
        BY_HANDLE_FILE_INFORMATION info{};
        if (GetFileInformationByHandle(dynamic_cast<HandleOpenFile&>(from).handle(), &info) == FALSE) {
            return lastProblem();
        }
        FILE_BASIC_INFO basic{};  // times of 0 stay as they are
        basic.FileAttributes = info.dwFileAttributes & kCarriedAttributes;
        if (basic.FileAttributes != 0 &&
            SetFileInformationByHandle(dynamic_cast<HandleOpenFile&>(to).handle(), FileBasicInfo,
                                       &basic, sizeof basic) == FALSE) {
            return lastProblem();
        }
        return done();
    }
    Status replace(std::u16string_view from, std::u16string_view to) override {
        const std::wstring target = inFolder(path_, to);
        // A file that another program holds open without letting it be deleted cannot be
        // replaced. Told before trying: a failed ReplaceFileW may leave a file of its own in
        // the folder (Wine's does).
        {
            OwnedHandle probe(CreateFileW(target.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
            if (!probe && GetLastError() == ERROR_SHARING_VIOLATION) return lastProblem();
            // Nothing to replace (a file saved under a new name), which ReplaceFileW refuses:
            // renamed into place instead, never over a file that appeared there meanwhile.
            if (!probe && GetLastError() == ERROR_FILE_NOT_FOUND) {
                if (MoveFileExW(inFolder(path_, from).c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) == FALSE) {
                    return lastProblem();
                }
                return done();
            }
        }
        // The new file was flushed before: after the rename nothing of it is left to flush.
        if (ReplaceFileW(target.c_str(), inFolder(path_, from).c_str(), nullptr, 0, nullptr, nullptr) ==
            FALSE) {
            return lastProblem();
        }
        return done();
    }
    Status remove(std::u16string_view name) override {
        if (DeleteFileW(inFolder(path_, name).c_str()) == FALSE) return lastProblem();
        return done();
    }
    Result<std::vector<std::u16string>> names() override {
        std::vector<std::u16string> names;
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW(inFolder(path_, u"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return lastProblem();
        do {
            const std::wstring_view name = found.cFileName;
            if (name != L"." && name != L"..") names.push_back(fromWide(name));
        } while (FindNextFileW(search, &found) != FALSE);
        FindClose(search);
        return names;
    }
    // Each file is flushed itself; the folder's entries are the file system's journal's.
    Status flush() override { return done(); }

private:
    std::wstring path_;
    OwnedHandle handle_;  // held without FILE_SHARE_DELETE: the folder cannot be moved meanwhile
};

Result<std::unique_ptr<files::Folder>> openFolderAt(std::wstring folder) {
    if (folder.size() == 2 || (folder.size() == 6 && folder.starts_with(LR"(\\?\)"))) folder += L'\\';
    OwnedHandle handle(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return lastProblem();
    return std::unique_ptr<files::Folder>(std::make_unique<Win32Folder>(std::move(folder), std::move(handle)));
}

std::wstring defaultRecoveryFolder() {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(buffer, length) + L"\\Zorbalin";
}

// The path the handle really has (links resolved by the system), or "" where it cannot say.
std::wstring finalPath(HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.assign(length, L'\0');
    }
}

}  // namespace

Win32FileSystem::Win32FileSystem(std::wstring recoveryFolder)
    : recoveryFolder_(recoveryFolder.empty() ? defaultRecoveryFolder() : std::move(recoveryFolder)) {}

Result<files::OpenedFile> Win32FileSystem::openForReading(std::u16string_view path) {
    const std::wstring apiPath = fileApiPath(toWide(path));
    if (apiPath.empty()) return systemProblem(ERROR_FILE_NOT_FOUND);
    // Shared for everything: reading must never stop another program from working on it. A
    // folder opens too, to be told apart.
    OwnedHandle file(CreateFileW(apiPath.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return lastProblem();
    std::wstring real = finalPath(file.get());
    if (real.empty()) real = apiPath;
    const std::size_t slash = real.find_last_of(L'\\');
    return files::OpenedFile{std::make_unique<HandleOpenFile>(std::move(file)),
                             fromWide(real.substr(0, slash == std::wstring::npos ? 0 : slash)),
                             fromWide(real.substr(slash == std::wstring::npos ? 0 : slash + 1))};
}

Result<std::unique_ptr<files::Folder>> Win32FileSystem::openFolder(std::u16string_view path) {
    return openFolderAt(toWide(path));
}

Result<std::unique_ptr<files::Folder>> Win32FileSystem::openRecoveryFolder() {
    const std::u16string where = recoveryFolder_.empty() ? u"%LOCALAPPDATA%\\Zorbalin\\"
                                                         : fromWide(recoveryFolder_) + u"\\";
    Result<std::unique_ptr<files::Folder>> folder = systemProblem(ERROR_PATH_NOT_FOUND);
    if (!recoveryFolder_.empty() && (CreateDirectoryW(recoveryFolder_.c_str(), nullptr) != FALSE ||
                                     GetLastError() == ERROR_ALREADY_EXISTS)) {
        folder = openFolderAt(recoveryFolder_);
    }
    if (folder) return folder;
    Problem problem = folder.takeProblem();
    problem.where = where;
    return problem;
}

files::CodePages win32CodePages() { return {makeCodePageDecoder(), makeCodePageEncoder()}; }

}  // namespace zorbalin::win32
