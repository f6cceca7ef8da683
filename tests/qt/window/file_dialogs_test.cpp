// The routine through the real Qt file dialog on the offscreen platform.
#include "file_dialogs.h"
#include "qt_gtest_printers.h"
#include "file_dialog_driver.h"
#include "message_box_catcher.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace zorbalin::window {
namespace {

using test::FileDialogDriver;
using test::MessageBoxCatcher;

const QString kAllFilesDescription = QString::fromUtf16(u"所有文件(*.*)");
const QString kAllFiles = kAllFilesDescription + QChar(u'\0') + "*.*" + QChar(u'\0');
const QString kTitle = QString::fromUtf16(u"选择一个文件");

QString createFile(const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    return path;
}

class QtOpenFileDialogTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
    QString folder() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
};

TEST_F(QtOpenFileDialogTest, ShowsTitleAndDescriptionExactlyAndListsNamesWithoutDot) {
    createFile(folder(), "a.txt");
    const QString noDot = createFile(folder(), "names");
    bool listed = false;
    QString shownTitle;
    QStringList shownFilters;
    QFileDialog::FileMode mode{};
    FileDialogDriver driver([&](QFileDialog& dialog) {
        shownTitle = dialog.windowTitle();
        shownFilters = FileDialogDriver::visibleNameFilters(dialog);
        mode = dialog.fileMode();
        listed = FileDialogDriver::waitUntilListed(dialog, folder(), "names");
        FileDialogDriver::typeFileNameAndAccept(dialog, noDot);
    });
    MessageBoxCatcher boxes;

    EXPECT_EQ(ShowOpenFileDialog(nullptr, kTitle, kAllFiles), noDot);

    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(shownTitle, kTitle);
    EXPECT_EQ(shownFilters, QStringList{kAllFilesDescription});
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
    EXPECT_TRUE(listed) << "a file without a dot is hidden by *.*";
    EXPECT_TRUE(boxes.caught().isEmpty());
}

TEST_F(QtOpenFileDialogTest, OtherPatternsStillFilter) {
    createFile(folder(), "a.txt");
    createFile(folder(), "names");
    QStringList listed;
    FileDialogDriver driver([&](QFileDialog& dialog) {
        FileDialogDriver::waitUntilListed(dialog, folder(), "a.txt");
        listed = FileDialogDriver::listedFileNames(dialog);
        dialog.reject();
    });
    const QString textOnly = QString("Text") + QChar(u'\0') + "*.txt" + QChar(u'\0');

    EXPECT_EQ(ShowOpenFileDialog(nullptr, kTitle, textOnly), "");

    EXPECT_EQ(listed, QStringList{"a.txt"});
}

TEST_F(QtOpenFileDialogTest, PathLongerThan255CharactersComesBackWhole) {
    QString deep = folder();
    while (deep.size() <= 300) {
        deep = QDir(deep).filePath(QString(60, u'd'));
    }
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString chosen = createFile(deep, QString::fromUtf16(u"候选名单.txt"));
    ASSERT_GT(chosen.size(), 255);
    FileDialogDriver driver([&](QFileDialog& dialog) {
        FileDialogDriver::typeFileNameAndAccept(dialog, chosen);
    });

    EXPECT_EQ(ShowOpenFileDialog(nullptr, kTitle, kAllFiles), chosen);
    EXPECT_FALSE(driver.stayedOpenAfterAction());
}

TEST_F(QtOpenFileDialogTest, NameOfMissingFileIsRefusedAndKeepsTheDialogOpen) {
    FileDialogDriver driver([&](QFileDialog& dialog) {
        FileDialogDriver::typeFileNameAndAccept(dialog, QDir(folder()).filePath("missing.txt"));
    });
    MessageBoxCatcher boxes;  // the dialog's own "file not found" warning

    EXPECT_EQ(ShowOpenFileDialog(nullptr, kTitle, kAllFiles), "");
    EXPECT_TRUE(driver.stayedOpenAfterAction());
    ASSERT_EQ(boxes.caught().size(), 1);
    EXPECT_NE(boxes.caught().first().title, "mnuFileOpenDialog_Click");
}

