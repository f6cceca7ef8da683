// Writing a hard-linked list in place over the real POSIX operations: against other programs
// writing it meanwhile, against a kill at any step (what the next start then finds), and the
// order in which it is put on the disk.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

#include "file_system_fixture.h"
#include "system_call_shim.h"

namespace zorbalin::window {
namespace {

using namespace testing;

const QByteArray kOriginal = "first\r\n\r\n\r\nsecond\r\n";
const std::u16string kTidied = u"first\r\nsecond";

// A descriptor of its own with an open file description lock on the whole file, as another
// program that locks would take it; -1 where it is refused.
int lockedElsewhere(const QString& at) {
    const int fd = ::open(QFile::encodeName(at).constData(), O_RDWR | O_CLOEXEC);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (fd >= 0 && fcntl(fd, F_OFD_SETLK, &lock) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

struct InPlace : FileSystemTest {
    QString list;
    void SetUp() override {
        list = file("list.txt", kOriginal);
        hardLink(list, "other-name.txt");
    }
    // Each case of a table starts anew.
    void afresh() {
        for (const QString& name : entries(dir.path())) QFile::remove(QDir(dir.path()).filePath(name));
        for (const QString& name : recoveryCopies()) QFile::remove(QDir(fileSystem.recoveryFolder()).filePath(name));
        SetUp();
    }
    Status writeObserved(const StepHook& hook) {
        ObservedFileSystem observed(fileSystem, hook);
        Result<files::LoadedFile> loaded = files::readCandidateFile(observed, fromQString(list), qtCodePages(), progress);
        if (!loaded) return loaded.takeProblem();
        return files::writeCandidateFile(observed, *loaded, kTidied, qtCodePages(), progress);
    }
};

TEST_F(InPlace, AnotherProgramsLockKeepsTheListAsItIs) {
    const int held = lockedElsewhere(list);
    ASSERT_GE(held, 0);
    const Status status = readAndWrite(list, kTidied);
    ::close(held);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.problem().code, ProblemCode::WriteFailed);
    EXPECT_EQ(status.problem().cause, SystemCause::InUse);
    EXPECT_EQ(contents(list), kOriginal);
    EXPECT_TRUE(recoveryCopies().isEmpty());
}

// From the check of what was opened to the last step, another program cannot take the lock.
TEST_F(InPlace, TheLockIsHeldToTheEnd) {
    int looked = 0;
    ASSERT_TRUE(writeObserved([&](std::string_view step, std::u16string_view name) {
        if (name != u"list.txt" || step == "open") return;
        ++looked;
        const int other = lockedElsewhere(list);
        EXPECT_LT(other, 0) << "another program took the lock before " << step;
        if (other >= 0) ::close(other);
    }));
    EXPECT_GE(looked, 3);  // the copy's read, the write, the flushes and the cut
    EXPECT_EQ(contents(list), "first\r\nsecond");
}

// Another program that takes no lock saves the list at the step where it does: its save is
// kept where this write has not begun, and the message says the list was changed.
TEST_F(InPlace, AnotherProgramsSaveMeanwhileIsKept) {
    const QByteArray saved = "saved by another program\r\n";
    const QByteArray sameLength = "FIRST\r\n\r\n\r\nSECOND\r\n";
    const auto saveInPlace = [&](const QByteArray& bytes) {
        QFile other(list);
        ASSERT_TRUE(other.open(QIODevice::ReadWrite));
        ASSERT_TRUE(other.resize(0));
        ASSERT_EQ(other.write(bytes), bytes.size());
    };
    const struct {
        const char* name;
        std::string_view step;
        std::u16string_view on;
        std::function<void()> save;
        ProblemCode code;
        QByteArray atName;     // afterwards
        QByteArray otherName;  // the list's other hard link
    } cases[] = {
        {"in place, once the copy is safe", "flushFolder", u"", [&] { saveInPlace(saved); },
         ProblemCode::ChangedSinceRead, saved, saved},
        {"in place with the same length, once the copy is safe", "flushFolder", u"",
         [&] { saveInPlace(sameLength); }, ProblemCode::ChangedSinceRead, sameLength, sameLength},
        // Mixed with this write's bytes: the list is put back as it was read.
        {"in place with the same length, while the list is flushed", "flush", u"list.txt",
         [&] { saveInPlace(sameLength); }, ProblemCode::ChangedWhileWritten, kOriginal, kOriginal},
        {"by a new file renamed over it, while the list is flushed", "flush", u"list.txt",
         [&] {
             writeBytes(path("saved.tmp"), saved);
             ASSERT_EQ(::rename(QFile::encodeName(path("saved.tmp")).constData(), QFile::encodeName(list).constData()), 0);
         },
         ProblemCode::ChangedSinceRead, saved, kOriginal},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        afresh();
        bool saving = true;
        const Status status = writeObserved([&](std::string_view step, std::u16string_view name) {
            if (saving && step == c.step && name == c.on) {
                saving = false;
                c.save();
            }
        });
        ASSERT_FALSE(saving);
        ASSERT_FALSE(status);
        EXPECT_EQ(status.problem().code, c.code);
        EXPECT_EQ(contents(list), c.atName);
        EXPECT_EQ(contents(path("other-name.txt")), c.otherName);
        EXPECT_TRUE(recoveryCopies().isEmpty());
    }
}

// Killed at a step of the write (in place, or for "list.txt" alone, replaced): the next start
// tells of a list that may have lost something, and clears what holds nothing to recover.
TEST_F(InPlace, WhatAKilledWriteLeftIsToldOnceOrCleared) {
    const struct {
        const char* name;
        std::string_view step;
        std::u16string_view on;  // the name the step is on, or the end of it
        bool replaced;
        bool told;
    } cases[] = {
        {"before the note is written", "write", u".old.target", false, false},
        {"before the copy is written", "write", u".old", false, false},
        {"before the copy is flushed", "flush", u".old", false, false},
        {"before the list is cut, its tidied bytes written", "truncate", u"list.txt", false, true},
        {"after the list was written, before the copy is removed", "remove", u".old", false, false},
        {"between removing the copy and the note", "remove", u".target", false, false},
        {"before the temporary file of a replacement is flushed", "flush", u".tmp", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        afresh();
        if (c.replaced) QFile::remove(path("other-name.txt"));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            (void)writeObserved([&](std::string_view step, std::u16string_view name) {
                if (step == c.step && name.ends_with(c.on)) raise(SIGKILL);
            });
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the step was never reached";

        const std::vector<files::InterruptedWrite> told = files::takeInterruptedWrites(fileSystem, fromQString(list));
        ASSERT_EQ(told.size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_EQ(told[0].target, fromQString(list));
            EXPECT_EQ(told[0].problem.code, ProblemCode::RecoveryCopyFound);
            EXPECT_EQ(contents(toQString(told[0].problem.where)), kOriginal);
            EXPECT_EQ(statusOf(toQString(told[0].problem.where)).st_mode & 0777, 0600u) << "the copy is private";
        }
        EXPECT_EQ(recoveryCopies().size(), told.size()) << recoveryCopies().join(' ').toStdString();
        EXPECT_EQ(entries(dir.path()).size(), c.replaced ? 1 : 2) << entries(dir.path()).join(' ').toStdString();
        EXPECT_TRUE(files::takeInterruptedWrites(fileSystem, fromQString(list)).empty()) << "told twice";
    }
}

// What the write relies on is on the disk first: the copy, the note and the recovery folder
// before the list's first byte; the list's bytes before its cut and before the copy goes; a
// replacement's bytes before its rename, and the folder after it.
TEST_F(InPlace, WhatIsReliedOnIsFlushedFirst) {
    const auto indexOf = [](const std::vector<SystemCall>& calls, std::string_view name, ino_t inode, bool last = false) {
        std::ptrdiff_t found = -1;
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].name == name && calls[i].inode == inode) {
                found = static_cast<std::ptrdiff_t>(i);
                if (!last) break;
            }
        }
        return found;
    };
    const ino_t target = statusOf(list).st_ino;
    const ino_t recovery = [&] {
        (void)fileSystem.openRecoveryFolder();
        return statusOf(fileSystem.recoveryFolder()).st_ino;
    }();
    std::vector<ino_t> copies;  // the note and the copy, as they are made
    SystemCallShim shim;
    ASSERT_TRUE(writeObserved([&](std::string_view step, std::u16string_view name) {
        if (step == "flush" && name.ends_with(u".old")) {
            copies.push_back(statusOf(QDir(fileSystem.recoveryFolder()).filePath(toQString(name))).st_ino);
            copies.push_back(statusOf(QDir(fileSystem.recoveryFolder()).filePath(toQString(name) + ".target")).st_ino);
        }
    }));
    const std::vector<SystemCall> calls = shim.calls();
    const std::ptrdiff_t firstWrite = indexOf(calls, "pwrite", target);
    ASSERT_GE(firstWrite, 0);
    ASSERT_EQ(copies.size(), 2u);
    for (const ino_t made : copies) {
        EXPECT_GE(indexOf(calls, "fsync", made), 0);
        EXPECT_LT(indexOf(calls, "fsync", made), firstWrite);
    }
    EXPECT_GE(indexOf(calls, "fsync", recovery), 0);
    EXPECT_LT(indexOf(calls, "fsync", recovery), firstWrite);
    const std::ptrdiff_t lastWrite = indexOf(calls, "pwrite", target, true);
    const std::ptrdiff_t cut = indexOf(calls, "ftruncate", target);
    ASSERT_GT(cut, lastWrite);
    const auto flushedBetween = [&](std::ptrdiff_t from, std::ptrdiff_t to) {
        for (std::ptrdiff_t i = from + 1; i < to; ++i) {
            if (calls[static_cast<std::size_t>(i)] == SystemCall{"fsync", calls[static_cast<std::size_t>(cut)].device, target}) return true;
        }
        return false;
    };
    EXPECT_TRUE(flushedBetween(lastWrite, cut)) << "cut before the tidied bytes were on the disk";
    EXPECT_TRUE(flushedBetween(cut, static_cast<std::ptrdiff_t>(calls.size()))) << "the cut was never flushed";

    // A replacement: the new file's bytes, then the rename, then the folder.
    QFile::remove(path("other-name.txt"));
    writeBytes(list, kOriginal);
    const ino_t folder = statusOf(dir.path()).st_ino;
    SystemCallShim replacing;
    ino_t temporary = 0;
    ASSERT_TRUE(writeObserved([&](std::string_view step, std::u16string_view name) {
        if (step == "flush" && name.ends_with(u".tmp")) temporary = statusOf(path(toQString(name).toUtf8().constData())).st_ino;
    }));
    const std::vector<SystemCall> replaced = replacing.calls();
    const std::ptrdiff_t rename = indexOf(replaced, "renameat", folder);
    ASSERT_GE(rename, 0);
    EXPECT_GE(indexOf(replaced, "fsync", temporary), 0);
    EXPECT_LT(indexOf(replaced, "fsync", temporary), rename);
    EXPECT_GT(indexOf(replaced, "fsync", folder, true), rename) << "the folder was not flushed after the rename";
}

}  // namespace
}  // namespace zorbalin::window
