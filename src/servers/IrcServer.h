#pragma once

#include <SupportDefs.h>

// The network a built-in server belongs to; the tags pick the "Default Servers" submenu.
enum server_network : uint32
{
    NETWORK_EFNET = 'efnt',
    NETWORK_IRCNET = 'efnu',
    NETWORK_OTHER = 0x65666E80, // and every other value
};

static_assert(NETWORK_EFNET == 0x65666E74 && NETWORK_IRCNET == 0x65666E75);

// One built-in server. A plain value: menus carry copies, and the texts are not owned (they
// are constants of the built-in table).
struct IrcServer
{
    // host and label are both name.
    IrcServer(const char* name, unsigned long port, server_network network);

    const char* host;
    uint32 port;
    const char* label;
    server_network network;
};
