#include "IrcItem.h"

#include "irc_user.h"

IrcItem::IrcItem(const char* text, rgb_color color, irc_user* user)
    : ColoredItem(text, color), fUser(user)
{
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
