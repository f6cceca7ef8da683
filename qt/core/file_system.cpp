#include "file_system.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "code_pages.h"
#include "qstring_u16.h"

namespace zorbalin::window {
namespace {

using files::FileFacts;
using files::FileKind;

// What the system said, and why in the words the messages use.
Problem systemProblem(int error) {
    Problem problem;
    problem.detail = fromQString(qt_error_string(error));
    switch (error) {
    case ENOSPC: problem.cause = SystemCause::NoSpace; break;
    case EDQUOT: problem.cause = SystemCause::QuotaExceeded; break;
    case EACCES:
    case EPERM:
    case EROFS: problem.cause = SystemCause::AccessDenied; break;
    case ETXTBSY:
    case EBUSY:
    case EAGAIN: problem.cause = SystemCause::InUse; break;
    case ENOENT:
    case ENOTDIR: problem.cause = SystemCause::NotFound; break;
    default: break;
    }
    return problem;
}

Problem lastProblem() { return systemProblem(errno); }

QByteArray native(std::u16string_view path) { return QFile::encodeName(toQString(path)); }

std::int64_t nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

FileFacts factsOf(const struct stat& status) {
    FileFacts facts;
    facts.kind = S_ISREG(status.st_mode)   ? FileKind::RegularFile
                 : S_ISDIR(status.st_mode) ? FileKind::Folder
                                           : FileKind::Other;
    facts.stamp = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
                   static_cast<std::uint64_t>(status.st_size), nanoseconds(status.st_mtim),
                   nanoseconds(status.st_ctim)};
    facts.linkCount = static_cast<std::uint64_t>(status.st_nlink);
    facts.markedWritable = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return facts;
}

constexpr const char* kCapabilityAttribute = "security.capability";

std::string capabilityOf(int fd) {
    std::string value(64, '\0');
    const ssize_t size = fgetxattr(fd, kCapabilityAttribute, value.data(), value.size());
    value.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    return value;
}

// File systems whose every write takes new room (btrfs, unless the file is marked No_COW;
// bcachefs, ZFS).
constexpr long kBtrfs = 0x9123683E, kBcachefs = 0xCA451A4E, kZfs = 0x2FC12FC1;

bool writesCopy(int fd, const struct statfs& disk) {
    if (disk.f_type == kBtrfs) {
        int flags = 0;
        return ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0 || (flags & FS_NOCOW_FL) == 0;
    }
    return disk.f_type == kBcachefs || disk.f_type == kZfs;
}

// Owns a descriptor and does the OpenFile operations on it.
template <typename Base>
class DescriptorFile : public Base {
public:
    explicit DescriptorFile(int fd) : fd_(fd) {}
    ~DescriptorFile() override { ::close(fd_); }
    DescriptorFile(const DescriptorFile&) = delete;
    DescriptorFile& operator=(const DescriptorFile&) = delete;

    int fd() const { return fd_; }

    Result<FileFacts> facts() override {
        struct stat status {};
        if (fstat(fd_, &status) != 0) return lastProblem();
        return factsOf(status);
    }
    Result<std::size_t> readAt(std::uint64_t offset, std::span<char> buffer) override {
        for (;;) {
            const ssize_t got = pread(fd_, buffer.data(), buffer.size(), static_cast<off_t>(offset));
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) return lastProblem();
        }
    }
    Status writeAt(std::uint64_t offset, std::string_view bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t written = pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                           static_cast<off_t>(offset + done));
            if (written < 0 && errno == EINTR) continue;
            if (written < 0) return lastProblem();
            done += static_cast<std::size_t>(written);
        }
        return zorbalin::done();
    }
    // Blocks beyond the end, the size and bytes unchanged; where the file system cannot
    // reserve, the writes simply may run out of room.
    Status reserve(std::uint64_t size) override {
        if (fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) return zorbalin::done();
        if (errno == EOPNOTSUPP || errno == ENOSYS) return zorbalin::done();
        return lastProblem();
    }
    Status truncate(std::uint64_t size) override {
        if (ftruncate(fd_, static_cast<off_t>(size)) != 0) return lastProblem();
        return zorbalin::done();
    }
    Status flush() override {
        if (fsync(fd_) != 0) return lastProblem();
        return zorbalin::done();
    }
    files::DiskSpace space() override {
        struct statfs disk {};
        if (fstatfs(fd_, &disk) != 0) return {};
        files::DiskSpace space;
        space.available = static_cast<std::uint64_t>(disk.f_bavail) * static_cast<std::uint64_t>(disk.f_bsize);
        space.copyOnWrite = writesCopy(fd_, disk);
        return space;
    }
    files::SpecialPermissions specialPermissions() override {
        files::SpecialPermissions special;
        struct stat status {};
        if (fstat(fd_, &status) == 0) {
            special.setUserId = (status.st_mode & S_ISUID) != 0;
            special.setGroupId = (status.st_mode & S_ISGID) != 0;
        }
        special.capability = capabilityOf(fd_);
        return special;
    }
    files::SpecialPermissions putBack(const files::SpecialPermissions& before) override {
        files::SpecialPermissions lost = before;
        struct stat status {};
        if (fstat(fd_, &status) != 0) return lost;
        const mode_t cleared = (before.setUserId && (status.st_mode & S_ISUID) == 0 ? S_ISUID : 0) |
                               (before.setGroupId && (status.st_mode & S_ISGID) == 0 ? S_ISGID : 0);
        // The system takes back what this user may not give, without a word: read back.
        if (cleared != 0) (void)fchmod(fd_, (status.st_mode & 07777) | cleared);
        if (fstat(fd_, &status) != 0) return lost;
        lost.setUserId = before.setUserId && (status.st_mode & S_ISUID) == 0;
        lost.setGroupId = before.setGroupId && (status.st_mode & S_ISGID) == 0;
        // Only the administrator (CAP_SETFCAP) may give a file its capabilities.
        if (!before.capability.empty() && capabilityOf(fd_) != before.capability) {
            (void)fsetxattr(fd_, kCapabilityAttribute, before.capability.data(), before.capability.size(), 0);
        }
        if (before.capability.empty() || capabilityOf(fd_) == before.capability) lost.capability.clear();
        return lost;
    }

