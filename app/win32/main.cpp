// Start-up of the Windows program: the window is built from the design,
// its load event runs, then it is shown and the message loop runs until the
// window is closed.
#include <mensurel/win32/window.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    return mensurel::win32::runProgram(instance, showCommand);
}
