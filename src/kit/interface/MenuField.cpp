#include "MenuField.h"

#include "MenuPrivate.h"
#include "ViewPrivate.h"

#include <Menu.h>
#include <MenuItem.h>
#include <Window.h>

#include <cmath>

namespace change = kit_private::change;

class BMenuField::Owner : public kit_private::MenuOwner
{
public:
    explicit Owner(BMenuField* field) : fField(field) {}
    void MenuChanged() override { fField->_SendTree(); }
    BWindow* MenuWindow() const override { return fField->Window(); }

private:
    BMenuField* fField;
};

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
                       uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags), fMenu(menu), fMenuItem(nullptr),
      fTreeOwner(new Owner(this)), fLabel(label != nullptr ? label : ""),
      fHasLabel(label != nullptr), fDivider(0), fEnabled(true)
{
    SetViewColor(B_PANEL_BACKGROUND);
    SetLowColor(B_PANEL_BACKGROUND);
    if (fHasLabel && !fLabel.empty())
        fDivider = std::floor(frame.Width() / 2);
    fMenuItem = new BMenuItem(menu);
    fMenuItem->fOwner = fTreeOwner;
    if (menu != nullptr && menu->IsLabelFromMarked()) {
        if (BMenuItem* marked = menu->FindMarked())
            fMenuItem->SetLabel(marked->Label());
    }
}

BMenuField::~BMenuField()
{
    fMenuItem->fOwner = nullptr;
    delete fMenuItem; // and the menu with it
    delete fTreeOwner;
}

BMenu* BMenuField::Menu() const
{
    return fMenu;
}

BMenuItem* BMenuField::MenuItem() const
{
    return fMenuItem;
}

void BMenuField::SetLabel(const char* label)
{
    _AssertLocked();
    fHasLabel = label != nullptr;
    fLabel = label != nullptr ? label : "";
    _Push(change::ControlLabel{fLabel});
}

const char* BMenuField::Label() const
{
    return fHasLabel ? fLabel.c_str() : nullptr;
}

void BMenuField::SetDivider(float position)
{
    _AssertLocked();
    fDivider = std::floor(std::max(0.0f, position));
    _Push(change::ControlDivider{fDivider});
}

float BMenuField::Divider() const
{
    return fDivider;
}

void BMenuField::SetEnabled(bool enabled)
{
    _AssertLocked();
    if (enabled == fEnabled)
        return;
    fEnabled = enabled;
    _Push(change::ControlEnabled{fEnabled});
}

bool BMenuField::IsEnabled() const
{
    return fEnabled;
}

void BMenuField::AttachedToWindow()
{
    if (fMenu != nullptr)
        kit_private::ViewAccess::RegisterMenu(Window(), fMenu);
    BView::AttachedToWindow();
}

void BMenuField::DetachedFromWindow()
{
    if (fMenu != nullptr)
        kit_private::ViewAccess::UnregisterMenu(Window(), fMenu);
    BView::DetachedFromWindow();
}

void BMenuField::GetPreferredSize(float* width, float* height)
{
    font_height metrics;
    GetFontHeight(&metrics);
    if (width != nullptr) {
        float label = fHasLabel ? StringWidth(fLabel.c_str()) + 5 : 0;
        *width = std::ceil(std::max(fDivider, label) + StringWidth(fMenuItem->Label()) + 30);
    }
    if (height != nullptr)
        *height = std::ceil(metrics.ascent + metrics.descent + metrics.leading + 10);
}

void BMenuField::_SendTree()
{
    if (fMenu != nullptr)
        _Push(change::MenuTree{kit_private::menu_tree(fMenu, fMenuItem->Label())});
}

kit_private::ViewKind BMenuField::_Kind() const
{
    return kit_private::ViewKind::MenuField;
}

void BMenuField::_EmitState()
{
    BView::_EmitState();
    _Push(change::ControlLabel{fLabel});
    _Push(change::ControlDivider{fDivider});
    _Push(change::ControlEnabled{fEnabled});
    _SendTree();
}
