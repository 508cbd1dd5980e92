#pragma once

// A list row showing a line of text.

#include <ListItem.h>

class BStringItem : public BListItem
{
public:
    BStringItem(const char* text, uint32 outlineLevel = 0, bool expanded = true);
    virtual ~BStringItem();

    virtual void SetText(const char* text); // copied
    const char* Text() const;
};
