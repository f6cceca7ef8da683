// Cold-start probe: builds the application and the window exactly as the program's main
// does, and reports when the window is first shown.
#include <QApplication>

#include "first_show_reporter.h"
#include "form1.h"
#include "termination_signals.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorbalin"));
    QApplication::setDesktopFileName(QStringLiteral("zorbalin"));
    zorbalin::bench::FirstShowReporter reporter(app);

    zorbalin::window::Form1 form;
    zorbalin::window::closeOnTermination(&form);
    form.show();
    return QApplication::exec();
}
