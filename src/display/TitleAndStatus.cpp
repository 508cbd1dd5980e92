#include "IrcDisplayWindow.h"

#include "Compose.h"
#include "DisplayMessages.h"
#include "IrcWindowHost.h"
#include "IrcWindowInfo.h"
#include "UrlTextView.h"

#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopupStringView.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

BMenuItem* WindowItem(const char* label, uint32 command, int32 index, char shortcut)
{
    auto* message = new BMessage(command);
    if (index >= 0)
        message->AddInt32("index", index);
    // Conversation names come from the server and may hold any bytes.
    return new BMenuItem(UrlTextView::CleanText(label).c_str(), message, shortcut,
                         shortcut != 0 ? B_COMMAND_KEY : 0);
}

// Command+1 to Command+9 for the first nine conversations of a server.
char ConversationShortcut(int32 index)
{
    return index < 9 ? static_cast<char>('1' + index) : 0;
}

} // namespace

std::string IrcDisplayWindow::ShownName() const
{
    return UrlTextView::CleanText(fName);
}

void IrcDisplayWindow::SetChannelTitle(const char* topic)
{
    if (fWindowType != kChannelWindow || fTitle == nullptr)
        return;
    char text[1024];
    Compose(text, sizeof(text), "%s: %s (%s)", fName, topic != nullptr ? topic : "",
            fServerInfo->Name().c_str());
    fTitle->SetText(text);
    fTitle->ResizeTo(fTitle->StringWidth(text) + 5, fTitle->Bounds().Height());
    // Centred, but never over the menus. The bar spans the window; its items do not.
    float left = (Bounds().right - fTitle->Bounds().right) / 2;
    if (fMenuBar != nullptr) {
        float items = 0;
        fMenuBar->GetPreferredSize(&items, nullptr);
        left = std::max(left, fMenuBar->Frame().left + items + 5);
    }
    fTitle->MoveTo(left, fTitle->Frame().top);
}

void IrcDisplayWindow::UpdateChannelStats()
{
    if (!fStatsPending.exchange(true) && fInfo->Post(MSG_UPDATE_STATS) != B_OK)
        fStatsPending = false; // not queued: the next change tries again
}

void IrcDisplayWindow::UpdateMenus()
{
    if (IsLocked())
        RefreshMenus();
    else
        fInfo->Post(MSG_UPDATE_MENUS);
}

void IrcDisplayWindow::RefreshStats()
{
    char text[1024];
    if (fWindowType == kChannelWindow) {
        Compose(text, sizeof(text), "%d %s %d %s at %s on %s", static_cast<int>(fUserCount),
                fUserCount == 1 ? "user" : "users", static_cast<int>(fOpCount),
                fOpCount == 1 ? "op" : "ops", fTimeString, fDateString);
    } else if (fWindowType == kPrivateWindow) {
        Compose(text, sizeof(text), "%s on %s", fTimeString, fDateString);
    } else {
        // Each conversation refreshes itself from a message: no other window's lock is taken.
        BMessage clock(MSG_UPDATE_STATS);
        clock.AddString("Time", fTimeString);
        clock.AddString("Date", fDateString);
        int32 joined = 0;
        for (const auto& conversation : fConversations->Windows()) {
            conversation->Post(&clock);
            if (conversation->IsConnected())
                joined++;
        }
        if (joined == 1)
            Compose(text, sizeof(text), "%s on %s 1 channel joined", fTimeString, fDateString);
        else
            Compose(text, sizeof(text), "%s on %s %d channels joined", fTimeString, fDateString,
                    static_cast<int>(joined));
    }
    if (fStats != nullptr) {
        fStats->SetText(text);
        fStats->ResizeTo(fStats->StringWidth(text), fStats->Bounds().Height());
    }
}

void IrcDisplayWindow::RefreshMenus()
{
    if (fWindowsMenu == nullptr)
        return;
    while (BMenuItem* item = fWindowsMenu->RemoveItem(static_cast<int32>(0)))
        delete item;

    const auto conversations = fConversations->Windows();
    if (fWindowType == kServerWindow) {
        for (size_t i = 0; i < conversations.size(); i++) {
            const int32 index = static_cast<int32>(i);
            if (conversations[i]->IsConnected())
                fWindowsMenu->AddItem(WindowItem(conversations[i]->Name().c_str(),
                                                 MSG_SELECT_WINDOW, index,
                                                 ConversationShortcut(index)));
        }
        fWindowsMenu->AddSeparatorItem();
        if (fHost == nullptr)
            return;
        const auto servers = fHost->ServerList();
        for (size_t j = 0; j < servers.size(); j++) {
            const auto& server = servers[j]->Server();
            if (server.get() != fInfo.get() && server->IsConnected())
                fWindowsMenu->AddItem(WindowItem(server->Name().c_str(), MSG_SELECT_SERVER,
                                                 static_cast<int32>(j), 0));
        }
        return;
    }
    fWindowsMenu->AddItem(WindowItem(fServerInfo->Name().c_str(), MSG_SELECT_SERVER, -1, '0'));
    for (size_t i = 0; i < conversations.size(); i++) {
        const int32 index = static_cast<int32>(i);
        if (conversations[i].get() != fInfo.get() && conversations[i]->IsConnected())
            fWindowsMenu->AddItem(WindowItem(conversations[i]->Name().c_str(), MSG_SELECT_WINDOW,
                                             index, ConversationShortcut(index)));
    }
}

void IrcDisplayWindow::PostMenusUpdate()
{
    fServerInfo->Post(MSG_UPDATE_MENUS);
    for (const auto& conversation : fConversations->Windows())
        conversation->Post(MSG_UPDATE_MENUS);
}

// A menu may be older than the list: a channel still waiting for its JOIN stays hidden.
void IrcDisplayWindow::ActivateConversation(int32 index)
{
    std::shared_ptr<IrcWindowInfo> window = fConversations->ItemAt(index);
    if (window != nullptr && window->IsConnected())
        window->Post(MSG_ACTIVATE);
}

// Without an index: this conversation's server window. With one (a server window's menu):
// that server of the main view's list.
void IrcDisplayWindow::SelectServer(BMessage* message)
{
    int32 index = -1;
    if (message->FindInt32("index", &index) != B_OK) {
        if (fWindowType != kServerWindow)
            fServerInfo->Post(MSG_ACTIVATE);
        return;
    }
    if (fHost == nullptr || index < 0)
        return;
    const auto servers = fHost->ServerList();
    if (static_cast<size_t>(index) < servers.size() && servers[index]->Server() != fInfo)
        servers[index]->Server()->Post(MSG_ACTIVATE);
}

void IrcDisplayWindow::WindowActivated(bool active)
{
    fInfo->SetActive(active);
    if (!fWatchActivation || !active)
        return;
    if (fUnreadMark) {
        fUnreadMark = false;
        SetTitle(fTitleString.c_str());
        if (fHasTab && fHost != nullptr)
            fHost->SetTabLabel(fInfo.get(), ShownName().c_str());
    }
    if (fHasTab && fHost != nullptr)
        fHost->SelectTab(fInfo.get());
}
