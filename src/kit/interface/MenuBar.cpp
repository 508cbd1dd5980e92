#include "MenuBar.h"

#include "MenuPrivate.h"
#include "ViewPrivate.h"

#include <MenuItem.h>
#include <Window.h>

#include <cmath>

namespace change = kit_private::change;

class BMenuBar::Owner : public kit_private::MenuOwner
{
public:
    explicit Owner(BMenuBar* bar) : fBar(bar) {}

    void MenuChanged() override
    {
        fBar->_Push(change::MenuTree{kit_private::menu_tree(fBar)});
        if (fBar->fResizeToFit && fBar->Window() != nullptr)
            fBar->ResizeToPreferred();
    }
    BWindow* MenuWindow() const override { return fBar->Window(); }

private:
    BMenuBar* fBar;
};

BMenuBar::BMenuBar(BRect frame, const char* name, uint32 resizingMode, menu_layout layout,
                   bool resizeToFit)
    : BMenu(name, layout), fTreeOwner(new Owner(this)), fResizeToFit(resizeToFit)
{
    // A menu's own frame is irrelevant; a bar's is where it sits.
    MoveTo(frame.LeftTop());
    ResizeTo(frame.Width(), frame.Height());
    SetResizingMode(resizingMode);
    SetViewColor(B_PANEL_BACKGROUND);
    fOwner = fTreeOwner;
}

BMenuBar::~BMenuBar()
{
    fOwner = nullptr;
    delete fTreeOwner;
}

void BMenuBar::AttachedToWindow()
{
    kit_private::ViewAccess::RegisterMenu(Window(), this);
    if (Window()->KeyMenuBar() == nullptr)
        Window()->SetKeyMenuBar(this);
    if (fResizeToFit)
        ResizeToPreferred();
    BMenu::AttachedToWindow();
}

void BMenuBar::DetachedFromWindow()
{
    kit_private::ViewAccess::UnregisterMenu(Window(), this);
    if (Window()->KeyMenuBar() == this)
        Window()->SetKeyMenuBar(nullptr);
    BMenu::DetachedFromWindow();
}

void BMenuBar::GetPreferredSize(float* width, float* height)
{
    font_height metrics;
    be_plain_font->GetHeight(&metrics);
    float total = 8;
    for (int32 i = 0; i < CountItems(); i++)
        total += std::ceil(be_plain_font->StringWidth(ItemAt(i)->Label())) + 16;
    if (width != nullptr)
        *width = total;
    if (height != nullptr)
        *height = std::ceil(metrics.ascent + metrics.descent + metrics.leading + 8);
}

kit_private::ViewKind BMenuBar::_Kind() const
{
    return kit_private::ViewKind::MenuBar;
}

void BMenuBar::_EmitState()
{
    BMenu::_EmitState();
    _Push(change::MenuTree{kit_private::menu_tree(this)});
}
