#include "IrcDisplayWindow.h"

#include "Compose.h"
#include "DisplayMessages.h"
#include "IrcWindowHost.h"
#include "IrcWindowInfo.h"
#include "UrlTextView.h"
#include "ascii_case.h"

#include <Alert.h>
#include <IRC.h>
#include <Message.h>
#include <SessionMessages.h>
#include <StringCopy.h>
#include <TextControl.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Composed lines are at most 1023 bytes.
constexpr size_t kLineSize = 1024;

const char* StringField(BMessage* message, const char* name)
{
    const char* value = nullptr;
    return message->FindString(name, &value) == B_OK && value != nullptr ? value : "";
}

struct RunArrayDeleter
{
    void operator()(text_run_array* runs) const { BTextView::FreeRunArray(runs); }
};

} // namespace

bool IrcDisplayWindow::Contains(const char* text, const char* word)
{
    if (text == nullptr || word == nullptr)
        return false;
    // ASCII case folding, as nicks fold. Every line said is searched for the user's nick, and
    // most hold its first letter only here and there: a plain scan for it, in either case,
    // costs less than a general search's setup.
    const char first = lower_ascii(word[0]);
    if (first == '\0')
        return true;
    const char other = upper_ascii(first);
    for (const char* at = text; *at != '\0'; at++) {
        if (*at != first && *at != other)
            continue;
        size_t i = 1;
        while (word[i] != '\0' && lower_ascii(at[i]) == lower_ascii(word[i]))
            i++;
        if (word[i] == '\0')
            return true;
        if (at[i] == '\0')
            return false; // the rest of the text is shorter than the word
    }
    return false;
}

void IrcDisplayWindow::MessageReceived(BMessage* message)
{
    switch (message->what) {
    case MSG_RAW_LINE:
    case MSG_IRC_EVENT:
        HandleMessages(message);
        break;
    case MSG_ENTRY_RETURN:
        SendEntryLine();
        break;
    case MSG_MISSED_CHAR:
        HandleMissedChar(message);
        break;
    case MSG_SELECT_WINDOW: {
        int32 index = -1;
        if (message->FindInt32("index", &index) == B_OK)
            ActivateConversation(index);
        break;
    }
    case MSG_SELECT_SERVER:
        SelectServer(message);
        break;
    case MSG_TEXT_FONT_SIZE:
    case MSG_MESSAGE_FONT_SIZE: {
        int32 size = 0;
        if (message->FindInt32("size", &size) != B_OK || size <= 0)
            break;
        BFont* font = message->what == MSG_TEXT_FONT_SIZE ? &fTextFont : &fMessageFont;
        BFont changed(*font);
        changed.SetSize(static_cast<float>(size));
        Restyle(font, changed);
        break;
    }
    case MSG_TEXT_FONT_FAMILY:
    case MSG_MESSAGE_FONT_FAMILY: {
        const char* family = nullptr;
        const char* style = nullptr;
        if (message->FindString("family", &family) != B_OK ||
            message->FindString("style", &style) != B_OK)
            break;
        BFont* font = message->what == MSG_TEXT_FONT_FAMILY ? &fTextFont : &fMessageFont;
        BFont changed(*font);
        if (changed.SetFamilyAndStyle(family, style) == B_OK)
            Restyle(font, changed);
        break;
    }
    case MSG_PRIVATE_CHAT:
    case MSG_WHOIS_USER:
    case MSG_OP_USERS:
    case MSG_DEOP_USERS:
    case MSG_VOICE_USERS:
    case MSG_DEVOICE_USERS:
    case MSG_BAN_USER:
    case MSG_KICK_BAN_USER:
        HandleUserPopup(message);
        break;
    case MSG_UPDATE_STATS: {
        fStatsPending = false;
        const char* text = nullptr;
        if (message->FindString("Time", &text) == B_OK)
            copy_utf8(fTimeString, sizeof(fTimeString), text);
        if (message->FindString("Date", &text) == B_OK)
            copy_utf8(fDateString, sizeof(fDateString), text);
        if (fWindowType == kServerWindow)
            fConversations->SetClock(fTimeString, fDateString);
        RefreshStats();
        break;
    }
    case MSG_UPDATE_MENUS:
        RefreshMenus();
        break;
    case MSG_QUIT_MESSAGE:
        SetQuitMessage(StringField(message, "Message"));
        [[fallthrough]];
    case MSG_QUIT_NOW:
        fQuitNow = true;
        fWatchActivation = false;
        Quit();
        break;
    case MSG_ACTIVATE:
        Activate(true);
        break;
    default:
        BWindow::MessageReceived(message);
        break;
    }
}

