#pragma once

#include <SupportDefs.h>

// Codes of the server configuration window and its list.

// The entry fields' own messages (nothing is done with them)
constexpr uint32 MSG_HOST_FIELD = 'Aswd';
constexpr uint32 MSG_PORT_FIELD = 'Aswe';
constexpr uint32 MSG_TITLE_FIELD = 'Aswf';

// The buttons
constexpr uint32 MSG_ADD_SERVER = 'Aswg';
constexpr uint32 MSG_CHANGE_SERVER = 'Aswh';
constexpr uint32 MSG_REMOVE_SERVER = 'Aswi';

// A preset of "Default Servers": "Server" (pointer to an IrcServer of the window's list)
constexpr uint32 MSG_PRESET_CHOSEN = 'Aswj';
// The list's selection and invocation: "index" (int32, -1 for none)
constexpr uint32 MSG_SERVER_SELECTED = 'Aswk';

// To the main view, once "ServerSettings" has been written
constexpr uint32 MSG_SERVER_LIST_SAVED = 'Aswc';

// A row being dragged in a reorderable list: "index" (int32), the dragged row
constexpr uint32 MSG_ITEM_DRAGGED = 'Aitd';
