#include "window/candidate_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "textio/candidate_decoding.h"
#include "window/code_page_decoder.h"

namespace zorbalin::window {
namespace {

enum class Problem {
    Missing,
    NoReadPermission,
    NotAFile,
    NotText,
    TooLarge,
    ReadFailed,
    ReadOnly,
    WriteFailed,
};

// Every text that the user may see about a candidate file, in one place.
QString messageFor(Problem problem, const QString& path, const QString& detail = {}) {
    const QString name = QDir::toNativeSeparators(path);
    const bool writing = problem == Problem::ReadOnly || problem == Problem::WriteFailed;
    const QString first = writing ? QStringLiteral("无法保存文件“%1”。").arg(name)
                                  : QStringLiteral("无法读取文件“%1”。").arg(name);
    QString second;
    switch (problem) {
    case Problem::Missing: second = QStringLiteral("该文件不存在。"); break;
    case Problem::NoReadPermission: second = QStringLiteral("没有读取该文件的权限。"); break;
    case Problem::NotAFile: second = QStringLiteral("这不是一个文件。"); break;
    case Problem::NotText: second = QStringLiteral("该文件不是文本文件。"); break;
    case Problem::TooLarge: second = QStringLiteral("该文件太大(超过 64 MiB)。"); break;
    case Problem::ReadFailed: second = QStringLiteral("读取时出错：%1。").arg(detail); break;
    case Problem::ReadOnly: second = QStringLiteral("该文件是只读的，未作任何改动。"); break;
    case Problem::WriteFailed:
        second = QStringLiteral("磁盘已满或无法写入(%1)，原文件未作改动。").arg(detail);
        break;
    }
    return first + QLatin1Char('\n') + second;
}

ReadOutcome refuse(Problem problem, const QString& path, const QString& detail = {}) {
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

std::optional<std::string> encodeText(const std::u16string& text, textio::TextEncoding encoding) {
    if (encoding == textio::TextEncoding::Gb18030) {
        return encodeGb18030(textio::replaceLoneSurrogates(text));
    }
    return textio::encodeUnicodeText(text, encoding);
}

}  // namespace

ReadOutcome readCandidateFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return refuse(Problem::Missing, path);
    if (!info.isFile()) return refuse(Problem::NotAFile, path);
    if (static_cast<std::size_t>(info.size()) > textio::kMaxCandidateFileBytes) {
        return refuse(Problem::TooLarge, path);
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists()) return refuse(Problem::Missing, path);
        if (!info.isReadable()) return refuse(Problem::NoReadPermission, path);
        return refuse(Problem::ReadFailed, path, file.errorString());
    }
    // Read whole: a file that grew past the limit since it was measured is still refused
    // below. (read(limit + 1) would set aside 64 MiB for every file.)
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return refuse(Problem::ReadFailed, path, file.errorString());
    }

    textio::DecodeOutcome outcome = textio::decodeCandidateBytes(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
        makeCodePageDecoder());
    if (!outcome.decoded) {
        return refuse(outcome.refusal == textio::DecodeRefusal::TooLarge ? Problem::TooLarge
                                                                         : Problem::NotText,
                      path);
    }
    return ReadOutcome{
        CandidateFileText{std::move(outcome.decoded->text), outcome.decoded->encoding}, {}};
}

QString writeCandidateFile(const QString& path, const std::u16string& text,
                           textio::TextEncoding encoding) {
    const std::optional<QString> target = fileBehindLinks(path);
    if (!target) {
        return messageFor(Problem::WriteFailed, path, QStringLiteral("符号链接形成了循环"));
    }
    const QFileInfo info(*target);
    const bool existed = info.exists();
    if (existed && !info.isFile()) {
        return messageFor(Problem::WriteFailed, path, QStringLiteral("这不是一个文件"));
    }
    if (existed && isReadOnly(info)) return messageFor(Problem::ReadOnly, path);
    const QFileDevice::Permissions permissions = info.permissions();

    const std::optional<std::string> bytes = encodeText(text, encoding);
    if (!bytes) {
        return messageFor(Problem::WriteFailed, path, QStringLiteral("文本无法按原编码保存"));
    }

    QSaveFile file(*target);
    file.setDirectWriteFallback(false);  // never fall back to truncating the original
    if (!file.open(QIODevice::WriteOnly)) {
        return messageFor(Problem::WriteFailed, path, file.errorString());
    }
    const auto size = static_cast<qint64>(bytes->size());
    if (file.write(bytes->data(), size) != size) {
        const QString detail = file.errorString();
        file.cancelWriting();
        file.commit();  // removes the temporary file; the original stays as it was
        return messageFor(Problem::WriteFailed, path, detail);
    }
    if (!file.commit()) return messageFor(Problem::WriteFailed, path, file.errorString());

    if (existed && QFileInfo(*target).permissions() != permissions) {
        QFile::setPermissions(*target, permissions);
    }
    return {};
}

}  // namespace zorbalin::window