void IrcDisplayWindow::HandleMessages(BMessage* message)
{
    MarkUnread();

    int32 type = -1;
    if (message->FindInt32("type", &type) != B_OK)
        return;

    std::unique_ptr<text_run_array, RunArrayDeleter> runs(BTextView::AllocRunArray(4));
    runs->count = 2;
    runs->runs[0].offset = 0;
    runs->runs[0].font = fMessageFont;
    runs->runs[0].color = kEventBlue;
    runs->runs[1].offset = 0;
    runs->runs[1].font = fTextFont;
    runs->runs[1].color = kPlain;
    bool action = false;
    if (message->FindBool("Action", &action) != B_OK)
        action = false;

    // One run over the whole line, in the message font.
    auto single = [&runs](rgb_color color) {
        runs->count = 1;
        runs->runs[0].color = color;
    };

    char line[kLineSize];
    line[0] = '\0';
    const char* nick = StringField(message, "Nick");
    switch (type) {
    case 0: {
        const char* said = StringField(message, "Said");
        if (action) {
            ComposeLine(line, sizeof(line), "[%s] * %s %s\n", fTimeString, nick, said);
            runs->runs[1].offset = static_cast<int32>(strlen(fTimeString) + 3);
            runs->runs[1].color = kWhoisRed;
        } else {
            ComposeLine(line, sizeof(line), "[%s] <%s> %s\n", fTimeString, nick, said);
            runs->runs[1].offset = static_cast<int32>(strlen(fTimeString) + strlen(nick) + 5);
        }
        if (fIrc != nullptr && Contains(said, fIrc->Nick()))
            runs->runs[1].color = kHighlight;
        break;
    }
    case 1:
        ComposeLine(line, sizeof(line), "*** %s has quit the network : \"%s\"\n", nick,
                    StringField(message, "Reason"));
        single(kEventBlue);
        RemoveUser(nick);
        UpdateChannelStats();
        break;
    case 2:
        ComposeLine(line, sizeof(line), "*** %s has left the channel\n", nick);
        single(kEventBlue);
        RemoveUser(nick);
        UpdateChannelStats();
        break;
    case 3: {
        const char* data = StringField(message, "Data");
        const char* blank = strchr(data, ' ');
        char victim[256];
        char reason[256];
        copy_utf8(victim, sizeof(victim), data,
                  blank != nullptr ? static_cast<size_t>(blank - data) : strlen(data));
        reason[0] = '\0';
        if (blank != nullptr && blank[1] != '\0')
            copy_utf8(reason, sizeof(reason), blank + 2);
        const char* channel = StringField(message, "Channel");
        const char* from = StringField(message, "From");
        if (fIrc != nullptr && strcmp(victim, fIrc->Nick()) == 0) {
            ShowKicked(channel, from, reason);
            return;
        }
        RemoveUser(victim);
        UpdateChannelStats();
        ComposeLine(line, sizeof(line), "*** %s has been kicked off channel %s by %s (%s)\n",
                    victim, channel, from, reason);
        single(kEventBlue);
        break;
    }
    case 4: {
        const char* host = StringField(message, "Host");
        if (fIrc != nullptr && strcmp(nick, fIrc->Nick()) == 0) {
            HandleJoin(nick, host);
            return;
        }
        AddUser(nick, host);
        UpdateChannelStats();
        ComposeLine(line, sizeof(line), "*** %s (%s) has joined the channel\n", nick, host);
        single(kJoinBlue);
        break;
    }
    case 5:
        SetChannelTitle(StringField(message, "Topic"));
        return;
    case 7:
        AppendUserList(StringField(message, "List"));
        return;
    case 8:
        SortUsers();
        return;
    case 10: {
        const char* topic = StringField(message, "Topic");
        ComposeLine(line, sizeof(line), "*** %s has changed the topic to %s\n", nick, topic);
        single(kEventBlue);
        SetChannelTitle(topic);
        break;
    }
    case 11: {
        const char* newNick = StringField(message, "NewNick");
        ComposeLine(line, sizeof(line), "*** %s is now known as %s\n", nick, newNick);
        single(kEventBlue);
        HandleNickChange(nick, newNick);
        break;
    }
    case 12: {
        // Only a trailing blank goes: the last argument must still match its row.
        std::string change = StringField(message, "Change");
        if (!change.empty() && change.back() == ' ')
            change.pop_back();
        ComposeLine(line, sizeof(line), "*** %s has set %s in %s\n", StringField(message, "From"),
                    change.c_str(), fName);
        single(kEventBlue);
        HandleModeChange(change.c_str());
        break;
    }
    case 13:
        ComposeLine(line, sizeof(line), "%s is in channel(s) %s\n", nick,
                    StringField(message, "In Channels"));
        single(kWhoisRed);
        break;
    case 14:
        ComposeLine(line, sizeof(line), "%s\n", StringField(message, "Info"));
        single(kWhoisRed);
        break;
    case 16:
        ComposeLine(line, sizeof(line), "%s is on %s\n", nick, StringField(message, "Info"));
        single(kWhoisRed);
        break;
    case 17:
        ComposeLine(line, sizeof(line), "%s (%s)\n", nick, StringField(message, "Info"));
        single(kWhoisRed);
        break;
    case 18:
        ComposeLine(line, sizeof(line), "%s %s\n", nick, StringField(message, "Time"));
        single(kWhoisRed);
        break;
    case 19:
        ComposeLine(line, sizeof(line), "[%s] [%s] %s\n", fTimeString, StringField(message, "From"),
                    StringField(message, "Info"));
        single(kEventBlue);
        break;
    case 20: {
        const char* said = StringField(message, "Said");
        if (said[0] == '\0')
            return;
        ComposeLine(line, sizeof(line), "%s\n", said);
        runs->count = 1;
        runs->runs[0].font = fTextFont;
        runs->runs[0].color = kPlain;
        if (fWindowType == kServerWindow && strcmp(said, kConnectionLost) == 0)
            ForwardConnectionLost(message);
        break;
    }
    default:
        return;
    }
    Append(line, runs.get());
}

