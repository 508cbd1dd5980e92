#include "SeparatorItem.h"

BSeparatorItem::BSeparatorItem() : BMenuItem("", nullptr)
{
    BMenuItem::SetEnabled(false);
}

BSeparatorItem::~BSeparatorItem() = default;

void BSeparatorItem::SetEnabled(bool) {}
