#pragma once

// Well-known directories.
//
// B_USER_SETTINGS_DIRECTORY is $XDG_CONFIG_HOME when that is an absolute path, otherwise
// ~/.config (home from $HOME, else the password database).

#include <SupportDefs.h>

class BPath;
class BVolume;

enum directory_which
{
    B_USER_DIRECTORY = 3000,
    B_USER_CONFIG_DIRECTORY,
    B_USER_SETTINGS_DIRECTORY = 3006,
};

// Sets path to the directory; with createIt, creates it (and missing parents, mode 0700)
// when it does not exist. B_BAD_VALUE for an unknown directory; the mkdir error otherwise.
status_t find_directory(directory_which which, BPath* path, bool createIt = false,
                        BVolume* volume = nullptr);
