#include <windows.h>

#include "form1.h"
#include "message_loop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    zorbalin::win32::Form1 form(instance);
    form.show(showCommand);
    return zorbalin::win32::runMessageLoop();
}
