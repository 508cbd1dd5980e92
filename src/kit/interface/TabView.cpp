#include "TabView.h"

#include "ViewMessages.h"
#include "ViewPrivate.h"

#include <Tab.h>

#include <algorithm>
#include <cmath>

namespace change = kit_private::change;

BTabView::BTabView(BRect frame, const char* name, button_width width, uint32 resizingMode,
                   uint32 flags)
    : BView(frame, name, resizingMode, flags), fContainer(nullptr), fSelection(-1), fFocus(-1),
      fTabWidth(width)
{
    SetViewColor(B_PANEL_BACKGROUND);
    SetLowColor(B_PANEL_BACKGROUND);
    font_height metrics;
    GetFontHeight(&metrics);
    fTabHeight = std::ceil(metrics.ascent + metrics.descent + metrics.leading + 8);
    BRect inner = Bounds();
    inner.top = fTabHeight;
    fContainer = new BView(inner, "view container", B_FOLLOW_ALL, B_WILL_DRAW);
    fContainer->SetViewColor(B_PANEL_BACKGROUND);
    AddChild(fContainer);
}

BTabView::~BTabView()
{
    for (BTab* tab : fTabs) {
        tab->fTabView = nullptr;
        delete tab;
    }
}

void BTabView::AddTab(BView* target, BTab* tab)
{
    _AssertLocked();
    if (tab == nullptr)
        tab = new BTab(target);
    else if (target != nullptr)
        tab->SetView(target);
    tab->fTabView = this;
    fTabs.push_back(tab);
    if (fTabs.size() == 1 && Window() != nullptr)
        Select(0);
    else
        _SendTabs();
}

BTab* BTabView::RemoveTab(int32 index)
{
    _AssertLocked();
    if (index < 0 || index >= CountTabs())
        return nullptr;
    BTab* tab = fTabs[static_cast<size_t>(index)];
    if (tab->IsSelected())
        tab->Deselect();
    fTabs.erase(fTabs.begin() + index);
    tab->fTabView = nullptr;
    if (fSelection == index) {
        fSelection = -1;
        if (!fTabs.empty())
            Select(std::min(index, CountTabs() - 1));
    } else if (fSelection > index) {
        fSelection--;
    }
    if (fFocus >= CountTabs())
        fFocus = -1;
    _SendTabs();
    return tab;
}

BTab* BTabView::TabAt(int32 index) const
{
    if (index < 0 || index >= CountTabs())
        return nullptr;
    return fTabs[static_cast<size_t>(index)];
}

int32 BTabView::CountTabs() const
{
    return static_cast<int32>(fTabs.size());
}

int32 BTabView::IndexOf(BTab* tab) const
{
    auto found = std::find(fTabs.begin(), fTabs.end(), tab);
    return found == fTabs.end() ? -1 : static_cast<int32>(found - fTabs.begin());
}

BView* BTabView::ViewForTab(int32 index) const
{
    BTab* tab = TabAt(index);
    return tab != nullptr ? tab->View() : nullptr;
}

BView* BTabView::ContainerView() const
{
    return fContainer;
}

void BTabView::Select(int32 index)
{
    _AssertLocked();
    BTab* tab = TabAt(index);
    if (tab == nullptr || !tab->IsEnabled())
        return;
    if (BTab* previous = TabAt(fSelection); previous != nullptr && previous != tab)
        previous->Deselect();
    fSelection = index;
    tab->Select(fContainer);
    _SendTabs();
}

int32 BTabView::Selection() const
{
    return fSelection;
}

void BTabView::SetFocusTab(int32 index, bool focus)
{
    if (focus)
        fFocus = index;
    else if (fFocus == index)
        fFocus = -1;
    if (BTab* tab = TabAt(index))
        tab->MakeFocus(focus);
}

int32 BTabView::FocusTab() const
{
    return fFocus;
}

void BTabView::SetTabHeight(float height)
{
    _AssertLocked();
    fTabHeight = std::max(0.0f, height);
    BRect inner = Bounds();
    inner.top = fTabHeight;
    fContainer->MoveTo(inner.LeftTop());
    fContainer->ResizeTo(inner.Width(), std::max(0.0f, inner.Height()));
    _SendTabs();
}

float BTabView::TabHeight() const
{
    return fTabHeight;
}

void BTabView::SetTabWidth(button_width width)
{
    fTabWidth = width;
}

button_width BTabView::TabWidth() const
{
    return fTabWidth;
}

void BTabView::AttachedToWindow()
{
    if (fSelection < 0 && !fTabs.empty())
        Select(0);
    BView::AttachedToWindow();
}

void BTabView::_SendTabs()
{
    std::vector<std::string> labels;
    for (BTab* tab : fTabs)
        labels.push_back(tab->Label());
    _Push(change::Tabs{std::move(labels), fSelection, fTabHeight});
}

kit_private::ViewKind BTabView::_Kind() const
{
    return kit_private::ViewKind::TabView;
}

void BTabView::_EmitState()
{
    BView::_EmitState();
    _SendTabs();
}

bool BTabView::_ServerMessage(BMessage* message)
{
    if (message->what != kit_private::kMsgTabSelected)
        return false;
    int32 index;
    if (message->FindInt32("index", &index) == B_OK)
        Select(index);
    return true;
}
