// Cold-start floor: the least a Qt Widgets program does to show a window. With the
// argument "label" the window holds one label of Chinese text, which adds the cost of
// finding and loading a font for it.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

#include "first_show_reporter.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zorbalin::bench::FirstShowReporter reporter(app);

    QWidget window;
    if (argc > 1 && std::strcmp(argv[1], "label") == 0) {
        new QLabel(QStringLiteral("开始滚动"), &window);
    }
    window.show();
    return QApplication::exec();
}
