#pragma once

#include <Window.h>

class IrcMainView;

// The main window, "Login Options", holding the main view. Closing it quits the application.
class IrcSelectWindow : public BWindow
{
public:
    // Builds the window with its main view and shows it.
    IrcSelectWindow();

    bool QuitRequested() override;
    // Tells the application to quit, then lets the main view close everything it started.
    void Quit() override;

    // Window locked
    IrcMainView* MainView() const { return fMainView; }

private:
    IrcMainView* fMainView;
};
