#include "file_system_fixture.h"

#include <QProcess>
#include <QStandardPaths>

#include <grp.h>
#include <sys/mount.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zorbalin::window::testing {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

struct stat statusOf(const QString& path) {
    struct stat status {};
    EXPECT_EQ(lstat(QFile::encodeName(path).constData(), &status), 0) << path.toStdString();
    return status;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

void own(const QString& at, uid_t owner, gid_t group, mode_t mode) {
    ASSERT_EQ(chown(QFile::encodeName(at).constData(), owner, group), 0);
    ASSERT_EQ(chmod(QFile::encodeName(at).constData(), mode), 0);
}

std::string attribute(const QString& at, const char* name) {
    std::string value(4096, '\0');
    const ssize_t size = getxattr(QFile::encodeName(at).constData(), name, value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return size < 0 ? "<none>" : value;
}

void setAttribute(const QString& at, const char* name, const std::string& value) {
    ASSERT_EQ(setxattr(QFile::encodeName(at).constData(), name, value.data(), value.size(), 0), 0)
        << name << ": " << std::strerror(errno);
}

std::string accessListDenying(uid_t denied) {
    const auto entry = [](std::uint16_t tag, std::uint16_t permissions, std::uint32_t id) {
        std::string bytes(8, '\0');
        std::memcpy(bytes.data(), &tag, 2);
        std::memcpy(bytes.data() + 2, &permissions, 2);
        std::memcpy(bytes.data() + 4, &id, 4);
        return bytes;
    };
    const std::uint32_t version = 2;
    std::string list(reinterpret_cast<const char*>(&version), 4);
    return list + entry(0x01, 6, ~0u) + entry(0x02, 0, denied) + entry(0x04, 4, ~0u) +
           entry(0x10, 4, ~0u) + entry(0x20, 4, ~0u);
}

Method methodOf(const struct stat& before, const struct stat& after) {
    if (before.st_ino != after.st_ino) return Method::Replaced;
    const bool sameTime = before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
                          before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
    return sameTime ? Method::NotWritten : Method::InPlace;
}

void FileSystemTest::hardLink(const QString& from, const char* name) {
    ASSERT_EQ(link(QFile::encodeName(from).constData(), QFile::encodeName(path(name)).constData()), 0);
}

Result<files::LoadedFile> FileSystemTest::read(const QString& at) {
    return files::readCandidateFile(fileSystem, fromQString(at), qtCodePages(), progress);
}

files::LoadedFile FileSystemTest::readOrFail(const QString& at) {
    Result<files::LoadedFile> loaded = read(at);
    if (!loaded) {
        ADD_FAILURE() << at.toStdString() << ": " << static_cast<int>(loaded.problem().code);
        return {};
    }
    return std::move(*loaded);
}

Status FileSystemTest::write(files::LoadedFile& loaded, std::u16string_view text) {
    return files::writeCandidateFile(fileSystem, loaded, text, qtCodePages(), progress);
}

Status FileSystemTest::readAndWrite(const QString& at, std::u16string_view text) {
    files::LoadedFile loaded = readOrFail(at);
    return write(loaded, text);
}

Method FileSystemTest::plainWrite(const QString& at) {
    Result<files::OpenedFile> opened = fileSystem.openForReading(fromQString(at));
    Result<std::unique_ptr<files::Folder>> folder = fileSystem.openFolder(opened->folder);
    return (*folder)->newFileCouldKeepAllOf(*opened->file) ? Method::Replaced : Method::InPlace;
}

ActingAsNobody::ActingAsNobody() {
    groups_.resize(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
    groups_.resize(static_cast<std::size_t>(
        std::max(getgroups(static_cast<int>(groups_.size()), groups_.data()), 0)));
    acting_ = setgroups(0, nullptr) == 0 && setegid(kNoGroup) == 0 && seteuid(kNobody) == 0;
}

ActingAsNobody::~ActingAsNobody() {
    if (seteuid(0) != 0 || setegid(0) != 0 || setgroups(groups_.size(), groups_.data()) != 0) {
        std::abort();  // every later test would run with the wrong rights
    }
}

void WriteAsOrdinaryUser::SetUp() {
    if (geteuid() != 0) GTEST_SKIP() << "needs the administrator to set up other users' files";
    own(state.path(), kNobody, kNoGroup, 0700);
}

Method WriteAsOrdinaryUser::writeAsNobody(const QString& at, std::u16string_view text, Status& status) {
    const struct stat before = statusOf(at);
    {
        const ActingAsNobody nobody;
        EXPECT_TRUE(nobody.acting());
        status = readAndWrite(at, text);
    }
    return methodOf(before, statusOf(at));
}

namespace {

class ObservedFile final : public files::OpenFile {
public:
    ObservedFile(std::unique_ptr<files::OpenFile> real, std::u16string name, const StepHook& hook)
        : real_(std::move(real)), name_(std::move(name)), hook_(hook) {}
    files::OpenFile& real() { return *real_; }

    Result<files::FileFacts> facts() override { return real_->facts(); }
    Result<std::size_t> readAt(std::uint64_t at, std::span<char> buffer) override {
        hook_("read", name_);
        return real_->readAt(at, buffer);
    }
    Status writeAt(std::uint64_t at, std::string_view bytes) override {
        hook_("write", name_);
        return real_->writeAt(at, bytes);
    }
    Status reserve(std::uint64_t size) override {
        hook_("reserve", name_);
        return real_->reserve(size);
    }
    Status truncate(std::uint64_t size) override {
        hook_("truncate", name_);
        return real_->truncate(size);
    }
    Status flush() override {
        hook_("flush", name_);
        return real_->flush();
    }
    files::DiskSpace space() override { return real_->space(); }
    files::SpecialPermissions specialPermissions() override { return real_->specialPermissions(); }
    files::SpecialPermissions putBack(const files::SpecialPermissions& before) override {
        return real_->putBack(before);
    }

private:
    std::unique_ptr<files::OpenFile> real_;
    std::u16string name_;
    const StepHook& hook_;
};

files::OpenFile& unwrapped(files::OpenFile& file) {
    auto* observed = dynamic_cast<ObservedFile*>(&file);
    return observed != nullptr ? observed->real() : file;
}

class ObservedFolder final : public files::Folder {
public:
    ObservedFolder(std::unique_ptr<files::Folder> real, const StepHook& hook) : real_(std::move(real)), hook_(hook) {}
    std::u16string pathOf(std::u16string_view name) override { return real_->pathOf(name); }
    Result<files::FileFacts> factsOf(std::u16string_view name) override { return real_->factsOf(name); }
    bool userMayWrite(std::u16string_view name) override { return real_->userMayWrite(name); }
    bool newFileCouldKeepAllOf(files::OpenFile& file) override {
        return real_->newFileCouldKeepAllOf(unwrapped(file));
    }
    Result<std::unique_ptr<files::OpenFile>> open(std::u16string_view name, files::OpenMode mode) override {
        hook_("open", name);
        Result<std::unique_ptr<files::OpenFile>> opened = real_->open(name, mode);
        if (!opened) return opened;
        return std::unique_ptr<files::OpenFile>(
            std::make_unique<ObservedFile>(std::move(*opened), std::u16string(name), hook_));
    }
    Status keepMetadata(files::OpenFile& from, files::OpenFile& to) override {
        return real_->keepMetadata(unwrapped(from), unwrapped(to));
    }
    Status replace(std::u16string_view from, std::u16string_view to) override {
        hook_("replace", to);
        return real_->replace(from, to);
    }
    Status remove(std::u16string_view name) override {
        hook_("remove", name);
        return real_->remove(name);
    }
    Result<std::vector<std::u16string>> names() override { return real_->names(); }
    Status flush() override {
        hook_("flushFolder", u"");
        return real_->flush();
    }

private:
    std::unique_ptr<files::Folder> real_;
    const StepHook& hook_;
};

}  // namespace

Result<files::OpenedFile> ObservedFileSystem::openForReading(std::u16string_view path) {
    return real_.openForReading(path);
}

Result<std::unique_ptr<files::Folder>> ObservedFileSystem::openFolder(std::u16string_view path) {
    Result<std::unique_ptr<files::Folder>> folder = real_.openFolder(path);
    if (!folder) return folder;
    return std::unique_ptr<files::Folder>(std::make_unique<ObservedFolder>(std::move(*folder), hook_));
}

Result<std::unique_ptr<files::Folder>> ObservedFileSystem::openRecoveryFolder() {
    Result<std::unique_ptr<files::Folder>> folder = real_.openRecoveryFolder();
    if (!folder) return folder;
    return std::unique_ptr<files::Folder>(std::make_unique<ObservedFolder>(std::move(*folder), hook_));
}

std::unique_ptr<ScratchDisk> ScratchDisk::mount(const QString& type, std::uint64_t bytes, std::string& whyNot) {
    if (geteuid() != 0) {
        whyNot = "only the administrator may mount a file system";
        return nullptr;
    }
    auto disk = std::unique_ptr<ScratchDisk>(new ScratchDisk);
    const QByteArray target = QFile::encodeName(disk->root());
    if (type == QLatin1String("tmpfs")) {
        const QByteArray options = "size=" + QByteArray::number(static_cast<qulonglong>(bytes));
        if (::mount("tmpfs", target.constData(), "tmpfs", 0, options.constData()) != 0) {
            whyNot = std::string("tmpfs cannot be mounted here: ") + std::strerror(errno);
            return nullptr;
        }
        return disk;
    }
    const QString make = QStandardPaths::findExecutable(QStringLiteral("mkfs.") + type);
    if (make.isEmpty()) {
        whyNot = "mkfs." + type.toStdString() + " is not installed";
        return nullptr;
    }
    const QString image = disk->image_.filePath(QStringLiteral("disk.img"));
    if (!QFile(image).open(QIODevice::WriteOnly) || !QFile(image).resize(static_cast<qint64>(bytes)) ||
        QProcess::execute(make, {QStringLiteral("-q"), image}) != 0) {
        whyNot = "mkfs." + type.toStdString() + " failed";
        return nullptr;
    }
    QProcess mounting;
    mounting.start(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), image, disk->root()});
    if (!mounting.waitForFinished(60000) || mounting.exitCode() != 0) {
        whyNot = "a loop device cannot be mounted here: " + mounting.readAllStandardError().trimmed().toStdString();
        return nullptr;
    }
    return disk;
}

ScratchDisk::~ScratchDisk() {
    const QByteArray target = QFile::encodeName(root());
    if (umount2(target.constData(), 0) != 0) (void)umount2(target.constData(), MNT_DETACH);
}

std::uint64_t ScratchDisk::available() const {
    struct statfs disk {};
    if (statfs(QFile::encodeName(root()).constData(), &disk) != 0) return 0;
    return static_cast<std::uint64_t>(disk.f_bavail) * static_cast<std::uint64_t>(disk.f_bsize);
}

}  // namespace zorbalin::window::testing
