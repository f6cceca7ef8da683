#include "recovery_copy.h"

#include <algorithm>
#include <charconv>

#include "base/decimal_text.h"
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

constexpr std::string_view kNoteHeader = "zorbalin-note 2\n";

// The next line's number (decimal, or hexadecimal), and what follows its end.
std::optional<std::uint64_t> takeNumber(std::string_view& text, char end, int base = 10) {
    std::uint64_t value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || stop == text.data() + text.size() || *stop != end) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(stop - text.data()) + 1);
    return value;
}

}  // namespace

std::string encodeNote(const RecoveryNote& note) {
    std::string text(kNoteHeader);
    char hash[17] = {};
    const ContentDigest digest = note.newDigest.value_or(ContentDigest{});
    std::to_chars(hash, hash + 16, digest.hash, 16);
    ((((text += std::to_string(note.oldSize.value_or(0))) += '\n') += std::to_string(digest.size)) += ' ') += hash;
    text += '\n';
    return text += textio::encodeUnicodeText(note.target, textio::TextEncoding::Utf8).value_or(std::string());
}

std::optional<RecoveryNote> parseNote(std::string_view bytes) {
    if (bytes.empty()) return std::nullopt;
    if (!bytes.starts_with(kNoteHeader)) {
        // An earlier version's note: the target's path alone, written after a complete copy.
        std::optional<std::u16string> target = textio::decodeUtf8(bytes);
        if (!target) return std::nullopt;
        return RecoveryNote{std::move(*target), std::nullopt, std::nullopt};
    }
    bytes.remove_prefix(kNoteHeader.size());
    const std::optional<std::uint64_t> oldSize = takeNumber(bytes, '\n');
    const std::optional<std::uint64_t> newSize = oldSize ? takeNumber(bytes, ' ') : std::nullopt;
    const std::optional<std::uint64_t> newHash = newSize ? takeNumber(bytes, '\n', 16) : std::nullopt;
    std::optional<std::u16string> target = textio::decodeUtf8(bytes);
    if (!newHash || !target || target->empty()) return std::nullopt;
    return RecoveryNote{std::move(*target), oldSize, ContentDigest{*newSize, *newHash}};
}

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
                                        std::u16string_view targetPath, const ContentDigest& newDigest,
                                        std::span<char> buffer, Progress& progress,
                                        std::uint64_t total) {
    // A name of its own: an earlier copy the user has not dealt with yet is never overwritten.
    Result<std::vector<std::u16string>> taken = folder.names();
    if (!taken) return taken.takeProblem();
    const auto isTaken = [&](const std::u16string& candidate) {
        return std::find(taken->begin(), taken->end(), candidate) != taken->end();
    };
    std::u16string name;
    for (int number = 1; name.empty() || isTaken(name) || isTaken(name + std::u16string(kNoteSuffix)); ++number) {
        name = numbered(leafOf(targetPath), number);
    }
    RecoveryCopy copy(folder, std::move(name));  // from here on, removes what it made
    const std::u16string noteName = copy.name_ + std::u16string(kNoteSuffix);
    Result<std::unique_ptr<OpenFile>> note = folder.open(noteName, OpenMode::CreateNew);
    if (!note) return note.takeProblem();
    copy.madeNote_ = true;
    if (Status written = (*note)->writeAt(0, encodeNote({std::u16string(targetPath), size, newDigest}));
        !written) {
        return written.takeProblem();
    }
    if (Status flushed = (*note)->flush(); !flushed) return flushed.takeProblem();
    note->reset();

    Result<std::unique_ptr<OpenFile>> created = folder.open(copy.name_, OpenMode::CreateNew);
    if (!created) return created.takeProblem();
    copy.copy_ = std::move(*created);
    if (Status copied = copyBytes(file, *copy.copy_, size, buffer, progress, 0, total); !copied) {
        return copied.takeProblem();
    }
    if (Status flushed = copy.copy_->flush(); !flushed) return flushed.takeProblem();
    if (Status flushed = folder.flush(); !flushed) return flushed.takeProblem();
    return copy;
}

RecoveryCopy::~RecoveryCopy() {
    if (name_.empty()) return;  // moved from
    // Failures here leave a file in the private folder, never a wrong one elsewhere.
    if (copy_ && removeCopy_) {
        copy_.reset();
        (void)folder_->remove(name_);
    }
    if (madeNote_) (void)folder_->remove(name_ + std::u16string(kNoteSuffix));
}

}  // namespace zorbalin::files
