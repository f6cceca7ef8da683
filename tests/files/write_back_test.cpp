#include "files/write_back.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>

#include "fake_file_system.h"

namespace zorbalin::files {
namespace {

using testing::FakeFileSystem;
using testing::FakeInode;

struct MethodCase {
    const char* name;
    WriteTarget target;
    WriteMethod method;

    friend void PrintTo(const MethodCase& c, std::ostream* out) { *out << c.name; }
};

WriteTarget with(auto change) {
    WriteTarget target;
    change(target);
    return target;
}

class ChooseWriteMethod : public ::testing::TestWithParam<MethodCase> {};

TEST_P(ChooseWriteMethod, PicksTheSafestWayThatLosesNothing) {
    EXPECT_EQ(chooseWriteMethod(GetParam().target), GetParam().method);
}

INSTANTIATE_TEST_SUITE_P(
    WriteBack, ChooseWriteMethod,
    ::testing::Values(
        MethodCase{"PlainFileIsReplaced", WriteTarget{}, WriteMethod::AtomicReplace},
        MethodCase{"HardLinkedIsWrittenInPlace", with([](auto& w) { w.linkCount = 2; }),
                   WriteMethod::InPlace},
        MethodCase{"UnwritableFolderIsWrittenInPlace",
                   with([](auto& w) { w.folderWritable = false; }), WriteMethod::InPlace},
        MethodCase{"MetadataThatCannotBeKeptIsWrittenInPlace",
                   with([](auto& w) { w.replacementKeepsAll = false; }), WriteMethod::InPlace},
        MethodCase{"ReadOnlyIsRefused", with([](auto& w) { w.userMayWrite = false; }),
                   WriteMethod::RefuseReadOnly},
        MethodCase{"ReadOnlyInUnwritableFolderIsRefused", with([](auto& w) {
                       w.userMayWrite = false;
                       w.folderWritable = false;
                   }),
                   WriteMethod::RefuseReadOnly},
        MethodCase{"ReadOnlyHardLinkIsRefused", with([](auto& w) {
                       w.userMayWrite = false;
                       w.linkCount = 3;
                   }),
                   WriteMethod::RefuseReadOnly},
        MethodCase{"FolderIsRefused", with([](auto& w) { w.isRegularFile = false; }),
                   WriteMethod::RefuseNotAFile},
        // What it is comes before who may write it.
        MethodCase{"ReadOnlyFolderIsNotAFile", with([](auto& w) {
                       w.isRegularFile = false;
                       w.userMayWrite = false;
                   }),
                   WriteMethod::RefuseNotAFile}),
    [](const auto& test) { return std::string(test.param.name); });

struct SizeCase {
    const char* name;
    std::string oldBytes;
    std::string newBytes;

    friend void PrintTo(const SizeCase& c, std::ostream* out) { *out << c.name; }
};

class WriteInPlace : public ::testing::TestWithParam<SizeCase> {
protected:
    FakeFileSystem system;

