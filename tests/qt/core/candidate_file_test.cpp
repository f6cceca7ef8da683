#include "candidate_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zorbalin::window {
namespace {

using textio::FileFormat;
using textio::TextEncoding;
using enum textio::LineEnding;

const FileFormat kUtf8CrLf{TextEncoding::Utf8, CrLf};

// The file's text and format; fails the test when the file was refused.
CandidateFileText readOrFail(const QString& path) {
    ReadOutcome outcome = readCandidateFile(path);
    if (const auto* failure = std::get_if<ReadFailure>(&outcome)) {
        ADD_FAILURE() << failure->message.toStdString();
        return {};
    }
    return std::get<CandidateFileText>(std::move(outcome));
}

const std::u16string kCandidates = u"张三\r\n李四\r\nAlice Smith\r\n王五\r\n";

QString dataFile(const char* name) {
    return QStringLiteral(ZORBALIN_TEST_DATA_DIR "/") + QString::fromUtf8(name);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

struct DataFileCase {
    const char* file;
    std::u16string text;
    FileFormat format;
};

void PrintTo(const DataFileCase& c, std::ostream* os) { *os << c.file; }

class ReadsDataFile : public ::testing::TestWithParam<DataFileCase> {};

TEST_P(ReadsDataFile, GivesCrLfTextAndFormat) {
    const CandidateFileText file = readOrFail(dataFile(GetParam().file));
    EXPECT_EQ(file.text, GetParam().text);
    EXPECT_EQ(file.format.encoding, GetParam().format.encoding);
    EXPECT_EQ(file.format.lineEnding, GetParam().format.lineEnding);
}

const DataFileCase kDataFiles[] = {
    {"candidates-utf8.txt", kCandidates, kUtf8CrLf},
    {"candidates-utf8-bom.txt", kCandidates, {TextEncoding::Utf8WithBom, CrLf}},
    {"candidates-utf16le.txt", kCandidates, {TextEncoding::Utf16LE, CrLf}},
    {"candidates-utf16be.txt", kCandidates, {TextEncoding::Utf16BE, CrLf}},
    {"candidates-gbk.txt", kCandidates, {TextEncoding::Gb18030, CrLf}},
    {"candidates-gb18030-emoji.txt", u"笑脸😀\r\n哭脸", {TextEncoding::Gb18030, CrLf}},
    {"candidates-lf.txt", kCandidates, {TextEncoding::Utf8, Lf}},
    {"candidates-cr.txt", kCandidates, {TextEncoding::Utf8, Cr}},
    {"empty.txt", u"", kUtf8CrLf},
    {"candidates-wordpad.rtf", u"张三\r\n李四\r\nAlice Smith\r\n王五\r\nZoë 😀", kUtf8CrLf},
    {"candidates-abiword.rtf", u"张三\r\n李四\r\nAlice Smith\r\n王五\r\nZoë😀 \r\n\r\n\r\n",
     kUtf8CrLf},
};

INSTANTIATE_TEST_SUITE_P(TestData, ReadsDataFile, ::testing::ValuesIn(kDataFiles),
                         [](const auto& test) {
                             QString name = QString::fromUtf8(test.param.file);
                             name.replace(QRegularExpression("[^A-Za-z0-9]"), "_");
                             return name.toStdString();
                         });

// A refused read names the file and says what went wrong, and gives no text.
void expectRefused(const QString& path, const char* reason) {
    const ReadOutcome outcome = readCandidateFile(path);
    const auto* failure = std::get_if<ReadFailure>(&outcome);
    ASSERT_NE(failure, nullptr);
    EXPECT_TRUE(failure->message.contains(QDir::toNativeSeparators(path)))
        << failure->message.toStdString();
    EXPECT_TRUE(failure->message.contains(QString::fromUtf8(reason)))
        << failure->message.toStdString();
}

TEST(ReadCandidateFile, RefusesWhatIsNoTextFile) {
    QTemporaryDir dir;
    expectRefused(dataFile("red-square.png"), "不是文本文件");
    expectRefused(dir.filePath("名单.txt"), "不存在");
    expectRefused(dir.path(), "不是一个文件");

    const QString large = dir.filePath("large.txt");
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(64 * 1024 * 1024 + 1));  // sparse: costs no disk space
    file.close();
    expectRefused(large, "超过 64 MiB");
}

struct stat statusOf(const QString& path) {
    struct stat status {};
    EXPECT_EQ(stat(QFile::encodeName(path).constData(), &status), 0);
    return status;
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

TEST(ReadCandidateFile, ReportsMissingReadPermission) {
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777));
    const QString path = dir.filePath("secret.txt");
    writeBytes(path, "a");
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    if (geteuid() != 0) {
        expectRefused(path, "没有读取");
        return;
    }
    const ActingAsNobody nobody;  // the administrator may read any file
    ASSERT_TRUE(nobody.acting());
    expectRefused(path, "没有读取");
}

