#pragma once

// Starting other programs for a document type.
//
// Launch("text/html", 1, {url}) opens the URL with the desktop's handler (xdg-open), passing
// each argument as one argument, never through a shell.

#include <OS.h>
#include <SupportDefs.h>

class BRoster
{
public:
    BRoster();
    ~BRoster();

    // B_OK once the handler was started (*team receives its process id); B_BAD_VALUE for
    // no type or a null argument; the spawn error (B_ENTRY_NOT_FOUND...) otherwise.
    status_t Launch(const char* mimeType, int argc, const char* const* args,
                    team_id* team = nullptr) const;
    status_t Launch(const char* mimeType, int argc, char** args, team_id* team = nullptr) const;
};

extern const BRoster* be_roster;

// For tests: the program Launch runs instead of xdg-open (nullptr restores it). It gets the
// same arguments.
void set_roster_opener(const char* program);
