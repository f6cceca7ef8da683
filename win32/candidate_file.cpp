#include "candidate_file.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <utility>

#include "code_pages.h"
#include "handle_in_place_file.h"
#include "layout/messages.h"
#include "long_path.h"
#include "owned_handle.h"
#include "system_error_text.h"
#include "textio/candidate_decoding.h"
#include "textio/write_back.h"
#include "wide_text.h"

namespace zorbalin::win32 {
namespace {

using layout::FileProblem;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::u16string message(FileProblem problem, const std::wstring& path,
                       std::u16string_view detail = {}) {
    return layout::candidateFileMessage(problem, fromWide(path), detail);
}

std::u16string lastErrorMessage(FileProblem problem, const std::wstring& path) {
    const DWORD error = GetLastError();
    return message(problem, path, systemErrorText(error));
}

bool meansMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH ||
           error == ERROR_BAD_NET_NAME || error == ERROR_INVALID_DRIVE;
}

// The whole file, or nullopt (GetLastError set) when a read failed. Reading stops once the
// file holds more than the limit: it grew since it was measured and is refused as too large.
std::optional<std::string> readAll(HANDLE file, std::size_t measuredSize) {
    std::string bytes(measuredSize, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (bytes.size() > textio::kMaxCandidateFileBytes) break;
            bytes.resize(bytes.size() + 64 * 1024);
        }
        const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD got = 0;
        if (ReadFile(file, bytes.data() + done, want, &got, nullptr) == FALSE) return std::nullopt;
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

// ---- writing -------------------------------------------------------------------------

// The file a save must change, and the facts that decide how.
struct Target {
    std::wstring apiPath;  // the file behind any symbolic links, in a form the file API takes
    textio::WriteTarget facts;
    DWORD attributes = 0;  // of the existing file
};

std::wstring finalPath(HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file, path.data(),
                                                       static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.assign(length, L'\0');
    }
}

// Judged by trying to open the file for writing, so that the file's access list counts as
// well as its read-only attribute. A file held open elsewhere is writable in principle.
bool userMayWrite(const std::wstring& apiPath, DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    OwnedHandle probe(CreateFileW(apiPath.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe || GetLastError() != ERROR_ACCESS_DENIED;
}

// Follows symbolic links (CreateFileW does) to the file that holds the text, so that a save
// changes that file and leaves the links as they are.
std::variant<Target, std::u16string> inspect(const std::wstring& path) {
    Target target{fileApiPath(path), {}};
    if (target.apiPath.empty()) return lastErrorMessage(FileProblem::WriteFailed, path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(target.apiPath.c_str(), GetFileExInfoStandard, &data) == FALSE) {
        if (!meansMissing(GetLastError())) return lastErrorMessage(FileProblem::WriteFailed, path);
        target.facts.exists = false;
        return target;
    }
    target.facts.exists = true;
    OwnedHandle file(CreateFileW(target.apiPath.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        if (GetLastError() == ERROR_CANT_RESOLVE_FILENAME) return message(FileProblem::LinkLoop, path);
        return lastErrorMessage(FileProblem::WriteFailed, path);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(file.get(), &info) == FALSE) {
        return lastErrorMessage(FileProblem::WriteFailed, path);
    }
    target.attributes = info.dwFileAttributes;
    if (std::wstring behindLinks = finalPath(file.get()); !behindLinks.empty()) {
        target.apiPath = std::move(behindLinks);
    }
    target.facts.isRegularFile = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                                 GetFileType(file.get()) == FILE_TYPE_DISK;
    target.facts.linkCount = std::max<DWORD>(info.nNumberOfLinks, 1);
    target.facts.userMayWrite =
        target.facts.isRegularFile && userMayWrite(target.apiPath, info.dwFileAttributes);
    // ReplaceFileW gives the new file the old one's access list and attributes.
    target.facts.replacementKeepsOwner = true;
    return target;
}

// A file that another program holds open without letting it be deleted cannot be replaced.
// Told before trying: a failed ReplaceFileW may leave a file of its own in the folder (Wine's
// does).
bool heldOpenElsewhere(const std::wstring& apiPath) {
    OwnedHandle probe(CreateFileW(apiPath.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
}

std::wstring folderOf(const std::wstring& apiPath) {
    const std::size_t slash = apiPath.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : apiPath.substr(0, slash);
}

// A new, empty file beside the target, removed again unless it was moved into place.
class TemporaryFile {
public:
    static std::optional<TemporaryFile> createBeside(const std::wstring& targetApiPath) {
        static std::atomic<unsigned> counter{0};
        const std::wstring folder = folderOf(targetApiPath);
        for (int attempt = 0; attempt < 16; ++attempt) {
            wchar_t name[48];
            swprintf(name, 48, L"\\~zorbalin-%lx-%x.tmp", GetCurrentProcessId(),
                     static_cast<unsigned>(GetTickCount64()) + counter.fetch_add(1));
            TemporaryFile temporary(folder + name);
            temporary.handle_ = OwnedHandle(CreateFileW(temporary.path_.c_str(), GENERIC_WRITE, 0,
                                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                                        nullptr));
            if (temporary.handle_) return temporary;
            const DWORD error = GetLastError();
            temporary.path_.clear();  // not ours: nothing to remove
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
                SetLastError(error);
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    TemporaryFile(TemporaryFile&& other) noexcept
        : path_(std::exchange(other.path_, {})), handle_(std::move(other.handle_)) {}
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    ~TemporaryFile() {
        handle_.close();
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }

    HANDLE handle() const { return handle_.get(); }
    const std::wstring& path() const { return path_; }
    bool close() { return handle_.close(); }
    void keep() { path_.clear(); }

private:
    explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}

    std::wstring path_;
    OwnedHandle handle_;
};

// Fills the temporary file, flushes it to the disk and only then puts it in the target's
// place: the target holds either its old bytes or the new ones, never a part.
std::u16string replaceAtomically(TemporaryFile& temporary, const Target& target,
                                 std::string_view bytes, const std::wstring& path) {
    HandleInPlaceFile file(temporary.handle());
    if (!file.writeAt(0, bytes) || !file.flush()) {
        return message(FileProblem::WriteFailed, path, file.errorText());
    }
    if (!temporary.close()) return lastErrorMessage(FileProblem::WriteFailed, path);
    // ReplaceFileW carries the attributes over on Windows but not under Wine; set on the new
    // file first, they are kept either way.
    constexpr DWORD kCarried = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (target.facts.exists && (target.attributes & kCarried) != 0 &&
        SetFileAttributesW(temporary.path().c_str(), target.attributes & kCarried) == FALSE) {
        return lastErrorMessage(FileProblem::WriteFailed, path);
    }
    // ReplaceFileW keeps the target's attributes, access list and creation time; it cannot
    // replace what is not there, so a new file is moved into place instead.
    const BOOL replaced =
        target.facts.exists
            ? ReplaceFileW(target.apiPath.c_str(), temporary.path().c_str(), nullptr, 0,
                           nullptr, nullptr)
            : MoveFileExW(temporary.path().c_str(), target.apiPath.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (replaced == FALSE) return lastErrorMessage(FileProblem::WriteFailed, path);
    temporary.keep();
    return {};
}

std::u16string writeInPlace(const Target& target, std::string_view bytes,
                            const std::wstring& path) {
    // Opened without truncating; others may read meanwhile but not write.
    OwnedHandle handle(CreateFileW(target.apiPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    if (!handle) return lastErrorMessage(FileProblem::WriteFailed, path);
    HandleInPlaceFile file(handle.get());
    const textio::InPlaceOutcome outcome = textio::writeInPlace(file, bytes);
    if (const auto* failed = std::get_if<textio::InPlaceFailed>(&outcome)) {
        return message(failed->originalRestored ? FileProblem::WriteFailed
                                                : FileProblem::WriteFailedNotRestored,
                       path, failed->detail);
    }
    if (!handle.close()) return lastErrorMessage(FileProblem::WriteFailed, path);
    return {};
}

}  // namespace

CandidateFileRead readCandidateFile(const std::wstring& path) {
    const std::wstring apiPath = fileApiPath(path);
    if (apiPath.empty()) return message(FileProblem::Missing, path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(apiPath.c_str(), GetFileExInfoStandard, &data) == FALSE) {
        if (meansMissing(GetLastError())) return message(FileProblem::Missing, path);
        // Anything else (no right to list the folder...) is reported by the open below.
    } else if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return message(FileProblem::NotAFile, path);
    }

    // Shared for everything: reading must never stop another program from working on it.
    OwnedHandle file(CreateFileW(apiPath.c_str(), GENERIC_READ, kShareAll, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (meansMissing(error)) return message(FileProblem::Missing, path);
        if (error == ERROR_ACCESS_DENIED) return message(FileProblem::NoReadPermission, path);
        return message(FileProblem::ReadFailed, path, systemErrorText(error));
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return message(FileProblem::NotAFile, path);
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) == FALSE) {
        return lastErrorMessage(FileProblem::ReadFailed, path);
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > textio::kMaxCandidateFileBytes) {
        return message(FileProblem::TooLarge, path);
    }
    const std::optional<std::string> bytes =
        readAll(file.get(), static_cast<std::size_t>(size.QuadPart));
    if (!bytes) return lastErrorMessage(FileProblem::ReadFailed, path);

    textio::DecodeOutcome outcome = textio::decodeCandidateBytes(*bytes, makeCodePageDecoder());
    if (const auto* refusal = std::get_if<textio::DecodeRefusal>(&outcome)) {
        return message(*refusal == textio::DecodeRefusal::TooLarge ? FileProblem::TooLarge
                                                                  : FileProblem::NotText,
                       path);
    }
    auto& decoded = std::get<textio::DecodedText>(outcome);
    return CandidateFile{std::move(decoded.text), decoded.format};
}

std::u16string writeCandidateFile(const std::wstring& path, std::u16string_view text,
                                  const textio::FileFormat& format) {
    auto inspected = inspect(path);
    if (auto* problem = std::get_if<std::u16string>(&inspected)) return std::move(*problem);
    Target& target = std::get<Target>(inspected);

    textio::WriteMethod method = textio::chooseWriteMethod(target.facts);
    if (method == textio::WriteMethod::RefuseReadOnly) return message(FileProblem::ReadOnly, path);
    if (method == textio::WriteMethod::RefuseNotAFile) {
        return message(FileProblem::TargetNotAFile, path);
    }
    // Encoded before either method touches the file.
    const std::optional<std::string> bytes =
        textio::encodeCandidateText(text, format, makeCodePageEncoder());
    if (!bytes) return message(FileProblem::NotEncodable, path);

    if (method == textio::WriteMethod::AtomicReplace) {
        if (target.facts.exists && heldOpenElsewhere(target.apiPath)) {
            return lastErrorMessage(FileProblem::WriteFailed, path);
        }
        std::optional<TemporaryFile> temporary = TemporaryFile::createBeside(target.apiPath);
        if (temporary) return replaceAtomically(*temporary, target, *bytes, path);
        if (!target.facts.exists) return lastErrorMessage(FileProblem::WriteFailed, path);
        // No temporary file can be made in the folder, but the file itself may be writable.
        target.facts.folderWritable = false;
        method = textio::chooseWriteMethod(target.facts);
        if (method != textio::WriteMethod::InPlace) {
            return lastErrorMessage(FileProblem::WriteFailed, path);
        }
    }
    return writeInPlace(target, *bytes, path);
}

}  // namespace zorbalin::win32
