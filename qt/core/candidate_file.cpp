#include "candidate_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "code_page_decoder.h"
#include "layout/messages.h"
#include "posix_in_place_file.h"
#include "qstring_u16.h"
#include "textio/candidate_decoding.h"
#include "textio/write_back.h"

namespace zorbalin::window {
namespace {

using layout::FileProblem;

QString messageFor(FileProblem problem, const QString& path, const QString& detail = {}) {
    const std::u16string text = layout::candidateFileMessage(
        problem, fromQString(QDir::toNativeSeparators(path)), fromQString(detail));
    return toQString(text);
}

ReadFailure refuse(FileProblem problem, const QString& path, const QString& detail = {}) {
    return ReadFailure{messageFor(problem, path, detail)};
}

// Follows a chain of symbolic links to the file that holds the text, so that saving
// replaces that file and leaves the links as they are. Nullopt for a loop.
std::optional<QString> fileBehindLinks(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 64; ++depth) {
        if (!info.isSymLink()) return info.absoluteFilePath();
        info.setFile(info.symLinkTarget());
    }
    return std::nullopt;
}

// Asked with the effective user and group, which decide what the program may do.
bool mayAccess(const QByteArray& path, int mode) {
    return faccessat(AT_FDCWD, path.constData(), mode, AT_EACCESS) == 0;
}

bool isSupplementaryGroup(gid_t group) {
    const int count = getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int filled = getgroups(count, groups.data());
    return filled > 0 && std::find(groups.begin(), groups.begin() + filled, group) != groups.end();
}

// The administrator may write anything, so for them read-only means that nobody may
// write the file; everyone else is asked of the system, group and ACLs included.
bool userMayWrite(const QByteArray& file, const struct stat& status) {
    if (!mayAccess(file, W_OK)) return false;
    return geteuid() != 0 || (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// Whether a new file of this user can be handed the file's owner and group.
bool replacementKeepsOwner(const struct stat& status) {
    if (geteuid() == 0) return true;
    return status.st_uid == geteuid() &&
           (status.st_gid == getegid() || isSupplementaryGroup(status.st_gid));
}

struct Target {
    textio::WriteTarget facts;
    struct stat status {};
};

// Nullopt, with errno set, when the file's state cannot be read at all.
std::optional<Target> inspect(const QString& target) {
    const QByteArray file = QFile::encodeName(target);
    Target found;
    if (stat(file.constData(), &found.status) != 0) {
        if (errno != ENOENT) return std::nullopt;
        found.facts.exists = false;
        return found;
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    found.facts = textio::WriteTarget{
        .exists = true,
        .isRegularFile = S_ISREG(found.status.st_mode),
        .linkCount = static_cast<std::uint64_t>(found.status.st_nlink),
        .folderWritable = mayAccess(folder, W_OK | X_OK),
        .userMayWrite = userMayWrite(file, found.status),
        .replacementKeepsOwner = replacementKeepsOwner(found.status),
    };
    return found;
}

// Gives the new file the old one's owner, group and mode before it takes its place.
// Changing the owner is allowed only where the system permits it; the mode comes after
// it, as a change of owner clears the set-user-ID bit.
void keepOwnerAndMode(int fd, const struct stat& old) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int ignored = fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    fchmod(fd, old.st_mode & 07777);
}

QString replaceAtomically(const QString& path, const QString& target, const std::string& bytes,
                          const std::optional<struct stat>& old) {
    QSaveFile file(target);
    file.setDirectWriteFallback(false);  // never fall back to truncating the original
    if (!file.open(QIODevice::WriteOnly)) {
        return messageFor(FileProblem::WriteFailed, path, file.errorString());
    }
    if (old) keepOwnerAndMode(file.handle(), *old);
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        const QString detail = file.errorString();
        file.cancelWriting();
        file.commit();  // removes the temporary file; the original stays as it was
        return messageFor(FileProblem::WriteFailed, path, detail);
    }
    if (!file.commit()) return messageFor(FileProblem::WriteFailed, path, file.errorString());
    return {};
}

QString writeInPlace(const QString& path, const QString& target, const std::string& bytes) {
    const int fd = open(QFile::encodeName(target).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return messageFor(FileProblem::WriteFailed, path, qt_error_string(errno));
    PosixInPlaceFile file(fd);
    const textio::InPlaceOutcome outcome = textio::writeInPlace(file, bytes);
    close(fd);  // the data is already flushed; close reports nothing more of use
    if (const auto* failed = std::get_if<textio::InPlaceFailed>(&outcome)) {
        return messageFor(failed->originalRestored ? FileProblem::WriteFailed
                                                   : FileProblem::WriteFailedNotRestored,
                          path, toQString(failed->detail));
    }
    return {};
}

}  // namespace

ReadOutcome readCandidateFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return refuse(FileProblem::Missing, path);
    if (!info.isFile()) return refuse(FileProblem::NotAFile, path);
    if (static_cast<std::size_t>(info.size()) > textio::kMaxCandidateFileBytes) {
        return refuse(FileProblem::TooLarge, path);
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists()) return refuse(FileProblem::Missing, path);
        if (!mayAccess(QFile::encodeName(path), R_OK)) {
            return refuse(FileProblem::NoReadPermission, path);
        }
        return refuse(FileProblem::ReadFailed, path, file.errorString());
    }
    // Read whole: a file that grew past the limit since it was measured is still refused
    // below. (read(limit + 1) would set aside 64 MiB for every file.)
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return refuse(FileProblem::ReadFailed, path, file.errorString());
    }

    textio::DecodeOutcome outcome = textio::decodeCandidateBytes(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
        makeCodePageDecoder());
    if (const auto* refusal = std::get_if<textio::DecodeRefusal>(&outcome)) {
        return refuse(*refusal == textio::DecodeRefusal::TooLarge ? FileProblem::TooLarge
                                                                  : FileProblem::NotText,
                      path);
    }
    auto& decoded = std::get<textio::DecodedText>(outcome);
    return CandidateFileText{std::move(decoded.text), decoded.format};
}

QString writeCandidateFile(const QString& path, const std::u16string& text,
                           const textio::FileFormat& format) {
    const std::optional<QString> target = fileBehindLinks(path);
    if (!target) {
        return messageFor(FileProblem::LinkLoop, path);
    }
    const std::optional<Target> found = inspect(*target);
    if (!found) return messageFor(FileProblem::WriteFailed, path, qt_error_string(errno));

    const textio::WriteMethod method = textio::chooseWriteMethod(found->facts);
    if (method == textio::WriteMethod::RefuseNotAFile) {
        return messageFor(FileProblem::TargetNotAFile, path);
    }
    if (method == textio::WriteMethod::RefuseReadOnly) {
        return messageFor(FileProblem::ReadOnly, path);
    }

    const std::optional<std::string> bytes =
        textio::encodeCandidateText(text, format, makeCodePageEncoder());
    if (!bytes) {
        return messageFor(FileProblem::NotEncodable, path);
    }
    if (method == textio::WriteMethod::InPlace) return writeInPlace(path, *target, *bytes);
    return replaceAtomically(path, *target, *bytes,
                             found->facts.exists ? std::optional(found->status) : std::nullopt);
}

}  // namespace zorbalin::window
