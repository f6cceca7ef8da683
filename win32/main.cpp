#include <windows.h>

#include <memory>

#include "base/problem_error.h"
#include "form1.h"
#include "layout/texts.h"
#include "message_loop.h"

namespace {

// A window that could not be made is told in a box of its own, not by silence.
void tellWindowNotMade(const zorbalin::Problem& problem) noexcept {
    using namespace zorbalin;
    try {
        const std::wstring text = win32::toWide(layout::problemMessage(problem));
        MessageBoxW(nullptr, text.c_str(), win32::toWide(layout::kWindowCaption).c_str(), MB_OK | MB_ICONWARNING);
    } catch (...) {
        // Too little memory for the message: the texts that need none (literals, NUL-ended).
        MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(layout::kOutOfMemoryMessage.data()),
                    reinterpret_cast<const wchar_t*>(layout::kWindowCaption.data()), MB_OK | MB_ICONWARNING);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    std::unique_ptr<zorbalin::win32::Form1> form;
    try {
        form = std::make_unique<zorbalin::win32::Form1>();
    } catch (...) {
        tellWindowNotMade(zorbalin::problemOfCurrentException());
        return 1;
    }
    form->show(showCommand);
    return zorbalin::win32::runMessageLoop();
}
