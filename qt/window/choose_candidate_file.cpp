// The click on "选择文件" and the dialog the shared sequence needs on Qt.
#include "form1.h"
#include "lifecycle/lifecycle.h"
#include "qstring_u16.h"
#include "qt_open_file_dialog.h"

namespace zorbalin::window {

void Form1::ChooseCandidateFile() {
    lifecycle::ChooseCandidateFile(state_, *this);
}

std::u16string Form1::showOpenFileDialog(std::u16string_view title, std::u16string_view filter) {
    beforeModal();
    FileChooser& chooser = fileChooser_ != nullptr ? *fileChooser_ : qtFileChooser();
    return fromQString(ShowOpenFileDialog(this, toQString(title), toQString(filter), chooser));
}

}  // namespace zorbalin::window
