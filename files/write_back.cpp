#include "files/write_back.h"

#include <algorithm>
#include <vector>

#include "files/candidate_file.h"
#include "recovery_copy.h"
#include "same_file.h"

namespace zorbalin::files {

WriteMethod chooseWriteMethod(const WriteTarget& target) {
    if (!target.isRegularFile) return WriteMethod::RefuseNotAFile;
    if (!target.userMayWrite) return WriteMethod::RefuseReadOnly;
    const bool replacementLosesSomething =
        target.linkCount > 1 || !target.folderWritable || !target.replacementKeepsAll;
    return replacementLosesSomething ? WriteMethod::InPlace : WriteMethod::AtomicReplace;
}

namespace {

// Whether another program writes the file meanwhile: before each step, the file must be as
// the last one left it (size and times, asked of the open file after each), and its name must
// lead to it before the first byte and after the last.
class Watch {
public:
    explicit Watch(const InPlaceTarget& target) : target_(target), expected_(target.stamp) {}

    Status unchanged() {
        Result<FileFacts> facts = target_.file.facts();
        if (!facts) return withCode(facts.takeProblem(), ProblemCode::WriteFailed);
        if (facts->stamp == expected_) return done();
        return problemOf(wrote_ ? ProblemCode::ChangedWhileWritten : ProblemCode::ChangedSinceRead);
    }
    // After a step of this write: how it left the file. Its times are the step's; its size
    // is known, between the two given: a size of anyone else's is another program's write.
    Status settle(std::uint64_t smallest, std::uint64_t largest) {
        wrote_ = true;
        Result<FileFacts> facts = target_.file.facts();
        if (!facts) return withCode(facts.takeProblem(), ProblemCode::WriteFailed);
        expected_ = facts->stamp;
        if (expected_.size < smallest || expected_.size > largest) {
            return problemOf(ProblemCode::ChangedWhileWritten);
        }
        return done();
    }
    std::uint64_t size() const { return expected_.size; }
    // Another program that saves by a new file and a rename leaves this one to the other names
    // it has: the name leads elsewhere.
    Status nameLeadsHere() {
        Result<FileFacts> facts = target_.folder.factsOf(target_.name);
        if (!facts) return lookupFailure(facts.takeProblem());
        if (facts->kind != FileKind::RegularFile || !sameFile(facts->stamp, expected_)) {
            return problemOf(ProblemCode::ChangedSinceRead);
        }
        return done();
    }

private:
    const InPlaceTarget& target_;
    FileStamp expected_;
    bool wrote_ = false;
};

Status failedStep(Status step) {
    if (step) return step;
    return withCode(step.takeProblem(), ProblemCode::WriteFailed);
}

// Up to buffer.size() bytes from offset, fewer only at the end of the file.
Result<std::size_t> readFully(OpenFile& file, std::uint64_t offset, std::span<char> buffer) {
    std::size_t got = 0;
    while (got < buffer.size()) {
        Result<std::size_t> read = file.readAt(offset + got, buffer.subspan(got));
        if (!read) return read.takeProblem();
        if (*read == 0) break;
        got += *read;
    }
    return got;
}

enum class Undone { Untouched, Restored };

// The in-place write after the copy is safe: what it may have changed, so that undoing it
// puts back exactly that, and only where it differs.
class Overwrite {
public:
    Overwrite(OpenFile& file, std::uint64_t oldSize, std::span<char> buffer, std::span<char> compared,
              Watch& watch)
        : file_(file), oldSize_(oldSize), buffer_(buffer), compared_(compared), watch_(watch) {}

    Status run(std::string_view newBytes, Progress& progress, std::uint64_t total) {
        // The size each step leaves: a reservation may extend the file (Windows), a write past
        // the end extends it, a cut sets it, a flush keeps it.
        const auto step = [&](auto&& change, std::uint64_t smallest, std::uint64_t largest) -> Status {
            if (Status same = watch_.unchanged(); !same) return same;
            touched_ = true;
            if (Status changed = failedStep(change()); !changed) return changed;
            return watch_.settle(smallest, largest);
        };
        const auto keeping = [&] { return watch_.size(); };
        const std::uint64_t newSize = newBytes.size();
        if (newSize > oldSize_) {
            if (Status s = step([&] { return file_.reserve(newSize); }, oldSize_, newSize); !s) return s;
        }
        for (std::size_t offset = 0; offset < newSize; offset += kChunkBytes) {
            const std::string_view piece = newBytes.substr(offset, kChunkBytes);
            changedBytes_ = offset + piece.size();  // a failing write may have stored part of it
            const std::uint64_t size = std::max<std::uint64_t>(keeping(), changedBytes_);
            if (Status s = step([&] { return file_.writeAt(offset, piece); }, size, size); !s) return s;
            progress.report(ProgressStage::Writing, oldSize_ + offset + piece.size(), total);
        }
        if (Status s = step([&] { return file_.flush(); }, keeping(), keeping()); !s) return s;
        if (newSize < oldSize_) {
            // Cutting a file shorter loses its tail: all of the old bytes must go back then.
            changedBytes_ = oldSize_;
            if (Status s = step([&] { return file_.truncate(newSize); }, newSize, newSize); !s) return s;
            if (Status s = step([&] { return file_.flush(); }, newSize, newSize); !s) return s;
        }
        if (Status same = watch_.unchanged(); !same) return same;
        return holdsExactly(newBytes);
    }

