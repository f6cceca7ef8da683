#include <QApplication>

#include "form1.h"
#include "termination_signals.h"
#include "zorbalin_version.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorbalin"));
    QApplication::setApplicationVersion(QStringLiteral(ZORBALIN_VERSION_STRING));
    QApplication::setDesktopFileName(QStringLiteral(ZORBALIN_APP_ID));

    zorbalin::window::Form1 form;
    zorbalin::window::closeOnTermination(&form);
    form.show();
    return QApplication::exec();
}
