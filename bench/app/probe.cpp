// The program measured whole, one process per figure: tools/run-benchmarks.sh times it with
// hyperfine and takes its peak resident memory with GNU time. Built like qt/app/main.cpp,
// it ends at once when its window has been shown and painted and the work is done.
//   probe form1|bare                  the window Form1, or the floor: a bare QPlainTextEdit
//   probe form1|bare --startup FILE   FILE read before the window is shown: Form1's
//                                     remembered file, or its text given to the bare editor
//   probe form1|bare --choose FILE    once shown: a click on Command1 that the dialog answers
//                                     with FILE (load, tidy, write back), or the bare editor
//                                     given the file's text
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "form1.h"
#include "file_dialogs.h"
#include "settings_store.h"

using namespace zorbalin;

struct AnsweringChooser final : window::FileChooser {
    QString path;
    Result<QString> chooseExistingFile(const window::FileDialogRequest&) override { return path; }
};

int main(int argc, char** argv) {
    QTemporaryDir settings;  // never the user's own
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorbalin"));
    const QStringList arguments = QApplication::arguments();
    const bool form1 = arguments.value(1) == u"form1";
    const QString how = arguments.value(2), path = arguments.value(3);
    if ((!form1 && arguments.value(1) != u"bare") || arguments.size() == 3 || arguments.size() > 4 ||
        (arguments.size() == 4 && how != u"--startup" && how != u"--choose")) {
        std::fprintf(stderr, "usage: probe form1|bare [--startup|--choose FILE]\n");
        return 2;
    }
    const auto fileText = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    const auto remembered = how == u"--startup" ? window::fromQString(path) : std::u16string();
    if (!window::QtSettingsStore().write({{lifecycle::kPathKey, remembered}})) return 1;

    AnsweringChooser chooser;
    chooser.path = path;
    const auto form = form1 ? std::make_unique<window::Form1>(&chooser) : nullptr;
    QPlainTextEdit bare;
    if (!form1 && how == u"--startup") bare.setPlainText(fileText());
    QWidget* shown = form1 ? static_cast<QWidget*>(form.get()) : &bare;
    auto* editor = form1 ? form->findChild<QPlainTextEdit*>(QStringLiteral("RichTextBox1")) : &bare;

    bool failed = false;
    QTimer watch, poll;
    QObject::connect(&watch, &QTimer::timeout, [&failed] {
        if (QApplication::activeModalWidget() == nullptr) return;
        failed = true;  // a message box tells of a failure: end instead of waiting for the user
        QCoreApplication::exit(1);
    });
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!shown->windowHandle()->isExposed()) return;  // the work begins after the first paint
        poll.stop();
        if (how == u"--choose" && form1) form->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        if (how == u"--choose" && !form1) bare.setPlainText(fileText());
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        failed = failed || (!path.isEmpty() && editor->document()->isEmpty());
        QCoreApplication::exit(failed ? 1 : 0);
    });
    watch.start(100);
    poll.start(1);
    shown->show();
    const int status = QApplication::exec();
    settings.remove();
    std::_Exit(status);  // tearing a long document down is no part of loading it
}
