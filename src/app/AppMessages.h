#pragma once

#include <SupportDefs.h>

// Codes the main view handles besides the sessions' messages.

// Login options
constexpr uint32 MSG_CONNECT_AT_STARTUP = 'Adaf'; // the "Connect at Startup" box
constexpr uint32 MSG_CONNECT = 'Adah';            // the Connect button
constexpr uint32 MSG_CONFIGURE_SERVERS = 'Adaj';  // "Configure Servers…" in the server menu
constexpr uint32 MSG_CHOOSE_SERVER = 'Adak';      // "Host", "Title", "Port" (int32)
constexpr uint32 MSG_UPDATE_TIME = 'Adam';        // the clock's runner
constexpr uint32 MSG_SERVERS_CHANGED = 'Aswc';    // the server list was edited

// The message a session carries until it is given its target
constexpr uint32 MSG_SESSION = 'Airc';

// To the control panel: tab requests are waiting in its queue
constexpr uint32 MSG_TAB_REQUESTS = 'Acpr';

// The signature the application registers with
inline constexpr const char* kAppSignature = "application/x-vnd.tarnvik-Velmor";
