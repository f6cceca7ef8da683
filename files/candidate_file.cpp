#include "files/candidate_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/decimal_text.h"
#include "files/write_back.h"
#include "recovery_copy.h"
#include "sheets/workbook.h"
#include "same_file.h"
#include "temporary_file.h"
#include "textio/candidate_decoding.h"

namespace zorbalin::files {
namespace {

constexpr std::uint64_t kLimit = textio::kMaxCandidateFileBytes;

// A file that cannot be opened: gone, not ours to read, or the system's own reason.
Problem openFailure(Problem found) {
    switch (found.cause) {
    case SystemCause::NotFound: return withCode(std::move(found), ProblemCode::Missing);
    case SystemCause::AccessDenied: return withCode(std::move(found), ProblemCode::NoReadPermission);
    default: return withCode(std::move(found), ProblemCode::ReadFailed);
    }
}

// The whole file, never more than the limit, whatever size it reports (a /proc file says 0):
// a file that grows past the limit while it is read is too large too. Once the buffer is full,
// a small probe tells whether there is more, so that a file of the size it reports takes one
// allocation of that size.
Result<std::string> readBounded(OpenFile& file, std::uint64_t reportedSize, Progress& progress) {
    std::string bytes(static_cast<std::size_t>(reportedSize), '\0');
    std::size_t got = 0;
    std::vector<char> probe;
    for (;;) {
        std::span<char> into(bytes.data() + got, std::min(kChunkBytes, bytes.size() - got));
        if (into.empty()) {
            probe.resize(std::size_t{64} * 1024);
            into = probe;
        }
        Result<std::size_t> read = file.readAt(got, into);
        if (!read) return withCode(read.takeProblem(), ProblemCode::ReadFailed);
        if (*read == 0) break;
        if (into.data() == probe.data()) {
            if (got + *read > kLimit) return problemOf(ProblemCode::TooLarge);
            const std::size_t grown = std::max({bytes.size() * 2, bytes.size() + kChunkBytes, got + *read});
            bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(grown, kLimit)));
            std::memcpy(bytes.data() + got, probe.data(), *read);
        }
        got += *read;
        progress.report(ProgressStage::Reading, got, reportedSize);
    }
    bytes.resize(got);
    return bytes;
}

ProblemCode problemOfWorkbook(sheets::WorkbookRefusal refusal) {
    switch (refusal) {
    case sheets::WorkbookRefusal::NotAWorkbook: return ProblemCode::NotText;
    case sheets::WorkbookRefusal::Encrypted: return ProblemCode::WorkbookEncrypted;
    case sheets::WorkbookRefusal::Legacy: return ProblemCode::WorkbookLegacy;
    case sheets::WorkbookRefusal::Damaged: return ProblemCode::WorkbookDamaged;
    case sheets::WorkbookRefusal::NoText: return ProblemCode::WorkbookNoText;
    case sheets::WorkbookRefusal::TooLarge: return ProblemCode::WorkbookTooLarge;
    }
    return ProblemCode::Internal;
}

// What replacing did: done, failed, or found it would lose something (then: in place).
enum class Replaced { Done, Failed, FolderNotWritable, WouldLoseMetadata };

