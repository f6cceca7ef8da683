// The window as the benchmarks drive it: the real Form1, its controls found by object
// name as a user finds them, and an open-file dialog that answers with a set path.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QTimer>

#include "qt_open_file_dialog.h"
#include "form1.h"

namespace zorbalin::bench {

class AnsweringDialog : public window::FileChooser {
public:
    QString path;
    Result<QString> chooseExistingFile(const window::FileDialogRequest&) override { return path; }
};

struct FormControls {
    QPushButton* chooseFile;   // Command1
    QPushButton* startStop;    // Command2
    QLineEdit* interval;       // Text2
    QPlainTextEdit* editor;    // RichTextBox1
    QTimer* timer;             // Timer1
};

// Aborts when a control is missing: every figure would be meaningless.
FormControls controlsOf(window::Form1& form);

// The remembered candidate file that the next Form1 loads at startup; "" for none.
void rememberCandidateFile(const QString& path);

// Lets the window finish what it posted (layout, painting) before a measurement.
void settle();

}  // namespace zorbalin::bench
