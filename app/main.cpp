// Start-up: the application object, the window, its load event, then the
// window is shown and the event loop runs until the window is closed.
#include <mensurel/platform.h>
#include <mensurel/ui/form1.h>

int main(int argc, char* argv[])
{
    mensurel::platform::Application application(argc, argv);
    mensurel::ui::Form1 form;
    form.Form_Load();
    form.show();
    return application.run();
}
