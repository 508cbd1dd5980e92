#include "Tab.h"

#include <TabView.h>
#include <View.h>

BTab::BTab(BView* contents)
    : fView(contents), fTabView(nullptr), fSelected(false), fEnabled(true), fFocus(false)
{
}

BTab::~BTab()
{
    if (fView != nullptr) {
        fView->RemoveSelf();
        delete fView;
    }
}

const char* BTab::Label() const
{
    return fView != nullptr && fView->Name() != nullptr ? fView->Name() : "";
}

void BTab::SetLabel(const char* label)
{
    if (fView == nullptr)
        return;
    fView->SetName(label);
    _Changed();
}

bool BTab::IsSelected() const
{
    return fSelected;
}

void BTab::Select(BView* owner)
{
    fSelected = true;
    if (owner != nullptr && fView != nullptr && fView->Parent() == nullptr &&
        fView->Window() == nullptr) {
        fView->MoveTo(0, 0);
        fView->ResizeTo(owner->Bounds().Width(), owner->Bounds().Height());
        owner->AddChild(fView);
    }
}

void BTab::Deselect()
{
    fSelected = false;
    if (fView != nullptr)
        fView->RemoveSelf();
}

void BTab::SetEnabled(bool enabled)
{
    fEnabled = enabled;
    _Changed();
}

bool BTab::IsEnabled() const
{
    return fEnabled;
}

void BTab::MakeFocus(bool focus)
{
    fFocus = focus;
}

bool BTab::IsFocus() const
{
    return fFocus;
}

void BTab::SetView(BView* contents)
{
    if (contents == fView)
        return;
    if (fView != nullptr) {
        fView->RemoveSelf();
        delete fView;
    }
    fView = contents;
    _Changed();
}

BView* BTab::View() const
{
    return fView;
}

void BTab::_Changed()
{
    if (fTabView != nullptr)
        fTabView->_SendTabs();
}
