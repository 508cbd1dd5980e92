// The main view's settings: the identity, the chosen server, the quit message, the window's
// frame and the start-up box, read once at attach and written once at quit.

#include "IrcMainView.h"

#include <TextControl.h>
#include <Window.h>

#include <StringCopy.h>

#include <cstdio>

void IrcMainView::ReadSettings()
{
    // Without a settings file every value keeps its default; nothing is reported.
    if (fSettings.OpenWithMigration() != B_OK)
        return;
    fSettings.ReadString("Nick", fNickString, sizeof(fNickString));
    fSettings.ReadString("QuitMessage", fQuitString, sizeof(fQuitString));
    fSettings.ReadString("ServerString", fServerString, sizeof(fServerString));
    fSettings.ReadString("UserString", fUserString, sizeof(fUserString));
    fSettings.ReadString("RealString", fRealString, sizeof(fRealString));
    if (Window() != nullptr)
        fSettings.ReadFrame("MainViewFrame", Window());
    bool connect = false;
    fConnectAtStartup = fSettings.ReadBool("ConnectAtStartup", &connect) && connect;
}

void IrcMainView::WriteSettings()
{
    // The texts as typed, whether or not they were ever used to connect.
    if (fNickName != nullptr) {
        copy_utf8(fNickString, sizeof(fNickString), TextOf(fNickName));
        copy_utf8(fUserString, sizeof(fUserString), TextOf(fUserName));
        copy_utf8(fRealString, sizeof(fRealString), TextOf(fRealName));
    }
    if (fQuitMessage != nullptr)
        copy_utf8(fQuitString, sizeof(fQuitString), TextOf(fQuitMessage));
    if (!fSettings.IsOpen())
        return;
    fSettings.WriteBool("ConnectAtStartup", fConnectAtStartup);
    fSettings.WriteString("Nick", fNickString);
    fSettings.WriteString("RealString", fRealString);
    fSettings.WriteString("ServerString", fServerString);
    fSettings.WriteString("UserString", fUserString);
    fSettings.WriteString("QuitMessage", fQuitString);
    if (Window() != nullptr)
        fSettings.WriteRect("MainViewFrame", Window()->Frame());
}
