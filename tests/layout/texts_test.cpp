#include "layout/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zorbalin::layout {
namespace {

Problem problem(ProblemCode code, std::u16string detail = {}, SystemCause cause = SystemCause::Other,
                std::u16string where = {}) {
    return Problem{code, std::move(detail), cause, std::move(where), 0};
}

struct MessageCase {
    const char* name;
    Problem problem;
    std::u16string text;
};

// Each names the file and whether it was read or saved, gives the real cause in our words
// with the system's own after it, ends in one full stop, and says "may be damaged" only
// where bytes were written and not put back.
TEST(ProblemMessage, SaysWhatHappenedToTheFile) {
    const MessageCase cases[] = {
        {"NotText", problem(ProblemCode::NotText), u"无法读取文件“/a/名单.txt”。\n该文件不是文本文件。"},
        {"LegacyWorkbook", problem(ProblemCode::WorkbookLegacy),
         u"无法读取文件“/a/名单.txt”。\n这是旧版 Excel 工作簿(.xls)，无法读取。请在 Excel 中将它另存为 .xlsx 格式后再选择。"},
        {"ReadFailedWithTheSystemsFullStop", problem(ProblemCode::ReadFailed, u"共享冲突。"),
         u"无法读取文件“/a/名单.txt”。\n读取时出错：共享冲突。"},
        {"NoSpace", problem(ProblemCode::WriteFailed, u"No space left on device", SystemCause::NoSpace),
         u"无法保存文件“/a/名单.txt”。\n磁盘空间不足(No space left on device)，原文件未作改动。"},
        {"Quota", problem(ProblemCode::WriteFailed, u"Disk quota exceeded.", SystemCause::QuotaExceeded),
         u"无法保存文件“/a/名单.txt”。\n超出了磁盘配额(Disk quota exceeded)，原文件未作改动。"},
        {"Permission", problem(ProblemCode::WriteFailed, u"拒绝访问。", SystemCause::AccessDenied),
         u"无法保存文件“/a/名单.txt”。\n没有写入权限(拒绝访问)，原文件未作改动。"},
        {"UnknownCause", problem(ProblemCode::WriteFailed), u"无法保存文件“/a/名单.txt”。\n未知错误，原文件未作改动。"},
        {"ChangedSinceRead", problem(ProblemCode::ChangedSinceRead),
         u"无法保存文件“/a/名单.txt”。\n读取之后，该文件已被其他程序修改、替换或移动，为免覆盖其内容，原文件未作改动。"},
        {"NoRecoveryCopy", problem(ProblemCode::NoRecoveryCopy, u"", SystemCause::NoSpace, u"/s/zorbalin/"),
         u"无法保存文件“/a/名单.txt”。\n无法在“/s/zorbalin/”保存原内容的备份(磁盘空间不足)，因此没有写入，原文件未作改动。"},
        {"NotRestored", problem(ProblemCode::NotRestored, u"I/O error", SystemCause::Other, u"/s/名单.txt.old"),
         u"无法保存文件“/a/名单.txt”。\n写入时出错(I/O error)，且未能恢复原内容，文件可能已损坏。\n"
         u"原内容的副本保存在“/s/名单.txt.old”。"},
        {"ChangedWhileWritten", problem(ProblemCode::ChangedWhileWritten),
         u"无法保存文件“/a/名单.txt”。\n写入期间，该文件被其他程序修改。为免两者混在一起，已恢复为读取时的内容，"
         u"其他程序所作的修改需要在该程序中重新保存。"},
        {"SpecialPermissionsLost", [] {
             Problem lost = problem(ProblemCode::SpecialPermissionsLost);
             lost.number = kLostSetUserId | kLostCapabilities;
             return lost;
         }(),
         u"已保存文件“/a/名单.txt”，但写入时系统清除了它的set-user-ID 位、文件能力(capabilities)，"
         u"而你没有恢复它的权限。"},
        {"RecoveryCopyFound", problem(ProblemCode::RecoveryCopyFound, u"", SystemCause::Other, u"/s/名单.txt.old"),
         u"上次写入文件“/a/名单.txt”时程序意外中止，该文件现在既不是写入前的内容，也不是写入后的内容，可能已损坏。\n"
         u"原内容的副本保存在“/s/名单.txt.old”。"},
        {"RecoveryCopyFoundOfAFileGone",
         problem(ProblemCode::RecoveryCopyFound, u"No such file or directory", SystemCause::NotFound, u"/s/名单.txt.old"),
         u"上次写入文件“/a/名单.txt”时程序意外中止，现在无法读取该文件：找不到该文件或文件夹(No such file or directory)，"
         u"不能确认它是否完好。\n原内容的副本保存在“/s/名单.txt.old”。"},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(problemMessage(c.problem, u"/a/名单.txt"), c.text);
        const bool damaged = c.problem.code == ProblemCode::NotRestored ||
                             (c.problem.code == ProblemCode::RecoveryCopyFound && c.problem.detail.empty());
        EXPECT_EQ(c.text.find(u"可能已损坏") != std::u16string::npos, damaged);
    }
}

TEST(ProblemMessage, SettingsAndTheDialogHaveTheirOwnBoxes) {
    const MessageBoxText settings = problemBox(problem(ProblemCode::SettingsNotSaved, u"", SystemCause::Other, u"/c/P.conf"));
    EXPECT_EQ(settings.text, u"无法保存设置到“/c/P.conf”。\n下次启动时将不会记住所选文件和滚动频率。");
    EXPECT_EQ(settings.title, kWindowCaption);
    Problem dialog = problem(ProblemCode::DialogFailed, u"Error in loading DLL");
    dialog.number = 48;
    EXPECT_EQ(problemBox(dialog).text, u"Error: 48 Error in loading DLL");
    EXPECT_EQ(problemBox(dialog).title, kDialogErrorBoxTitle);
    EXPECT_EQ(allFilesFilter(), std::u16string(u"所有文件(*.*)\0*.*\0", 14));
}

// The window is Chinese: whatever a problem is, its words are the program's own, and the only
// other text in a box is what the system or a file gave (detail, where, the file's path).
TEST(ProblemMessage, EveryCodeIsToldInChinese) {
    // Words in Latin letters, each as it stands.
    const auto latinWords = [](std::u16string_view text) {
        std::vector<std::u16string> words(1);
        for (const char16_t c : text) {
            if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
                words.back() += c;
            } else if (!words.back().empty()) {
                words.emplace_back();
            }
        }
        if (words.back().empty()) words.pop_back();
        return words;
    };
    for (int code = 0; code < kProblemCodeCount; ++code) {
        SCOPED_TRACE(code);
        const Problem given = problem(static_cast<ProblemCode>(code), u"系统", SystemCause::Other, u"某处");
        std::u16string message = problemMessage(given, u"/名单");
        ASSERT_FALSE(message.empty());
        // The exceptions: the dialog's box frames its error as "Error: N", a size is told in
        // MiB, and a workbook is named by its program and its file formats.
        for (const std::u16string& word : latinWords(message)) {
            EXPECT_TRUE(word == u"Error" || word == u"MiB" || word == u"Excel" || word == u"xls" || word == u"xlsx")
                << ::testing::PrintToString(message);
        }
        for (const std::u16string_view ours : {u"系统", u"某处", u"/名单"}) {
            for (std::size_t at; (at = message.find(ours)) != std::u16string::npos;) message.erase(at, ours.size());
        }
        const bool ownWords = std::any_of(message.begin(), message.end(),
                                          [](char16_t c) { return c >= u'\u4E00' && c <= u'\u9FFF'; });
        EXPECT_TRUE(ownWords || given.code == ProblemCode::DialogFailed);
    }
}

}  // namespace
}  // namespace zorbalin::layout
