// Start-up of the Windows program: the window is built from the design,
// its load event runs, then it is shown and the message loop runs until the
// window is closed.
#include <mensurel/win32/window.h>

// The parameters keep the names the system headers declare them with.
int WINAPI wWinMain(
    HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, PWSTR /*lpCmdLine*/, int nShowCmd)
{
    return mensurel::win32::runProgram(hInstance, nShowCmd);
}
