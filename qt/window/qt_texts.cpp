#include "qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace zorbalin::window {

bool installChineseQtTexts(QCoreApplication& application) {
    auto* texts = new QTranslator(&application);
    if (!texts->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete texts;
        return false;
    }
    return QCoreApplication::installTranslator(texts);
}

}  // namespace zorbalin::window
