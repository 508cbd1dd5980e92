#pragma once

// Objects that can be stored in a message and rebuilt from it.

#include "SupportDefs.h"

class BMessage;

class BArchivable
{
public:
    BArchivable();
    explicit BArchivable(BMessage* archive);
    virtual ~BArchivable();

    // Adds the string field "class" with the name of the object's most derived class.
    // Returns B_OK or the message's error.
    virtual status_t Archive(BMessage* into, bool deep = true) const;
    static BArchivable* Instantiate(BMessage* archive);
};

// True when one of the archive's "class" values is className; otherwise prints a diagnostic
// and returns false.
bool validate_instantiation(BMessage* archive, const char* className);
