#include "IrcApp.h"

#include "AppMessages.h"
#include "IrcMainView.h"
#include "IrcSelectWindow.h"

#include <AppDefs.h>

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

void IrcApp::AboutRequested()
{
    if (!fMainWindow.LockTarget())
        return;
    BLooper* looper = nullptr;
    fMainWindow.Target(&looper);
    auto* window = static_cast<IrcSelectWindow*>(looper);
    window->PostMessage(B_ABOUT_REQUESTED, window->MainView());
    window->Unlock();
}

bool IrcApp::QuitRequested()
{
    if (fMainWindow.LockTarget()) {
        BLooper* window = nullptr;
        fMainWindow.Target(&window);
        window->Quit();
    }
    return true;
}
