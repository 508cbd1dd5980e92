#include "IrcSelectWindow.h"

#include "IrcMainView.h"

#include <AppDefs.h>
#include <Application.h>

IrcSelectWindow::IrcSelectWindow()
    : BWindow(BRect(100, 100, 400, 300), "Login Options", B_TITLED_WINDOW_LOOK,
              B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE | B_NOT_ZOOMABLE, B_CURRENT_WORKSPACE),
      fMainView(new IrcMainView())
{
    AddChild(fMainView);
    Show();
}

bool IrcSelectWindow::QuitRequested()
{
    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    return true;
}

void IrcSelectWindow::Quit()
{
    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    fMainView->Quit();
    BWindow::Quit();
}