protected:
    int fd_;
};

using DescriptorOpenFile = DescriptorFile<files::OpenFile>;

// The names of a file's extended attributes (POSIX access lists among them); none on a
// file system without them.
Result<std::vector<std::string>> attributeNames(int fd) {
    for (;;) {
        ssize_t length = flistxattr(fd, nullptr, 0);
        if (length < 0) {
            if (errno == ENOTSUP) return std::vector<std::string>();
            return lastProblem();
        }
        std::vector<char> list(static_cast<std::size_t>(length));
        length = flistxattr(fd, list.data(), list.size());
        if (length < 0 && errno == ERANGE) continue;  // one was added meanwhile
        if (length < 0) return lastProblem();
        std::vector<std::string> names;
        for (std::size_t at = 0; at < static_cast<std::size_t>(length); at += names.back().size() + 1) {
            names.emplace_back(list.data() + at);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
}

// Exactly the extended attributes of `from`: those `to` got from its folder (a default
// access list) and `from` lacks are removed. All of it or a failure.
Status copyExtendedAttributes(int from, int to) {
    Result<std::vector<std::string>> names = attributeNames(from);
    if (!names) return names.takeProblem();
    std::vector<char> value;
    for (const std::string& name : *names) {
        ssize_t got = -1;
        do {
            const ssize_t size = fgetxattr(from, name.c_str(), nullptr, 0);
            if (size < 0) return lastProblem();
            value.resize(static_cast<std::size_t>(size));
            got = fgetxattr(from, name.c_str(), value.data(), value.size());
        } while (got < 0 && errno == ERANGE);
        if (got < 0) return lastProblem();
        if (fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0) {
            return lastProblem();
        }
    }
    Result<std::vector<std::string>> given = attributeNames(to);
    if (!given) return given.takeProblem();
    for (const std::string& name : *given) {
        if (!std::binary_search(names->begin(), names->end(), name) && fremovexattr(to, name.c_str()) != 0) {
            return lastProblem();
        }
    }
    given = attributeNames(to);
    if (!given) return given.takeProblem();
    if (*given != *names) return systemProblem(EPERM);
    return done();
}

// The file flags that chattr sets on a file and a new file can take: not immutable or
// append-only, which a replacement could not rename over anyway.
constexpr int kCopiedFlags = FS_SECRM_FL | FS_UNRM_FL | FS_COMPR_FL | FS_SYNC_FL | FS_NODUMP_FL |
                             FS_NOATIME_FL | FS_NOCOMP_FL | FS_JOURNAL_DATA_FL | FS_NOTAIL_FL |
                             FS_NOCOW_FL | FS_DAX_FL | FS_PROJINHERIT_FL;

bool withoutFlags(int error) {
    return error == ENOTTY || error == EOPNOTSUPP || error == EINVAL || error == ENOSYS;
}

// Exactly the copied flags of `from`, read back; nothing on a file system without them.
Status copyFlags(int from, int to) {
    int old = 0;
    if (ioctl(from, FS_IOC_GETFLAGS, &old) != 0) return withoutFlags(errno) ? done() : Status(lastProblem());
    int flags = 0;
    if (ioctl(to, FS_IOC_GETFLAGS, &flags) != 0) return lastProblem();
    const int wanted = (flags & ~kCopiedFlags) | (old & kCopiedFlags);
    if (wanted != flags && ioctl(to, FS_IOC_SETFLAGS, &wanted) != 0) return lastProblem();
    if (ioctl(to, FS_IOC_GETFLAGS, &flags) != 0) return lastProblem();
    if ((flags & kCopiedFlags) != (old & kCopiedFlags)) return systemProblem(EPERM);
    return done();
}

bool hasCapability(int capability) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    return (data[capability / 32].effective & (1u << (capability % 32))) != 0;
}

// File systems that keep trusted.* attributes, which only the administrator sees.
bool keepsTrustedAttributes(long type) {
    constexpr long kTypes[] = {0xEF53 /* ext2, ext3, ext4 */, 0x58465342 /* xfs */, kBtrfs,
                               0x01021994 /* tmpfs */, 0xF2F52010 /* f2fs */, kBcachefs, kZfs,
                               0x3153464A /* jfs */, 0x52654973 /* reiserfs */};
    return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

class PosixFolder final : public files::Folder {
public:
    PosixFolder(int fd, QString path) : fd_(fd), path_(std::move(path)) {}
    ~PosixFolder() override { ::close(fd_); }
    PosixFolder(const PosixFolder&) = delete;
    PosixFolder& operator=(const PosixFolder&) = delete;

    std::u16string pathOf(std::u16string_view name) override {
        return fromQString(QDir(path_).filePath(toQString(name)));
    }
    Result<FileFacts> factsOf(std::u16string_view name) override {
        struct stat status {};
        if (fstatat(fd_, native(name).constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            return lastProblem();
        }
        return window::factsOf(status);
    }
    bool userMayWrite(std::u16string_view name) override {
        return faccessat(fd_, native(name).constData(), W_OK, AT_EACCESS) == 0;
    }
    bool newFileCouldKeepAllOf(files::OpenFile& file) override {
        if (seesEveryAttribute()) return true;
        struct statfs disk {};
        return fstatfs(dynamic_cast<DescriptorOpenFile&>(file).fd(), &disk) == 0 &&
               !keepsTrustedAttributes(disk.f_type);
    }
    Result<std::unique_ptr<files::OpenFile>> open(std::u16string_view name, files::OpenMode mode) override {
        using enum files::OpenMode;
        constexpr int kAlways = O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK;
        const int flags = mode == Read ? O_RDONLY : mode == ReadWrite ? O_RDWR : O_RDWR | O_CREAT | O_EXCL;
        const mode_t permissions = mode == CreateNewOrdinary ? 0666 : 0600;  // less the umask
        const int fd = openat(fd_, native(name).constData(), flags | kAlways, permissions);
        if (fd < 0) return lastProblem();
        auto file = std::make_unique<DescriptorOpenFile>(fd);
        // Another program that locks too waits until this one is done; one that holds a lock
        // is writing it. A file system without locks goes unlocked.
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (mode != Read && fcntl(fd, F_OFD_SETLK, &lock) != 0 && (errno == EAGAIN || errno == EACCES)) {
            return systemProblem(EAGAIN);
        }
        return std::unique_ptr<files::OpenFile>(std::move(file));
    }
    Status keepMetadata(files::OpenFile& from, files::OpenFile& to) override {
        const int source = dynamic_cast<DescriptorOpenFile&>(from).fd();
        const int target = dynamic_cast<DescriptorOpenFile&>(to).fd();
        struct stat old {};
        if (fstat(source, &old) != 0) return lastProblem();
        // The owner first: a change of owner clears set-user-ID and set-group-ID, which the
        // mode then puts back. An owner that cannot be given is a failure, not a new owner.
        if (fchown(target, old.st_uid, old.st_gid) != 0) return lastProblem();
        if (Status copied = copyExtendedAttributes(source, target); !copied) return copied;
        if (fchmod(target, old.st_mode & 07777) != 0) return lastProblem();
        if (Status copied = copyFlags(source, target); !copied) return copied;
        struct stat now {};
        if (fstat(target, &now) != 0) return lastProblem();
        if (now.st_uid != old.st_uid || now.st_gid != old.st_gid ||
            (now.st_mode & 07777) != (old.st_mode & 07777)) {
            return systemProblem(EPERM);
        }
        return done();
    }
    Status replace(std::u16string_view from, std::u16string_view to) override {
        if (renameat(fd_, native(from).constData(), fd_, native(to).constData()) != 0) {
            return lastProblem();
        }
        // The rename has happened; a failing flush of the folder cannot undo it.
        (void)flush();
        return done();
    }
    Status remove(std::u16string_view name) override {
        if (unlinkat(fd_, native(name).constData(), 0) != 0) return lastProblem();
        return done();
    }
    // What is in the folder that was opened, whatever its path leads to now: all but folders.
    Result<std::vector<std::u16string>> names() override {
        const int copy = fcntl(fd_, F_DUPFD_CLOEXEC, 0);
        if (copy < 0) return lastProblem();
        DIR* listing = fdopendir(copy);
        if (listing == nullptr) {
            const Problem problem = lastProblem();
            ::close(copy);
            return problem;
        }
        rewinddir(listing);  // the copy shares the position of earlier listings
        std::vector<std::u16string> names;
        errno = 0;
        while (const dirent* entry = readdir(listing)) {
            struct stat status {};
            const bool folder = entry->d_type == DT_DIR ||
                                (entry->d_type == DT_UNKNOWN &&
                                 fstatat(fd_, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                                 S_ISDIR(status.st_mode));
            if (!folder) names.push_back(fromQString(QFile::decodeName(entry->d_name)));
        }
        const int error = errno;
        closedir(listing);
        if (error != 0) return systemProblem(error);
        return names;
    }
    Status flush() override {
        if (fsync(fd_) != 0) return lastProblem();
        return done();
    }

private:
    int fd_;
    QString path_;
};

Result<std::unique_ptr<files::Folder>> openFolderAt(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return lastProblem();
    return std::unique_ptr<files::Folder>(std::make_unique<PosixFolder>(fd, path));
}

// Where the open file really is: the kernel's own answer, so that a link with ".." in it
// names what was opened, not what the path as typed would suggest.
QString realPathOf(int fd, const QByteArray& path) {
    char buffer[PATH_MAX + 1];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t length = readlink(link.constData(), buffer, PATH_MAX);
    if (length > 0 && buffer[0] == '/') return QFile::decodeName(QByteArray(buffer, length));
    char* resolved = realpath(path.constData(), nullptr);  // without /proc
    QString real = resolved != nullptr ? QFile::decodeName(resolved) : QFile::decodeName(path);
    std::free(resolved);
    return real;
}

// The folder, each missing one on the way made private (the copies hold the user's lists) as
// it is made, through the descriptor of the one before: no umask to change, nothing looked up
// by its whole path again.
Result<int> openMakingFolders(const QByteArray& path) {
    int at = ::open(path.startsWith('/') ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (at < 0) return lastProblem();
    for (const QByteArray& part : path.split('/')) {
        if (part.isEmpty() || part == ".") continue;
        if (mkdirat(at, part.constData(), 0700) != 0 && errno != EEXIST) {
            const Problem problem = lastProblem();
            ::close(at);
            return problem;
        }
        const int next = openat(at, part.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int error = errno;
        ::close(at);
        if (next < 0) return systemProblem(error);
        at = next;
    }
    return at;
}

QString defaultRecoveryFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!state.startsWith(QLatin1Char('/'))) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/zorbalin");
}

}  // namespace

PosixFileSystem::PosixFileSystem(QString recoveryFolder)
    : recoveryFolder_(recoveryFolder.isEmpty() ? defaultRecoveryFolder() : std::move(recoveryFolder)) {}

Result<files::OpenedFile> PosixFileSystem::openForReading(std::u16string_view path) {
    const QByteArray name = native(path);
    // Without waiting for a writer at a pipe, and never taking a terminal as ours.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return lastProblem();
    const QString real = realPathOf(fd, name);
    const qsizetype slash = real.lastIndexOf(QLatin1Char('/'));
    return files::OpenedFile{std::make_unique<DescriptorOpenFile>(fd),
                             fromQString(slash <= 0 ? QStringLiteral("/") : real.left(slash)),
                             fromQString(real.mid(slash + 1))};
}

Result<std::unique_ptr<files::Folder>> PosixFileSystem::openFolder(std::u16string_view path) {
    return openFolderAt(toQString(path));
}

Result<std::unique_ptr<files::Folder>> PosixFileSystem::openRecoveryFolder() {
    Result<int> fd = openMakingFolders(QFile::encodeName(recoveryFolder_));
    if (!fd) {
        Problem problem = fd.takeProblem();
        problem.where = fromQString(recoveryFolder_ + QLatin1Char('/'));
        return problem;
    }
    return std::unique_ptr<files::Folder>(std::make_unique<PosixFolder>(*fd, recoveryFolder_));
}

bool seesEveryAttribute() { return hasCapability(CAP_SYS_ADMIN); }

files::CodePages qtCodePages() { return {makeCodePageDecoder(), makeCodePageEncoder()}; }

}  // namespace zorbalin::window
