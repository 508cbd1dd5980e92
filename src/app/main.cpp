// The client: the Qt display server on the main thread, the application on its own.

#include "IrcApp.h"

#include <QtDisplay.h>

int main(int argc, char** argv)
{
    kit_private::QtDisplay display(argc, argv);
    auto* app = new IrcApp();
    // Returns once the application has quit; the main window has by then waited for the
    // server windows to send their QUIT.
    app->Run();
    delete app;
    return 0;
}
