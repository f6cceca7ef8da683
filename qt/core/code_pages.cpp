#include "code_pages.h"

#include <QByteArrayList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <memory>
#include <unordered_map>

namespace zorbalin::window {
namespace {

// The converter names that ICU may know a Windows code page by, best first.
QByteArrayList converterNames(int codePage) {
    switch (codePage) {
    case 54936: return {"GB18030"};
    case 936: return {"windows-936", "GBK"};  // with the euro sign at 0x80
    case 950: return {"Big5"};
    case 932: return {"Shift_JIS"};
    case 949: return {"windows-949", "EUC-KR"};
    case 1252: return {"windows-1252"};
    case 10000: return {"macintosh"};
    case 65001: return {"UTF-8"};
    default: break;
    }
    const QByteArray number = QByteArray::number(codePage);
    return {"windows-" + number, "CP" + number};
}

// Stateless: a sequence cut off at the end of the input is an error, not a pending state.
// Decoders are kept on the heap and never moved: a moved ICU-backed decoder no longer
// reports errors (Qt 6.4).
std::unique_ptr<QStringDecoder> openDecoder(int codePage) {
    for (const QByteArray& name : converterNames(codePage)) {
        auto decoder = std::make_unique<QStringDecoder>(name.constData(),
                                                        QStringConverter::Flag::Stateless);
        if (decoder->isValid()) return decoder;
    }
    return nullptr;
}

// An error stays set on a decoder (resetState() does not clear it), so a decoder that
// met one is replaced before its next use.
std::optional<std::u16string> decodeWith(std::unique_ptr<QStringDecoder>& decoder, int codePage,
                                         std::string_view bytes) {
    if (decoder && decoder->hasError()) decoder = openDecoder(codePage);
    if (!decoder) return std::nullopt;
    const QString text = decoder->decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder->hasError()) return std::nullopt;
    return text.toStdU16String();
}

}  // namespace

std::optional<std::u16string> decodeCodePage(int codePage, std::string_view bytes) {
    std::unique_ptr<QStringDecoder> decoder = openDecoder(codePage);
    return decodeWith(decoder, codePage, bytes);
}

textio::CodePageDecoder makeCodePageDecoder() {
    using Decoders = std::unordered_map<int, std::unique_ptr<QStringDecoder>>;
    auto decoders = std::make_shared<Decoders>();
    return [decoders](int codePage, std::string_view bytes) -> std::optional<std::u16string> {
        auto it = decoders->find(codePage);
        if (it == decoders->end()) it = decoders->emplace(codePage, openDecoder(codePage)).first;
        return decodeWith(it->second, codePage, bytes);
    };
}

std::optional<std::string> encodeCodePage(int codePage, std::u16string_view text) {
    QStringEncoder encoder(converterNames(codePage).front().constData(),
                           QStringConverter::Flag::Stateless);
    if (!encoder.isValid()) return std::nullopt;
    const QByteArray bytes = encoder.encode(QStringView(text.data(), qsizetype(text.size())));
    if (encoder.hasError()) return std::nullopt;
    return bytes.toStdString();
}

textio::CodePageEncoder makeCodePageEncoder() { return textio::chineseCodePagesOnly(encodeCodePage); }

}  // namespace zorbalin::window
