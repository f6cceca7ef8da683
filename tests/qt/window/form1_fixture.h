// Shared by the window tests: a Form1 built against a temporary settings store (the test
// main points XDG_CONFIG_HOME into a temporary folder), a scripted open-file dialog, and
// access to the controls by object name, as a user would find them.
#pragma once

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "file_dialogs.h"
#include "candidate_editor.h"
#include "form1.h"

namespace zorbalin::test {

// An open-file dialog that answers from a script instead of asking the user.
class ScriptedDialog : public window::FileChooser {
public:
    std::function<Result<QString>()> answer = [] { return QString(); };
    int calls = 0;
    window::FileDialogRequest lastRequest{};

    Result<QString> chooseExistingFile(const window::FileDialogRequest& request) override {
        ++calls;
        lastRequest = request;
        return answer();
    }
};

inline QString qs(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(files.isValid());
        clearSettings();
    }
    void TearDown() override {
        form.reset();
        clearSettings();
    }

    static QSettings store() {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Pellanor"),
                         QStringLiteral("Pellanor"));
    }
    static void clearSettings() {
        QSettings settings = store();
        settings.clear();
        settings.sync();
    }
    static void storeSetting(const QString& key, const QString& value) {
        QSettings settings = store();
        settings.setValue(QStringLiteral("Nomal/") + key, value);
        settings.sync();
    }
    static QVariant storedSetting(const QString& key) {
        QSettings settings = store();
        return settings.value(QStringLiteral("Nomal/") + key);
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = files.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static QByteArray readFile(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    window::Form1& open() {
        form = std::make_unique<window::Form1>(&dialog);
        return *form;
    }
    window::Form1& openShown() {
        open().show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return *form;
    }
    void closeWindow() { form->close(); }

    template <typename T>
    T* control(const char* name) {
        auto* widget = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    window::CandidateEditor* editor() { return control<window::CandidateEditor>("RichTextBox1"); }
    QLineEdit* pick() { return control<QLineEdit>("Text1"); }
    QLineEdit* interval() { return control<QLineEdit>("Text2"); }
    QPushButton* startStop() { return control<QPushButton>("Command2"); }
    QPushButton* chooseFile() { return control<QPushButton>("Command1"); }
    QTimer* timer() { return control<QTimer>("Timer1"); }

    // The editor's text with CR LF between lines, as the draw sees it.
    QString editorText() { return qs(editor()->text()); }

    QTemporaryDir files;
    ScriptedDialog dialog;
    std::unique_ptr<window::Form1> form;
};

}  // namespace zorbalin::test
