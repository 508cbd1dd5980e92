#pragma once

#include <GraphicsDefs.h>
#include <ListItem.h>

// A list row shown as its text in a colour of its own, on the list's background, and on grey
// when selected. The display server draws it from the row's properties (text, text colour,
// selection colour), so changing the text or colour of a row in a list shows at once.
class ColoredItem : public BListItem
{
public:
    ColoredItem(const char* text, rgb_color color); // text copied; nullptr is ""
    ~ColoredItem() override;

    const char* Text() const;
    virtual void SetText(const char* text); // copied
    virtual void SetColor(rgb_color color);
    rgb_color Color() const { return fColor; }

    // The selected-row background of coloured rows.
    static constexpr rgb_color kHighlight = {156, 156, 156, 255};

private:
    rgb_color fColor;
};
