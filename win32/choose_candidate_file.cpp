// The click on "选择文件": pick a candidate file, load it, tidy it and write it back.
#include "common_dialog.h"
#include "form1.h"
#include "layout/messages.h"
#include "wide_text.h"

namespace zorbalin::win32 {

void Form1::ChooseCandidateFile() {
    // A cancelled choice forgets the remembered file, so the next run starts empty.
    listPath_ = toWide(ShowOpenFileDialog(window_, layout::kChooseFileDialogTitle,
                                          layout::allFilesFilter(), options_.dialogBackend));
    if (listPath_.empty()) return;

    // A file that cannot be read is left alone: writing the editor's old text over it
    // would destroy it.
    textio::FileFormat format;
    std::u16string failure;
    if (!LoadCandidateFile(listPath_, format, failure)) {
        reportFailure(failure);
        return;
    }
    draw::TidyCandidateText(*this);
    // Written back in the encoding and line breaks it was read with.
    failure = writeCandidateFile(listPath_, RichTextBox1.text(), format);
    if (!failure.empty()) reportFailure(failure);
}

bool Form1::LoadCandidateFile(const std::wstring& path, textio::FileFormat& format,
                              std::u16string& failure) {
    CandidateFileRead read = readCandidateFile(path);
    if (auto* message = std::get_if<std::u16string>(&read)) {
        failure = std::move(*message);
        return false;
    }
    auto& file = std::get<CandidateFile>(read);
    RichTextBox1.setText(file.text);
    format = file.format;
    return true;
}

}  // namespace zorbalin::win32