struct SaveFixture : ::testing::Test {
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

using WriteCandidateFile = SaveFixture;

TEST_F(WriteCandidateFile, RoundTripsInEveryEncoding) {
    const std::u16string text = u"张三\r\nZoë 😀\r\n\r\n王五";
    for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Utf8WithBom,
                                        TextEncoding::Utf16LE, TextEncoding::Utf16BE,
                                        TextEncoding::Gb18030}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        const QString file = path("list.txt");
        ASSERT_EQ(writeCandidateFile(file, text, {encoding, CrLf}), QString());
        const CandidateFileText back = readOrFail(file);
        EXPECT_EQ(back.text, text);
        EXPECT_EQ(back.format.encoding, encoding);
    }
}

TEST_F(WriteCandidateFile, WritesDataFilesBackByteForByte) {
    for (const char* name : {"candidates-utf8.txt", "candidates-utf8-bom.txt",
                             "candidates-utf16le.txt", "candidates-utf16be.txt",
                             "candidates-gbk.txt", "candidates-gb18030-emoji.txt",
                             "candidates-lf.txt", "candidates-cr.txt"}) {
        SCOPED_TRACE(name);
        const CandidateFileText read = readOrFail(dataFile(name));
        const QString copy = path(name);
        ASSERT_EQ(writeCandidateFile(copy, read.text, read.format), QString());
        EXPECT_EQ(contents(copy), contents(dataFile(name)));
    }
}

TEST_F(WriteCandidateFile, LeavesReadOnlyFileUntouched) {
    const QString file = path("list.txt");
    writeBytes(file, "old\r\n");
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ReadOther));
    const QString error = writeCandidateFile(file, u"new", kUtf8CrLf);
    EXPECT_TRUE(error.contains(QStringLiteral("只读"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(file)));
    EXPECT_EQ(contents(file), "old\r\n");
}

// Lowers the largest file this process may write, so that writing fails part-way like
// on a full disk; SIGXFSZ is ignored so that the write reports EFBIG instead.
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

TEST_F(WriteCandidateFile, FailedWriteKeepsOriginalByteForByte) {
    const QString file = path("list.txt");
    const QByteArray original = "张三\r\n李四\r\n";
    writeBytes(file, original);
    const std::u16string longText(100000, u'x');
    QString error;
    {
        const FileSizeLimit limit(4096);
        error = writeCandidateFile(file, longText, kUtf8CrLf);
    }
    EXPECT_TRUE(error.contains(QStringLiteral("无法写入"))) << error.toStdString();
    EXPECT_EQ(contents(file), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.txt"});
}

TEST_F(WriteCandidateFile, ReportsFolderThatIsGone) {
    const QString file = path("gone/list.txt");
    const QString error = writeCandidateFile(file, u"a", kUtf8CrLf);
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(file))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST_F(WriteCandidateFile, KeepsSymbolicLinkAndWritesItsTarget) {
    const QString target = path("real.txt");
    const QString link = path("link.txt");
    writeBytes(target, "old");
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_EQ(writeCandidateFile(link, u"new", kUtf8CrLf), QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(target), "new");
}

TEST_F(WriteCandidateFile, KeepsPermissions) {
    const QString file = path("list.txt");
    writeBytes(file, "old");
    const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                             QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(file, permissions));
    ASSERT_EQ(writeCandidateFile(file, u"new", kUtf8CrLf), QString());
    const auto ownerGroupOther = QFileDevice::Permissions(0x7077);  // without the "user" copy
    EXPECT_EQ(QFileInfo(file).permissions() & ownerGroupOther, permissions);
}

