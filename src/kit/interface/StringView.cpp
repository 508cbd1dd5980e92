#include "StringView.h"

#include "ViewPrivate.h"

#include <cmath>

namespace change = kit_private::change;

BStringView::BStringView(BRect frame, const char* name, const char* text, uint32 resizingMode,
                         uint32 flags)
    : BView(frame, name, resizingMode, flags), fText(text != nullptr ? text : "")
{
    SetViewColor(B_PANEL_BACKGROUND);
    SetLowColor(B_PANEL_BACKGROUND);
}

BStringView::~BStringView() = default;

void BStringView::SetText(const char* text)
{
    _AssertLocked();
    std::string value = text != nullptr ? text : "";
    if (value == fText)
        return;
    fText = value;
    _Push(change::ControlLabel{fText});
}

const char* BStringView::Text() const
{
    return fText.c_str();
}

void BStringView::GetPreferredSize(float* width, float* height)
{
    font_height metrics;
    GetFontHeight(&metrics);
    if (width != nullptr)
        *width = std::ceil(StringWidth(fText.c_str()));
    if (height != nullptr)
        *height = std::ceil(metrics.ascent + metrics.descent + metrics.leading);
}

kit_private::ViewKind BStringView::_Kind() const
{
    return kit_private::ViewKind::StringView;
}

void BStringView::_EmitState()
{
    BView::_EmitState();
    _Push(change::ControlLabel{fText});
}
