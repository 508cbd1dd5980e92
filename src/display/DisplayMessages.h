#pragma once

#include <SupportDefs.h>

// Codes a conversation window handles besides the session's event messages.

// Input
constexpr uint32 MSG_ENTRY_RETURN = 'Aret'; // Enter in the entry field
constexpr uint32 MSG_MISSED_CHAR = 'Aftb';  // "MissedChar": a key typed outside the entry field
constexpr uint32 MSG_OPEN_LINK = 'Ailk';    // "url": a link of the scrollback was clicked

// "Windows" and "Options" menus
constexpr uint32 MSG_SELECT_WINDOW = 'Aisq'; // "index" in the server's conversation list
constexpr uint32 MSG_SELECT_SERVER = 'Aisn'; // the server window
constexpr uint32 MSG_TEXT_FONT_SIZE = 'Aiso';
constexpr uint32 MSG_MESSAGE_FONT_SIZE = 'Aisp';
constexpr uint32 MSG_TEXT_FONT_FAMILY = 'Aisr';
constexpr uint32 MSG_MESSAGE_FONT_FAMILY = 'Aiss';

// The user list's popup menu
constexpr uint32 MSG_PRIVATE_CHAT = 'Aprv';
constexpr uint32 MSG_WHOIS_USER = 'Apr}';
constexpr uint32 MSG_OP_USERS = 'Aprw';
constexpr uint32 MSG_DEOP_USERS = 'Aprx';
constexpr uint32 MSG_VOICE_USERS = 'Apr{';
constexpr uint32 MSG_DEVOICE_USERS = 'Apr|';
constexpr uint32 MSG_BAN_USER = 'Apry';      // "Ban"
constexpr uint32 MSG_KICK_BAN_USER = 'Aprz'; // "Ban", "User" (irc_user*)

// The control panel made the window's tab ("Tab")
constexpr uint32 MSG_TAB_CREATED = 'Atab';

// Between windows: posted instead of locking another conversation window
constexpr uint32 MSG_UPDATE_STATS = 'Aiut'; // optional "Time", "Date" to copy first
constexpr uint32 MSG_UPDATE_MENUS = 'Aium';
constexpr uint32 MSG_QUIT_NOW = 'Aiqn';     // closed by its server window or the application
constexpr uint32 MSG_QUIT_MESSAGE = 'Aiqm'; // "Message": then quit now (application quit)
constexpr uint32 MSG_ACTIVATE = 'Aiac';     // bring the window to the front
