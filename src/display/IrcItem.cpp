#include "IrcItem.h"

#include "ascii_case.h"
#include "irc_user.h"

IrcItem::IrcItem(const char* text, rgb_color color, irc_user* user)
    : ColoredItem(text, color), fUser(user)
{
    UpdateSortKey();
}

void IrcItem::UpdateSortKey()
{
    size_t at = 0;
    if (fUser != nullptr) {
        // Operators sort under "+", voiced users under "@", as the full comparison does.
        if (fUser->op || fUser->voice)
            fKeyPrefix[at++] = fUser->op ? '+' : '@';
        for (const char* c = fUser->nick; *c != '\0' && at < kKeyPrefix; c++)
            fKeyPrefix[at++] = lower_ascii(*c);
    }
    while (at < kKeyPrefix)
        fKeyPrefix[at++] = '\0';
}

IrcItem::~IrcItem()
{
    delete fUser;
}

rgb_color IrcItem::MarkColor(bool op, bool voice)
{
    if (op)
        return kOperatorColor;
    return voice ? kVoiceColor : kNormalColor;
}
