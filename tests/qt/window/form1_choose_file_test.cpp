// Choosing a candidate file: it is loaded, tidied, written back and remembered, and a file
// that cannot be read or written is reported and never damaged.
#include <QFileInfo>

#include "form1_fixture.h"
#include "message_box_catcher.h"

namespace zorbalin::test {
namespace {

class ChooseFileTest : public Form1Test {
protected:
    void choose(const QString& path) {
        dialog.answer = [path] { return path; };
        QTest::mouseClick(chooseFile(), Qt::LeftButton);
    }
};

TEST_F(ChooseFileTest, AsksWithTheTitleAndAllFilesFilterOverTheWindow) {
    openShown();
    choose(QString());
    ASSERT_EQ(dialog.calls, 1);
    EXPECT_EQ(dialog.lastRequest.owner, form.get());
    EXPECT_EQ(dialog.lastRequest.title, QStringLiteral("选择一个文件"));
    ASSERT_EQ(dialog.lastRequest.nameFilters.size(), 1);
    EXPECT_TRUE(dialog.lastRequest.nameFilters[0].startsWith(QStringLiteral("所有文件(*.*)")));
    EXPECT_EQ(dialog.lastRequest.selectedNameFilter, dialog.lastRequest.nameFilters[0]);
}

TEST_F(ChooseFileTest, ChosenFileIsTidiedShownWrittenBackAndRemembered) {
    const QString path = writeFile(QStringLiteral("list.txt"), "a\r\n\r\nb\r\n");
    openShown();
    choose(path);
    EXPECT_EQ(editorText(), "a\r\nb");
    EXPECT_EQ(readFile(path), QByteArray("a\r\nb"));
    closeWindow();
    EXPECT_EQ(storedSetting("Path").toString(), path);
}

TEST_F(ChooseFileTest, SeparatorsInAFileAreLineBreaksForTheDrawToo) {
    const QString path = writeFile(QStringLiteral("list.txt"), "x\xE2\x80\xA9y\xE2\x80\xA8z");
    openShown();
    choose(path);
    EXPECT_EQ(editorText(), QStringLiteral("x\r\ny\r\nz"));
    EXPECT_EQ(editor()->document()->blockCount(), 3);
    QTest::mouseClick(startStop(), Qt::LeftButton);
    EXPECT_EQ(pick()->text(), QStringLiteral("x"));
}

// Not GB18030 (no euro sign at 0x80), yet valid in Windows' code page 936.
TEST_F(ChooseFileTest, CodePage936FileWithTheEuroSignLoadsAndIsWrittenBackInIt) {
    const QString path = writeFile(QStringLiteral("list.txt"), "\xD5\xC5 \x80\x35\r\n\r\n\xC8\xFD\r\n");
    openShown();
    MessageBoxCatcher boxes;
    choose(path);
    EXPECT_TRUE(boxes.caught().isEmpty());
    EXPECT_EQ(editorText(), QStringLiteral("张 €5\r\n三"));
    EXPECT_EQ(readFile(path), QByteArray("\xD5\xC5 \x80\x35\r\n\xC8\xFD"));
}

TEST_F(ChooseFileTest, CancelKeepsTheEditorButForgetsTheFile) {
    const QString path = writeFile(QStringLiteral("list.txt"), "a\r\nb");
    storeSetting("Path", path);
    openShown();
    ASSERT_EQ(editorText(), "a\r\nb");
    MessageBoxCatcher boxes;
    choose(QString());
    EXPECT_EQ(editorText(), "a\r\nb");
    EXPECT_TRUE(boxes.caught().isEmpty());
    closeWindow();
    EXPECT_EQ(storedSetting("Path").toString(), "");
}

TEST_F(ChooseFileTest, ChoosingWhileScrollingChangesTheEditorNotTheDraw) {
    const QString path = writeFile(QStringLiteral("list.txt"), "new1\r\nnew2\r\n");
    openShown();
    editor()->setPlainText(QStringLiteral("old"));
    QTest::mouseClick(startStop(), Qt::LeftButton);
    choose(path);
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(startStop()->text(), QStringLiteral("停止滚动"));
    EXPECT_EQ(editorText(), "new1\r\nnew2");
    QTRY_VERIFY(pick()->text() == "old");

    QTest::mouseClick(startStop(), Qt::LeftButton);
    QTest::mouseClick(startStop(), Qt::LeftButton);
    EXPECT_EQ(pick()->text(), "new1");
}

TEST_F(ChooseFileTest, UnusableFilesAreReportedAndLeftByteForByte) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QFileDevice::Permissions permissions;
    };
    const auto readWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const Case cases[] = {
        {"image.png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01", 20), readWrite},
        {"readonly.txt", QByteArray("x\r\n\r\ny\r\n"), QFileDevice::ReadOwner | QFileDevice::ReadGroup},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = writeFile(QString::fromLatin1(c.name), c.bytes);
        ASSERT_TRUE(QFile::setPermissions(path, c.permissions));
        openShown();
        editor()->setPlainText(QStringLiteral("kept"));
        MessageBoxCatcher boxes;
        choose(path);
        ASSERT_EQ(boxes.caught().size(), 1);
        EXPECT_TRUE(boxes.caught()[0].text.contains(QString::fromLatin1(c.name)))
            << qPrintable(boxes.caught()[0].text);
        EXPECT_EQ(readFile(path), c.bytes);
        EXPECT_EQ(QFileInfo(path).permissions() & 0x7077, c.permissions & 0x7077);
        form.reset();
    }
}

TEST_F(ChooseFileTest, ReadOnlyFileStillShowsItsTidiedTextAndIsRemembered) {
    const QString path = writeFile(QStringLiteral("ro.txt"), "x\r\n\r\ny\r\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    openShown();
    MessageBoxCatcher boxes;
    choose(path);
    EXPECT_EQ(boxes.caught().size(), 1);
    EXPECT_EQ(editorText(), "x\r\ny");
    EXPECT_EQ(form->listPath(), path);
}

TEST_F(ChooseFileTest, FailingDialogIsReportedOnceAndForgetsTheFile) {
    storeSetting("Path", QStringLiteral("/somewhere/else.txt"));
    openShown();
    dialog.answer = []() -> Result<QString> { return dialogs::dialogFailure(48, u"Error in loading DLL"); };
    MessageBoxCatcher boxes;
    QTest::mouseClick(chooseFile(), Qt::LeftButton);
    ASSERT_EQ(boxes.caught().size(), 1);
    EXPECT_EQ(boxes.caught()[0].text, "Error: 48 Error in loading DLL");
    EXPECT_EQ(boxes.caught()[0].title, "mnuFileOpenDialog_Click");
    EXPECT_EQ(form->listPath(), "");
}

}  // namespace
}  // namespace zorbalin::test
