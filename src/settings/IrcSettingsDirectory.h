#pragma once

// Where the settings live, below the user settings directory:
//   Velmor/                 the program's directory
//   Velmor/IRCSettings      attribute file: identity, frames, fonts, list widths
//   Velmor/ServerSettings   text file: the server list
//   IRCSettings             attribute file beside Velmor/: the colour boxes' colours
// Every function leaves the outputs unset on failure; callers keep their defaults.

#include <SupportDefs.h>

class BDirectory;
class BFile;

class IrcSettingsDirectory
{
public:
    static constexpr const char* kDirectoryName = "Velmor";
    static constexpr const char* kOldDirectoryName = "IRC";
    static constexpr const char* kSettingsFileName = "IRCSettings";
    static constexpr const char* kServerFileName = "ServerSettings";

    // The main view's start-up: makes the user settings directory and "Velmor" if needed. When
    // "Velmor" is new (first run of this version) and a directory "IRC" from an earlier version
    // exists, "IRC" is renamed over the new, empty "Velmor", so its settings carry over.
    // Then opens (creating) "Velmor/IRCSettings" into *file. *directory (optional) is set to
    // "Velmor".
    static status_t OpenWithMigration(BFile* file, BDirectory* directory = nullptr);

    // Other owners of "Velmor/IRCSettings" (conversation windows): no migration, and no
    // directory is made; the file is created in an existing "Velmor".
    static status_t OpenProgramFile(BFile* file);

    // The colour boxes' file "IRCSettings" directly in the user settings directory (created
    // if missing, as is the settings directory).
    static status_t OpenColourFile(BFile* file);

    // "Velmor" for the server list: set, or created when it cannot be set.
    static status_t OpenDirectory(BDirectory* directory);
};