Replaced replaceAtomically(Folder& folder, LoadedFile& file, std::string_view bytes,
                           Progress& progress, Problem& failure) {
    std::u16string name = temporaryName();
    Result<std::unique_ptr<OpenFile>> created = folder.open(name, OpenMode::CreateNew);
    if (!created) {
        if (created.problem().cause == SystemCause::AccessDenied) return Replaced::FolderNotWritable;
        failure = withCode(created.takeProblem(), ProblemCode::WriteFailed);
        return Replaced::Failed;
    }
    Temporary temporary(folder, std::move(*created), std::move(name));
    // Which file it is, so that it can be known again once it has taken the target's name.
    const Result<FileFacts> made = temporary.file().facts();
    if (!made) {
        failure = withCode(made.problem(), ProblemCode::WriteFailed);
        return Replaced::Failed;
    }
    for (std::size_t offset = 0; offset < bytes.size(); offset += kChunkBytes) {
        const std::string_view piece = bytes.substr(offset, kChunkBytes);
        if (Status written = temporary.file().writeAt(offset, piece); !written) {
            failure = withCode(written.takeProblem(), ProblemCode::WriteFailed);
            return Replaced::Failed;
        }
        progress.report(ProgressStage::Writing, offset + piece.size(), bytes.size());
    }
    // After the bytes: writing may clear set-user-ID on a file that is not the writer's.
    if (!folder.keepMetadata(*file.file, temporary.file())) return Replaced::WouldLoseMetadata;
    Status flushed = temporary.file().flush();
    Result<FileFacts> same = nameLeadsTo(folder, file.name, file.stamp);
    if (flushed && !same) flushed = same.takeProblem();
    if (flushed) {
        file.file.reset();  // nothing more is read from it, and Windows replaces no open file
        flushed = temporary.replace(file.name);
    }
    if (!flushed) {
        failure = flushed.problem().code == ProblemCode::ChangedSinceRead
                      ? flushed.takeProblem()
                      : withCode(flushed.takeProblem(), ProblemCode::WriteFailed);
        return Replaced::Failed;
    }
    // From now on the file is the new one: opened again by its name, and taken only when that
    // is the very file this write made. Where that fails, a later write says it changed; the
    // write itself is done whatever happens here.
    try {
        Result<std::unique_ptr<OpenFile>> written = folder.open(file.name, OpenMode::Read);
        Result<FileFacts> facts = written ? (*written)->facts() : Result<FileFacts>(written.problem());
        if (facts && facts->stamp.volume == made->stamp.volume && facts->stamp.file == made->stamp.file) {
            file.file = std::move(*written);
            file.stamp = facts->stamp;
            file.digest = digestOf(bytes);
        }
    } catch (...) {
    }
    return Replaced::Done;
}

// The file that was read, opened again by its name in its folder: only when that is the same
// file, with the same size and times.
Status reopen(FileSystem& fileSystem, LoadedFile& file) {
    if (file.folder.empty()) return problemOf(ProblemCode::ChangedSinceRead);
    Result<std::unique_ptr<Folder>> folder = fileSystem.openFolder(file.folder);
    if (!folder) return lookupFailure(folder.takeProblem());
    Result<std::unique_ptr<OpenFile>> opened = (*folder)->open(file.name, OpenMode::Read);
    if (!opened) return lookupFailure(opened.takeProblem());
    Result<FileFacts> facts = (*opened)->facts();
    if (!facts) return withCode(facts.takeProblem(), ProblemCode::WriteFailed);
    if (facts->kind != FileKind::RegularFile || facts->stamp != file.stamp) {
        return problemOf(ProblemCode::ChangedSinceRead);
    }
    file.file = std::move(*opened);
    return done();
}

// The rich-text document whole, under its own name in the recovery folder ("名单.rtf", then
// "名单 (2).rtf"): the full path of the copy.
Result<std::u16string> keepOriginal(FileSystem& fileSystem, LoadedFile& file, std::span<char> buffer,
                                    Progress& progress) {
    Result<std::unique_ptr<Folder>> recovery = fileSystem.openRecoveryFolder();
    if (!recovery) return withCode(recovery.takeProblem(), ProblemCode::NoRecoveryCopy);
    const std::size_t dot = file.name.find_last_of(u'.');
    const std::u16string stem = file.name.substr(0, dot);
    const std::u16string extension = dot == std::u16string::npos ? u"" : file.name.substr(dot);
    for (std::uint64_t number = 1;; ++number) {
        std::u16string name = stem;
        if (number > 1) appendDecimal(name += u" (", number) += u")";
        name += extension;
        Result<std::unique_ptr<OpenFile>> created = (*recovery)->open(name, OpenMode::CreateNew);
        if (!created) {
            const bool taken = (*recovery)->factsOf(name).ok();  // a copy kept before
            if (taken && number < 100) continue;
            return withCode(created.takeProblem(), ProblemCode::NoRecoveryCopy);
        }
        Status copied = copyBytes(*file.file, **created, file.stamp.size, buffer, progress, 0, file.stamp.size);
        if (copied) copied = (*created)->flush();
        if (copied) copied = (*recovery)->flush();
        if (!copied) {
            created->reset();
            (void)(*recovery)->remove(name);
            return withCode(copied.takeProblem(), ProblemCode::NoRecoveryCopy);
        }
        return (*recovery)->pathOf(name);
    }
}

