#pragma once

// One row of a list view. A row is drawn by the display server from its row properties: a
// text, and optionally its own text colour and the background it gets when selected
// (otherwise the list's colours). Changing a property of a row in a list shows at once.

#include <Font.h>
#include <GraphicsDefs.h>
#include <SupportDefs.h>

#include <optional>
#include <string>

class BListView;
class BView;

class BListItem
{
public:
    BListItem(uint32 outlineLevel = 0, bool expanded = true);
    virtual ~BListItem();

    // Geometry, set by Update when the row joins a list
    float Height() const;
    float Width() const;
    void SetHeight(float height);
    void SetWidth(float width);
    // Sets the height from the list's font (its line height plus 4).
    virtual void Update(BView* owner, const BFont* font);

    // State
    bool IsSelected() const;
    void Select(); // these only record the state; select rows through the list
    void Deselect();
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;
    uint32 OutlineLevel() const;
    bool IsExpanded() const;

    // Row properties
    void SetDisplayText(const char* text); // copied
    const char* DisplayText() const;
    // Text in color on the list's background, on selectionColor when selected.
    void SetColors(rgb_color textColor, rgb_color selectionColor);
    void SetTextColor(rgb_color textColor); // keeps the selection colour
    void ClearColors();
    bool HasColors() const;
    rgb_color TextColor() const;
    rgb_color SelectionColor() const;

private:
    friend class BListView;
    void _Changed();

    float fHeight;
    // Measured when first asked for: a list of thousands adds rows far more often than
    // anyone reads their widths, and measuring means shaping the text.
    mutable float fWidth;
    mutable std::optional<BFont> fWidthFont; // set while the width is yet to be measured
    bool fSelected;
    bool fEnabled;
    uint32 fOutlineLevel;
    bool fExpanded;
    std::string fText;
    bool fHasColors;
    rgb_color fTextColor;
    rgb_color fSelectionColor;
    BListView* fOwner;
};
