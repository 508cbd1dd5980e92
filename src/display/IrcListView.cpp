#include "IrcListView.h"

#include "DisplayMessages.h"
#include "IrcItem.h"
#include "irc_user.h"

#include <InterfaceDefs.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>
#include <Window.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> BanMasks(const irc_user& user)
{
    std::vector<std::string> masks{std::string(user.nick) + "!*@*.*"};
    if (user.host != nullptr) {
        masks.push_back(std::string(user.nick) + "!" + user.host);
        masks.push_back(std::string("*!") + user.host);
    }
    return masks;
}

} // namespace

IrcListView::IrcListView(BRect frame, const char* name, list_view_type type, uint32 resizingMode,
                         uint32 flags)
    : BListView(frame, name, type, resizingMode, flags)
{
    fPopup = new BPopUpMenu("options", false, false, B_ITEMS_IN_COLUMN);
    fPopup->AddItem(new BMenuItem("Private Chat with User", new BMessage(MSG_PRIVATE_CHAT)));
    fPopup->AddItem(new BMenuItem("Whois user", new BMessage(MSG_WHOIS_USER)));
    fPopup->AddSeparatorItem();
    fPopup->AddItem(new BMenuItem("Op User(s)", new BMessage(MSG_OP_USERS)));
    fPopup->AddItem(new BMenuItem("Deop User(s)", new BMessage(MSG_DEOP_USERS)));
    fBanMenu = new BMenu("Ban", B_ITEMS_IN_COLUMN);
    fPopup->AddItem(fBanMenu);
    fKickBanMenu = new BMenu("Kick-ban", B_ITEMS_IN_COLUMN);
    fPopup->AddItem(fKickBanMenu);
    fPopup->AddItem(new BMenuItem("Set +v (voice) mode", new BMessage(MSG_VOICE_USERS)));
    fPopup->AddItem(new BMenuItem("Set -v (no voice) mode", new BMessage(MSG_DEVOICE_USERS)));
}

IrcListView::~IrcListView()
{
    delete fPopup;
    std::vector<BListItem*> rows;
    for (int32 i = 0; i < CountItems(); i++)
        rows.push_back(ItemAt(i));
    MakeEmpty();
    for (BListItem* row : rows)
        delete row;
}

void IrcListView::MessageReceived(BMessage* message)
{
    if (message->what == MSG_DEOP_USERS && Window() != nullptr) {
        Window()->PostMessage(message);
        return;
    }
    BListView::MessageReceived(message);
}

void IrcListView::AttachedToWindow()
{
    BListView::AttachedToWindow();
    fPopup->SetTargetForItems(Window());
}

void IrcListView::MouseDown(BPoint where)
{
    int32 buttons = 0;
    int32 clicks = 1;
    if (BMessage* current = Window() != nullptr ? Window()->CurrentMessage() : nullptr) {
        current->FindInt32("buttons", &buttons);
        current->FindInt32("clicks", &clicks);
    }
    uint32 held = static_cast<uint32>(buttons);
    uint32 previous = fLastButtons;
    fLastButtons = held;

    if (clicks > 1 && held == B_PRIMARY_MOUSE_BUTTON && previous == B_PRIMARY_MOUSE_BUTTON &&
        InvocationMessage() != nullptr && Window() != nullptr)
        Window()->PostMessage(InvocationMessage());

    if (held != B_PRIMARY_MOUSE_BUTTON) {
        ExtendSelection(where);
        CreateBanList();
        BPoint screen = ConvertToScreen(where);
        BRect bounds = fPopup->Bounds();
        BRect clickToOpen(screen.x, screen.y, screen.x + bounds.Width(),
                          screen.y + bounds.Height());
        fPopup->Go(screen, true, false, clickToOpen);
        return;
    }
    if (modifiers() & B_CONTROL_KEY) {
        ExtendSelection(where);
        return;
    }
    if (clicks > 1) {
        // The list itself would invoke a second time; it only has to select here.
        int32 index = IndexOf(where);
        if (index >= 0 && !IsItemSelected(index))
            Select(index);
        return;
    }
    BListView::MouseDown(where);
}

void IrcListView::KeyDown(const char* bytes, int32 numBytes)
{
    if (Window() == nullptr || bytes == nullptr || numBytes <= 0)
        return;
    BMessage missed(MSG_MISSED_CHAR);
    missed.AddString("MissedChar", std::string(bytes, static_cast<size_t>(numBytes)).c_str());
    Window()->PostMessage(&missed);
}

void IrcListView::CreateBanList()
{
    fBanMenu->RemoveItems(0, fBanMenu->CountItems(), true);
    fKickBanMenu->RemoveItems(0, fKickBanMenu->CountItems(), true);
    for (int32 i = 0;; i++) {
        int32 index = CurrentSelection(i);
        if (index < 0)
            break;
        auto* item = dynamic_cast<IrcItem*>(ItemAt(index));
        if (item == nullptr || item->IrcUser() == nullptr)
            continue;
        irc_user* user = item->IrcUser();
        for (const std::string& mask : BanMasks(*user)) {
            auto* ban = new BMessage(MSG_BAN_USER);
            ban->AddString("Ban", mask.c_str());
            fBanMenu->AddItem(new BMenuItem(mask.c_str(), ban));
            auto* kickBan = new BMessage(MSG_KICK_BAN_USER);
            kickBan->AddString("Ban", mask.c_str());
            kickBan->AddPointer("User", user);
            // The record may be gone when the choice arrives; the nick identifies it safely.
            kickBan->AddString("Nick", user->nick);
            fKickBanMenu->AddItem(new BMenuItem(mask.c_str(), kickBan));
        }
        fBanMenu->AddSeparatorItem();
        fKickBanMenu->AddSeparatorItem();
    }
    if (Window() != nullptr) {
        fBanMenu->SetTargetForItems(Window());
        fKickBanMenu->SetTargetForItems(Window());
    }
}

void IrcListView::ExtendSelection(BPoint where)
{
    int32 index = IndexOf(where);
    if (index >= 0)
        Select(index, true);
}