void IrcDisplayWindow::MarkUnread()
{
    if (fWindowType == kServerWindow)
        return;
    // The title and tab change only when the mark does, so a flood costs nothing here.
    if (!IsActive()) {
        if (fUnreadMark)
            return;
        fUnreadMark = true;
        SetTitle((fTitleString + " (*)").c_str());
        if (fHasTab && fHost != nullptr)
            fHost->SetTabLabel(fInfo.get(), (ShownName() + " (*)").c_str());
    } else if (fUnreadMark) {
        fUnreadMark = false;
        SetTitle(fTitleString.c_str());
        if (fHasTab && fHost != nullptr)
            fHost->SetTabLabel(fInfo.get(), ShownName().c_str());
    }
}

void IrcDisplayWindow::ShowKicked(const char* channel, const char* from, const char* reason)
{
    char text[kLineSize];
    ComposeLine(text, sizeof(text), "You have been kicked out of channel %s by %s (%s)\n", channel,
                from, reason);
    auto* alert = new BAlert("", text, "Okay", "Re-join", nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT);
    if (alert->Go() == 1) {
        fRejoin = true;
        copy_utf8(fRejoinChannel, sizeof(fRejoinChannel), channel);
    }
    Quit();
}

void IrcDisplayWindow::HandleJoin(const char*, const char*)
{
    // The server confirmed the user's own JOIN: the window appears with its tab.
    if (fConnected)
        return;
    fConnected = true;
    fInfo->SetConnected(true);
    Show();
    fServerInfo->Post(MSG_UPDATE_STATS);
    PostMenusUpdate();
    if (!fHasTab) {
        fHasTab = true;
        if (fHost != nullptr)
            fHost->AddTab(fInfo, ShownName().c_str());
    }
}

void IrcDisplayWindow::HandleNickChange(const char* nick, const char* newNick)
{
    if (fWindowType == kPrivateWindow && strcmp(fName, nick) == 0) {
        copy_utf8(fName, sizeof(fName), newNick);
        fInfo->SetName(fName);
        fTitleString = "Private with " + ShownName() + " (" + fServerInfo->Name() + ")";
        SetTitle(fUnreadMark ? (fTitleString + " (*)").c_str() : fTitleString.c_str());
        if (fHasTab && fHost != nullptr)
            fHost->SetTabLabel(fInfo.get(),
                               (fUnreadMark ? ShownName() + " (*)" : ShownName()).c_str());
    }
    RenameUser(nick, newNick);
    SortUsers();
}

void IrcDisplayWindow::ForwardConnectionLost(BMessage* message)
{
    for (const auto& conversation : fConversations->Windows())
        conversation->Post(message);
}
