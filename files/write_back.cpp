#include "files/write_back.h"

#include <vector>

#include "files/candidate_file.h"
#include "recovery_copy.h"

namespace zorbalin::files {

WriteMethod chooseWriteMethod(const WriteTarget& target) {
    if (!target.isRegularFile) return WriteMethod::RefuseNotAFile;
    if (!target.userMayWrite) return WriteMethod::RefuseReadOnly;
    const bool replacementLosesSomething =
        target.linkCount > 1 || !target.folderWritable || !target.replacementKeepsAll;
    return replacementLosesSomething ? WriteMethod::InPlace : WriteMethod::AtomicReplace;
}

namespace {

// The in-place write after the copy is safe: what it changed, so that a restore puts back
// exactly that.
class Overwrite {
public:
    Overwrite(OpenFile& file, std::uint64_t oldSize, std::span<char> buffer)
        : file_(file), oldSize_(oldSize), buffer_(buffer) {}

    Status run(std::string_view newBytes, Progress& progress, std::uint64_t total) {
        if (newBytes.size() > oldSize_) {
            sizeChanged_ = true;  // a failed reservation may have made the file longer
            if (Status reserved = file_.reserve(newBytes.size()); !reserved) return reserved;
        }
        for (std::size_t offset = 0; offset < newBytes.size(); offset += kChunkBytes) {
            const std::string_view piece = newBytes.substr(offset, kChunkBytes);
            changedBytes_ = offset + piece.size();  // a failing write may have stored part of it
            if (Status written = file_.writeAt(offset, piece); !written) return written;
            progress.report(ProgressStage::Writing, oldSize_ + offset + piece.size(), total);
        }
        if (Status flushed = file_.flush(); !flushed) return flushed;
        if (newBytes.size() != oldSize_) {
            sizeChanged_ = true;
            // Cutting a file shorter loses its tail: all of the old bytes must go back then.
            if (newBytes.size() < oldSize_) changedBytes_ = oldSize_;
            if (Status cut = file_.truncate(newBytes.size()); !cut) return cut;
        }
        return file_.flush();
    }

    bool changedAnything() const { return changedBytes_ > 0 || sizeChanged_; }

    // Puts back the old bytes that were overwritten, and the old length.
    Status restoreFrom(OpenFile& copy, Progress& progress) {
        const std::uint64_t overwritten = std::min<std::uint64_t>(changedBytes_, oldSize_);
        if (Status copied = copyBytes(copy, file_, overwritten, buffer_, progress, 0, overwritten);
            !copied) {
            return copied;
        }
        if (Status cut = file_.truncate(oldSize_); !cut) return cut;
        return file_.flush();
    }

private:
    OpenFile& file_;
    std::uint64_t oldSize_;
    std::span<char> buffer_;
    std::uint64_t changedBytes_ = 0;
    bool sizeChanged_ = false;
};

}  // namespace

Status writeInPlace(OpenFile& file, Folder& recovery, std::u16string_view targetPath,
                    std::string_view newBytes, Progress& progress) {
    Result<FileFacts> facts = file.facts();
    if (!facts) return withCode(facts.takeProblem(), ProblemCode::WriteFailed);
    const std::uint64_t oldSize = facts->stamp.size;
    const std::uint64_t total = oldSize + newBytes.size();
    // Everything the write and a restore need is allocated before the file is touched.
    std::vector<char> buffer(kChunkBytes);

    Result<RecoveryCopy> copy =
        RecoveryCopy::make(file, oldSize, recovery, targetPath, buffer, progress, total);
    if (!copy) {
        Problem problem = withCode(copy.takeProblem(), ProblemCode::NoRecoveryCopy);
        problem.where = recovery.pathOf(u"");
        return problem;
    }

    Overwrite overwrite(file, oldSize, buffer);
    Status written = done();
    try {
        written = overwrite.run(newBytes, progress, total);
    } catch (...) {
        // Out of memory while the file is half-written: the old bytes go back first.
        if (overwrite.changedAnything() && !overwrite.restoreFrom(copy->file(), progress)) {
            copy->keep();
        }
        throw;
    }
    if (written) return done();

    // The first failure is the one reported; a failing restore only says that it failed.
    Problem problem = withCode(written.takeProblem(), ProblemCode::WriteFailed);
    if (overwrite.changedAnything() && !overwrite.restoreFrom(copy->file(), progress)) {
        problem.code = ProblemCode::NotRestored;
        problem.where = copy->path();
        copy->keep();
    }
    return problem;
}

}  // namespace zorbalin::files
