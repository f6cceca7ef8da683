// Choosing a candidate file as the window wires it: Qt's dialog over the window, and the
// real files and code pages behind the shared procedure.
#include <QMenu>

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

// 保存名单 is on the editor's own menu and on Ctrl+S; with no file chosen it asks in the
// save dialog.
TEST_F(ChooseFileTest, TheEditorsMenuAndCtrlSSaveTheList) {
    const QString path = writeFile(QStringLiteral("list.txt"), "a\r\nb");
    openShown();
    choose(path);
    editor()->setPlainText(QStringLiteral("x\n\n\ny"));
    editor()->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(editor(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(readFile(path), QByteArray("x\r\ny"));

    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), editor()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(editor()->viewport(), &click);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    auto* save = menu->findChild<QAction*>(QStringLiteral("SaveList"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), QStringLiteral("保存名单\tCtrl+S"));
    menu->close();
}

}  // namespace
}  // namespace zorbalin::test
