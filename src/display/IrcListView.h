#pragma once

#include <ListView.h>

class BMenu;
class BPopUpMenu;

// The channel user list, with its popup menu of user commands. Every row is an IrcItem; the
// list owns its rows and deletes those left when it is deleted.
//
// A press with any button but the primary one alone adds the row under the pointer to the
// selection and opens the popup there; Control with the primary button only adds the row;
// a double click posts the invocation message to the window. Keys typed in the list go to
// the window as 'Aftb' ("MissedChar"), so typing anywhere reaches the entry line.
class IrcListView : public BListView
{
public:
    IrcListView(BRect frame, const char* name, list_view_type type, uint32 resizingMode,
                uint32 flags);
    ~IrcListView() override;

    void MessageReceived(BMessage* message) override;
    void AttachedToWindow() override;
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

    // Rebuilds the "Ban" and "Kick-ban" submenus from the selected rows: for each, the mask
    // "nick!*@*.*", and with a known address "nick!user@host" and "*!user@host". Their
    // messages: 'Apry' with "Ban"; 'Aprz' with "Ban", "User" (irc_user*) and "Nick".
    void CreateBanList();

    BPopUpMenu* Popup() const { return fPopup; }

private:
    void ExtendSelection(BPoint where);

    BPopUpMenu* fPopup = nullptr;
    BMenu* fBanMenu = nullptr;
    BMenu* fKickBanMenu = nullptr;
    uint32 fLastButtons = 0;
};
