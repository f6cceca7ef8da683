// The click on "选择文件" and the dialog the shared sequence needs on Windows.
#include "common_dialog.h"
#include "form1.h"
#include "lifecycle/lifecycle.h"

namespace zorbalin::win32 {

void Form1::ChooseCandidateFile() {
    lifecycle::ChooseCandidateFile(state_, *this);
}

std::u16string Form1::showOpenFileDialog(std::u16string_view title, std::u16string_view filter) {
    beforeModal();
    return ShowOpenFileDialog(window_, title, filter, options_.dialogBackend);
}

}  // namespace zorbalin::win32
