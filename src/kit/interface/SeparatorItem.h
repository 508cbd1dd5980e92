#pragma once

// A line between groups of menu items; it cannot be chosen.

#include <MenuItem.h>

class BSeparatorItem : public BMenuItem
{
public:
    BSeparatorItem();
    virtual ~BSeparatorItem();

    void SetEnabled(bool enabled) override; // a separator stays disabled
};
