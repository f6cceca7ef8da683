#include <QApplication>
#include <QMessageBox>

#include <memory>

#include "base/problem_error.h"
#include "form1.h"
#include "qt_texts.h"
#include "layout/texts.h"
#include "qstring_u16.h"
#include "termination_signals.h"
#include "zorbalin_version.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorbalin"));
    QApplication::setApplicationVersion(QStringLiteral(ZORBALIN_VERSION_STRING));
    QApplication::setDesktopFileName(QStringLiteral(ZORBALIN_APP_ID));
    zorbalin::window::installChineseQtTexts(app);

    std::unique_ptr<zorbalin::window::Form1> form;
    try {
        form = std::make_unique<zorbalin::window::Form1>();
    } catch (...) {
        // Without a window there is nothing to go on with, but the user hears why.
        const zorbalin::Problem problem = zorbalin::problemOfCurrentException();
        QMessageBox box(QMessageBox::Warning, zorbalin::window::toQString(zorbalin::layout::kWindowCaption),
                        zorbalin::window::toQString(zorbalin::layout::problemMessage(problem)), QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return 1;
    }
    zorbalin::window::closeOnTermination(form.get());
    form->show();
    return QApplication::exec();
}
