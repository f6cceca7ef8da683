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
    for (std::size_t step = readSteps + 1; step < probe.log.size(); ++step) {
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

// Killed at any moment of an in-place write: the file holds its old bytes, or the recovery
// folder holds them with a note naming the file, which the next start tells once.
TEST(WriteCandidateFile, AKilledInPlaceWriteCanAlwaysBeUndone) {
    const std::string oldBytes = "first\r\n\r\nsecond\r\n";
    const auto start = [&](FakeFileSystem& system) {
        system.add(u"list.txt", oldBytes)->links = 2;
        return read(system);
    };
    FakeFileSystem probe;
    auto probed = start(probe);
    const std::size_t readSteps = probe.log.size();
    ASSERT_TRUE(write(probe, *probed, u"first\r\nsecond, and more"));
    for (std::size_t step = readSteps; step < probe.log.size(); ++step) {
        SCOPED_TRACE(probe.log[step]);
        FakeFileSystem system;
        auto loaded = start(system);
        std::optional<FakeFileSystem> killed;  // the disk as it is when the process dies
        system.before = [&](const std::string&) {
            if (static_cast<std::size_t>(system.log.size() - 1) == step) {
                killed.emplace(system);
                for (auto* files : {&killed->folder, &killed->recovery}) {
                    for (auto& entry : *files) entry.second = std::make_shared<FakeInode>(*entry.second);
                }
                killed->before = nullptr;
            }
        };
        ASSERT_TRUE(write(system, *loaded, u"first\r\nsecond, and more"));
        ASSERT_TRUE(killed);
        const std::vector<InterruptedWrite> found = takeInterruptedWrites(*killed);
        if (killed->bytesOf(u"list.txt") == oldBytes) {
            continue;  // untouched: a copy may or may not be announced
        }
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].target, u"/lists/list.txt");
        EXPECT_EQ(killed->recovery.at(found[0].copy.substr(7))->bytes, oldBytes);
        EXPECT_TRUE(takeInterruptedWrites(*killed).empty()) << "told twice";
    }
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