Status writeOverTheFile(Folder& folder, FileSystem& fileSystem, LoadedFile& file,
                        std::string_view bytes, Progress& progress) {
    Result<std::unique_ptr<OpenFile>> opened = folder.open(file.name, OpenMode::ReadWrite);
    if (!opened) return lookupFailure(opened.takeProblem());
    // What was opened is what was read: nothing of another file is copied or written.
    Result<FileFacts> facts = (*opened)->facts();
    if (!facts) return withCode(facts.takeProblem(), ProblemCode::WriteFailed);
    if (facts->stamp != file.stamp) return problemOf(ProblemCode::ChangedSinceRead);

    Result<std::unique_ptr<Folder>> recovery = fileSystem.openRecoveryFolder();
    if (!recovery) return withCode(recovery.takeProblem(), ProblemCode::NoRecoveryCopy);
    Status written = writeInPlace({**opened, folder, file.name, file.path, file.stamp}, **recovery, bytes, progress);
    if (written) {
        // The same file, now holding the new bytes.
        if (Result<FileFacts> after = (*opened)->facts()) {
            file.stamp = after->stamp;
            file.digest = digestOf(bytes);
        }
    }
    return written;
}

}  // namespace

Result<LoadedFile> readCandidateFile(FileSystem& fileSystem, std::u16string_view path,
                                     const CodePages& codePages, Progress& progress) {
    Result<OpenedFile> opened = fileSystem.openForReading(path);
    if (!opened) return openFailure(opened.takeProblem());
    Result<FileFacts> facts = opened->file->facts();
    if (!facts) return withCode(facts.takeProblem(), ProblemCode::ReadFailed);
    // A folder, device or pipe is refused before its size means anything.
    if (facts->kind != FileKind::RegularFile) return problemOf(ProblemCode::NotAFile);
    if (facts->stamp.size > kLimit) return problemOf(ProblemCode::TooLarge);

    Result<std::string> bytes = readBounded(*opened->file, facts->stamp.size, progress);
    if (!bytes) return bytes.takeProblem();
    const ContentDigest digest = digestOf(*bytes);

    progress.report(ProgressStage::Decoding, 0, digest.size);
    if (sheets::looksLikeWorkbook(*bytes)) {
        sheets::WorkbookOutcome names = sheets::readWorkbookNames(*bytes);
        std::string().swap(*bytes);
        if (const auto* refusal = std::get_if<sheets::WorkbookRefusal>(&names)) {
            return problemOf(problemOfWorkbook(*refusal));
        }
        progress.report(ProgressStage::Decoding, digest.size, digest.size);
        LoadedFile workbook{std::move(std::get<std::u16string>(names)), textio::FileFormat{},
                            std::u16string(path), std::move(opened->file), facts->stamp, digest,
                            std::move(opened->folder), std::move(opened->name)};
        workbook.isWorkbook = true;
        return workbook;
    }
    textio::DecodeOutcome decoded = textio::decodeCandidateBytes(*bytes, codePages.decode);
    std::string().swap(*bytes);  // the raw bytes are not needed any more
    if (const auto* refusal = std::get_if<textio::DecodeRefusal>(&decoded)) {
        return problemOf(*refusal == textio::DecodeRefusal::TooLarge ? ProblemCode::TooLarge
                                                                  : ProblemCode::NotText);
    }
    progress.report(ProgressStage::Decoding, digest.size, digest.size);
    auto& text = std::get<textio::DecodedText>(decoded);
    LoadedFile loaded{std::move(text.text), text.format, std::u16string(path),
                      std::move(opened->file), facts->stamp, digest,
                      std::move(opened->folder), std::move(opened->name)};
    loaded.fromRichText = text.fromRichText;
    return loaded;
}

