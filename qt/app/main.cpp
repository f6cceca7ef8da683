#include <QApplication>

#include "form1.h"
#include "termination_signals.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorbalin"));
    QApplication::setDesktopFileName(QStringLiteral("zorbalin"));

    zorbalin::window::Form1 form;
    zorbalin::window::closeOnTermination(&form);
    form.show();
    return QApplication::exec();
}
