// Lists on disks that are full, on file systems of their own mounted for the test (the
// administrator only; skipped with the reason otherwise): a full tmpfs, and a nearly full
// copy-on-write btrfs, where putting the old bytes back takes room too.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "file_system_fixture.h"
#include "files/write_back.h"

namespace zorbalin::window {
namespace {

using namespace testing;

// Fills the disk until about `left` bytes remain free.
void fill(const ScratchDisk& disk, std::uint64_t left) {
    QFile filler(disk.path("filler"));
    ASSERT_TRUE(filler.open(QIODevice::Append));
    const QByteArray block(64 * 1024, 'f');
    while (disk.available() > left + static_cast<std::uint64_t>(block.size())) {
        if (filler.write(block) != block.size() || !filler.flush()) break;
    }
    while (disk.available() > left && filler.write(block.left(4096)) == 4096 && filler.flush()) {
    }
    ASSERT_TRUE(filler.flush());
    ::sync();
}

bool sameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

// A longer text on a full disk finds no room before any byte changed: the list is as it was,
// not even its times changed, and no copy is kept.
TEST_F(FileSystemTest, AFullDiskLeavesTheListUntouched) {
    std::string whyNot;
    const auto disk = ScratchDisk::mount(QStringLiteral("tmpfs"), 1 << 20, whyNot);
    if (!disk) GTEST_SKIP() << whyNot;
    for (const bool linked : {true, false}) {
        SCOPED_TRACE(linked ? "in place" : "replaced");
        const QString list = disk->path("list.txt");
        writeBytes(list, QByteArray(64 * 1024, 'a') + "\r\n\r\n");
        if (linked) {
            ASSERT_EQ(link(QFile::encodeName(list).constData(), QFile::encodeName(disk->path("other")).constData()), 0);
        }
        fill(*disk, 0);
        const struct stat before = statusOf(list);
        const Status status = readAndWrite(list, std::u16string(200 * 1024, u'b'));
        ASSERT_FALSE(status);
        EXPECT_EQ(status.problem().code, ProblemCode::WriteFailed);
        EXPECT_EQ(status.problem().cause, SystemCause::NoSpace);
        const struct stat after = statusOf(list);
        EXPECT_EQ(after.st_size, before.st_size);
        EXPECT_TRUE(sameTime(after.st_mtim, before.st_mtim) && sameTime(after.st_ctim, before.st_ctim))
            << "the list was touched";
        EXPECT_EQ(entries(disk->root()).size(), linked ? 3 : 2) << "a temporary file stayed";
        EXPECT_TRUE(recoveryCopies().isEmpty());
        for (const QString& name : entries(disk->root())) QFile::remove(disk->path(name.toUtf8().constData()));
    }
}

// A 7.7 MB hard-linked list on a 128 MiB btrfs: written in place while there is room for its
// new bytes and for its old ones put back, refused before anything is touched once there is
// not.
TEST_F(FileSystemTest, ACopyOnWriteDiskMustHaveRoomToWriteAndToPutBack) {
    std::string whyNot;
    const auto disk = ScratchDisk::mount(QStringLiteral("btrfs"), std::uint64_t{128} << 20, whyNot);
    if (!disk) GTEST_SKIP() << whyNot;
    const QString list = disk->path("list.txt");
    const QByteArray old = QByteArray("名字\r\n\r\n").repeated(770'000);
    writeBytes(list, old);
    ASSERT_EQ(link(QFile::encodeName(list).constData(), QFile::encodeName(disk->path("other")).constData()), 0);
    ::sync();
    ASSERT_GT(disk->available(), 2 * static_cast<std::uint64_t>(old.size()) + files::kCopyOnWriteMargin);
    ASSERT_TRUE(readAndWrite(list, QString::fromUtf8(QByteArray("名字\r\n").repeated(770'000)).toStdU16String()));
    EXPECT_EQ(contents(list).size(), 770'000 * 8);

    writeBytes(list, old);
    fill(*disk, 3 << 20);
    const Status status = readAndWrite(list, QString::fromUtf8(QByteArray("名字\r\n").repeated(770'000)).toStdU16String());
    ASSERT_FALSE(status);
    EXPECT_EQ(status.problem(), (Problem{ProblemCode::WriteFailed, u"", SystemCause::NoSpace, u"", 0}));
    EXPECT_EQ(contents(list), old);
    EXPECT_TRUE(recoveryCopies().isEmpty());
}

}  // namespace
}  // namespace zorbalin::window
