// The shared file procedure over the real POSIX file operations: what needs the platform
// (permissions, owners, links and relinking, access lists and attributes, /proc files, a
// process killed between steps). The decisions themselves are tested in tests/files.
#include "file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "qstring_u16.h"
#include "textio/candidate_decoding.h"

namespace zorbalin::window {
namespace {

using textio::FileFormat;
using textio::TextEncoding;
using enum textio::LineEnding;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QString dataFile(const char* name) {
    return QStringLiteral(ZORBALIN_TEST_DATA_DIR "/") + QString::fromUtf8(name);
}

struct stat statusOf(const QString& path) {
    struct stat status {};
    EXPECT_EQ(lstat(QFile::encodeName(path).constData(), &status), 0) << path.toStdString();
    return status;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// A temporary folder for the files and one for the recovery copies, and the procedure over
// the real file operations.
struct FileSystemTest : ::testing::Test {
    QTemporaryDir dir;
    QTemporaryDir state;
    PosixFileSystem fileSystem{state.path() + QStringLiteral("/zorbalin")};
    NoProgress progress;

    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QString file(const char* name, const QByteArray& bytes) {
        const QString at = path(name);
        writeBytes(at, bytes);
        return at;
    }
    Result<files::LoadedFile> read(const QString& at) {
        return files::readCandidateFile(fileSystem, fromQString(at), qtCodePages(), progress);
    }
    files::LoadedFile readOrFail(const QString& at) {
        Result<files::LoadedFile> loaded = read(at);
        if (!loaded) {
            ADD_FAILURE() << at.toStdString() << ": " << static_cast<int>(loaded.problem().code);
            return {};
        }
        return std::move(*loaded);
    }
    Status write(files::LoadedFile& loaded, std::u16string_view text) {
        return files::writeCandidateFile(fileSystem, loaded, text, qtCodePages(), progress);
    }
    // Reads the file and writes text back into it.
    Status readAndWrite(const QString& at, std::u16string_view text) {
        files::LoadedFile loaded = readOrFail(at);
        return write(loaded, text);
    }
    QStringList recoveryCopies() const { return entries(fileSystem.recoveryFolder()); }
};

const std::u16string kCandidates = u"张三\r\n李四\r\nAlice Smith\r\n王五\r\n";
const FileFormat kUtf8CrLf{TextEncoding::Utf8, CrLf};

struct DataFileCase {
    const char* file;
    std::u16string text;
    FileFormat format;
};

void PrintTo(const DataFileCase& c, std::ostream* os) { *os << c.file; }

class DataFiles : public FileSystemTest, public ::testing::WithParamInterface<DataFileCase> {};

// Each sample file reads as its text and format, takes a change in that format, and comes
// back byte for byte when its own text is written again.
TEST_P(DataFiles, ReadAndWriteBackInTheirOwnFormat) {
    const QByteArray original = contents(dataFile(GetParam().file));
    const QString copy = file("copy", original);
    files::LoadedFile loaded = readOrFail(copy);
    EXPECT_EQ(loaded.text, GetParam().text);
    EXPECT_EQ(loaded.format, GetParam().format);
    if (loaded.format != kUtf8CrLf || !QByteArray(GetParam().file).endsWith(".rtf")) {
        ASSERT_TRUE(write(loaded, GetParam().text + u"\r\n赵六"));
        files::LoadedFile changed = readOrFail(copy);
        EXPECT_EQ(changed.text, GetParam().text + u"\r\n赵六");
        EXPECT_EQ(changed.format, GetParam().format);
        ASSERT_TRUE(write(changed, GetParam().text));
        EXPECT_EQ(contents(copy), original);
    }
}

INSTANTIATE_TEST_SUITE_P(
    TestData, DataFiles,
    ::testing::Values(
        DataFileCase{"candidates-utf8.txt", kCandidates, kUtf8CrLf},
        DataFileCase{"candidates-utf8-bom.txt", kCandidates, {TextEncoding::Utf8WithBom, CrLf}},
        DataFileCase{"candidates-utf16le.txt", kCandidates, {TextEncoding::Utf16LE, CrLf}},
        DataFileCase{"candidates-utf16be.txt", kCandidates, {TextEncoding::Utf16BE, CrLf}},
        DataFileCase{"candidates-gbk.txt", kCandidates, {TextEncoding::Gb18030, CrLf}},
        DataFileCase{"candidates-gb18030-emoji.txt", u"笑脸😀\r\n哭脸", {TextEncoding::Gb18030, CrLf}},
        DataFileCase{"candidates-lf.txt", kCandidates, {TextEncoding::Utf8, Lf}},
        DataFileCase{"candidates-cr.txt", kCandidates, {TextEncoding::Utf8, Cr}},
        DataFileCase{"empty.txt", u"", kUtf8CrLf},
        DataFileCase{"candidates-wordpad.rtf", u"张三\r\n李四\r\nAlice Smith\r\n王五\r\nZoë 😀", kUtf8CrLf},
        DataFileCase{"candidates-abiword.rtf",
                     u"张三\r\n李四\r\nAlice Smith\r\n王五\r\nZoë😀 \r\n\r\n\r\n", kUtf8CrLf}),
    [](const auto& test) {
        return QString::fromUtf8(test.param.file).replace(QRegularExpression("[^A-Za-z0-9]"), "_").toStdString();
    });

TEST_F(FileSystemTest, RefusesWhatIsNoCandidateList) {
    const QString large = path("large.txt");
    {
        QFile sparse(large);
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
        ASSERT_TRUE(sparse.resize(textio::kMaxCandidateFileBytes + 1));  // costs no disk space
    }
    const QString pipe = path("pipe");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString loop = path("loop");
    ASSERT_TRUE(QFile::link(loop, loop));
    const struct {
        QString path;
        ProblemCode code;
    } cases[] = {
        {dataFile("red-square.png"), ProblemCode::NotText},
        {path("名单.txt"), ProblemCode::Missing},
        {path("no-folder/名单.txt"), ProblemCode::Missing},
        {dir.path(), ProblemCode::NotAFile},
        {pipe, ProblemCode::NotAFile},  // and no wait for a writer
        {QStringLiteral("/dev/zero"), ProblemCode::NotAFile},
        {loop, ProblemCode::ReadFailed},
        {large, ProblemCode::TooLarge},
        {QStringLiteral("/proc/self/pagemap"), ProblemCode::TooLarge},  // says it is empty
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const Result<files::LoadedFile> loaded = read(c.path);
        ASSERT_FALSE(loaded);
        EXPECT_EQ(loaded.problem().code, c.code);
    }
}

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

// The administrator acts as the unprivileged user "nobody" (no supplementary groups) until
// this is destroyed, so that permission checks apply as they do to an ordinary user.
class ActingAsNobody {
public:
    ActingAsNobody() {
        groups_.resize(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
        groups_.resize(static_cast<std::size_t>(
            std::max(getgroups(static_cast<int>(groups_.size()), groups_.data()), 0)));
        acting_ = setgroups(0, nullptr) == 0 && setegid(kNoGroup) == 0 && seteuid(kNobody) == 0;
    }
    ~ActingAsNobody() {
        if (seteuid(0) != 0 || setegid(0) != 0 || setgroups(groups_.size(), groups_.data()) != 0) {
            std::abort();  // every later test would run with the wrong rights
        }
    }
    ActingAsNobody(const ActingAsNobody&) = delete;
    ActingAsNobody& operator=(const ActingAsNobody&) = delete;
    bool acting() const { return acting_; }

private:
    std::vector<gid_t> groups_;
    bool acting_ = false;
};

void own(const QString& at, uid_t owner, gid_t group, mode_t mode) {
    ASSERT_EQ(chown(QFile::encodeName(at).constData(), owner, group), 0);
    ASSERT_EQ(chmod(QFile::encodeName(at).constData(), mode), 0);
}

TEST_F(FileSystemTest, ReportsMissingReadPermission) {
    own(dir.path(), geteuid(), getegid(), 0777);
    const QString secret = file("secret.txt", "a");
    ASSERT_TRUE(QFile::setPermissions(secret, QFileDevice::WriteOwner));
    std::optional<ActingAsNobody> nobody;  // the administrator may read any file
    if (geteuid() == 0) nobody.emplace();
    const Result<files::LoadedFile> loaded = read(secret);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.problem().code, ProblemCode::NoReadPermission);
}

// How a successful write went, seen from the file system.
enum class Method { Replaced, InPlace, NotWritten };

Method methodOf(const struct stat& before, const struct stat& after) {
    if (before.st_ino != after.st_ino) return Method::Replaced;
    const bool sameTime = before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
                          before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
    return sameTime ? Method::NotWritten : Method::InPlace;
}

TEST_F(FileSystemTest, AnAlreadyTidyFileIsLeftAsItIs) {
    const QString list = file("list.txt", "a\r\nb");
    const struct stat before = statusOf(list);
    ASSERT_TRUE(readAndWrite(list, u"a\r\nb"));
    EXPECT_EQ(methodOf(before, statusOf(list)), Method::NotWritten);
}

TEST_F(FileSystemTest, LeavesReadOnlyFileUntouched) {
    const QString list = file("list.txt", "old\r\n");
    ASSERT_TRUE(QFile::setPermissions(list, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const Status status = readAndWrite(list, u"new");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.problem().code, ProblemCode::ReadOnly);
    EXPECT_EQ(contents(list), "old\r\n");
}

// Lowers the largest file this process may write, so that writing fails part-way like on a
// full disk; SIGXFSZ is ignored so that the write reports EFBIG instead.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(FileSystemTest, AFailedWriteKeepsTheFileAndItsHardLinksByteForByte) {
    const QByteArray original = "张三\r\n李四\r\n";
    const QString list = file("list.txt", original);
    const QString other = path("other-name.txt");
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "in place" : "replaced");
        if (linked) {
            ASSERT_EQ(link(QFile::encodeName(list).constData(), QFile::encodeName(other).constData()), 0);
        }
        files::LoadedFile loaded = readOrFail(list);
        Status status = done();
        {
            const FileSizeLimit limit(4096);
            status = write(loaded, std::u16string(100000, u'x'));
        }
        ASSERT_FALSE(status);
        EXPECT_EQ(status.problem().code, ProblemCode::WriteFailed);
        EXPECT_EQ(contents(list), original);
        EXPECT_EQ(entries(dir.path()).size(), linked ? 2 : 1) << "a temporary file stayed";
        EXPECT_TRUE(recoveryCopies().isEmpty());
    }
}

TEST_F(FileSystemTest, HardLinkedFileIsWrittenInPlaceSoEveryNameSeesIt) {
    const QString first = file("list.txt", "a\r\n\r\nb\r\n");
    const QString second = path("other-name.txt");
    ASSERT_EQ(link(QFile::encodeName(first).constData(), QFile::encodeName(second).constData()), 0);
    const struct stat before = statusOf(first);
    ASSERT_TRUE(readAndWrite(first, u"a\r\nb"));
    EXPECT_EQ(methodOf(before, statusOf(first)), Method::InPlace);
    EXPECT_EQ(contents(second), "a\r\nb");
    EXPECT_TRUE(recoveryCopies().isEmpty());
}

TEST_F(FileSystemTest, InPlaceWriteWithoutARecoveryCopyTouchesNothing) {
    const QString first = file("list.txt", "a\r\n\r\nb\r\n");
    ASSERT_EQ(link(QFile::encodeName(first).constData(), QFile::encodeName(path("second")).constData()), 0);
    writeBytes(fileSystem.recoveryFolder(), "a file where the folder should be");
    const Status status = readAndWrite(first, u"a\r\nb");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.problem().code, ProblemCode::NoRecoveryCopy);
    EXPECT_EQ(status.problem().where, fromQString(fileSystem.recoveryFolder() + "/"));
    EXPECT_EQ(contents(first), "a\r\n\r\nb\r\n");
}

