#include "candidate_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace zorbalin::window {
namespace {

using textio::TextEncoding;

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
    TextEncoding encoding;
};

void PrintTo(const DataFileCase& c, std::ostream* os) { *os << c.file; }

class ReadsDataFile : public ::testing::TestWithParam<DataFileCase> {};

TEST_P(ReadsDataFile, GivesCrLfTextAndEncoding) {
    const ReadOutcome outcome = readCandidateFile(dataFile(GetParam().file));
    ASSERT_TRUE(outcome.file.has_value()) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.error.isEmpty());
    EXPECT_EQ(outcome.file->text, GetParam().text);
    EXPECT_EQ(outcome.file->encoding, GetParam().encoding);
}

const DataFileCase kDataFiles[] = {
    {"candidates-utf8.txt", kCandidates, TextEncoding::Utf8},
    {"candidates-utf8-bom.txt", kCandidates, TextEncoding::Utf8WithBom},
    {"candidates-utf16le.txt", kCandidates, TextEncoding::Utf16LE},
    {"candidates-utf16be.txt", kCandidates, TextEncoding::Utf16BE},
    {"candidates-gbk.txt", kCandidates, TextEncoding::Gb18030},
    {"candidates-gb18030-emoji.txt", u"笑脸😀\r\n哭脸", TextEncoding::Gb18030},
    {"candidates-lf.txt", kCandidates, TextEncoding::Utf8},
    {"candidates-cr.txt", kCandidates, TextEncoding::Utf8},
    {"empty.txt", u"", TextEncoding::Utf8},
    {"candidates-wordpad.rtf", u"张三\r\n李四\r\nAlice Smith\r\n王五\r\nZoë 😀", TextEncoding::Utf8},
    {"candidates-abiword.rtf", u"张三\r\n李四\r\nAlice Smith\r\n王五\r\nZoë😀 \r\n\r\n\r\n",
     TextEncoding::Utf8},
};

INSTANTIATE_TEST_SUITE_P(TestData, ReadsDataFile, ::testing::ValuesIn(kDataFiles),
                         [](const auto& info) {
                             QString name = QString::fromUtf8(info.param.file);
                             name.replace(QRegularExpression("[^A-Za-z0-9]"), "_");
                             return name.toStdString();
                         });

// A refused read names the file and says what went wrong, and gives no text.
void expectRefused(const QString& path, const char* reason) {
    const ReadOutcome outcome = readCandidateFile(path);
    EXPECT_FALSE(outcome.file.has_value());
    EXPECT_TRUE(outcome.error.contains(QDir::toNativeSeparators(path))) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.error.contains(QString::fromUtf8(reason))) << outcome.error.toStdString();
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

TEST(ReadCandidateFile, ReportsMissingReadPermission) {
    if (geteuid() == 0) GTEST_SKIP() << "the administrator may read any file";
    QTemporaryDir dir;
    const QString path = dir.filePath("secret.txt");
    writeBytes(path, "a");
    QFile::setPermissions(path, QFileDevice::WriteOwner);
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
        ASSERT_EQ(writeCandidateFile(file, text, encoding), QString());
        const ReadOutcome back = readCandidateFile(file);
        ASSERT_TRUE(back.file.has_value()) << back.error.toStdString();
        EXPECT_EQ(back.file->text, text);
        EXPECT_EQ(back.file->encoding, encoding);
    }
}

TEST_F(WriteCandidateFile, WritesDataFilesBackByteForByte) {
    for (const char* name : {"candidates-utf8.txt", "candidates-utf8-bom.txt",
                             "candidates-utf16le.txt", "candidates-utf16be.txt",
                             "candidates-gbk.txt", "candidates-gb18030-emoji.txt"}) {
        SCOPED_TRACE(name);
        const ReadOutcome read = readCandidateFile(dataFile(name));
        ASSERT_TRUE(read.file.has_value());
        const QString copy = path(name);
        ASSERT_EQ(writeCandidateFile(copy, read.file->text, read.file->encoding), QString());
        EXPECT_EQ(contents(copy), contents(dataFile(name)));
    }
}

TEST_F(WriteCandidateFile, LeavesReadOnlyFileUntouched) {
    const QString file = path("list.txt");
    writeBytes(file, "old\r\n");
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ReadOther));
    const QString error = writeCandidateFile(file, u"new", TextEncoding::Utf8);
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
        error = writeCandidateFile(file, longText, TextEncoding::Utf8);
    }
    EXPECT_TRUE(error.contains(QStringLiteral("无法写入"))) << error.toStdString();
    EXPECT_EQ(contents(file), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.txt"});
}

TEST_F(WriteCandidateFile, ReportsFolderThatIsGone) {
    const QString file = path("gone/list.txt");
    const QString error = writeCandidateFile(file, u"a", TextEncoding::Utf8);
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(file))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST_F(WriteCandidateFile, KeepsSymbolicLinkAndWritesItsTarget) {
    const QString target = path("real.txt");
    const QString link = path("link.txt");
    writeBytes(target, "old");
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_EQ(writeCandidateFile(link, u"new", TextEncoding::Utf8), QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(target), "new");
}

TEST_F(WriteCandidateFile, KeepsPermissions) {
    const QString file = path("list.txt");
    writeBytes(file, "old");
    const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                             QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(file, permissions));
    ASSERT_EQ(writeCandidateFile(file, u"new", TextEncoding::Utf8), QString());
    const auto ownerGroupOther = QFileDevice::Permissions(0x7077);  // without the "user" copy
    EXPECT_EQ(QFileInfo(file).permissions() & ownerGroupOther, permissions);
}

}  // namespace
}  // namespace zorbalin::window
