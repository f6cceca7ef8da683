// The candidate editor presents its content with CR LF between lines and every other
// character as typed, and writing the text it already holds does not rebuild the document.
#include <QClipboard>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include "form1_fixture.h"
#include "textio/text_encoding.h"

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
        editor.flush();
        CandidateEditor reread;  // no cached text: read back from the widget itself
        reread.setPlainText(editor.document()->toRawText());
        EXPECT_EQ(reread.text(), text) << qPrintable(qs(text));
    }
}

// Text pasted from another program shows the lines the draw cuts, whatever its line breaks.
TEST(CandidateEditorText, PastedLineBreaksBecomeCrLf) {
    CandidateEditor editor;
    QGuiApplication::clipboard()->setText(QStringLiteral("a\nb\rc\u2028d\u2029e"));
    editor.paste();
    EXPECT_EQ(editor.document()->blockCount(), 5);
    EXPECT_EQ(editor.text(), u"a\r\nb\r\nc\r\nd\r\ne");
}

TEST(CandidateEditorText, UserEditsAreSeenAfterAWrite) {
    CandidateEditor editor;
    editor.setText(u"a");
    editor.flush();
    ASSERT_EQ(editor.text(), u"a");
    editor.moveCursor(QTextCursor::End);
    editor.insertPlainText(QStringLiteral("\nb"));
    EXPECT_EQ(editor.text(), u"a\r\nb");
}

// A tidy that changes nothing leaves the editor as any tidy does, without laying it out again.
TEST(CandidateEditorText, WritingTheSameTextLooksLikeARewriteWithoutRebuildingTheDocument) {
    CandidateEditor editor;
    editor.setText(u"a\r\nb");
    editor.flush();
    editor.moveCursor(QTextCursor::End);
    editor.insertPlainText(QStringLiteral("c"));
    const int revision = editor.document()->revision();
    editor.setText(editor.text());
    EXPECT_TRUE(editor.flush());
    EXPECT_EQ(editor.document()->revision(), revision);
    EXPECT_FALSE(editor.document()->isUndoAvailable());
    EXPECT_EQ(editor.textCursor().position(), 0);
    EXPECT_FALSE(editor.flush()) << "nothing set since";

    editor.setText(u"other");
    editor.flush();
    EXPECT_EQ(editor.toPlainText(), "other");
}

// Writing a text that only lacks some parts of the current one removes just those parts;
// whichever way it goes, the document must end exactly as a whole new plain text leaves it.
TEST(CandidateEditorText, ChangingSomeLinesGivesTheSameDocumentAsANewText) {
    struct Case {
        const char* what;
        std::u16string before;
        std::u16string after;
    };
    const Case cases[] = {
        {"final break dropped", u"a\r\nb\r\n", u"a\r\nb"},
        {"blank run shortened", u"a\r\n\r\n\r\nb\r\nc", u"a\r\nb\r\nc"},
        {"leading breaks shortened", u"\r\n\r\n\r\nfirst", u"\r\nfirst"},
        {"break after a lone CR", u"p\r\r\nq", u"p\r\nq"},
        {"lone CR and LF brought together", u"a\rX\nb", u"a\r\nb"},
        {"everything removed", u"a\r\nb", u""},
        {"text from empty", u"", u"a\r\nb"},
        {"line changed inside", u"one\r\ntwo\r\nthree", u"one\r\ntwelve\r\nthree"},
        {"most lines changed", u"a\r\n\r\nb\r\n\r\nc", u"a\r\nb\r\nc"},
    };
    for (const Case& c : cases) {
        CandidateEditor editor;
        editor.setText(c.before);
        editor.flush();
        editor.moveCursor(QTextCursor::End);
        editor.setText(c.after);
        editor.flush();

        QPlainTextEdit wholeText;
        wholeText.setPlainText(window::editorTextFromCrlfText(c.after));
        EXPECT_EQ(editor.document()->toRawText(), wholeText.document()->toRawText()) << c.what;
        // Read as the widget shows it: a lone CR or LF is a line break there.
        EXPECT_EQ(editor.text(), textio::normalizeLineBreaks(c.after)) << c.what;
        EXPECT_FALSE(editor.document()->isUndoAvailable()) << c.what;
        EXPECT_FALSE(editor.document()->isModified()) << c.what;
        EXPECT_EQ(editor.textCursor().position(), 0) << c.what;
    }
}

TEST(CandidateEditorText, TidyingALongListKeepsTheUnchangedLines) {
    std::u16string tidy;
    std::u16string untidy;
    for (int i = 0; i < 2000; ++i) {
        const std::u16string name = u"name" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26));
        tidy += (i > 0 ? u"\r\n" : u"") + name;
        untidy += (i > 0 ? u"\r\n" : u"") + std::u16string(i % 500 == 7 ? u"\r\n\r\n" : u"") + name;
    }
    CandidateEditor editor;
    editor.setText(untidy + u"\r\n");
    editor.flush();
    editor.document()->firstBlock().setUserState(7);  // marks the block object itself

    editor.setText(tidy);
    editor.flush();
    EXPECT_EQ(editor.document()->firstBlock().userState(), 7) << "the document was rebuilt";
    EXPECT_EQ(editor.document()->toRawText(), window::editorTextFromCrlfText(tidy));
    EXPECT_FALSE(editor.document()->isUndoAvailable());
}

}  // namespace
}  // namespace zorbalin::test