TEST_F(FileSystemTest, SymbolicLinksStayAndTheFileTheKernelOpenedIsWritten) {
    // alias -> real/dir, real/dir/list.txt -> ../data/list.txt: the kernel reads
    // real/data/list.txt, not data/list.txt beside alias.
    ASSERT_TRUE(QDir(dir.path()).mkpath("real/dir") && QDir(dir.path()).mkpath("real/data") &&
                QDir(dir.path()).mkpath("data"));
    const QString real = file("real/data/list.txt", "a\r\n\r\nb");
    const QString decoy = file("data/list.txt", "decoy");
    ASSERT_EQ(symlink("real/dir", QFile::encodeName(path("alias")).constData()), 0);
    ASSERT_EQ(symlink("../data/list.txt", QFile::encodeName(path("real/dir/list.txt")).constData()), 0);
    ASSERT_TRUE(readAndWrite(path("alias/list.txt"), u"a\r\nb"));
    EXPECT_EQ(contents(real), "a\r\nb");
    EXPECT_EQ(contents(decoy), "decoy");
    EXPECT_TRUE(QFileInfo(path("real/dir/list.txt")).isSymLink());
}

// Another program changes the file between the read and the write: nothing is written.
TEST_F(FileSystemTest, AFileChangedSinceItWasReadIsNotWritten) {
    const QString secret = file("secret", "root only\r\n\r\n");
    own(secret, geteuid(), getegid(), 0600);
    const struct {
        const char* name;
        std::function<void(const QString&)> change;
        QByteArray expected;
    } cases[] = {
        {"relinked to another file",
         [&](const QString& at) { QFile::remove(at); QFile::link(secret, at); }, "<link>"},
        {"replaced by a new version", [](const QString& at) { QFile::remove(at); writeBytes(at, "saved\r\n"); },
         "saved\r\n"},
        {"appended to", [](const QString& at) {
             QFile f(at);
             ASSERT_TRUE(f.open(QIODevice::Append));
             f.write("c\r\n");
         }, "a\r\n\r\nb\r\nc\r\n"},
        {"removed", [](const QString& at) { QFile::remove(at); }, "<unreadable>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString list = file("list.txt", "a\r\n\r\nb\r\n");
        files::LoadedFile loaded = readOrFail(list);
        c.change(list);
        const Status status = write(loaded, u"a\r\nb");
        ASSERT_FALSE(status);
        EXPECT_EQ(status.problem().code, ProblemCode::ChangedSinceRead);
        EXPECT_EQ(contents(secret), "root only\r\n\r\n");
        if (c.expected != "<link>") {
            EXPECT_EQ(contents(list), c.expected);
        }
        QFile::remove(list);
        EXPECT_EQ(entries(dir.path()), QStringList{"secret"});
    }
}

// A set-user-ID, set-group-ID file (root writes another user's): replaced, with all of it
// kept. Giving the new file its owner clears both bits, for an ordinary user too.
TEST_F(FileSystemTest, ReplacementKeepsOwnerGroupAndSpecialBits) {
    const uid_t owner = geteuid() == 0 ? kNobody : geteuid();
    const gid_t group = geteuid() == 0 ? kNoGroup : getegid();
    const QString list = file("list.txt", "a\r\n\r\nb");
    own(list, owner, group, 06754);
    const struct stat before = statusOf(list);
    ASSERT_TRUE(readAndWrite(list, u"a\r\nb"));
    const struct stat after = statusOf(list);
    EXPECT_EQ(methodOf(before, after), Method::Replaced);
    EXPECT_EQ(contents(list), "a\r\nb");
    EXPECT_EQ(after.st_uid, owner);
    EXPECT_EQ(after.st_gid, group);
    EXPECT_EQ(after.st_mode & 07777, 06754u);
}

std::string attribute(const QString& at, const char* name) {
    std::string value(4096, '\0');
    const ssize_t size = getxattr(QFile::encodeName(at).constData(), name, value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return size < 0 ? "<none>" : value;
}

// The bytes of an access list: owner rw, nobody nothing, group r, mask r, others r.
std::string accessListDenyingNobody() {
    const auto entry = [](std::uint16_t tag, std::uint16_t permissions, std::uint32_t id) {
        std::string bytes(8, '\0');
        std::memcpy(bytes.data(), &tag, 2);
        std::memcpy(bytes.data() + 2, &permissions, 2);
        std::memcpy(bytes.data() + 4, &id, 4);
        return bytes;
    };
    const std::uint32_t version = 2;
    std::string list(reinterpret_cast<const char*>(&version), 4);
    return list + entry(0x01, 6, ~0u) + entry(0x02, 0, kNobody) + entry(0x04, 4, ~0u) +
           entry(0x10, 4, ~0u) + entry(0x20, 4, ~0u);
}

TEST_F(FileSystemTest, AccessListsAndExtendedAttributesAreKept) {
    const QString list = file("list.txt", "a\r\n\r\nb");
    const QByteArray name = QFile::encodeName(list);
    const std::string acl = accessListDenyingNobody();
    if (setxattr(name.constData(), "user.origin", "teacher", 7, 0) != 0 ||
        setxattr(name.constData(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
        GTEST_SKIP() << "this file system keeps no extended attributes or access lists: "
                     << std::strerror(errno);
    }
    const struct stat before = statusOf(list);
    ASSERT_TRUE(readAndWrite(list, u"a\r\nb"));
    const struct stat after = statusOf(list);
    EXPECT_EQ(methodOf(before, after), Method::Replaced);
    EXPECT_EQ(attribute(list, "user.origin"), "teacher");
    EXPECT_EQ(attribute(list, "system.posix_acl_access"), acl);
    EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777) << "the group gained the mask's rights";
}

// Files of other users and folders the user may not write: set up as the administrator,
// written as "nobody".
class WriteAsOrdinaryUser : public FileSystemTest {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs the administrator to set up other users' files";
        own(state.path(), kNobody, kNoGroup, 0700);
    }
    Method writeAsNobody(const QString& at, std::u16string_view text, Status& status) {
        const struct stat before = statusOf(at);
        {
            const ActingAsNobody nobody;
            EXPECT_TRUE(nobody.acting());
            status = readAndWrite(at, text);
        }
        return methodOf(before, statusOf(at));
    }
};

TEST_F(WriteAsOrdinaryUser, OwnersAndFoldersDecideHowTheFileIsWritten) {
    const struct {
        const char* name;
        mode_t folderMode;
        uid_t owner;
        gid_t group;
        mode_t mode;
        std::optional<Method> method;  // nullopt: refused as read-only
    } cases[] = {
        {"own file is replaced", 0777, kNobody, kNoGroup, 0644, Method::Replaced},
        {"another group, which a new file could not get, is kept in place", 0777, kNobody, 0, 0664,
         Method::InPlace},
        {"group-writable file of another owner is no read-only file", 0777, 0, kNoGroup, 0464,
         Method::InPlace},
        {"folder the user may not write", 0755, kNobody, kNoGroup, 0644, Method::InPlace},
        {"no one may write it", 0777, kNobody, kNoGroup, 0444, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        own(dir.path(), 0, 0, c.folderMode);
        const QString list = file("list.txt", "a\r\n\r\nb");
        own(list, c.owner, c.group, c.mode);
        Status status = done();
        const Method method = writeAsNobody(list, u"a\r\nb", status);
        if (c.method) {
            ASSERT_TRUE(status) << static_cast<int>(status.problem().code);
            EXPECT_EQ(method, *c.method);
            EXPECT_EQ(contents(list), "a\r\nb");
        } else {
            ASSERT_FALSE(status);
            EXPECT_EQ(status.problem().code, ProblemCode::ReadOnly);
            EXPECT_EQ(contents(list), "a\r\n\r\nb");
        }
        const struct stat after = statusOf(list);
        EXPECT_EQ(after.st_uid, c.owner);
        EXPECT_EQ(after.st_gid, c.group);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
        EXPECT_EQ(entries(dir.path()), QStringList{"list.txt"});
        EXPECT_TRUE(recoveryCopies().isEmpty());
        QFile::remove(list);
    }
}

// Passes everything on to the real operations, but the in-place write of the target kills the
// process half-way through its first piece, as a power cut or `kill -9` would.
class KillingFolder final : public files::Folder {
public:
    explicit KillingFolder(std::unique_ptr<files::Folder> real) : real_(std::move(real)) {}
    std::u16string pathOf(std::u16string_view name) override { return real_->pathOf(name); }
    Result<files::FileFacts> factsOf(std::u16string_view name) override { return real_->factsOf(name); }
    bool userMayWrite(std::u16string_view name) override { return real_->userMayWrite(name); }
    Status keepMetadata(files::OpenFile& from, files::OpenFile& to) override { return real_->keepMetadata(from, to); }
    Status replace(std::u16string_view from, std::u16string_view to) override { return real_->replace(from, to); }
    Status remove(std::u16string_view name) override { return real_->remove(name); }
    Result<std::vector<std::u16string>> names() override { return real_->names(); }
    Status flush() override { return real_->flush(); }
    Result<std::unique_ptr<files::OpenFile>> open(std::u16string_view name, files::OpenMode mode) override {
        auto opened = real_->open(name, mode);
        if (!opened || mode != files::OpenMode::ReadWrite) return opened;
        struct Killing final : files::OpenFile {
            std::unique_ptr<files::OpenFile> real;
            Result<files::FileFacts> facts() override { return real->facts(); }
            Result<std::size_t> readAt(std::uint64_t at, std::span<char> buffer) override { return real->readAt(at, buffer); }
            Status writeAt(std::uint64_t at, std::string_view bytes) override {
                (void)real->writeAt(at, bytes.substr(0, bytes.size() / 2));
                raise(SIGKILL);
                return done();
            }
            Status reserve(std::uint64_t size) override { return real->reserve(size); }
            Status truncate(std::uint64_t size) override { return real->truncate(size); }
            Status flush() override { return real->flush(); }
        };
        auto killing = std::make_unique<Killing>();
        killing->real = std::move(*opened);
        return std::unique_ptr<files::OpenFile>(std::move(killing));
    }

private:
    std::unique_ptr<files::Folder> real_;
};

class KillingFileSystem final : public files::FileSystem {
public:
    explicit KillingFileSystem(PosixFileSystem& real) : real_(real) {}
    Result<files::OpenedFile> openForReading(std::u16string_view path) override { return real_.openForReading(path); }
    Result<std::unique_ptr<files::Folder>> openRecoveryFolder() override { return real_.openRecoveryFolder(); }
    Result<std::unique_ptr<files::Folder>> openFolder(std::u16string_view path) override {
        auto folder = real_.openFolder(path);
        if (!folder) return folder;
        return std::unique_ptr<files::Folder>(std::make_unique<KillingFolder>(std::move(*folder)));
    }

private:
    PosixFileSystem& real_;
};

TEST_F(FileSystemTest, AWriteKilledHalfWayIsFoundAndToldAtTheNextStartOnce) {
    const QByteArray original = "first\r\n\r\nsecond\r\n";
    const QString list = file("list.txt", original);
    ASSERT_EQ(link(QFile::encodeName(list).constData(), QFile::encodeName(path("other")).constData()), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KillingFileSystem killing(fileSystem);
        auto loaded = files::readCandidateFile(killing, fromQString(list), qtCodePages(), progress);
        if (loaded) (void)files::writeCandidateFile(killing, *loaded, u"first\r\nsecond, and more", qtCodePages(), progress);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the write never reached the file";
    EXPECT_NE(contents(list), original);

    const std::vector<files::InterruptedWrite> found = files::takeInterruptedWrites(fileSystem);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].target, fromQString(list));
    EXPECT_EQ(contents(toQString(found[0].copy)), original);
    EXPECT_TRUE(files::takeInterruptedWrites(fileSystem).empty()) << "told twice";
    EXPECT_EQ(statusOf(toQString(found[0].copy)).st_mode & 0777, 0600u) << "the copy is private";
}

}  // namespace
}  // namespace zorbalin::window
