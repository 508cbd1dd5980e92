#include "IrcApp.h"

#include "AppMessages.h"
#include "IrcSelectWindow.h"

IrcApp::IrcApp() : BApplication(kAppSignature) {}

thread_id IrcApp::Run()
{
    CreateIrcWindows();
    return BApplication::Run();
}

void IrcApp::CreateIrcWindows()
{
    fMainWindow = BMessenger(new IrcSelectWindow());
}

void IrcApp::MessageReceived(BMessage*) {}

bool IrcApp::QuitRequested()
{
    if (fMainWindow.LockTarget()) {
        BLooper* window = nullptr;
        fMainWindow.Target(&window);
        window->Quit();
    }
    return true;
}