Status writeCandidateFile(FileSystem& fileSystem, LoadedFile& file, std::u16string_view text,
                          const CodePages& codePages, Progress& progress) {
    // A spreadsheet is not rewritten as text: its folder stays exactly as it is.
    if (file.isWorkbook) return done();
    // A file closed since (kept between two saves) is opened again, and must be the very file,
    // unchanged; one given up by an earlier replacement is not the one on disk any more.
    if (!file.file) {
        if (Status reopened = reopen(fileSystem, file); !reopened) return reopened;
    }
    // Encoded first: a text the file's encoding cannot hold is refused before anything else.
    const std::optional<std::string> bytes =
        textio::encodeCandidateText(text, file.format, codePages.encode);
    if (!bytes) return problemOf(ProblemCode::NotEncodable);
    // The same bytes: the file stays as it is, inode, times and all.
    if (digestOf(*bytes) == file.digest) return done();
    if (file.fromRichText && file.originalCopy.empty()) {
        std::vector<char> buffer(kChunkBytes);
        Result<std::u16string> kept = keepOriginal(fileSystem, file, buffer, progress);
        if (!kept) return kept.takeProblem();
        file.originalCopy = std::move(*kept);
    }

    Result<std::unique_ptr<Folder>> folder = fileSystem.openFolder(file.folder);
    if (!folder) return lookupFailure(folder.takeProblem());
    Result<FileFacts> facts = nameLeadsTo(**folder, file.name, file.stamp);
    if (!facts) return facts.takeProblem();

    WriteTarget target{
        .isRegularFile = facts->kind == FileKind::RegularFile,
        .linkCount = facts->linkCount,
        .userMayWrite = facts->markedWritable && (*folder)->userMayWrite(file.name),
        .replacementKeepsAll = (*folder)->newFileCouldKeepAllOf(*file.file),
    };
    for (;;) {
        switch (chooseWriteMethod(target)) {
        case WriteMethod::RefuseNotAFile: return problemOf(ProblemCode::TargetNotAFile);
        case WriteMethod::RefuseReadOnly: return problemOf(ProblemCode::ReadOnly);
        case WriteMethod::InPlace:
            return writeOverTheFile(**folder, fileSystem, file, *bytes, progress);
        case WriteMethod::AtomicReplace: {
            Problem failure;
            switch (replaceAtomically(**folder, file, *bytes, progress, failure)) {
            case Replaced::Done: return done();
            case Replaced::Failed: return failure;
            case Replaced::FolderNotWritable: target.folderWritable = false; break;
            case Replaced::WouldLoseMetadata: target.replacementKeepsAll = false; break;
            }
            break;
        }
        }
    }
}

Status saveTextFile(FileSystem& fileSystem, std::u16string_view path, std::u16string_view text,
                    const textio::FileFormat& format, const CodePages& codePages,
                    Progress& progress) {
    if (Result<OpenedFile> opened = fileSystem.openForReading(path)) {
        Result<FileFacts> facts = opened->file->facts();
        if (!facts) return withCode(facts.takeProblem(), ProblemCode::WriteFailed);
        if (facts->kind != FileKind::RegularFile) return problemOf(ProblemCode::TargetNotAFile);
        // What it held does not matter: it is never taken to hold the new bytes already.
        LoadedFile existing{{}, format, std::u16string(path), std::move(opened->file), facts->stamp,
                            ContentDigest{~std::uint64_t{0}, 0}, std::move(opened->folder),
                            std::move(opened->name)};
        return writeCandidateFile(fileSystem, existing, text, codePages, progress);
    } else if (opened.problem().cause != SystemCause::NotFound) {
        return withCode(opened.takeProblem(), ProblemCode::WriteFailed);
    }

    const std::optional<std::string> bytes = textio::encodeCandidateText(text, format, codePages.encode);
    if (!bytes) return problemOf(ProblemCode::NotEncodable);
    std::size_t slash = path.size();
    while (slash > 0 && !fileSystem.isPathSeparator(path[slash - 1])) --slash;
    const std::u16string_view name = path.substr(slash);
    const std::u16string_view folderPath = slash > 1 ? path.substr(0, slash - 1) : path.substr(0, slash);
    Result<std::unique_ptr<Folder>> folder = fileSystem.openFolder(folderPath.empty() ? u"." : folderPath);
    if (!folder) return withCode(folder.takeProblem(), ProblemCode::WriteFailed);
    std::u16string temporaryFile = temporaryName();
    // A new file the user saves gets what any program's new file gets here.
    Result<std::unique_ptr<OpenFile>> created = (*folder)->open(temporaryFile, OpenMode::CreateNewOrdinary);
    if (!created) return withCode(created.takeProblem(), ProblemCode::WriteFailed);
    Temporary temporary(**folder, std::move(*created), std::move(temporaryFile));
    Status written = temporary.file().writeAt(0, *bytes);
    progress.report(ProgressStage::Writing, bytes->size(), bytes->size());
    if (written) written = temporary.file().flush();
    if (written) written = temporary.replace(name);
    if (written) (void)(*folder)->flush();  // the rename has happened: the file is saved
    if (!written) return withCode(written.takeProblem(), ProblemCode::WriteFailed);
    return done();
}

}  // namespace zorbalin::files
