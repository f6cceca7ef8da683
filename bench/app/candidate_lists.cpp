#include "candidate_lists.h"

#include <QFile>

#include <array>

namespace zorbalin::bench {

namespace {

constexpr std::array<const char16_t*, 10> kSurnames = {u"王", u"李", u"张", u"刘", u"陈",
                                                       u"杨", u"赵", u"黄", u"周", u"欧阳"};
constexpr std::array<const char16_t*, 8> kGivenNames = {u"伟", u"芳", u"秀英", u"敏",
                                                        u"静", u"丽娟", u"强", u"Anna Marie"};

void appendCandidate(std::u16string& text, int index) {
    text += kSurnames[static_cast<std::size_t>(index) % kSurnames.size()];
    text += kGivenNames[static_cast<std::size_t>(index / 10) % kGivenNames.size()];
    text += u' ';
    for (char digit : std::to_string(index)) text += static_cast<char16_t>(digit);
}

}  // namespace

std::u16string candidateText(int lines, ListShape shape) {
    std::u16string text;
    text.reserve(static_cast<std::size_t>(lines) * 16);
    for (int i = 0; i < lines; ++i) {
        if (i > 0) text += u"\r\n";
        if (i > 0 && shape == ListShape::BlankLineEvery) text += u"\r\n";
        if (i == lines / 2 && i > 0 && shape == ListShape::FewBlankRuns) text += u"\r\n\r\n\r\n";
        appendCandidate(text, i);
    }
    if (shape == ListShape::FewBlankRuns) text += u"\r\n";
    return text;
}

QString pastedText(const std::u16string& crlfText) {
    QString text = QString::fromUtf16(crlfText.data(), static_cast<qsizetype>(crlfText.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

bool writeCandidateFile(const QString& path, int lines) {
    std::u16string text = candidateText(lines, ListShape::Tidy);
    text += u"\r\n";
    const QByteArray bytes =
        QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace zorbalin::bench
