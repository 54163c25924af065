// Start-up: the application object, the window, its load event, then the
// window is shown and the event loop runs until the window is closed.
#include <mensurel/qt/application.h>
#include <mensurel/qt/window.h>

int main(int argc, char* argv[])
{
    mensurel::qt::Application application(argc, argv);
    mensurel::qt::Window window;
    window.form().Form_Load();
    window.show();
    return application.run();
}
