#include "form_access.h"

#include <QCoreApplication>
#include <QSettings>

#include <cstdio>
#include <cstdlib>

namespace zorbalin::bench {

namespace {

template <typename T>
T* find(window::Form1& form, const char* name) {
    auto* control = form.findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr) {
        std::fprintf(stderr, "the window has no control %s\n", name);
        std::abort();
    }
    return control;
}

}  // namespace

FormControls controlsOf(window::Form1& form) {
    return {find<QPushButton>(form, "Command1"), find<QPushButton>(form, "Command2"),
            find<QLineEdit>(form, "Text2"), find<QPlainTextEdit>(form, "RichTextBox1"),
            find<QTimer>(form, "Timer1")};
}

void rememberCandidateFile(const QString& path) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Pellanor"),
                    QStringLiteral("Pellanor"));
    store.setValue(QStringLiteral("Nomal/Path"), path);
    store.setValue(QStringLiteral("Nomal/Interval"), QStringLiteral("50"));
    store.sync();
}

void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace zorbalin::bench
