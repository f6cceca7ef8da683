#include "textio/write_back.h"


namespace zorbalin::textio {

WriteMethod chooseWriteMethod(const WriteTarget& target) {
    if (!target.exists) return WriteMethod::AtomicReplace;
    if (!target.isRegularFile) return WriteMethod::RefuseNotAFile;
    if (!target.userMayWrite) return WriteMethod::RefuseReadOnly;
    const bool replacementLosesSomething =
        target.linkCount > 1 || !target.folderWritable || !target.replacementKeepsOwner;
    return replacementLosesSomething ? WriteMethod::InPlace : WriteMethod::AtomicReplace;
}

namespace {

// Puts the old bytes back at their old length.
bool restore(InPlaceFile& file, std::string_view oldBytes) {
    return file.writeAt(0, oldBytes) && file.truncate(oldBytes.size()) && file.flush();
}

// The steps that change the file, in order; the first failure stops them.
bool overwrite(InPlaceFile& file, std::uint64_t oldSize, std::string_view newBytes) {
    if (newBytes.size() > oldSize && !file.reserve(newBytes.size())) return false;
    if (!file.writeAt(0, newBytes) || !file.flush()) return false;
    return file.truncate(newBytes.size()) && file.flush();
}

}  // namespace

InPlaceOutcome writeInPlace(InPlaceFile& file, std::string_view newBytes) {
    std::string oldBytes;
    if (!file.readAll(oldBytes)) return InPlaceFailed{file.errorText(), true};
    if (overwrite(file, oldBytes.size(), newBytes)) return InPlaceWritten{};

    InPlaceFailed failed{file.errorText(), true};
    failed.originalRestored = restore(file, oldBytes);
    return failed;
}

}  // namespace zorbalin::textio
