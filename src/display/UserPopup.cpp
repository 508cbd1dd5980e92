// The user list's popup commands, turned into protocol lines for the selected users.

#include "IrcDisplayWindow.h"

#include "DisplayMessages.h"
#include "IrcItem.h"
#include "IrcListView.h"
#include "irc_user.h"

#include <IRC.h>
#include <Message.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// The nicks of the selected rows, top to bottom; nothing when a selected index has no row.
std::optional<std::vector<std::string>> SelectedNicks(const IrcListView* list)
{
    std::vector<std::string> nicks;
    if (list == nullptr)
        return nicks;
    for (int32 i = 0;; i++) {
        int32 index = list->CurrentSelection(i);
        if (index < 0)
            break;
        auto* item = dynamic_cast<IrcItem*>(list->ItemAt(index));
        if (item == nullptr || item->IrcUser() == nullptr)
            return std::nullopt;
        nicks.push_back(item->IrcUser()->nick);
    }
    return nicks;
}

// "MODE #chan +oo amy bob ": one letter per nick, every nick followed by a blank.
std::string ModeLine(const char* channel, char sign, char letter,
                     const std::vector<std::string>& nicks)
{
    std::string line = std::string("MODE ") + channel + " " + sign;
    line.append(nicks.size(), letter);
    line += ' ';
    for (const std::string& nick : nicks)
        line += nick + ' ';
    return line;
}

} // namespace

void IrcDisplayWindow::HandleUserPopup(BMessage* message)
{
    if (message == nullptr || fIrc == nullptr)
        return;
    std::optional<std::vector<std::string>> nicks = SelectedNicks(fUsers);
    auto sendModes = [&](char sign, char letter) {
        if (nicks)
            fIrc->RawCommand(ModeLine(fName, sign, letter, *nicks).c_str());
    };
    const char* mask = nullptr;
    switch (message->what) {
    case MSG_PRIVATE_CHAT:
        for (const std::string& nick : nicks.value_or(std::vector<std::string>{}))
            fIrc->JoinChannel(nick.c_str(), nullptr, true);
        break;
    case MSG_WHOIS_USER:
        for (const std::string& nick : nicks.value_or(std::vector<std::string>{}))
            fIrc->RawCommand(("WHOIS " + nick).c_str());
        break;
    case MSG_OP_USERS:
        sendModes('+', 'o');
        break;
    case MSG_DEOP_USERS:
        sendModes('-', 'o');
        break;
    case MSG_VOICE_USERS:
        sendModes('+', 'v');
        break;
    case MSG_DEVOICE_USERS:
        sendModes('-', 'v');
        break;
    case MSG_BAN_USER:
        if (message->FindString("Ban", &mask) == B_OK && mask[0] != '\0')
            fIrc->RawCommand((std::string("MODE ") + fName + " +b " + mask).c_str());
        break;
    case MSG_KICK_BAN_USER: {
        // "User" may point at a record deleted since the menu closed (the user left), so the
        // nick copied into the entry is what is kicked.
        const char* nick = nullptr;
        if (message->FindString("Ban", &mask) != B_OK || mask[0] == '\0' ||
            message->FindString("Nick", &nick) != B_OK || nick[0] == '\0')
            break;
        fIrc->RawCommand((std::string("KICK ") + fName + " " + nick + " :" + fIrc->Nick()).c_str());
        fIrc->RawCommand((std::string("MODE ") + fName + " +b " + mask).c_str());
        break;
    }
    default:
        break;
    }
}
