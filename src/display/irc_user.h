#pragma once

// One user of one channel window.
struct irc_user
{
    bool op = false;
    bool voice = false; // also set for operators that come from a name list
    char nick[256] = {};
    char* host = nullptr; // "user@host" from the user's JOIN (owned), or nullptr

    irc_user() = default;
    ~irc_user();
    irc_user(const irc_user&) = delete;
    irc_user& operator=(const irc_user&) = delete;

    // Copies nick, cut to fit without splitting a UTF-8 sequence.
    void SetNick(const char* name);
    // Copies host; nullptr or "" leave the user without one.
    void SetHost(const char* address);
};
