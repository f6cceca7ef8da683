#include "file_system.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
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
    case EBUSY: problem.cause = SystemCause::InUse; break;
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
    Status reserve(std::uint64_t size) override {
        const int error = posix_fallocate(fd_, 0, static_cast<off_t>(size));
        if (error != 0) return systemProblem(error);
        return zorbalin::done();
    }
    Status truncate(std::uint64_t size) override {
        if (ftruncate(fd_, static_cast<off_t>(size)) != 0) return lastProblem();
        return zorbalin::done();
    }
    Status flush() override {
        if (fsync(fd_) != 0) return lastProblem();
        return zorbalin::done();
    }

protected:
    int fd_;
};

using DescriptorOpenFile = DescriptorFile<files::OpenFile>;

// Extended attributes, POSIX access lists among them (system.posix_acl_access): all of
// them or a failure.
Status copyExtendedAttributes(int from, int to) {
    ssize_t length = flistxattr(from, nullptr, 0);
    if (length < 0) {
        if (errno == ENOTSUP) return done();  // a file system without them
        return lastProblem();
    }
    std::vector<char> names(static_cast<std::size_t>(length));
    length = flistxattr(from, names.data(), names.size());
    if (length < 0) return lastProblem();
    std::vector<char> value;
    for (std::size_t at = 0; at < static_cast<std::size_t>(length);) {
        const char* name = names.data() + at;
        at += std::strlen(name) + 1;
        const ssize_t size = fgetxattr(from, name, nullptr, 0);
        if (size < 0) return lastProblem();
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = fgetxattr(from, name, value.data(), value.size());
        if (got < 0) return lastProblem();
        if (fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0) != 0) {
            return lastProblem();
        }
    }
    return done();
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
    Result<std::unique_ptr<files::OpenFile>> open(std::u16string_view name, files::OpenMode mode) override {
        constexpr int kAlways = O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK;
        const int flags = mode == files::OpenMode::Read        ? O_RDONLY
                          : mode == files::OpenMode::ReadWrite ? O_RDWR
                                                               : O_RDWR | O_CREAT | O_EXCL;
        const int fd = openat(fd_, native(name).constData(), flags | kAlways, 0600);
        if (fd < 0) return lastProblem();
        return std::unique_ptr<files::OpenFile>(std::make_unique<DescriptorOpenFile>(fd));
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
    Result<std::vector<std::u16string>> names() override {
        std::vector<std::u16string> names;
        const QDir::Filters all = QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        for (const QString& name : QDir(path_).entryList(all)) names.push_back(fromQString(name));
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
    // Private: the copies hold the user's lists.
    const mode_t previous = umask(077);
    QDir().mkpath(recoveryFolder_);
    umask(previous);
    auto folder = openFolderAt(recoveryFolder_);
    if (!folder) {
        Problem problem = folder.takeProblem();
        problem.where = fromQString(recoveryFolder_ + QLatin1Char('/'));
        return problem;
    }
    return folder;
}

files::CodePages qtCodePages() { return {makeCodePageDecoder(), makeCodePageEncoder()}; }

}  // namespace zorbalin::window
