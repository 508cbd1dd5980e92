#include "ColoredItem.h"

ColoredItem::ColoredItem(const char* text, rgb_color color) : fColor(color)
{
    SetDisplayText(text != nullptr ? text : "");
    SetColors(fColor, kHighlight);
}

ColoredItem::~ColoredItem() = default;

const char* ColoredItem::Text() const
{
    return DisplayText();
}

void ColoredItem::SetText(const char* text)
{
    SetDisplayText(text != nullptr ? text : "");
}

void ColoredItem::SetColor(rgb_color color)
{
    fColor = color;
    SetColors(fColor, kHighlight);
}
