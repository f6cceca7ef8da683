#include "recovery_copy.h"

#include <algorithm>

#include "base/decimal_text.h"
#include "files/candidate_file.h"
#include "textio/text_encoding.h"

namespace zorbalin::files {
namespace {

// The file's own name, so that the user recognises the copy.
std::u16string_view leafOf(std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u"/\\");
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string numbered(std::u16string_view leaf, int number) {
    std::u16string name(leaf);
    if (number > 1) {
        name += u'.';
        appendDecimal(name, static_cast<std::uint64_t>(number));
    }
    return name += u".old";
}

Status writeNote(Folder& folder, std::u16string_view noteName,
                 std::u16string_view targetPath) {
    auto note = folder.open(noteName, OpenMode::CreateNew);
    if (!note) return note.takeProblem();
    const std::optional<std::string> bytes =
        textio::encodeUnicodeText(targetPath, textio::TextEncoding::Utf8);
    if (Status written = (*note)->writeAt(0, bytes.value_or(std::string())); !written) {
        return written;
    }
    return (*note)->flush();
}

}  // namespace

Status copyBytes(OpenFile& from, OpenFile& to, std::uint64_t size, std::span<char> buffer,
                 Progress& progress, std::uint64_t reported, std::uint64_t total) {
    std::uint64_t offset = 0;
    while (offset < size) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - offset));
        Result<std::size_t> got = from.readAt(offset, buffer.first(want));
        if (!got) return got.takeProblem();
        if (*got == 0) break;  // shorter than measured: what there is, is copied
        if (Status written = to.writeAt(offset, std::string_view(buffer.data(), *got)); !written) {
            return written;
        }
        offset += *got;
        progress.report(ProgressStage::Writing, reported + offset, total);
    }
    return done();
}

Result<RecoveryCopy> RecoveryCopy::make(OpenFile& file, std::uint64_t size, Folder& folder,
                                        std::u16string_view targetPath, std::span<char> buffer,
                                        Progress& progress, std::uint64_t total) {
    // A name of its own: an earlier copy the user has not dealt with yet is never overwritten.
    Result<std::vector<std::u16string>> taken = folder.names();
    if (!taken) return taken.takeProblem();
    std::u16string name;
    for (int number = 1; name.empty() || std::find(taken->begin(), taken->end(), name) != taken->end();
         ++number) {
        name = numbered(leafOf(targetPath), number);
    }
    Result<std::unique_ptr<OpenFile>> created = folder.open(name, OpenMode::CreateNew);
    if (!created) return created.takeProblem();
    std::unique_ptr<OpenFile> copyFile = std::move(*created);
    RecoveryCopy copy(folder, std::move(name), std::move(copyFile));
    if (Status copied = copyBytes(file, *copy.copy_, size, buffer, progress, 0, total); !copied) {
        return copied.takeProblem();
    }
    if (Status flushed = copy.copy_->flush(); !flushed) return flushed.takeProblem();
    // The note comes last: only a complete copy is ever announced.
    if (Status noted = writeNote(folder, copy.name_ + std::u16string(kNoteSuffix), targetPath);
        !noted) {
        return noted.takeProblem();
    }
    if (Status flushed = folder.flush(); !flushed) return flushed.takeProblem();
    return copy;
}

RecoveryCopy::~RecoveryCopy() {
    if (name_.empty()) return;  // moved from
    copy_.reset();
    // Failures here leave a file in the private folder, never a wrong one elsewhere.
    (void)folder_->remove(name_ + std::u16string(kNoteSuffix));
    if (removeCopy_) (void)folder_->remove(name_);
}

void RecoveryCopy::keep() { removeCopy_ = false; }

std::vector<InterruptedWrite> takeInterruptedWrites(FileSystem& fileSystem) {
    std::vector<InterruptedWrite> found;
    auto folder = fileSystem.openRecoveryFolder();
    if (!folder) return found;
    auto names = (*folder)->names();
    if (!names) return found;
    std::sort(names->begin(), names->end());
    for (const std::u16string& note : *names) {
        if (!note.ends_with(kNoteSuffix)) continue;
        auto opened = (*folder)->open(note, OpenMode::Read);
        if (!opened) continue;
        std::string bytes(4096, '\0');
        auto got = (*opened)->readAt(0, bytes);
        opened->reset();
        if (!got) continue;
        bytes.resize(*got);
        const std::u16string copy = note.substr(0, note.size() - kNoteSuffix.size());
        found.push_back({(*folder)->pathOf(copy), textio::decodeUtf8(bytes).value_or(u"")});
        (void)(*folder)->remove(note);  // told once
    }
    return found;
}

}  // namespace zorbalin::files
