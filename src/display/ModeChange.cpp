#include "IrcDisplayWindow.h"

#include "IrcItem.h"
#include "UserModes.h"
#include "irc_user.h"

void IrcDisplayWindow::HandleModeChange(const char* change)
{
    bool changed = false;
    for (const UserModeChange& mode : ParseUserModes(change)) {
        IrcItem* item = FindUser(mode.nick.c_str());
        if (item == nullptr)
            continue;
        const irc_user* user = item->IrcUser();
        bool op = user->op;
        bool voice = user->voice;
        if (mode.letter == 'o') {
            // Taking operator status takes voice with it.
            op = voice = mode.add;
            if (!mode.add && !user->op)
                continue;
        } else if (!user->op) {
            voice = mode.add; // an operator's row shows operator whatever its voice
        }
        if (op == user->op && voice == user->voice)
            continue;
        SetUserMarks(item, op, voice);
        changed = true;
    }
    if (changed)
        UpdateChannelStats();
}