// Files of other users and folders the user may not write: set up as the administrator,
// written as "nobody".
class WriteAsOrdinaryUser : public SaveFixture {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs the administrator to act as another user";
        ASSERT_TRUE(dir.isValid());
    }
    void own(const QString& file, uid_t owner, gid_t group, mode_t mode) {
        ASSERT_EQ(chown(QFile::encodeName(file).constData(), owner, group), 0);
        ASSERT_EQ(chmod(QFile::encodeName(file).constData(), mode), 0);
    }
    QString writeAsNobody(const QString& file, const std::u16string& text) {
        const ActingAsNobody nobody;
        EXPECT_TRUE(nobody.acting());
        return writeCandidateFile(file, text, kUtf8CrLf);
    }
};

TEST_F(WriteAsOrdinaryUser, GroupWritableFileIsNoReadOnlyAndKeepsItsOwner) {
    own(dir.path(), 0, 0, 0777);
    const QString file = path("list.txt");
    writeBytes(file, "a\r\n\r\nb");
    own(file, 0, kNoGroup, 0464);  // only the group may write
    ASSERT_EQ(writeAsNobody(file, u"a\r\nb"), QString());
    EXPECT_EQ(contents(file), "a\r\nb");
    EXPECT_EQ(statusOf(file).st_uid, 0u);
    EXPECT_EQ(statusOf(file).st_gid, kNoGroup);
    EXPECT_EQ(statusOf(file).st_mode & 07777, 0464u);
}

TEST_F(WriteAsOrdinaryUser, WritableFileInAFolderTheUserMayNotWriteIsWrittenInPlace) {
    own(dir.path(), 0, 0, 0755);
    const QString file = path("list.txt");
    writeBytes(file, "a\r\n\r\nb");
    own(file, kNobody, kNoGroup, 0644);
    ASSERT_EQ(writeAsNobody(file, u"a\r\nb"), QString());
    EXPECT_EQ(contents(file), "a\r\nb");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.txt"});
}

TEST_F(WriteAsOrdinaryUser, FileNoOneMayWriteStaysReadOnly) {
    own(dir.path(), 0, 0, 0777);
    const QString file = path("list.txt");
    writeBytes(file, "old");
    own(file, kNobody, kNoGroup, 0444);
    EXPECT_TRUE(writeAsNobody(file, u"new").contains(QStringLiteral("只读")));
    EXPECT_EQ(contents(file), "old");
}

TEST_F(WriteCandidateFile, AdministratorKeepsTheOwnerAndGroupOfAnotherUsersFile) {
    if (geteuid() != 0) GTEST_SKIP() << "only the administrator can give a file away";
    const QString file = path("list.txt");
    writeBytes(file, "a\r\n\r\nb");
    ASSERT_EQ(chown(QFile::encodeName(file).constData(), kNobody, kNoGroup), 0);
    ASSERT_EQ(writeCandidateFile(file, u"a\r\nb", kUtf8CrLf), QString());
    EXPECT_EQ(contents(file), "a\r\nb");
    EXPECT_EQ(statusOf(file).st_uid, kNobody);
    EXPECT_EQ(statusOf(file).st_gid, kNoGroup);
}

TEST_F(WriteCandidateFile, HardLinkedFileIsWrittenInPlaceSoEveryNameSeesIt) {
    const QString first = path("list.txt");
    const QString second = path("other-name.txt");
    writeBytes(first, "a\r\n\r\nb\r\n");
    ASSERT_EQ(link(QFile::encodeName(first).constData(), QFile::encodeName(second).constData()), 0);
    ASSERT_EQ(writeCandidateFile(first, u"a\r\nb", kUtf8CrLf), QString());
    EXPECT_EQ(contents(second), "a\r\nb");
    EXPECT_EQ(statusOf(first).st_nlink, 2u);
    EXPECT_EQ(statusOf(first).st_ino, statusOf(second).st_ino);
}

TEST_F(WriteCandidateFile, InPlaceWriteThatFailsPartWayPutsTheOriginalBack) {
    const QString first = path("list.txt");
    const QString second = path("other-name.txt");
    const QByteArray original = "张三\r\n李四\r\n";
    writeBytes(first, original);
    ASSERT_EQ(link(QFile::encodeName(first).constData(), QFile::encodeName(second).constData()), 0);
    // The room for the longer text cannot be had; the shared tests fail every later step.
    QString error;
    {
        const FileSizeLimit limit(4096);
        error = writeCandidateFile(first, std::u16string(100000, u'x'), kUtf8CrLf);
    }
    EXPECT_TRUE(error.contains(QStringLiteral("原文件未作改动"))) << error.toStdString();
    EXPECT_EQ(contents(first), original);
    EXPECT_EQ(contents(second), original);
}

}  // namespace
}  // namespace zorbalin::window
