// What writes killed in an earlier run left behind, told apart at the next start: what holds
// something the user may have lost is told once, the rest is cleared.
#include <algorithm>
#include <vector>

#include "content_digest.h"
#include "files/candidate_file.h"
#include "recovery_copy.h"
#include "temporary_file.h"

namespace zorbalin::files {
namespace {

enum class Holds { OldBytes, NewBytes, Neither };

// What the file holds now: its old bytes (those of the copy), the bytes the write was to
// leave, or neither.
Result<Holds> whatTheFileHolds(FileSystem& fileSystem, const RecoveryNote& note,
                               const ContentDigest& copy, std::span<char> buffer) {
    Result<OpenedFile> opened = fileSystem.openForReading(note.target);
    if (!opened) return opened.takeProblem();
    Result<FileFacts> facts = opened->file->facts();
    if (!facts) return facts.takeProblem();
    const bool mayBeOld = facts->stamp.size == copy.size;
    const bool mayBeNew = note.newDigest && facts->stamp.size == note.newDigest->size;
    if (facts->kind != FileKind::RegularFile || (!mayBeOld && !mayBeNew)) return Holds::Neither;
    Result<ContentDigest> now = digestOfFile(*opened->file, buffer);
    if (!now) return now.takeProblem();
    if (*now == copy) return Holds::OldBytes;
    return *now == note.newDigest ? Holds::NewBytes : Holds::Neither;
}

// A note, read whole; nothing where it is empty or cut short.
Result<std::optional<RecoveryNote>> readNote(Folder& folder, std::u16string_view name) {
    Result<std::unique_ptr<OpenFile>> opened = folder.open(name, OpenMode::Read);
    if (!opened) return opened.takeProblem();
    std::string bytes(std::size_t{64} * 1024, '\0');
    Result<std::size_t> got = (*opened)->readAt(0, bytes);
    if (!got) return got.takeProblem();
    bytes.resize(*got);
    return parseNote(bytes);
}

Result<ContentDigest> digestOfCopy(Folder& folder, std::u16string_view name, std::span<char> buffer) {
    Result<std::unique_ptr<OpenFile>> opened = folder.open(name, OpenMode::Read);
    if (!opened) return opened.takeProblem();
    return digestOfFile(**opened, buffer);
}

// A temporary file that another run of the program is still writing is held open and locked:
// it cannot be opened for writing, and stays.
void removeOurTemporaries(FileSystem& fileSystem, std::u16string_view besidePath) {
    if (besidePath.empty()) return;
    Result<OpenedFile> opened = fileSystem.openForReading(besidePath);
    if (!opened) return;
    opened->file.reset();
    Result<std::unique_ptr<Folder>> folder = fileSystem.openFolder(opened->folder);
    if (!folder) return;
    Result<std::vector<std::u16string>> names = (*folder)->names();
    if (!names) return;
    for (const std::u16string& name : *names) {
        if (!isTemporaryName(name)) continue;
        Result<std::unique_ptr<OpenFile>> temporary = (*folder)->open(name, OpenMode::ReadWrite);
        if (!temporary) continue;
        const Result<FileFacts> facts = (*temporary)->facts();
        temporary->reset();
        if (facts && facts->kind == FileKind::RegularFile && facts->linkCount == 1) {
            (void)(*folder)->remove(name);
        }
    }
}

}  // namespace

std::vector<InterruptedWrite> takeInterruptedWrites(FileSystem& fileSystem,
                                                    std::u16string_view rememberedPath) {
    removeOurTemporaries(fileSystem, rememberedPath);
    std::vector<InterruptedWrite> found;
    Result<std::unique_ptr<Folder>> folder = fileSystem.openRecoveryFolder();
    if (!folder) return found;
    Result<std::vector<std::u16string>> names = (*folder)->names();
    if (!names) return found;
    std::sort(names->begin(), names->end());
    std::vector<char> buffer(kChunkBytes);
    for (const std::u16string& noteName : *names) {
        if (!noteName.ends_with(kNoteSuffix)) continue;
        const std::u16string copyName = noteName.substr(0, noteName.size() - kNoteSuffix.size());
        const Result<std::optional<RecoveryNote>> note = readNote(**folder, noteName);
        const Result<ContentDigest> copy = digestOfCopy(**folder, copyName, buffer);
        if (!note || (!copy && copy.problem().cause != SystemCause::NotFound)) continue;  // next time
        // The note is written first and the copy next: until both are complete, no byte of
        // the file had been written.
        const bool began = *note && copy && (!(*note)->oldSize || copy->size == *(*note)->oldSize);
        if (began) {
            Result<Holds> holds = whatTheFileHolds(fileSystem, **note, *copy, buffer);
            if (!holds || *holds == Holds::Neither) {
                Problem problem = holds ? problemOf(ProblemCode::RecoveryCopyFound)
                                        : withCode(holds.takeProblem(), ProblemCode::RecoveryCopyFound);
                problem.where = (*folder)->pathOf(copyName);
                found.push_back({(*note)->target, std::move(problem)});
                (void)(*folder)->remove(noteName);  // told once; the copy is the user's
                continue;
            }
        }
        if (copy) (void)(*folder)->remove(copyName);
        (void)(*folder)->remove(noteName);
    }
    return found;
}

}  // namespace zorbalin::files
