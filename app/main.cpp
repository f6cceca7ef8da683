#include <QApplication>

#include "window/form1.h"
#include "window/termination_signals.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorbalin"));
    QApplication::setDesktopFileName(QStringLiteral("zorbalin"));

    zorbalin::window::Form1 form;
    zorbalin::window::closeOnTermination(&form);
    form.show();
    return QApplication::exec();
}
