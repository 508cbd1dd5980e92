#include "ListItem.h"

#include <ListView.h>

#include <cmath>

BListItem::BListItem(uint32 outlineLevel, bool expanded)
    : fHeight(0), fWidth(0), fSelected(false), fEnabled(true), fOutlineLevel(outlineLevel),
      fExpanded(expanded),
      fHasColors(false), fTextColor{0, 0, 0, 255}, fSelectionColor{0, 0, 0, 255}, fOwner(nullptr)
{
}

BListItem::~BListItem()
{
    // A row deleted while still in a list leaves it, so the list never shows freed memory.
    if (fOwner != nullptr)
        fOwner->RemoveItem(this);
}

float BListItem::Height() const
{
    return fHeight;
}

float BListItem::Width() const
{
    if (fWidthFont) {
        fWidth = fWidthFont->StringWidth(fText.c_str());
        fWidthFont.reset();
    }
    return fWidth;
}

void BListItem::SetHeight(float height)
{
    fHeight = height;
}

void BListItem::SetWidth(float width)
{
    fWidth = width;
    fWidthFont.reset();
}

void BListItem::Update(BView* owner, const BFont* font)
{
    font_height metrics{};
    if (font != nullptr)
        font->GetHeight(&metrics);
    fHeight =
        std::ceil(metrics.ascent) + std::ceil(metrics.descent) + std::ceil(metrics.leading) + 4;
    if (owner != nullptr && font != nullptr)
        fWidthFont = *font;
}

bool BListItem::IsSelected() const
{
    return fSelected;
}

void BListItem::Select()
{
    fSelected = true;
}

void BListItem::Deselect()
{
    fSelected = false;
}

void BListItem::SetEnabled(bool enabled)
{
    if (enabled == fEnabled)
        return;
    fEnabled = enabled;
    _Changed();
}

bool BListItem::IsEnabled() const
{
    return fEnabled;
}

uint32 BListItem::OutlineLevel() const
{
    return fOutlineLevel;
}

bool BListItem::IsExpanded() const
{
    return fExpanded;
}

void BListItem::SetDisplayText(const char* text)
{
    std::string value = text != nullptr ? text : "";
    if (value == fText)
        return;
    // The width stays that of the text the row was updated with, as if measured then.
    (void)Width();
    fText = value;
    _Changed();
}

const char* BListItem::DisplayText() const
{
    return fText.c_str();
}

void BListItem::SetColors(rgb_color textColor, rgb_color selectionColor)
{
    if (fHasColors && textColor == fTextColor && selectionColor == fSelectionColor)
        return;
    fHasColors = true;
    fTextColor = textColor;
    fSelectionColor = selectionColor;
    _Changed();
}

void BListItem::SetTextColor(rgb_color textColor)
{
    SetColors(textColor, fHasColors ? fSelectionColor : rgb_color{156, 156, 156, 255});
}

void BListItem::ClearColors()
{
    if (!fHasColors)
        return;
    fHasColors = false;
    _Changed();
}

bool BListItem::HasColors() const
{
    return fHasColors;
}

rgb_color BListItem::TextColor() const
{
    return fTextColor;
}

rgb_color BListItem::SelectionColor() const
{
    return fSelectionColor;
}

void BListItem::_Changed()
{
    if (fOwner != nullptr)
        fOwner->_ItemChanged(this);
}
