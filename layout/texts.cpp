#include "layout/texts.h"

#include <string>

#include "base/decimal_text.h"
#include "textio/candidate_decoding.h"

namespace zorbalin::layout {
namespace {

// "共享冲突。" and "No space left on device." lose their full stop: the message adds its own.
std::u16string_view withoutFinalStop(std::u16string_view text) {
    while (!text.empty() && (text.back() == u'。' || text.back() == u'.' || text.back() == u' ' ||
                             text.back() == u'\r' || text.back() == u'\n')) {
        text.remove_suffix(1);
    }
    return text;
}

bool isWriteProblem(ProblemCode code) {
    switch (code) {
    case ProblemCode::ReadOnly:
    case ProblemCode::TargetNotAFile:
    case ProblemCode::NotEncodable:
    case ProblemCode::ChangedSinceRead:
    case ProblemCode::ChangedWhileWritten:
    case ProblemCode::WriteFailed:
    case ProblemCode::NoRecoveryCopy:
    case ProblemCode::NotRestored:
        return true;
    default:
        return false;
    }
}

bool isFileProblem(ProblemCode code) {
    switch (code) {
    case ProblemCode::Missing:
    case ProblemCode::NotAFile:
    case ProblemCode::NoReadPermission:
    case ProblemCode::TooLarge:
    case ProblemCode::NotText:
    case ProblemCode::ReadFailed:
    case ProblemCode::WorkbookEncrypted:
    case ProblemCode::WorkbookLegacy:
    case ProblemCode::WorkbookDamaged:
    case ProblemCode::WorkbookNoText:
    case ProblemCode::WorkbookTooLarge:
        return true;
    default:
        return isWriteProblem(code);
    }
}

// The system's reason in words of our own where it is a common one, with its own text after.
std::u16string cause(const Problem& problem) {
    std::u16string text;
    switch (problem.cause) {
    case SystemCause::NoSpace: text = u"磁盘空间不足"; break;
    case SystemCause::QuotaExceeded: text = u"超出了磁盘配额"; break;
    case SystemCause::AccessDenied: text = u"没有写入权限"; break;
    case SystemCause::InUse: text = u"该文件正被其他程序使用"; break;
    case SystemCause::NotFound: text = u"找不到该文件或文件夹"; break;
    case SystemCause::Other: break;
    }
    const std::u16string_view detail = withoutFinalStop(problem.detail);
    if (text.empty()) return std::u16string(detail.empty() ? kUnknownErrorText : detail);
    if (!detail.empty()) ((text += u"(") += detail) += u")";
    return text;
}

std::u16string quoted(std::u16string_view text) {
    std::u16string out = u"“";
    (out += text) += u"”";
    return out;
}

// "set-user-ID 位、文件能力(capabilities)": what a SpecialPermissionsLost says was lost.
std::u16string lostPermissions(long lost) {
    std::u16string text;
    const auto add = [&](long bit, std::u16string_view name) {
        if ((lost & bit) == 0) return;
        if (!text.empty()) text += u"、";
        text += name;
    };
    add(kLostSetUserId, u"set-user-ID 位");
    add(kLostSetGroupId, u"set-group-ID 位");
    add(kLostCapabilities, u"文件能力(capabilities)");
    return text;
}

}  // namespace

std::u16string progressCaption(ProgressStage stage, std::uint64_t done, std::uint64_t total) {
    std::u16string text(kWindowCaption);
    switch (stage) {
    case ProgressStage::Reading: text += u" - 正在读取文件"; break;
    case ProgressStage::Decoding: text += u" - 正在识别文字"; break;
    case ProgressStage::Tidying: text += u" - 正在整理名单"; break;
    case ProgressStage::Loading: text += u" - 正在显示名单"; break;
    case ProgressStage::Writing: text += u" - 正在写回文件"; break;
    }
    if (done > 0 && total > 0) {
        const std::uint64_t percent = done >= total ? 100 : done * 100 / total;
        text += u' ';
        appendDecimal(text, percent);
        text += u'%';
    }
    return text;
}

// One pair of a common-dialog filter: its name and its pattern, each ended by a NUL.
static std::u16string filterPair(std::u16string_view name, std::u16string_view pattern) {
    std::u16string pair(name);
    (pair += u'\0') += pattern;
    return pair += u'\0';
}

std::u16string allFilesFilter() { return filterPair(u"所有文件(*.*)", u"*.*"); }

std::u16string dialogFailureText(long number, std::u16string_view description) {
    std::u16string text = u"Error: ";
    text += signedDecimalText(number);
    (text += u' ') += description;
    return text;
}

std::u16string commonDialogErrorText(unsigned long code) {
    switch (code) {
    case 0xFFFF: return u"无法创建对话框。";             // CDERR_DIALOGFAILURE
    case 0x0002: return u"找不到对话框的资源。";         // CDERR_FINDRESFAILURE
    case 0x0001: return u"无法初始化对话框(内存不足?)。";  // CDERR_INITIALIZATION
    case 0x0006: return u"无法加载对话框的资源。";       // CDERR_LOADRESFAILURE
    case 0x0005: return u"无法加载对话框的字符串。";     // CDERR_LOADSTRFAILURE
    case 0x0007: return u"无法锁定对话框的资源。";       // CDERR_LOCKRESFAILURE
    case 0x0009: return u"无法为对话框分配内存。";       // CDERR_MEMALLOCFAILURE
    case 0x000A: return u"无法锁定对话框的内存。";       // CDERR_MEMLOCKFAILURE
    case 0x0004: return u"对话框模板缺少实例句柄。";     // CDERR_NOHINSTANCE
    case 0x000B: return u"缺少挂钩过程。";               // CDERR_NOHOOK
    case 0x0003: return u"缺少对话框模板。";             // CDERR_NOTEMPLATE
    case 0x000C: return u"无法注册对话框的消息。";       // CDERR_REGISTERMSGFAIL
    case 0x0008: return u"对话框记录的大小不正确。";     // CDERR_STRUCTSIZE
    case 0x3003: return u"文件名缓冲区太小。";           // FNERR_BUFFERTOOSMALL
    case 0x3002: return u"文件名无效。";                 // FNERR_INVALIDFILENAME
    case 0x3001: return u"无法子类化列表框(内存不足)。";  // FNERR_SUBCLASSFAILURE
    default: return u"通用对话框出错。";
    }
}

std::u16string problemMessage(const Problem& problem, std::u16string_view nativePath) {
    std::u16string text;
    if (isFileProblem(problem.code)) {
        text = isWriteProblem(problem.code) ? u"无法保存文件" : u"无法读取文件";
        (text += quoted(nativePath)) += u"。\n";
    }
    const std::u16string_view unchanged = u"，原文件未作改动。";
    switch (problem.code) {
    case ProblemCode::Missing: text += u"该文件不存在。"; break;
    case ProblemCode::NotAFile: text += u"这不是一个文件。"; break;
    case ProblemCode::NoReadPermission: text += u"没有读取该文件的权限。"; break;
    case ProblemCode::TooLarge:
        ((text += u"该文件太大(超过 ") += decimalText(textio::kMaxCandidateFileBytes >> 20)) += u" MiB)。";
        break;
    case ProblemCode::NotText: text += u"该文件不是文本文件。"; break;
    case ProblemCode::ReadFailed: ((text += u"读取时出错：") += cause(problem)) += u"。"; break;
    case ProblemCode::WorkbookEncrypted:
        text += u"该工作簿设有密码(已加密)，无法读取。请在 Excel 中取消密码后再选择。";
        break;
    case ProblemCode::WorkbookLegacy:
        text += u"这是旧版 Excel 工作簿(.xls)，无法读取。请在 Excel 中将它另存为 .xlsx 格式后再选择。";
        break;
    case ProblemCode::WorkbookDamaged: text += u"该工作簿已损坏，或不是完整的 .xlsx 文件。"; break;
    case ProblemCode::WorkbookNoText: text += u"该工作簿的第一个可见工作表中没有文字。"; break;
    case ProblemCode::WorkbookTooLarge:
        text += u"该工作簿的内容太多(解压后超过 64 MiB，或超过 1000000 行)。";
        break;
    case ProblemCode::ReadOnly: text += u"该文件是只读的，未作任何改动。"; break;
    case ProblemCode::TargetNotAFile: (text += u"这不是一个文件") += unchanged; break;
    case ProblemCode::NotEncodable: (text += u"文本无法按该文件原来的编码保存") += unchanged; break;
    case ProblemCode::ChangedSinceRead:
        (text += u"读取之后，该文件已被其他程序修改、替换或移动，为免覆盖其内容") += unchanged;
        break;
    case ProblemCode::ChangedWhileWritten:
        text += u"写入期间，该文件被其他程序修改。为免两者混在一起，已恢复为读取时的内容，"
                u"其他程序所作的修改需要在该程序中重新保存。";
        break;
    case ProblemCode::WriteFailed: (text += cause(problem)) += unchanged; break;
    case ProblemCode::NoRecoveryCopy:
        text += u"无法";
        if (!problem.where.empty()) ((text += u"在") += quoted(problem.where));
        text += u"保存原内容的备份(";
        (text += cause(problem)) += u")，因此没有写入，原文件未作改动。";
        break;
    case ProblemCode::NotRestored:
        ((text += u"写入时出错(") += cause(problem)) += u")，且未能恢复原内容，文件可能已损坏。\n";
        ((text += u"原内容的副本保存在") += quoted(problem.where)) += u"。";
        break;
    case ProblemCode::SpecialPermissionsLost:
        ((text = u"已保存文件") += quoted(nativePath)) += u"，但写入时系统清除了它的";
        (text += lostPermissions(problem.number)) += u"，而你没有恢复它的权限。";
        break;
    case ProblemCode::RecoveryCopyFound:
        text = u"上次写入文件";
        if (!nativePath.empty()) text += quoted(nativePath);
        text += u"时程序意外中止，";
        if (problem.cause == SystemCause::Other && problem.detail.empty()) {
            text += u"该文件现在既不是写入前的内容，也不是写入后的内容，可能已损坏。";
        } else {
            ((text += u"现在无法读取该文件：") += cause(problem)) += u"，不能确认它是否完好。";
        }
        ((text += u"\n原内容的副本保存在") += quoted(problem.where)) += u"。";
        break;
    case ProblemCode::SettingsNotSaved:
        ((text += u"无法保存设置到") += quoted(problem.where)) += u"。\n";
        text += u"下次启动时将不会记住所选文件和滚动频率。";
        break;
    case ProblemCode::WindowNotCreated:
        text += u"无法打开窗口";
        if (!problem.where.empty()) text += quoted(problem.where);
        ((text += u"(") += cause(problem)) += u")。";
        break;
    case ProblemCode::MenuNotCreated: ((text += u"无法打开菜单(") += cause(problem)) += u")。"; break;
    case ProblemCode::TimerNotStarted:
        ((text += u"系统未能启动计时器(") += cause(problem)) += u")，抽取没有开始。";
        break;
    case ProblemCode::DialogFailed: text = dialogFailureText(problem.number, problem.detail); break;
    case ProblemCode::OutOfMemory: text += kOutOfMemoryMessage; break;
    case ProblemCode::Internal: ((text += u"出现内部错误(") += cause(problem)) += u")，操作未能完成。"; break;
    }
    return text;
}

MessageBoxText problemBox(const Problem& problem, std::u16string_view nativePath) {
    if (problem.code == ProblemCode::DialogFailed) {
        return {kDialogErrorBoxTitle, problemMessage(problem), BoxIcon::None};
    }
    return {kWindowCaption, problemMessage(problem, nativePath), BoxIcon::Warning};
}

// The classroom options.

std::u16string textFilesFilter() { return filterPair(u"文本文件(*.txt)", u"*.txt") + allFilesFilter(); }

std::u16string resultAnnouncement(std::u16string_view result) {
    std::u16string text = u"抽取结果：";
    return text += result;
}

std::u16string drawCountLabel(std::size_t maximum) {
    std::u16string text(kDrawCountTitle);
    return appendDecimal(text += u"(1-", maximum) += u"):";
}

SaveDialogTexts listSaveDialog() { return {u"保存名单", u"名单.txt", u"txt", textFilesFilter()}; }

std::u16string richTextKeptMessage(std::u16string_view nativePath, std::u16string_view copy) {
    std::u16string text = u"文件";
    ((text += quoted(nativePath)) += u"是带格式的文档，已按纯文本写回，格式没有保留。\n") += u"原文件(带格式)的副本保存在";
    return (text += quoted(copy)) += u"。";
}

SaveDialogTexts recordSaveDialog() { return {u"另存为", u"抽取记录.txt", u"txt", textFilesFilter()}; }

}  // namespace zorbalin::layout
