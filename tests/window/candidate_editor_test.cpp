// The candidate editor presents its content with CR LF between lines and every other
// character as typed, and writing the text it already holds does not rebuild the document.
#include <QTextDocument>

#include "form1_fixture.h"

namespace zorbalin::test {
namespace {

using window::CandidateEditor;

TEST(CandidateEditorText, ParagraphAndLineSeparatorsBecomeCrLf) {
    struct Case {
        QString raw;
        std::u16string text;
    };
    const Case cases[] = {
        {QString(), u""},
        {QStringLiteral("a\u2029b"), u"a\r\nb"},
        {QStringLiteral("a\u2028b"), u"a\r\nb"},
        {QStringLiteral("\u2029\u2029"), u"\r\n\r\n"},
        {QStringLiteral("\u00A0x\t "), u"\u00A0x\t "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(window::crlfTextFromEditorText(c.raw), c.text) << qPrintable(c.raw);
    }
}

TEST(CandidateEditorText, RoundTripsThroughTheWidget) {
    const std::u16string texts[] = {
        u"", u"x", u"\r\nfirst", u"a\r\n\r\nb\r\n", u"  a\u00A0 \r\n \r\nb", u"😀\r\n名单",
    };
    for (const std::u16string& text : texts) {
        CandidateEditor editor;
        editor.setText(text);
        CandidateEditor reread;  // no cached text: read back from the widget itself
        reread.setPlainText(editor.document()->toRawText());
        EXPECT_EQ(reread.text(), text) << qPrintable(qs(text));
    }
}

TEST(CandidateEditorText, UserEditsAreSeenAfterAWrite) {
    CandidateEditor editor;
    editor.setText(u"a");
    ASSERT_EQ(editor.text(), u"a");
    editor.moveCursor(QTextCursor::End);
    editor.insertPlainText(QStringLiteral("\nb"));
    EXPECT_EQ(editor.text(), u"a\r\nb");
}

TEST(CandidateEditorText, WritingTheSameTextKeepsTheDocumentAndUndoHistory) {
    CandidateEditor editor;
    editor.setText(u"a\r\nb");
    editor.moveCursor(QTextCursor::End);
    editor.insertPlainText(QStringLiteral("c"));
    const int revision = editor.document()->revision();
    editor.setText(editor.text());
    EXPECT_EQ(editor.document()->revision(), revision);
    EXPECT_TRUE(editor.document()->isUndoAvailable());

    editor.setText(u"other");
    EXPECT_EQ(editor.toPlainText(), "other");
}

}  // namespace
}  // namespace zorbalin::test