    // Read back: bytes another program wrote during a step (which its times cannot tell from
    // this write's) are still there unless this write overwrote them afterwards.
    Status holdsExactly(std::string_view newBytes) {
        for (std::uint64_t offset = 0;; offset += compared_.size()) {
            Result<std::size_t> got = readFully(file_, offset, compared_);
            if (!got) return withCode(got.takeProblem(), ProblemCode::WriteFailed);
            const std::string_view expected =
                offset < newBytes.size() ? newBytes.substr(static_cast<std::size_t>(offset), *got) : std::string_view();
            if (std::string_view(compared_.data(), *got) != expected) {
                return problemOf(ProblemCode::ChangedWhileWritten);
            }
            if (*got < compared_.size()) {
                if (offset + *got == newBytes.size()) return done();
                return problemOf(ProblemCode::ChangedWhileWritten);
            }
        }
    }

    // Puts back the old bytes where this write may have changed them and they differ, and the
    // old length: a file whose bytes are all still the old ones is not touched at all.
    Result<Undone> undo(OpenFile& copy, Progress& progress) {
        if (!touched_) return Undone::Untouched;
        Result<FileFacts> facts = file_.facts();
        if (!facts) return facts.takeProblem();
        // A file cut shorter (by this write or meanwhile) needs all of its old tail back.
        const std::uint64_t end = facts->stamp.size < oldSize_ ? oldSize_ : std::min(changedBytes_, oldSize_);
        bool wrote = false;
        for (std::uint64_t offset = 0; offset < end;) {
            const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size(), end - offset));
            Result<std::size_t> old = readFully(copy, offset, buffer_.first(want));
            if (!old) return old.takeProblem();
            if (*old == 0) break;  // the copy is what there was
            Result<std::size_t> now = readFully(file_, offset, compared_.first(*old));
            if (!now) return now.takeProblem();
            const std::string_view oldBytes(buffer_.data(), *old);
            if (*now != *old || oldBytes != std::string_view(compared_.data(), *now)) {
                if (Status written = file_.writeAt(offset, oldBytes); !written) return written.takeProblem();
                wrote = true;
            }
            offset += *old;
            progress.report(ProgressStage::Writing, offset, end);
        }
        facts = file_.facts();
        if (!facts) return facts.takeProblem();
        if (facts->stamp.size != oldSize_) {
            if (Status cut = file_.truncate(oldSize_); !cut) return cut.takeProblem();
            wrote = true;
        }
        if (wrote) {
            if (Status flushed = file_.flush(); !flushed) return flushed.takeProblem();
        }
        return wrote ? Undone::Restored : Undone::Untouched;
    }

private:
    OpenFile& file_;
    std::uint64_t oldSize_;
    std::span<char> buffer_;
    std::span<char> compared_;
    Watch& watch_;
    std::uint64_t changedBytes_ = 0;
    bool touched_ = false;
};

Problem lostProblem(const SpecialPermissions& lost) {
    Problem problem = problemOf(ProblemCode::SpecialPermissionsLost);
    problem.number = (lost.setUserId ? kLostSetUserId : 0) | (lost.setGroupId ? kLostSetGroupId : 0) |
                     (lost.capability.empty() ? 0 : kLostCapabilities);
    return problem;
}

}  // namespace

Status writeInPlace(const InPlaceTarget& target, Folder& recovery, std::string_view newBytes,
                    Progress& progress) {
    OpenFile& file = target.file;
    const std::uint64_t oldSize = target.stamp.size;
    const std::uint64_t total = oldSize + newBytes.size();
    // Everything the write and an undo need is allocated before the file is touched.
    std::vector<char> buffer(kChunkBytes);
    std::vector<char> compared(kChunkBytes);

    Result<RecoveryCopy> copy = RecoveryCopy::make(file, oldSize, recovery, target.path,
                                                   digestOf(newBytes), buffer, progress, total);
    if (!copy) {
        Problem problem = withCode(copy.takeProblem(), ProblemCode::NoRecoveryCopy);
        problem.where = recovery.pathOf(u"");
        return problem;
    }
    // Asked once the copy has taken its room, which may be on the same disk.
    if (const DiskSpace space = file.space();
        space.copyOnWrite && space.available < newBytes.size() + oldSize + kCopyOnWriteMargin) {
        Problem problem = problemOf(ProblemCode::WriteFailed);
        problem.cause = SystemCause::NoSpace;
        return problem;
    }
    // Each step first checks the file is as the last left it: the first, that it is as read.
    Watch watch(target);
    if (Status here = watch.nameLeadsHere(); !here) return here;
    const SpecialPermissions special = file.specialPermissions();

    Overwrite overwrite(file, oldSize, buffer, compared, watch);
    Status written = done();
    try {
        written = overwrite.run(newBytes, progress, total);
        if (written) written = watch.nameLeadsHere();
    } catch (...) {
        // Out of memory while the file is half-written: the old bytes go back first.
        if (!overwrite.undo(copy->file(), progress)) copy->keep();
        (void)file.putBack(special);
        throw;
    }
    if (written) {
        const SpecialPermissions lost = file.putBack(special);
        return lost.any() ? Status(lostProblem(lost)) : done();
    }

    // The first failure is the one reported; a failing undo only says that it failed.
    Problem problem = written.takeProblem();
    Result<Undone> undone = overwrite.undo(copy->file(), progress);
    (void)file.putBack(special);
    if (!undone) {
        if (problem.cause == SystemCause::Other && problem.detail.empty()) {
            problem = undone.takeProblem();  // another program's change: the undo's reason
        }
        problem.code = ProblemCode::NotRestored;
        problem.where = copy->path();
        copy->keep();
    }
    return problem;
}

}  // namespace zorbalin::files