TEST_F(QtOpenFileDialogTest, CancelGivesEmptyTextAndNoBox) {
    createFile(folder(), "a.txt");
    FileDialogDriver driver([&](QFileDialog& dialog) {
        dialog.selectFile(QDir(folder()).filePath("a.txt"));
        dialog.reject();
    });
    MessageBoxCatcher boxes;

    EXPECT_EQ(ShowOpenFileDialog(nullptr, kTitle, kAllFiles), "");
    EXPECT_TRUE(driver.acted());
    EXPECT_TRUE(boxes.caught().isEmpty());
}

TEST_F(QtOpenFileDialogTest, IsModalOverItsOwnerWithTheFileNameFieldFocused) {
    QWidget owner;
    owner.show();
    QWidget* parent = nullptr;
    bool modal = false;
    FileDialogDriver driver([&](QFileDialog& dialog) {
        parent = dialog.parentWidget();
        modal = dialog.isModal() || dialog.windowModality() != Qt::NonModal;
        dialog.reject();
    });

    ShowOpenFileDialog(&owner, kTitle, kAllFiles);

    EXPECT_EQ(parent, &owner);
    EXPECT_TRUE(modal);
    EXPECT_EQ(driver.focusAtOpen(), "fileNameEdit");
}

// Ends the whole test program when what it watches has not returned in time: a window that
// hangs cannot fail a test any other way.
class Watchdog {
public:
    Watchdog(std::chrono::seconds limit, const char* what)
        : thread_([this, limit, what] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!returned_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "%s did not return within %lld s\n", what, static_cast<long long>(limit.count()));
                  _exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        returned_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable returned_;
    bool done_ = false;
    std::thread thread_;
};

// Typing "/proc/" lists it, with the icon and type of each entry (as the administrator,
// /proc/kmsg among them, which blocks whoever reads it), and the dialog goes on.
TEST_F(QtOpenFileDialogTest, ListingProcReturns) {
    const Watchdog watchdog(std::chrono::seconds(60), "listing /proc in the open-file dialog");
    bool listed = false;
    int shown = 0;
    FileDialogDriver driver([&](QFileDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        QTest::keyClicks(edit, "/proc/");
        listed = FileDialogDriver::waitUntilListed(dialog, "/proc", "self");
        auto* model = dialog.findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        const QModelIndex proc = model->index("/proc");
        // The type and icon come from the model's own thread: asked for, then waited for.
        const auto allShown = [&] {
            shown = 0;
            for (int row = 0; row < model->rowCount(proc); ++row) {
                const bool icon = !model->index(row, 0, proc).data(Qt::DecorationRole).isNull();
                const bool type = !model->index(row, 2, proc).data().toString().isEmpty();
                shown += icon && type ? 1 : 0;
            }
            return shown == model->rowCount(proc);
        };
        EXPECT_TRUE(QTest::qWaitFor(allShown, 20000)) << shown << " of " << model->rowCount(proc);
        dialog.reject();
    });

    EXPECT_EQ(ShowOpenFileDialog(nullptr, kTitle, kAllFiles), "");
    EXPECT_TRUE(listed);
    EXPECT_GT(shown, 0);
}

// What the dialog shows of a file comes from its name alone: a file named "notes" that holds
// a PDF's bytes is not called a PDF, for its bytes are never read.
TEST_F(QtOpenFileDialogTest, ShowsTypesFromNamesWithoutReadingFiles) {
    const QString notes = createFile(folder(), "notes");
    {
        QFile file(notes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4\n");
    }
    createFile(folder(), "list.txt");
    QString notesType, listType;
    FileDialogDriver driver([&](QFileDialog& dialog) {
        FileDialogDriver::waitUntilListed(dialog, folder(), "list.txt");
        auto* model = dialog.findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        const auto typeOf = [&](const QString& name) {
            return model->index(QDir(folder()).filePath(name), 2).data().toString();
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return !typeOf("notes").isEmpty() && !typeOf("list.txt").isEmpty(); }, 20000));
        notesType = typeOf("notes");
        listType = typeOf("list.txt");
        dialog.reject();
    });
    ShowOpenFileDialog(nullptr, kTitle, kAllFiles);
    const QMimeDatabase types;
    EXPECT_NE(notesType, types.mimeTypeForName("application/pdf").comment());
    EXPECT_EQ(listType, types.mimeTypeForName("text/plain").comment());
}

}  // namespace
}  // namespace zorbalin::window
