#pragma once

#include <ColoredItem.h>

struct irc_user;

// A row of the channel user list: the user's nick in the colour of the user's marks. Owns
// its record.
class IrcItem : public ColoredItem
{
public:
    IrcItem(const char* text, rgb_color color, irc_user* user);
    ~IrcItem() override;

    irc_user* IrcUser() const { return fUser; }

    // The colour of a row with these marks.
    static rgb_color MarkColor(bool op, bool voice);

    static constexpr rgb_color kOperatorColor = {200, 0, 0, 0};
    static constexpr rgb_color kVoiceColor = {0, 0, 200, 0};
    static constexpr rgb_color kNormalColor = {0, 0, 0, 0};

private:
    irc_user* fUser;
};
