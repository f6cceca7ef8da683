#include "layout/messages.h"

namespace zorbalin::layout {

bool isWriteProblem(FileProblem problem) {
    switch (problem) {
    case FileProblem::ReadOnly:
    case FileProblem::WriteFailed:
    case FileProblem::WriteFailedNotRestored:
    case FileProblem::LinkLoop:
    case FileProblem::TargetNotAFile:
    case FileProblem::NotEncodable:
        return true;
    default:
        return false;
    }
}

std::u16string candidateFileMessage(FileProblem problem, std::u16string_view nativePath,
                                    std::u16string_view detail) {
    std::u16string text = isWriteProblem(problem) ? u"无法保存文件“" : u"无法读取文件“";
    text += nativePath;
    text += u"”。\n";
    switch (problem) {
    case FileProblem::Missing: text += u"该文件不存在。"; break;
    case FileProblem::NoReadPermission: text += u"没有读取该文件的权限。"; break;
    case FileProblem::NotAFile: text += u"这不是一个文件。"; break;
    case FileProblem::NotText: text += u"该文件不是文本文件。"; break;
    case FileProblem::TooLarge: text += u"该文件太大(超过 64 MiB)。"; break;
    case FileProblem::ReadFailed: (text += u"读取时出错：") += detail; text += u"。"; break;
    case FileProblem::ReadOnly: text += u"该文件是只读的，未作任何改动。"; break;
    case FileProblem::WriteFailed:
        (text += u"磁盘已满或无法写入(") += detail;
        text += u")，原文件未作改动。";
        break;
    case FileProblem::WriteFailedNotRestored:
        (text += u"写入时出错(") += detail;
        text += u")，且未能恢复原内容，文件可能已损坏。";
        break;
    case FileProblem::LinkLoop: text += u"磁盘已满或无法写入(符号链接形成了循环)，原文件未作改动。"; break;
    case FileProblem::TargetNotAFile: text += u"磁盘已满或无法写入(这不是一个文件)，原文件未作改动。"; break;
    case FileProblem::NotEncodable: text += u"磁盘已满或无法写入(文本无法按原编码保存)，原文件未作改动。"; break;
    }
    return text;
}

std::u16string settingsNotSavedMessage(std::u16string_view location) {
    std::u16string text = u"无法保存设置到“";
    text += location;
    text += u"”。\n下次启动时将不会记住所选文件和滚动频率。";
    return text;
}


}  // namespace zorbalin::layout
