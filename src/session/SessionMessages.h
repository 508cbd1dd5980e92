#pragma once

#include <SupportDefs.h>

// Codes of the messages a session sends to its target (the main view), and the two words
// its "Channel" field can hold besides a channel name or nickname.

// Something to show in a conversation window ("type" says what).
constexpr uint32 MSG_IRC_EVENT = 'Amsh';
// Make sure a window for "Channel" exists.
constexpr uint32 MSG_OPEN_WINDOW = 'Amsl';
// A server line without its own display rule, for the server window in "Server".
constexpr uint32 MSG_RAW_LINE = 'Amsg';
// End of a whois reply.
constexpr uint32 MSG_END_OF_WHOIS = 'Amsj';
// The own nickname was changed with ChangeNick; no fields.
constexpr uint32 MSG_NICK_CHANGED = 'Amsm';

// The session's active window.
inline constexpr const char* kActiveChannel = "Active Channel";
// Every window whose user list holds "Nick".
inline constexpr const char* kAllChannels = "Channels";

// Shown in the server window when the server closes the connection.
inline constexpr const char* kConnectionLost = "*** Connection to server lost.";
