// The shared file procedure over the real POSIX file operations: what needs the platform
// (permissions, owners, links and relinking, access lists and attributes, /proc files). The
// decisions themselves are tested in tests/files; writing in place, what is kept of a file,
// and full disks have suites of their own here.
#include "file_system.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "file_system_fixture.h"
#include "textio/candidate_decoding.h"

namespace zorbalin::window {
namespace {

using namespace testing;
using textio::FileFormat;
using textio::TextEncoding;
using enum textio::LineEnding;

QString dataFile(const char* name) {
    return QStringLiteral(ZORBALIN_TEST_DATA_DIR "/") + QString::fromUtf8(name);
}

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

TEST_F(FileSystemTest, AnAlreadyTidyFileIsLeftAsItIs) {
    const QString list = file("list.txt", "a\r\nb");
    const struct stat before = statusOf(list);
    ASSERT_TRUE(readAndWrite(list, u"a\r\nb"));
    EXPECT_EQ(methodOf(before, statusOf(list)), Method::NotWritten);
}

// What was read stays the file as written: a second save of the list writes it again, and one
// after another program's change does not, whichever way the file was written (as root a
// file is replaced, as another user written in place, and with a second link in place).
TEST_F(FileSystemTest, AWrittenFileIsWrittenAgainUnlessAnotherProgramChangedIt) {
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked);
        const QString list = file(linked ? "linked.txt" : "list.txt", "a\r\n\r\nb");
        if (linked) hardLink(list, "other.txt");
        files::LoadedFile loaded = readOrFail(list);
        ASSERT_TRUE(write(loaded, u"first"));
        ASSERT_TRUE(write(loaded, u"second"));
        EXPECT_EQ(contents(list), "second");
        writeBytes(list, "theirs");
        const Status refused = write(loaded, u"third");
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.problem().code, ProblemCode::ChangedSinceRead);
        EXPECT_EQ(contents(list), "theirs");
    }
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
        {"overwritten with as many bytes", [](const QString& at) {
             QFile f(at);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.write("x\r\n\r\ny\r\n");
         }, "x\r\n\r\ny\r\n"},
    };
    for (const bool linked : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (linked ? ", hard-linked" : ""));
            const QString list = file("list.txt", "a\r\n\r\nb\r\n");
            if (linked) hardLink(list, "other-name.txt");
            // Written long ago: a change now has a time of its own even where times are coarse.
            const timespec longAgo[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
            ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(list).constData(), longAgo, 0), 0);
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
            QFile::remove(path("other-name.txt"));
            EXPECT_EQ(entries(dir.path()), QStringList{"secret"});
            EXPECT_TRUE(recoveryCopies().isEmpty());
        }
    }
}

// A name that became a link is not followed by anything opened through the folder.
TEST_F(FileSystemTest, AFolderOpensNoLinkAtTheName) {
    const QString target = file("target", "a");
    ASSERT_EQ(symlink("target", QFile::encodeName(path("link")).constData()), 0);
    Result<std::unique_ptr<files::Folder>> folder = fileSystem.openFolder(fromQString(dir.path()));
    ASSERT_TRUE(folder);
    for (const files::OpenMode mode : {files::OpenMode::Read, files::OpenMode::ReadWrite}) {
        const Result<std::unique_ptr<files::OpenFile>> opened = (*folder)->open(u"link", mode);
        ASSERT_FALSE(opened);
        EXPECT_EQ(opened.problem().detail, fromQString(qt_error_string(ELOOP)));
    }
    EXPECT_FALSE((*folder)->open(u"link", files::OpenMode::CreateNew));
    EXPECT_EQ(contents(target), "a");
}

// A rename that the system refuses (a list that is a mount point, or append-only) is no
// success, and leaves no temporary file.
TEST_F(FileSystemTest, ARefusedRenameLeavesTheListAndNoTemporaryFile) {
    if (geteuid() != 0) GTEST_SKIP() << "only the administrator may mount or mark a file append-only";
    const struct {
        const char* name;
        std::function<bool(const QString&)> make;  // false: cannot be made here
        std::function<void(const QString&)> undo;
        SystemCause cause;
    } cases[] = {
        {"mount point",
         [&](const QString& at) {
             return mount(QFile::encodeName(file("elsewhere", "a\r\n\r\nb")).constData(),
                          QFile::encodeName(at).constData(), nullptr, MS_BIND, nullptr) == 0;
         },
         [](const QString& at) { (void)umount2(QFile::encodeName(at).constData(), MNT_DETACH); }, SystemCause::InUse},
        {"append-only",
         [](const QString& at) {
             const int fd = ::open(QFile::encodeName(at).constData(), O_RDONLY | O_CLOEXEC);
             int flags = 0;
             const bool set = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags |= FS_APPEND_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
             ::close(fd);
             return set;
         },
         [](const QString& at) {
             const int fd = ::open(QFile::encodeName(at).constData(), O_RDONLY | O_CLOEXEC);
             int flags = 0;
             if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) (flags &= ~FS_APPEND_FL, (void)ioctl(fd, FS_IOC_SETFLAGS, &flags));
             ::close(fd);
         },
         SystemCause::AccessDenied},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString list = file("list.txt", "a\r\n\r\nb");
        if (!c.make(list)) {
            ADD_FAILURE() << "cannot be made here: " << std::strerror(errno);
            continue;
        }
        const QStringList before = entries(dir.path());
        const Status status = readAndWrite(list, u"a\r\nb");
        const QByteArray after = contents(list);
        const QStringList left = entries(dir.path());
        c.undo(list);
        ASSERT_FALSE(status);
        EXPECT_EQ(status.problem().code, ProblemCode::WriteFailed);
        EXPECT_EQ(status.problem().cause, c.cause);
        EXPECT_EQ(after, "a\r\n\r\nb");
        EXPECT_EQ(left, before);
        for (const QString& name : entries(dir.path())) QFile::remove(path(name.toUtf8().constData()));
    }
}

