// Choosing a candidate file as the window wires it: Qt's dialog over the window, and the
// real files and code pages behind the shared procedure.
#include "form1_fixture.h"

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

}  // namespace
}  // namespace zorbalin::test
