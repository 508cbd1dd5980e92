#pragma once

#include <Message.h>
#include <irc.h>

#include <memory>

// The one table from a parsed server event (irc_event_t) to the messages the session sends
// for it: message code, and every field with its type, in the order the receivers expect.

// Whom the messages speak for: put into the "IRC", "Window" and "Server" fields.
struct EventContext
{
    void* session;
    void* serverWindow;
};

// What one event turns into, in the order it is to be invoked.
struct EventMessages
{
    std::unique_ptr<BMessage> openWindow; // 'Amsl' before a private message, else null
    std::unique_ptr<BMessage> message;    // null when the event shows nothing
    bool setInvisible = false;            // then send "MODE <own nick> +i"
    bool echo = false;                    // then print the message to standard output
};

// Types outside 0-20, and those that show nothing, give no messages.
EventMessages BuildEventMessages(const irc_event_t& event, const EventContext& context);

// 'Amsl' for a channel or nickname: "Channel", "IRC", "Window".
std::unique_ptr<BMessage> NewOpenWindowMessage(const char* channel, const EventContext& context);

// 'Amsg' type 20 for the server window saying the connection is gone.
std::unique_ptr<BMessage> NewConnectionLostMessage(const EventContext& context);