// A new file the user saves gets the mode the umask gives, as any program's; an existing one
// keeps its own.
TEST_F(FileSystemTest, ASavedFileHasTheModeAnyProgramsWouldHave) {
    const textio::FileFormat format{TextEncoding::Utf8, CrLf};
    const struct {
        mode_t umask;
        std::optional<mode_t> existing;
        mode_t mode;
    } cases[] = {{022, std::nullopt, 0644}, {077, std::nullopt, 0600}, {002, std::nullopt, 0664}, {022, 0600, 0600},
                 {077, 0664, 0664}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "umask " << std::oct << c.umask);
        const QString record = path("record.txt");
        if (c.existing) {
            writeBytes(record, "old");
            ASSERT_EQ(chmod(QFile::encodeName(record).constData(), *c.existing), 0);
        }
        const mode_t previous = ::umask(c.umask);
        const Status saved = files::saveTextFile(fileSystem, fromQString(record), u"a\r\nb", format, qtCodePages(), progress);
        ::umask(previous);
        ASSERT_TRUE(saved);
        EXPECT_EQ(contents(record), "a\r\nb");
        EXPECT_EQ(statusOf(record).st_mode & 07777, c.mode);
        QFile::remove(record);
    }
}

// The recovery folder and each missing one on its way are made private whatever the umask,
// which is left as it was; one that cannot be made is named.
TEST_F(FileSystemTest, TheRecoveryFolderIsMadePrivate) {
    const QString deep = state.path() + QStringLiteral("/new/state/zorbalin");
    PosixFileSystem withDeepFolder(deep);
    const mode_t previous = ::umask(0);
    const bool opened = static_cast<bool>(withDeepFolder.openRecoveryFolder());
    const mode_t during = ::umask(previous);
    ASSERT_TRUE(opened);
    EXPECT_EQ(during, 0u) << "the umask was changed";
    for (const QString& made : {state.path() + "/new", state.path() + "/new/state", deep}) {
        EXPECT_EQ(statusOf(made).st_mode & 07777, 0700u) << made.toStdString();
    }
    writeBytes(state.path() + "/plain", "a file where a folder should be");
    PosixFileSystem blocked(state.path() + "/plain/zorbalin");
    const Result<std::unique_ptr<files::Folder>> refused = blocked.openRecoveryFolder();
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.problem().where, fromQString(state.path() + "/plain/zorbalin/"));
}

// A set-user-ID, set-group-ID file (root writes another user's): replaced, with all of it
// kept. Giving the new file its owner clears both bits, for an ordinary user too.
TEST_F(FileSystemTest, ReplacementKeepsOwnerGroupAndSpecialBits) {
    const uid_t owner = geteuid() == 0 ? kNobody : geteuid();
    const gid_t group = geteuid() == 0 ? kNoGroup : getegid();
    const QString list = file("list.txt", "a\r\n\r\nb");
    own(list, owner, group, 06754);
    const struct stat before = statusOf(list);
    const Method expected = plainWrite(list);
    ASSERT_TRUE(readAndWrite(list, u"a\r\nb"));
    const struct stat after = statusOf(list);
    EXPECT_EQ(methodOf(before, after), expected);
    EXPECT_EQ(contents(list), "a\r\nb");
    EXPECT_EQ(after.st_uid, owner);
    EXPECT_EQ(after.st_gid, group);
    EXPECT_EQ(after.st_mode & 07777, 06754u);
}

TEST_F(FileSystemTest, AccessListsAndExtendedAttributesAreKept) {
    const QString list = file("list.txt", "a\r\n\r\nb");
    const QByteArray name = QFile::encodeName(list);
    const std::string acl = accessListDenying(kNobody);
    if (setxattr(name.constData(), "user.origin", "teacher", 7, 0) != 0 ||
        setxattr(name.constData(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
        GTEST_SKIP() << "this file system keeps no extended attributes or access lists: "
                     << std::strerror(errno);
    }
    const struct stat before = statusOf(list);
    const Method expected = plainWrite(list);
    ASSERT_TRUE(readAndWrite(list, u"a\r\nb"));
    const struct stat after = statusOf(list);
    EXPECT_EQ(methodOf(before, after), expected);
    EXPECT_EQ(attribute(list, "user.origin"), "teacher");
    EXPECT_EQ(attribute(list, "system.posix_acl_access"), acl);
    EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777) << "the group gained the mask's rights";
}

TEST_F(WriteAsOrdinaryUser, OwnersAndFoldersDecideHowTheFileIsWritten) {
    const struct {
        const char* name;
        mode_t folderMode;
        uid_t owner;
        gid_t group;
        mode_t mode;
        std::optional<Method> method;  // nullopt: refused as read-only
    } cases[] = {
        // It may have trusted.* attributes, which only the administrator sees.
        {"own file, of which the user cannot see all, is written in place", 0777, kNobody, kNoGroup, 0644,
         Method::InPlace},
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

}  // namespace
}  // namespace zorbalin::window
