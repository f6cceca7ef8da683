// The file procedure's decisions, against the platform's operations in memory.
#include "files/candidate_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include "fake_code_pages.h"
#include "fake_file_system.h"
#include "textio/candidate_decoding.h"

namespace zorbalin::files {
namespace {

using testing::FakeFileSystem;
using testing::FakeInode;
using textio::FileFormat;
using textio::LineEnding;
using textio::TextEncoding;

constexpr std::size_t kLimit = textio::kMaxCandidateFileBytes;

CodePages codePages() { return {textio::testing::fakeDecoder(), textio::testing::fakeEncoder()}; }

Result<LoadedFile> read(FakeFileSystem& system, std::u16string_view path = u"/lists/list.txt") {
    NoProgress progress;
    return readCandidateFile(system, path, codePages(), progress);
}

Status write(FakeFileSystem& system, LoadedFile& file, std::u16string_view text) {
    NoProgress progress;
    return writeCandidateFile(system, file, text, codePages(), progress);
}

std::string sample(const char* name) {
    std::ifstream in(std::string(ZORBALIN_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct ReadCase {
    const char* name;
    std::function<void(FakeFileSystem&)> setUp;
    std::optional<ProblemCode> refusal;  // nullopt: read
    std::u16string text = {};
};

TEST(ReadCandidateFile, ReadsOrRefusesWithTheReason) {
    const auto file = [](std::string bytes, auto change) {
        return [bytes = std::move(bytes), change](FakeFileSystem& system) {
            change(*system.add(u"list.txt", bytes));
        };
    };
    const auto as = [](auto change) { return change; };
    const auto nothing = [](FakeInode&) {};
    const ReadCase cases[] = {
        {"PlainList", file("a\nb\n", nothing), std::nullopt, u"a\r\nb\r\n"},
        {"Missing", [](FakeFileSystem&) {}, ProblemCode::Missing},
        {"Folder", file("", as([](FakeInode& i) { i.kind = FileKind::Folder; })), ProblemCode::NotAFile},
        {"PipeOrDevice", file("", as([](FakeInode& i) { i.kind = FileKind::Other; })), ProblemCode::NotAFile},
        {"NotOursToRead", [&](FakeFileSystem& s) { file("a", nothing)(s); s.readable = false; },
         ProblemCode::NoReadPermission},
        {"ReadError", [&](FakeFileSystem& s) { file("a", nothing)(s); s.failAt = 2; },
         ProblemCode::ReadFailed},
        {"Binary", file(std::string("\x89PNG\r\n\x1a\n\0", 9), nothing), ProblemCode::NotText},
        {"ExactlyTheLimit", file(std::string(kLimit, 'a'), nothing), std::nullopt, std::u16string(kLimit, u'a')},
        {"OneByteOverTheLimit", file(std::string(kLimit + 1, 'a'), nothing), ProblemCode::TooLarge},
        {"RichTextOverTheLimit", file("{\\rtf1 " + std::string(kLimit, 'a') + "}", nothing),
         ProblemCode::TooLarge},
        // /proc/self/pagemap says 0 and never ends.
        {"SaysEmptyButIsHuge", file(std::string(kLimit + 1, 'a'), as([](FakeInode& i) { i.reportedSize = 0; })),
         ProblemCode::TooLarge},
        {"GrewWhileRead", file(std::string(kLimit + 1, 'a'), as([](FakeInode& i) { i.reportedSize = 10; })),
         ProblemCode::TooLarge},
        // Read whole (then found to be binary), not refused as too large.
        {"GrewToExactlyTheLimit",
         file(std::string(kLimit, '\0'), as([](FakeInode& i) { i.reportedSize = kLimit - 10; })),
         ProblemCode::NotText},
        {"ShrankWhileRead", file("ab", as([](FakeInode& i) { i.reportedSize = 5; })), std::nullopt, u"ab"},
        {"PlainListBeginningLikeRichText", file("{\\rtf1 just a name list}\r\nAnn\r\nBob", nothing),
         std::nullopt, u"{\\rtf1 just a name list}\r\nAnn\r\nBob"},
        {"Workbook", file(sample("workbook-no-header.xlsx"), nothing), std::nullopt, u"Ann\r\nBob\r\n赵六"},
        {"LegacyWorkbook", file(sample("workbook-legacy.xls"), nothing), ProblemCode::WorkbookLegacy},
        {"DamagedWorkbook", file(std::string("PK\x03\x04", 4) + "rest", nothing), ProblemCode::WorkbookDamaged},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileSystem system;
        c.setUp(system);
        const Result<LoadedFile> loaded = read(system);
        if (c.refusal) {
            ASSERT_FALSE(loaded);
            EXPECT_EQ(loaded.problem().code, *c.refusal);
        } else {
            ASSERT_TRUE(loaded) << static_cast<int>(loaded.problem().code);
            EXPECT_TRUE(loaded->text == c.text);
        }
    }
}

TEST(ReadCandidateFile, KeepsTheSystemsReasonForAFailedRead) {
    FakeFileSystem system;
    system.add(u"list.txt", "a");
    system.failAt = 2;  // open, facts, read
    system.cause = SystemCause::InUse;
    const Result<LoadedFile> loaded = read(system);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.problem(), (Problem{ProblemCode::ReadFailed, u"injected read", SystemCause::InUse, u"", 0}));
}

// A file of 3 MiB is read and written in steps of about a megabyte.
TEST(CandidateFile, ReportsProgressInMegabyteSteps) {
    struct Recorder : Progress {
        std::vector<std::pair<ProgressStage, std::uint64_t>> reports;
        void report(ProgressStage stage, std::uint64_t done, std::uint64_t) override {
            reports.emplace_back(stage, done);
        }
    } progress;
    FakeFileSystem system;
    system.add(u"list.txt", std::string(3 * kChunkBytes, 'a'));
    auto loaded = readCandidateFile(system, u"/lists/list.txt", codePages(), progress);
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(writeCandidateFile(system, *loaded, std::u16string(3 * kChunkBytes, u'b'), codePages(), progress));
    const auto count = [&](ProgressStage stage) {
        return std::count_if(progress.reports.begin(), progress.reports.end(),
                             [stage](const auto& r) { return r.first == stage; });
    };
    EXPECT_EQ(count(ProgressStage::Reading), 3);
    EXPECT_EQ(count(ProgressStage::Decoding), 2);
    EXPECT_EQ(count(ProgressStage::Writing), 3);
    EXPECT_EQ(progress.reports.back().second, 3 * kChunkBytes);
}

// A spreadsheet is never rewritten as text: after it is read, no operation reaches the file.
TEST(WriteCandidateFile, WritesNothingIntoAWorkbook) {
    FakeFileSystem system;
    const std::string workbook = sample("workbook-header-b.xlsx");
    const auto inode = system.add(u"list.xlsx", workbook);
    Result<LoadedFile> loaded = read(system, u"/lists/list.xlsx");
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->isWorkbook);
    const std::size_t steps = system.log.size();
    const std::int64_t modified = inode->modified;
    EXPECT_TRUE(write(system, *loaded, u"张三\r\n李四"));
    EXPECT_EQ(system.log.size(), steps);
    EXPECT_EQ(system.folder.size(), 1u);
    EXPECT_EQ(inode->bytes, workbook);
    EXPECT_EQ(inode->modified, modified);
}

// How the write goes, seen from the folder afterwards.
enum class Outcome { Replaced, InPlace, Untouched };

struct WriteCase {
    const char* name;
    std::function<void(FakeFileSystem&, FakeInode&)> between;  // after the read
    std::u16string text;
    std::optional<ProblemCode> refusal;
    Outcome outcome;
};

TEST(WriteCandidateFile, WritesTheFileThatWasReadTheWayThatLosesNothing) {
    const auto nothing = [](FakeFileSystem&, FakeInode&) {};
    const std::string other = "written meanwhile\r\n";
    const WriteCase cases[] = {
        {"PlainFileIsReplaced", nothing, u"a\r\nb", std::nullopt, Outcome::Replaced},
        {"SameBytesAreNotWritten", nothing, u"a\r\n\r\nb\r\n", std::nullopt, Outcome::Untouched},
        {"HardLinkIsWrittenInPlace", [](auto&, auto& f) { f.links = 2; }, u"a\r\nb", std::nullopt,
         Outcome::InPlace},
        {"UnwritableFolderIsWrittenInPlace", [](auto& s, auto&) { s.folderWritable = false; },
         u"a\r\nb", std::nullopt, Outcome::InPlace},
        {"OwnerOrAclThatCannotBeKeptIsWrittenInPlace", [](auto&, auto& f) { f.keepsMetadata = false; },
         u"a\r\nb", std::nullopt, Outcome::InPlace},
        {"ReadOnlyIsLeftAlone", [](auto&, auto& f) { f.markedWritable = false; }, u"a\r\nb",
         ProblemCode::ReadOnly, Outcome::Untouched},
        {"NotTheUsersToWrite", [](auto&, auto& f) { f.userMayWrite = false; }, u"a\r\nb",
         ProblemCode::ReadOnly, Outcome::Untouched},
        {"SavedMeanwhile", [&](auto& s, auto& f) { s.change(f, other); }, u"a\r\nb",
         ProblemCode::ChangedSinceRead, Outcome::Untouched},
        {"ReplacedMeanwhile", [&](auto& s, auto&) { s.add(u"list.txt", other); }, u"a\r\nb",
         ProblemCode::ChangedSinceRead, Outcome::Untouched},
        {"RelinkedMeanwhile", [&](auto& s, auto&) { s.add(u"list.txt", other)->kind = FileKind::Other; },
         u"a\r\nb", ProblemCode::ChangedSinceRead, Outcome::Untouched},
        {"RemovedMeanwhile", [](auto& s, auto&) { s.folder.erase(u"list.txt"); }, u"a\r\nb",
         ProblemCode::ChangedSinceRead, Outcome::Untouched},
        {"HardLinkSavedMeanwhile", [&](auto& s, auto& f) { f.links = 2; s.change(f, other); },
         u"a\r\nb", ProblemCode::ChangedSinceRead, Outcome::Untouched},
        {"SavedMeanwhileWithTheSameLength", [](auto& s, auto& f) { s.change(f, "x\r\n\r\ny\r\n"); }, u"a\r\nb",
         ProblemCode::ChangedSinceRead, Outcome::Untouched},
        {"HardLinkSavedMeanwhileWithTheSameLength",
         [](auto& s, auto& f) { f.links = 2; s.change(f, "x\r\n\r\ny\r\n"); }, u"a\r\nb",
         ProblemCode::ChangedSinceRead, Outcome::Untouched},
        {"AttributesThisUserCannotSeeIsWrittenInPlace", [](auto&, auto& f) { f.attributesHidden = true; },
         u"a\r\nb", std::nullopt, Outcome::InPlace},
        {"HardLinkHeldForWritingElsewhere", [](auto&, auto& f) { f.links = 2; f.lockedElsewhere = true; },
         u"a\r\nb", ProblemCode::WriteFailed, Outcome::Untouched},
        {"NoRecoveryFolderForAnInPlaceWrite", [](auto& s, auto& f) { f.links = 2; s.recoveryAvailable = false; },
         u"a\r\nb", ProblemCode::NoRecoveryCopy, Outcome::Untouched},
        // Another program saves while the new file is written: the rename must not lose it.
        {"SavedWhileTheReplacementWasWritten",
         [&](auto& s, auto& f) {
             s.before = [&s, &f, &other, changed = false](const std::string& step) mutable {
                 if (!changed && step == "keepMetadata") s.change(f, other), changed = true;
             };
         },
         u"a\r\nb", ProblemCode::ChangedSinceRead, Outcome::Untouched},
    };
    const std::string original = "a\r\n\r\nb\r\n";
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileSystem system;
        const auto inode = system.add(u"list.txt", original);
        Result<LoadedFile> loaded = read(system);
        ASSERT_TRUE(loaded);
        const std::int64_t readTime = inode->modified;
        c.between(system, *inode);
        const bool there = system.folder.contains(u"list.txt");
        const std::string before = there ? system.bytesOf(u"list.txt") : "";
        const auto beforeInode = there ? system.folder.at(u"list.txt") : nullptr;
        const Status status = write(system, *loaded, c.text);

        if (c.refusal) {
            ASSERT_FALSE(status);
            EXPECT_EQ(status.problem().code, *c.refusal);
        } else {
            ASSERT_TRUE(status) << static_cast<int>(status.problem().code);
        }
        ASSERT_TRUE(system.folder.contains(u"list.txt") || c.outcome == Outcome::Untouched);
        EXPECT_EQ(system.folder.size(), system.folder.contains(u"list.txt") ? 1u : 0u)
            << "a temporary file stayed";
        EXPECT_TRUE(system.recovery.empty()) << "a recovery copy stayed";
        if (!system.folder.contains(u"list.txt")) continue;
        const auto after = system.folder.at(u"list.txt");
        switch (c.outcome) {
        case Outcome::Replaced:
            EXPECT_NE(after, beforeInode);
            EXPECT_EQ(after->durable, "a\r\nb") << "replaced by an unflushed file";
            break;
        case Outcome::InPlace:
            EXPECT_EQ(after, beforeInode);
            EXPECT_EQ(after->durable, "a\r\nb");
            break;
        case Outcome::Untouched:
            EXPECT_EQ(after, beforeInode);
            EXPECT_EQ(after->bytes, system.before ? other : before);  // another program's bytes kept
            if (before == original && !system.before) {
                EXPECT_EQ(after->modified, readTime);
            }
            break;
        }
    }
}

TEST(WriteCandidateFile, RefusesTextTheFilesEncodingCannotHoldBeforeTouchingIt) {
    FakeFileSystem system;
    system.add(u"list.txt", "\xD5\xC5\n");  // GB18030
    Result<LoadedFile> loaded = read(system);
    ASSERT_TRUE(loaded);
    const std::size_t steps = system.log.size();
    const Status status = write(system, *loaded, u"张\r\n\U00020000");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.problem().code, ProblemCode::NotEncodable);
    EXPECT_EQ(system.log.size(), steps);
}

// Every step of a replacement fails in turn, or throws as an allocation would: the file keeps
// its bytes and no temporary file stays.
TEST(WriteCandidateFile, AFailureAtAnyStepOfAReplacementLeavesTheFile) {
    const auto attempt = [](FakeFileSystem& system, int failAt, bool throwing) {
        system.add(u"list.txt", "a\r\n\r\nb\r\n");
        Result<LoadedFile> loaded = read(system);
        system.failAt = failAt;
        system.throwInstead = throwing;
        if (throwing) {
            EXPECT_THROW((void)write(system, *loaded, u"a\r\nb"), std::bad_alloc);
            return Status(done());
        }
        return write(system, *loaded, u"a\r\nb");
    };
    FakeFileSystem probe;
    ASSERT_TRUE(attempt(probe, -1, false));
    const std::size_t readSteps = 3;  // open, facts, read
    // After the replace, the file is written: what follows only remembers it as written.
    const auto replaced = std::find(probe.log.begin(), probe.log.end(), "replace");
    ASSERT_NE(replaced, probe.log.end());
    const auto lastStep = static_cast<std::size_t>(replaced - probe.log.begin());
    for (std::size_t step = lastStep + 1; step < probe.log.size(); ++step) {
        FakeFileSystem system;
        EXPECT_TRUE(attempt(system, static_cast<int>(step), false)) << probe.log[step];
        EXPECT_EQ(system.bytesOf(u"list.txt"), "a\r\nb");
    }
    for (std::size_t step = readSteps + 1; step <= lastStep; ++step) {
        if (probe.log[step] == "keepMetadata") continue;  // a decision: then in place
        for (const bool throwing : {false, true}) {
            SCOPED_TRACE(probe.log[step] + (throwing ? " throws" : " fails"));
            FakeFileSystem system;
            const Status status = attempt(system, static_cast<int>(step), throwing);
            if (!throwing) {
                ASSERT_FALSE(status);
                EXPECT_EQ(status.problem().code, ProblemCode::WriteFailed);
                EXPECT_EQ(status.problem().cause, SystemCause::NoSpace);
            }
            EXPECT_EQ(system.bytesOf(u"list.txt"), "a\r\n\r\nb\r\n");
            EXPECT_EQ(system.folder.size(), 1u);
        }
    }
}

// The process killed, or the power cut, before any step of a write or after its last: the
// disk then holds the list as it was or as tidied, or else the next start tells where the copy
// of its old bytes is. A file whose length has changed holds the tidied bytes: a cut (which
// reaches the disk at once) never goes ahead of them. After the next start, nothing the write
// made is left but a copy it told of.
TEST(WriteCandidateFile, AKillOrPowerFailureAtAnyStepLosesNothing) {
    struct Case {
        const char* name;
        std::uint64_t links;
        std::string old;
        std::u16string text;
    };
    const Case cases[] = {
        {"InPlaceShorter", 2, "first\r\n\r\n\r\nsecond\r\n", u"first\r\nsecond"},
        {"InPlaceLonger", 2, "first\r\n\r\nsecond", u"first\r\nsecond, and more"},
        {"ReplacedShorter", 1, "first\r\n\r\n\r\nsecond\r\n", u"first\r\nsecond"},
    };
    for (const Case& c : cases) {
        const std::string tidied(c.text.begin(), c.text.end());
        const auto start = [&](FakeFileSystem& system) {
            system.add(u"list.txt", c.old)->links = c.links;
            return read(system);
        };
        FakeFileSystem probe;
        auto probed = start(probe);
        const std::size_t readSteps = probe.log.size();
        ASSERT_TRUE(write(probe, *probed, c.text));
        for (std::size_t step = readSteps; step <= probe.log.size(); ++step) {
            for (const bool powerFailure : {false, true}) {
                SCOPED_TRACE(std::string(c.name) + (powerFailure ? ": power failure before " : ": killed before ") +
                             (step < probe.log.size() ? probe.log[step] : "the end"));
                FakeFileSystem system;
                auto loaded = start(system);
                std::optional<FakeFileSystem> disk;
                const auto stop = [&] { disk.emplace(powerFailure ? system.afterPowerFailure() : system.afterKill()); };
                system.before = [&](const std::string&) {
                    if (system.log.size() - 1 == step) stop();
                };
                ASSERT_TRUE(write(system, *loaded, c.text));
                if (!disk) stop();

                const std::vector<InterruptedWrite> told = takeInterruptedWrites(*disk, u"/lists/list.txt");
                const std::string now = disk->bytesOf(u"list.txt");
                if (now == c.old || now == tidied) {
                    EXPECT_TRUE(told.empty());
                } else {
                    ASSERT_EQ(told.size(), 1u) << now;
                    EXPECT_EQ(told[0].target, u"/lists/list.txt");
                    EXPECT_EQ(told[0].problem, (Problem{ProblemCode::RecoveryCopyFound, u"", SystemCause::Other,
                                                        u"/state/list.txt.old", 0}));
                    EXPECT_EQ(disk->recovery.at(u"list.txt.old")->bytes, c.old);
                }
                if (now.size() != c.old.size()) {
                    EXPECT_EQ(now, tidied) << "cut ahead of the tidied bytes";
                }
                if (step == probe.log.size()) {
                    EXPECT_EQ(now, tidied);
                }
                EXPECT_EQ(disk->folder.size(), 1u) << "a temporary file stayed";
                EXPECT_EQ(disk->recovery.size(), told.size()) << "a copy or note stayed";
                EXPECT_TRUE(takeInterruptedWrites(*disk, u"/lists/list.txt").empty()) << "told twice";
            }
        }
    }
}

// What another program does while a hard-linked list is written in place, at the step where
// it does it: nothing of another file is copied or written, and what this write changed is
// put back.
TEST(WriteCandidateFile, AnotherProgramWritingMeanwhileIsNeverOverwritten) {
    const std::string original = "a\r\n\r\nb\r\n";
    const std::string other = "written meanwhile\r\n";
    struct Case {
        const char* name;
        const char* step;   // before this step...
        bool afterTheCopy;  // ... once the copy is safe (then: where one step of the write was
                            // looked at after it was made, and before the next)
        std::function<void(FakeFileSystem&, FakeInode&)> change;
        ProblemCode code;
        std::string atName;  // the bytes the name leads to afterwards
        std::string inOldFile;
    };
    const Case cases[] = {
        {"ReplacedJustBeforeTheOpenForWriting", "openForWriting", false,
         [&](auto& s, auto&) { s.add(u"list.txt", other)->links = 2; }, ProblemCode::ChangedSinceRead, other,
         original},
        {"SavedInPlaceWhileTheCopyWasMade", "flushFolder", false, [&](auto& s, auto& f) { s.change(f, other); },
         ProblemCode::ChangedSinceRead, other, other},
        {"SavedInPlaceWithTheSameLengthBetweenTwoSteps", "facts", true,
         [&](auto& s, auto& f) { s.change(f, "c\r\n"); }, ProblemCode::ChangedWhileWritten, original, original},
        // During a step its times are the step's: the size this write left, or reading back
        // what it wrote, tells.
        {"AppendedToDuringAStep", "write", true, [](auto& s, auto& f) { s.change(f, f.bytes + "appended"); },
         ProblemCode::ChangedWhileWritten, original, original},
        {"SavedInPlaceWithTheSameLengthDuringAStep", "flush", true,
         [](auto& s, auto& f) { s.change(f, "x" + f.bytes.substr(1)); }, ProblemCode::ChangedWhileWritten,
         original, original},
        {"SavedUnderANewFileRenamedOverIt", "flush", true,
         [&](auto& s, auto& f) {
             s.folder[u"other-name.txt"] = s.folder.at(u"list.txt");
             s.add(u"list.txt", other);
             (void)f;
         },
         ProblemCode::ChangedSinceRead, other, original},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileSystem system;
        const auto inode = system.add(u"list.txt", original);
        inode->links = 2;
        Result<LoadedFile> loaded = read(system);
        ASSERT_TRUE(loaded);
        bool copied = false, changed = false;
        std::string previous;
        system.before = [&](const std::string& step) {
            copied = copied || step == "flushFolder";
            const bool between = !c.afterTheCopy || (copied && (step != "facts" || previous == "facts"));
            if (!changed && step == c.step && between && system.log.size() > 1) {
                changed = true;
                c.change(system, *inode);
            }
            previous = step;
        };
        const Status status = write(system, *loaded, u"c\r\n");
        ASSERT_TRUE(changed);
        ASSERT_FALSE(status);
        EXPECT_EQ(status.problem().code, c.code);
        EXPECT_EQ(system.bytesOf(u"list.txt"), c.atName);
        EXPECT_EQ(inode->bytes, c.inOldFile);
        EXPECT_TRUE(system.recovery.empty());
        if (std::string(c.step) == "openForWriting") {
            EXPECT_EQ(std::count(system.log.begin(), system.log.end(), "createNew"), 0) << "the other file was copied";
        }
    }
}

// What a killed write left, as the next start finds it: told only where the list may have
// lost something, cleared where it holds nothing to recover.
TEST(TakeInterruptedWrites, TellsOnlyWhatMayHaveBeenLostAndClearsTheRest) {
    const std::string old = "a\r\n\r\n\r\nb\r\n";
    // Killed just before the cut of a hard-linked list written in place: a note, a complete
    // copy, and a file that holds the tidied bytes and the old tail.
    const auto killedBeforeTheCut = [&] {
        FakeFileSystem system;
        system.add(u"list.txt", old)->links = 2;
        Result<LoadedFile> loaded = read(system);
        std::optional<FakeFileSystem> disk;
        system.before = [&](const std::string& step) {
            if (step == "truncate" && !disk) disk.emplace(system.afterKill());
        };
        EXPECT_TRUE(write(system, *loaded, u"a\r\nb"));
        return std::move(*disk);
    };
    struct Case {
        const char* name;
        std::function<void(FakeFileSystem&)> then;
        std::optional<SystemCause> told;
        std::size_t left;  // in the recovery folder afterwards
    };
    const Case cases[] = {
        {"HoldsNeitherVersion", [](FakeFileSystem&) {}, SystemCause::Other, 1},
        {"HoldsItsOldBytesAgain", [&](FakeFileSystem& s) { s.folder.at(u"list.txt")->bytes = old; }, std::nullopt, 0},
        {"HoldsTheTidiedBytes", [](FakeFileSystem& s) { s.folder.at(u"list.txt")->bytes = "a\r\nb"; }, std::nullopt, 0},
        {"IsGone", [](FakeFileSystem& s) { s.folder.erase(u"list.txt"); }, SystemCause::NotFound, 1},
        {"NoteWithoutItsCopy", [](FakeFileSystem& s) { s.recovery.erase(u"list.txt.old"); }, std::nullopt, 0},
        {"NoteOfAnEarlierVersion",
         [](FakeFileSystem& s) { s.recovery.at(u"list.txt.old.target")->bytes = "/lists/list.txt"; },
         SystemCause::Other, 1},
        {"CopyToldOfBefore", [](FakeFileSystem& s) { s.recovery.erase(u"list.txt.old.target"); }, std::nullopt, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileSystem disk = killedBeforeTheCut();
        ASSERT_EQ(disk.recovery.size(), 2u);
        c.then(disk);
        const std::vector<InterruptedWrite> told = takeInterruptedWrites(disk, u"/lists/list.txt");
        if (c.told) {
            ASSERT_EQ(told.size(), 1u);
            EXPECT_EQ(told[0].problem.code, ProblemCode::RecoveryCopyFound);
            EXPECT_EQ(told[0].problem.cause, *c.told);
            EXPECT_EQ(told[0].problem.where, u"/state/list.txt.old");
        } else {
            EXPECT_TRUE(told.empty());
        }
        ASSERT_EQ(disk.recovery.size(), c.left);
        if (c.left > 0) {
            EXPECT_EQ(disk.recovery.at(u"list.txt.old")->bytes, old);
        }
    }
}

TEST(TakeInterruptedWrites, RemovesItsOwnTemporaryFilesBesideTheRememberedList) {
    FakeFileSystem system;
    system.add(u"list.txt", "a");
    system.add(u".~zorbalin-0123456789abcdef.tmp", "left by a kill");
    system.add(u".~zorbalin-fedcba9876543210.tmp", "another run writes it")->lockedElsewhere = true;
    system.add(u".~zorbalin-0123456789abcdee.tmp", "another name for it")->links = 2;
    system.add(u".~zorbalin-notours.tmp", "the user's own");
    (void)takeInterruptedWrites(system, u"");
    EXPECT_EQ(system.folder.size(), 5u) << "no remembered list, no folder to look in";
    (void)takeInterruptedWrites(system, u"/lists/list.txt");
    std::vector<std::u16string> left;
    for (const auto& entry : system.folder) left.push_back(entry.first);
    EXPECT_EQ(left, (std::vector<std::u16string>{u".~zorbalin-0123456789abcdee.tmp", u".~zorbalin-fedcba9876543210.tmp",
                                                 u".~zorbalin-notours.tmp", u"list.txt"}));
}

TEST(SaveTextFile, CreatesANewFileOrReplacesTheOneThereButNoFolder) {
    const FileFormat utf8{TextEncoding::Utf8WithBom, LineEnding::CrLf};
    NoProgress progress;
    FakeFileSystem system;
    ASSERT_TRUE(saveTextFile(system, u"/lists/record.txt", u"a\r\nb", utf8, codePages(), progress));
    EXPECT_EQ(system.bytesOf(u"record.txt"), "\xEF\xBB\xBF" "a\r\nb");
    EXPECT_EQ(system.folder.size(), 1u) << "no temporary file is left";

    const auto old = system.folder.at(u"record.txt");
    old->links = 2;  // another name for it keeps seeing what is saved
    ASSERT_TRUE(saveTextFile(system, u"/lists/record.txt", u"c", utf8, codePages(), progress));
    EXPECT_EQ(old->bytes, "\xEF\xBB\xBF" "c");

    system.add(u"folder", "")->kind = FileKind::Folder;
    const Status refused = saveTextFile(system, u"/lists/folder", u"c", utf8, codePages(), progress);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.problem().code, ProblemCode::TargetNotAFile);
}

}  // namespace
}  // namespace zorbalin::files