    Status write() {
        auto folder = system.openFolder(u"/lists");
        auto file = (*folder)->open(u"list.txt", OpenMode::ReadWrite);
        auto recovery = system.openRecoveryFolder();
        NoProgress progress;
        return writeInPlace({**file, **folder, u"list.txt", u"/lists/list.txt", testing::factsOf(target()).stamp},
                            **recovery, GetParam().newBytes, progress);
    }
    const FakeInode& target() const { return *system.folder.at(u"list.txt"); }
};

TEST_P(WriteInPlace, LeavesExactlyTheNewBytesOnDiskAndNoCopy) {
    system.add(u"list.txt", GetParam().oldBytes);
    ASSERT_TRUE(write());
    EXPECT_EQ(target().bytes, GetParam().newBytes);
    EXPECT_EQ(target().durable, GetParam().newBytes) << "a flush was lost";
    EXPECT_TRUE(system.recovery.empty());
    // Room is reserved before anything is overwritten, and only when it is needed.
    const bool longer = GetParam().newBytes.size() > GetParam().oldBytes.size();
    EXPECT_EQ(std::count(system.log.begin(), system.log.end(), "reserve"), longer ? 1 : 0);
}

// Every step is failed in turn (or throws, as an allocation would): the file keeps its old
// bytes, the first failure is reported, and the recovery folder is left empty.
TEST_P(WriteInPlace, AFailureAtAnyStepLeavesTheOriginalBytes) {
    system.add(u"list.txt", GetParam().oldBytes);
    ASSERT_TRUE(write());
    const std::vector<std::string> steps = system.log;
    ASSERT_GE(steps.size(), 5u);
    for (const bool throwing : {false, true}) {
        for (std::size_t step = 3; step < steps.size(); ++step) {  // after the three opens
            SCOPED_TRACE(steps[step] + (throwing ? " throws" : " fails"));
            system = FakeFileSystem();
            system.add(u"list.txt", GetParam().oldBytes);
            system.failAt = static_cast<int>(step);
            system.throwInstead = throwing;
            if (throwing) {
                EXPECT_THROW((void)write(), std::bad_alloc);
            } else {
                const Status status = write();
                ASSERT_FALSE(status);
                const bool beforeTheCopyWasSafe = status.problem().code == ProblemCode::NoRecoveryCopy;
                EXPECT_EQ(status.problem().code,
                          beforeTheCopyWasSafe ? ProblemCode::NoRecoveryCopy : ProblemCode::WriteFailed);
                EXPECT_EQ(status.problem().detail, u"injected " + std::u16string(steps[step].begin(), steps[step].end()));
                EXPECT_EQ(status.problem().cause, SystemCause::NoSpace);
            }
            EXPECT_EQ(target().bytes, GetParam().oldBytes);
            EXPECT_TRUE(system.recovery.empty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    WriteBack, WriteInPlace,
    ::testing::Values(SizeCase{"Shorter", "a\r\n\r\n\r\nb\r\n", "a\r\nb"},
                      SizeCase{"SameLength", "abc\r\n", "xyz\r\n"},
                      SizeCase{"Longer", "x\xe2\x80\xa9y", "x\r\ny\r\nz\r\nlonger"},
                      SizeCase{"FromEmpty", "", "a\r\nb"},
                      SizeCase{"ToEmpty", "a\r\n", ""}),
    [](const auto& test) { return std::string(test.param.name); });

// A list written in place after `arm` has set the failures of the steps to come.
class WriteInPlaceFailing : public ::testing::Test {
protected:
    Status write(std::string old, std::string_view tidied, const std::function<void()>& arm) {
        const auto inode = system.add(u"list.txt", std::move(old));
        auto folder = system.openFolder(u"/lists");
        auto file = (*folder)->open(u"list.txt", OpenMode::ReadWrite);
        auto recovery = system.openRecoveryFolder();
        arm();
        NoProgress progress;
        return writeInPlace({**file, **folder, u"list.txt", u"/lists/list.txt", testing::factsOf(*inode).stamp},
                            **recovery, tidied, progress);
    }
    FakeFileSystem system;
};

TEST_F(WriteInPlaceFailing, KeepsTheFirstErrorAndNamesTheCopyWhenTheOldBytesCannotGoBack) {
    // The copy is made; the first write of the new bytes fails, and so does all that follows.
    bool copied = false;
    const Status status = write("first\r\nsecond\r\n", "tidied\r\ntext, longer", [&] {
        system.before = [&](const std::string& step) {
            copied = copied || step == "flushFolder";
            if (copied && step == "write" && system.failFrom < 0) {
                system.failFrom = static_cast<int>(system.log.size()) - 1;
            }
        };
    });
    ASSERT_FALSE(status);
    EXPECT_EQ(status.problem().code, ProblemCode::NotRestored);
    EXPECT_EQ(status.problem().cause, SystemCause::NoSpace) << "the restore's error replaced the first";
    EXPECT_EQ(status.problem().detail, u"injected write");
    EXPECT_EQ(status.problem().where, u"/state/list.txt.old");
    ASSERT_EQ(system.recovery.size(), 1u) << "the copy stays, its note goes (told now)";
    EXPECT_EQ(system.recovery.at(u"list.txt.old")->bytes, "first\r\nsecond\r\n");
}

// A full disk refuses the room for a longer text, or stores nothing of a write: no byte of
// the file changed, so it is as it was and the message must not say it may be damaged; the
// undo finds nothing to put back and does not touch the file at all (no new times either).
TEST_F(WriteInPlaceFailing, AFullDiskBeforeAnyByteChangedLeavesTheFileUntouched) {
    const struct {
        const char* name;
        std::string tidied;
        const char* failing;
    } cases[] = {{"NoRoomForALongerText", "tidied\r\ntext, longer", "reserve"},
                 {"NothingOfTheWriteStored", "tidied\r\ntext", "write"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        system = FakeFileSystem();
        system.failedWritesStoreHalf = false;
        bool copied = false;
        std::int64_t modified = 0;
        const Status status = write("first\r\nsecond\r\n", c.tidied, [&] {
            modified = system.folder.at(u"list.txt")->modified;
            system.before = [&](const std::string& step) {
                copied = copied || step == "flushFolder";
                if (copied && (step == "reserve" || step == "write")) {
                    system.failAt = static_cast<int>(system.log.size()) - 1;
                }
            };
        });
        ASSERT_FALSE(status);
        EXPECT_EQ(status.problem().code, ProblemCode::WriteFailed);
        EXPECT_EQ(status.problem().detail, u"injected " + std::u16string(c.failing, c.failing + std::strlen(c.failing)));
        EXPECT_EQ(system.bytesOf(u"list.txt"), "first\r\nsecond\r\n");
        EXPECT_EQ(system.folder.at(u"list.txt")->modified, modified);
        EXPECT_TRUE(system.recovery.empty());
    }
}

// On a copy-on-write disk the new bytes take new room, and so would the old ones put back.
TEST_F(WriteInPlaceFailing, ACopyOnWriteDiskWithoutRoomToWriteAndUndoIsNotTouched) {
    const std::string old(100, 'o');
    const std::string tidied(60, 't');
    const std::uint64_t needed = old.size() + tidied.size() + kCopyOnWriteMargin;
    for (const std::uint64_t available : {needed, needed - 1}) {
        system = FakeFileSystem();
        system.space = {available, true};
        const Status status = write(old, tidied, [] {});
        if (available == needed) {
            EXPECT_TRUE(status);
            EXPECT_EQ(system.bytesOf(u"list.txt"), tidied);
        } else {
            ASSERT_FALSE(status);
            EXPECT_EQ(status.problem(), (Problem{ProblemCode::WriteFailed, u"", SystemCause::NoSpace, u"", 0}));
            EXPECT_EQ(system.bytesOf(u"list.txt"), old);
        }
        EXPECT_TRUE(system.recovery.empty());
    }
}

TEST_F(WriteInPlaceFailing, TouchesNothingWithoutACopy) {
    system.recovery[u"list.txt.old"] = std::make_shared<FakeInode>();  // an earlier copy stays
    const Status status = write("old\r\n", "new", [&] {
        system.failAt = static_cast<int>(system.log.size()) + 1;  // the new copy's creation
    });
    ASSERT_FALSE(status);
    EXPECT_EQ(status.problem().code, ProblemCode::NoRecoveryCopy);
    EXPECT_EQ(status.problem().where, u"/state/");
    EXPECT_EQ(system.bytesOf(u"list.txt"), "old\r\n");
    EXPECT_EQ(system.recovery.size(), 1u);
}

}  // namespace
}  // namespace zorbalin::files
