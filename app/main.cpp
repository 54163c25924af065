// Start-up: the application object, the window, then the event loop until
// the window is closed.
#include <mensurel/platform.h>
#include <mensurel/ui/form1.h>

int main(int argc, char* argv[])
{
    mensurel::platform::Application application(argc, argv);
    mensurel::ui::Form1 form;
    form.show();
    return application.run();
}
