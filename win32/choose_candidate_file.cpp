// The click on "选择文件" and the file operations the shared sequence needs on Windows.
#include "candidate_file.h"
#include "common_dialog.h"
#include "form1.h"
#include "lifecycle/lifecycle.h"
#include "long_path.h"
#include "wide_text.h"

namespace zorbalin::win32 {

void Form1::ChooseCandidateFile() {
    lifecycle::ChooseCandidateFile(state_, *this);
}

bool Form1::isExistingFile(const std::u16string& path) {
    const std::wstring query = fileApiPath(toWide(path));
    if (query.empty()) return false;
    const DWORD attributes = GetFileAttributesW(query.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

lifecycle::CandidateFileRead Form1::readCandidateFile(const std::u16string& path) {
    CandidateFileRead read = win32::readCandidateFile(toWide(path));
    if (auto* message = std::get_if<std::u16string>(&read)) {
        return std::move(*message);
    }
    auto& file = std::get<CandidateFile>(read);
    return lifecycle::CandidateFile{std::move(file.text), file.format};
}

std::u16string Form1::writeCandidateFile(const std::u16string& path, const std::u16string& text,
                                         const textio::FileFormat& format) {
    return win32::writeCandidateFile(toWide(path), text, format);
}

std::u16string Form1::showOpenFileDialog(std::u16string_view title, std::u16string_view filter) {
    beforeModal();
    return ShowOpenFileDialog(window_, title, filter, options_.dialogBackend);
}

}  // namespace zorbalin::win32
