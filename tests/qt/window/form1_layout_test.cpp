// The window as a user first meets it: controls, texts, positions, focus and keyboard order.
#include <QAccessible>
#include <QLabel>

#include <QMenu>

#include <memory>

#include "form1_fixture.h"
#include "qt_texts.h"

namespace zorbalin::test {
namespace {

struct ExpectedControl {
    const char* name;
    const char* className;
    QString text;
    QRect pixels;  // designed twips / 15
};

class LayoutTest : public Form1Test {};

TEST_F(LayoutTest, EveryControlHasItsNameTextAndDesignedPlace) {
    const ExpectedControl expected[] = {
        {"Command2", "QPushButton", QStringLiteral("开始滚动"), {208, 8, 73, 25}},
        {"Label1", "QLabel", QStringLiteral("选中项:"), {8, 24, 42, 12}},
        {"Text1", "QLineEdit", QString(), {8, 40, 273, 18}},
        {"Label3", "QLabel", QStringLiteral("滚动频率:"), {8, 72, 54, 12}},
        {"Text2", "QLineEdit", QStringLiteral("50"), {8, 88, 81, 18}},
        {"Label4", "QLabel", QStringLiteral("单位(ms)"), {96, 90, 48, 12}},
        {"Command1", "QPushButton", QStringLiteral("选择文件"), {208, 112, 73, 25}},
        {"Label2", "QLabel", QStringLiteral("备选项(每行为一项):"), {8, 128, 114, 12}},
        {"RichTextBox1", "QPlainTextEdit", QString(), {8, 144, 273, 209}},
    };
    window::Form1& window = open();
    EXPECT_EQ(window.objectName(), "Form1");
    EXPECT_EQ(window.windowTitle(), "Zorbalin");
    EXPECT_EQ(window.size(), QSize(288, 361));

    for (const ExpectedControl& want : expected) {
        SCOPED_TRACE(want.name);
        auto* widget = control<QWidget>(want.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(want.className));
        QString text;
        if (auto* button = qobject_cast<QPushButton*>(widget)) text = button->text();
        if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
        if (auto* field = qobject_cast<QLineEdit*>(widget)) text = field->text();
        if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) text = edit->toPlainText();
        EXPECT_EQ(text, want.text);
        if (qobject_cast<QLabel*>(widget) != nullptr) {
            // Labels fit their captions; only their corner is fixed.
            EXPECT_EQ(widget->pos(), want.pixels.topLeft());
        } else {
            EXPECT_EQ(widget->geometry(), want.pixels);
        }
    }
}

TEST_F(LayoutTest, TimerStartsDisabledAtOneHundredMilliseconds) {
    open();
    EXPECT_FALSE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 100);
    EXPECT_EQ(timer()->timerType(), Qt::PreciseTimer);
}

TEST_F(LayoutTest, EnlargingKeepsButtonsRightAndGivesTheEditorTheRoom) {
    window::Form1& window = openShown();
    EXPECT_EQ(window.minimumSize(), QSize(288, 361));
    window.resize(388, 461);
    EXPECT_EQ(startStop()->geometry(), QRect(308, 8, 73, 25));
    EXPECT_EQ(chooseFile()->geometry(), QRect(308, 112, 73, 25));
    EXPECT_EQ(pick()->geometry(), QRect(8, 40, 373, 18));
    EXPECT_EQ(interval()->geometry(), QRect(8, 88, 81, 18));
    EXPECT_EQ(editor()->geometry(), QRect(8, 144, 373, 309));

    window.resize(288, 361);
    EXPECT_EQ(editor()->geometry(), QRect(8, 144, 273, 209));
}

TEST_F(LayoutTest, EditorHasFocusAndTabFollowsTheDesignedOrder) {
    openShown();
    EXPECT_EQ(QApplication::focusWidget(), editor());

    const QWidget* expectedOrder[] = {chooseFile(), startStop(), pick(), interval(), editor()};
    for (const QWidget* next : expectedOrder) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next)
            << qPrintable(QApplication::focusWidget()->objectName());
    }
}

TEST_F(LayoutTest, FieldsAreNamedByTheirLabelsForScreenReaders) {
    open();
    const std::pair<const char*, QString> named[] = {
        {"Text1", QStringLiteral("选中项:")},
        {"Text2", QStringLiteral("滚动频率:")},
        {"RichTextBox1", QStringLiteral("备选项(每行为一项):")},
    };
    for (const auto& [field, name] : named) {
        SCOPED_TRACE(field);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control<QWidget>(field));
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name), name);
    }
}

TEST_F(LayoutTest, PickDisplayIsReadOnlyButSelectable) {
    open();
    EXPECT_TRUE(pick()->isReadOnly());
    EXPECT_NE(pick()->focusPolicy(), Qt::NoFocus);
}

// A larger system font gives the window more room, as dialog units do: every caption fits.
TEST_F(LayoutTest, ALargerSystemFontEnlargesTheWindowSoThatCaptionsFit) {
    const QFont normal = QApplication::font();
    QFont large = normal;
    large.setPointSize(16);
    QApplication::setFont(large);
    window::Form1& window = open();
    QApplication::setFont(normal);
    EXPECT_GT(window.width(), 288 * 3 / 2);
    EXPECT_GT(window.height(), 361 * 3 / 2);
    for (const char* name : {"Command1", "Command2"}) {
        auto* button = control<QPushButton>(name);
        EXPECT_GE(button->width(), QFontMetrics(button->font()).horizontalAdvance(button->text())) << name;
    }
    EXPECT_LE(control<QLabel>("Label1")->geometry().bottom(), control<QWidget>("Text1")->y());
}

TEST(QtTexts, TheEditorsOwnMenuIsChinese) {
    ASSERT_TRUE(window::installChineseQtTexts(*QCoreApplication::instance()));
    QPlainTextEdit editor;
    editor.setPlainText(QStringLiteral("a"));
    const std::unique_ptr<QMenu> menu(editor.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) texts << action->text();
    EXPECT_TRUE(texts.join(u' ').contains(QStringLiteral("粘贴"))) << qPrintable(texts.join(u' '));
}

}  // namespace
}  // namespace zorbalin::test
