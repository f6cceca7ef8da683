// The routine through the real Qt file dialog on the offscreen platform.
#include "file_dialogs.h"
#include "qt_gtest_printers.h"
#include "file_dialog_driver.h"
#include "message_box_catcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zorbalin::window
