#pragma once

#include "DefaultList.h"

#include <Messenger.h>
#include <Window.h>

class BButton;
class BList;
class BMenu;
class BMenuField;
class BTextControl;
class BView;
class ReorderListView;
class ServerItem;

// The window in which the user edits the server list: add a server, change or remove the
// selected one, drag rows into another order, fill the fields from a built-in preset.
// Edits change only the rows in memory; closing the window writes them to "ServerSettings",
// hides the window (it stays for the next showing, rows and order kept) and then tells the
// main view, which rebuilds its server menu from the file.
//
// An edit whose line would not fit the file's line limit (or would not read back, as a host
// with a comma) is refused with a beep and changes nothing.
//
// Threads. Everything but the constructor and QuitNow runs on the window's thread.
class ServerConfigWindow : public BWindow
{
public:
    // Reads the rows once and starts the window's thread; the window stays hidden until
    // shown. Made on the main view's thread; 'Aswc' goes to mainView through its window.
    explicit ServerConfigWindow(BView* mainView);
    ~ServerConfigWindow() override;

    void MessageReceived(BMessage* message) override;
    // The close box: writes the rows, hides the window and tells the main view. The window
    // stays alive (false) unless the application is quitting.
    bool QuitRequested() override;
    // Application quit, from the main view's thread: writes the rows once more and quits
    // the window (it is gone afterwards).
    void QuitNow();

private:
    void DoGUI();
    void ReadSettings(BList* rows);
    void WriteSettings();
    void BuildPresets();
    // Makes the window wider, then taller, so that a view placed in it fits.
    void GrowToHold(BView* view);

    void AddServer();
    void ChangeServer();
    void RemoveServer();
    void ChoosePreset(BMessage* message);
    void ShowDetails(BMessage* message);
    ServerItem* SelectedItem() const;

    // The receiver of 'Aswc'. The view may not be in its window yet when this window is
    // made; its messenger is then made at the first close (the view outlives this window).
    BView* fMainView;
    BMessenger fMainViewMessenger;
    ReorderListView* fServers = nullptr;
    BButton* fAdd = nullptr;
    BButton* fChange = nullptr;
    BButton* fRemove = nullptr;
    BTextControl* fHost = nullptr;
    BTextControl* fPort = nullptr;
    BTextControl* fTitle = nullptr;
    BMenuField* fServer = nullptr;
    BMenu* fDefaultMenu = nullptr;
    DefaultList fDefaults; // the presets the menu's messages point into
    bool fNewFile = false;
    bool fQuitting = false; // only touched with the window locked
};
