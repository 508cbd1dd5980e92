#include "StringItem.h"

BStringItem::BStringItem(const char* text, uint32 outlineLevel, bool expanded)
    : BListItem(outlineLevel, expanded)
{
    SetDisplayText(text);
}

BStringItem::~BStringItem() = default;

void BStringItem::SetText(const char* text)
{
    SetDisplayText(text);
}

const char* BStringItem::Text() const
{
    return DisplayText();
}
