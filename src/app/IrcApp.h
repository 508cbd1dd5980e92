#pragma once

#include <Application.h>
#include <Messenger.h>

// The application: the main window, and nothing else of its own. Its thread handles only
// the quit request; everything else happens in the windows.
class IrcApp : public BApplication
{
public:
    IrcApp();

    // Creates the windows, then runs until the application quits (see BApplication::Run).
    thread_id Run() override;
    void CreateIrcWindows();

    void MessageReceived(BMessage* message) override;
    // Hands the request to the main view, which shows the about picture.
    void AboutRequested() override;
    // Quits the main window, which closes every conversation first.
    bool QuitRequested() override;

    // The "Login Options" window (invalid before CreateIrcWindows and once it has quit).
    BMessenger MainWindow() const { return fMainWindow; }

private:
    BMessenger fMainWindow;
};
