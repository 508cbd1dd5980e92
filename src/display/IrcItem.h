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

    // The start of the row's sort key (mark, then the nick in lower case), NUL-padded, kept
    // in the row so a search of a long list reads one block per step. Update it whenever
    // the user's marks or nick change.
    static constexpr size_t kKeyPrefix = 16;
    const char* KeyPrefix() const { return fKeyPrefix; }
    void UpdateSortKey();

    // The colour of a row with these marks.
    static rgb_color MarkColor(bool op, bool voice);

    static constexpr rgb_color kOperatorColor = {200, 0, 0, 0};
    static constexpr rgb_color kVoiceColor = {0, 0, 200, 0};
    static constexpr rgb_color kNormalColor = {0, 0, 0, 0};

private:
    irc_user* fUser;
    char fKeyPrefix[kKeyPrefix];
};
