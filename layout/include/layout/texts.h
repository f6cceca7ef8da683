// Every text a user can read: captions, dialog titles and filters, and the message for each
// problem, in one place for both front ends. The interface is in Simplified Chinese.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/problem.h"
#include "base/progress.h"

namespace zorbalin::layout {

inline constexpr std::u16string_view kWindowCaption = u"Zorbalin";

// Captions of the window's controls.
inline constexpr std::u16string_view kStartCaption = u"开始滚动";    // start scrolling
inline constexpr std::u16string_view kStopCaption = u"停止滚动";     // stop scrolling
inline constexpr std::u16string_view kChooseFileCaption = u"选择文件";  // choose file
inline constexpr std::u16string_view kPickLabel = u"选中项:";           // selected item
inline constexpr std::u16string_view kIntervalLabel = u"滚动频率:";      // scrolling rate
inline constexpr std::u16string_view kIntervalUnitLabel = u"单位(ms)";   // unit: ms
inline constexpr std::u16string_view kCandidatesLabel = u"备选项(每行为一项):";  // one per line

// The window's caption while long work goes on: what it is doing, and how far it has come
// once some is done ("Zorbalin - 正在读取文件 45%").
std::u16string progressCaption(ProgressStage stage, std::uint64_t done, std::uint64_t total);

// The interval shown when none is stored.
inline constexpr std::u16string_view kDefaultIntervalText = u"50";

// The choose-file command's dialog.
inline constexpr std::u16string_view kChooseFileDialogTitle = u"选择一个文件";
// One filter pair in the common-dialog form: description, NUL, pattern, NUL.
std::u16string allFilesFilter();

// The box of the open-file dialog routine: its title, and "Error: N description".
inline constexpr std::u16string_view kDialogErrorBoxTitle = u"mnuFileOpenDialog_Click";
std::u16string dialogFailureText(long number, std::u16string_view description);
// The description of a failure code of the Windows common dialog (CommDlgExtendedError).
std::u16string commonDialogErrorText(unsigned long code);

// Out of memory: also the text shown when there is too little memory to make any other.
inline constexpr std::u16string_view kOutOfMemoryMessage =
    u"内存不足，操作未能完成。窗口中的内容和磁盘上的文件均未改变。";
// A failure that came without any text of its own.
inline constexpr std::u16string_view kUnknownErrorText = u"未知错误";

// What the user reads about a problem. `nativePath` is the file it concerns, in the
// platform's own form, where there is one. A system's description that ends with a full
// stop loses it, so that no sentence ends twice.
std::u16string problemMessage(const Problem& problem, std::u16string_view nativePath = {});

// The box that tells of a problem: over the window, with its caption as the title, a warning
// icon and only an OK button.
enum class BoxIcon { None, Warning };
struct MessageBoxText {
    std::u16string_view title;
    std::u16string text;
    BoxIcon icon;
};
MessageBoxText problemBox(const Problem& problem, std::u16string_view nativePath = {});

// The classroom options: the pick display's menu, the presentation view and the record.

// The menu on the pick display (Text1), and the keys shown in its shortcut column.
inline constexpr std::u16string_view kCopyMenuItem = u"复制";
inline constexpr std::u16string_view kSelectAllMenuItem = u"全选";
inline constexpr std::u16string_view kPresentationMenuItem = u"演示模式";
inline constexpr std::u16string_view kNoRepeatMenuItem = u"不重复抽取";
inline constexpr std::u16string_view kRestartRoundMenuItem = u"重新开始一轮";
inline constexpr std::u16string_view kRecordMenuItem = u"抽取记录…";
inline constexpr std::u16string_view kFloatingMenuItem = u"悬浮窗";
inline constexpr std::u16string_view kDrawCountMenuItem = u"每次抽取人数…";
inline constexpr std::u16string_view kSlowStopMenuItem = u"缓停";

// The small window over the slides: its title and its close mark's name for a screen reader.
inline constexpr std::u16string_view kFloatingTitle = u"Zorbalin 悬浮窗";
inline constexpr std::u16string_view kFloatingCloseName = u"关闭悬浮窗";

// The dialog that asks how many are drawn at once: its title and the label of its field,
// which names the range ("每次抽取人数(1-40):").
inline constexpr std::u16string_view kDrawCountTitle = u"每次抽取人数";
std::u16string drawCountLabel(std::size_t maximum);
// What a screen reader says when a draw stops: "抽取结果：张三".
std::u16string resultAnnouncement(std::u16string_view result);

// The key that opens the pick display's menu besides the menu key (the tooltip names it).
inline constexpr std::u16string_view kPickMenuKeyName = u"Shift+F10";

// The presentation view.
inline constexpr std::u16string_view kPresentationTitle = u"Zorbalin 演示";

// The record window, its columns, and saving it.
inline constexpr std::u16string_view kRecordWindowTitle = u"抽取记录";
inline constexpr std::u16string_view kRecordCopyButton = u"复制";
inline constexpr std::u16string_view kRecordSaveButton = u"另存为…";
inline constexpr std::u16string_view kRecordClearButton = u"清空";
inline constexpr std::u16string_view kRecordTimeColumn = u"时间";
inline constexpr std::u16string_view kRecordDrawColumn = u"次序";
inline constexpr std::u16string_view kRecordRoundColumn = u"轮次";
inline constexpr std::u16string_view kRecordResultColumn = u"结果";
// Text files first, then all files, in the common-dialog form (pairs of NUL-ended texts).
std::u16string textFilesFilter();

// A save dialog: its title, the file name it proposes, the extension a name typed without one
// gets, and its filter in the common-dialog form.
struct SaveDialogTexts {
    std::u16string_view title;
    std::u16string_view fileName;
    std::u16string_view extension;
    std::u16string filter;
};
SaveDialogTexts recordSaveDialog();

// Saving the editor's list (the editor's menu and Ctrl+S), through the save dialog when no
// file is chosen.
inline constexpr std::u16string_view kSaveListMenuItem = u"保存名单";
SaveDialogTexts listSaveDialog();
// The editor's menu where the program makes it (Windows: an edit control's own menu cannot
// take 保存名单): the standard commands, 复制 and 全选 as on the pick display's menu.
inline constexpr std::u16string_view kUndoMenuItem = u"撤销";
inline constexpr std::u16string_view kCutMenuItem = u"剪切";
inline constexpr std::u16string_view kPasteMenuItem = u"粘贴";
inline constexpr std::u16string_view kDeleteMenuItem = u"删除";
// The buttons of a dialog the program makes.
inline constexpr std::u16string_view kOkButton = u"确定";
inline constexpr std::u16string_view kCancelButton = u"取消";

// A rich-text document written back as plain text: where its original, formatting and all,
// was kept.
std::u16string richTextKeptMessage(std::u16string_view nativePath, std::u16string_view copy);

// The record window's size at the design dpi, its client area in pixels, and the widths of
// its columns but the last, which takes the rest.
inline constexpr int kRecordClientWidth = 400;
inline constexpr int kRecordClientHeight = 300;
inline constexpr int kRecordTimeColumnWidth = 72;
inline constexpr int kRecordDrawColumnWidth = 40;
inline constexpr int kRecordRoundColumnWidth = 48;
// Copying found the clipboard held by another program (on Windows it is taken in turn).
inline constexpr std::u16string_view kClipboardBusyMessage =
    u"剪贴板正被其他程序占用，未能复制。请稍后再试。";

}  // namespace zorbalin::layout
