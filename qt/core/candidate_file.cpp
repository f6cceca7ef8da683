#include "candidate_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "textio/candidate_decoding.h"
#include "code_page_decoder.h"
#include "layout/messages.h"
#include "qstring_u16.h"

namespace zorbalin::window {
namespace {

using layout::FileProblem;

QString messageFor(FileProblem problem, const QString& path, const QString& detail = {}) {
    const std::u16string text = layout::candidateFileMessage(
        problem, fromQString(QDir::toNativeSeparators(path)), fromQString(detail));
    return toQString(text);
}

ReadOutcome refuse(FileProblem problem, const QString& path, const QString& detail = {}) {
    return ReadOutcome{std::nullopt, messageFor(problem, path, detail)};
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

// Judged from the permission bits, not only from access(): a file whose owner may not
// write it is read-only, also for an administrator who could write it anyway.
bool isReadOnly(const QFileInfo& info) {
    return !info.permissions().testFlag(QFileDevice::WriteOwner) || !info.isWritable();
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
        if (!info.isReadable()) return refuse(FileProblem::NoReadPermission, path);
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
    if (!outcome.decoded) {
        return refuse(outcome.refusal == textio::DecodeRefusal::TooLarge ? FileProblem::TooLarge
                                                                         : FileProblem::NotText,
                      path);
    }
    return ReadOutcome{
        CandidateFileText{std::move(outcome.decoded->text), outcome.decoded->encoding}, {}};
}

QString writeCandidateFile(const QString& path, const std::u16string& text,
                           textio::TextEncoding encoding) {
    const std::optional<QString> target = fileBehindLinks(path);
    if (!target) {
        return messageFor(FileProblem::LinkLoop, path);
    }
    const QFileInfo info(*target);
    const bool existed = info.exists();
    if (existed && !info.isFile()) {
        return messageFor(FileProblem::TargetNotAFile, path);
    }
    if (existed && isReadOnly(info)) return messageFor(FileProblem::ReadOnly, path);
    const QFileDevice::Permissions permissions = info.permissions();

    const std::optional<std::string> bytes =
        textio::encodeCandidateText(text, encoding, makeCodePageEncoder());
    if (!bytes) {
        return messageFor(FileProblem::NotEncodable, path);
    }

    QSaveFile file(*target);
    file.setDirectWriteFallback(false);  // never fall back to truncating the original
    if (!file.open(QIODevice::WriteOnly)) {
        return messageFor(FileProblem::WriteFailed, path, file.errorString());
    }
    const auto size = static_cast<qint64>(bytes->size());
    if (file.write(bytes->data(), size) != size) {
        const QString detail = file.errorString();
        file.cancelWriting();
        file.commit();  // removes the temporary file; the original stays as it was
        return messageFor(FileProblem::WriteFailed, path, detail);
    }
    if (!file.commit()) return messageFor(FileProblem::WriteFailed, path, file.errorString());

    if (existed && QFileInfo(*target).permissions() != permissions) {
        QFile::setPermissions(*target, permissions);
    }
    return {};
}

}  // namespace zorbalin::window
