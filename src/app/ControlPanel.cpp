#include "ControlPanel.h"

#include "AppMessages.h"
#include "WindowTab.h"

#include <DisplayMessages.h>
#include <IrcWindowInfo.h>

#include <Application.h>
#include <Message.h>
#include <Messenger.h>
#include <OS.h>
#include <ScrollView.h>
#include <TabView.h>

namespace {

constexpr float kScrollBarRoom = 14; // the horizontal scroll bar under the tabs
constexpr float kBelowTabs = 10;     // the strip of the tab view under its tabs

} // namespace

ControlPanel::ControlPanel(std::shared_ptr<TabRequestQueue> requests)
    : BWindow(BRect(100, 100, 500, 180), "ControlPanel", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
              B_NOT_ZOOMABLE | B_NOT_V_RESIZABLE | B_WILL_ACCEPT_FIRST_CLICK, B_ALL_WORKSPACES),
      fRequests(std::move(requests))
{
    ReadSettings();
    BRect frame = Bounds();
    frame.bottom -= kScrollBarRoom;
    fTabView = new BTabView(frame, "fTabView", B_WIDTH_AS_USUAL, B_FOLLOW_ALL,
                            B_FULL_UPDATE_ON_RESIZE | B_WILL_DRAW | B_NAVIGABLE_JUMP |
                                B_FRAME_EVENTS | B_NAVIGABLE);
    // Only as high as the tabs: the panel is a strip, not a window of contents.
    const float width = fTabView->Bounds().Width();
    const float height = fTabView->TabHeight() + kBelowTabs;
    fTabView->ResizeTo(width, height);
    ResizeTo(width, height + kScrollBarRoom);
    AddChild(new BScrollView("sv", fTabView, B_FOLLOW_ALL, 0, true, false));
    Show();
    fRequests->SetTarget(BMessenger(this));
}

ControlPanel::~ControlPanel() = default;

void ControlPanel::MessageReceived(BMessage* message)
{
    if (message->what == MSG_TAB_REQUESTS)
        ApplyRequests();
    else
        BWindow::MessageReceived(message);
}

bool ControlPanel::QuitRequested()
{
    // The application asks every window, from its own thread, as it quits.
    if (be_app != nullptr && find_thread(nullptr) == be_app->Thread())
        return true;
    Minimize(true);
    return false;
}

void ControlPanel::Quit()
{
    WriteSettings();
    BWindow::Quit();
}

void ControlPanel::Invalidate()
{
    fTabView->Invalidate();
}

int32 ControlPanel::IndexOf(const IrcWindowInfo* window) const
{
    for (int32 i = 0; i < fTabView->CountTabs(); i++) {
        auto* tab = static_cast<WindowTab*>(fTabView->TabAt(i));
        if (tab->Window().get() == window)
            return i;
    }
    return -1;
}

void ControlPanel::ApplyRequests()
{
    for (TabRequestQueue::Request& request : fRequests->Take()) {
        switch (request.kind) {
        case TabRequestQueue::kAdd:
            AddTab(request.window, request.label.c_str());
            break;
        case TabRequestQueue::kRemove:
            RemoveTab(request.key);
            break;
        case TabRequestQueue::kRelabel:
            SetTabLabel(request.key, request.label.c_str());
            break;
        case TabRequestQueue::kSelect:
            SelectTab(request.key);
            break;
        }
    }
}

void ControlPanel::AddTab(const std::shared_ptr<IrcWindowInfo>& window, const char* label)
{
    if (window == nullptr)
        return;
    // One tab per window, whatever a window asks twice.
    if (TabFor(window.get()) != nullptr) {
        SetTabLabel(window.get(), label);
        return;
    }
    auto* tab = new WindowTab(window, label);
    // The first tab is selected as it is added, which must not pull its window forward.
    tab->DontActivate();
    Quietly([&] { fTabView->AddTab(nullptr, tab); });
    Invalidate();
    BMessage created(MSG_TAB_CREATED);
    created.AddPointer("Tab", tab);
    window->Post(&created);
}

void ControlPanel::RemoveTab(const IrcWindowInfo* window)
{
    const int32 index = IndexOf(window);
    if (index < 0)
        return;
    BTab* tab = nullptr;
    // Removing the selected tab selects a neighbour, whose window stays where it is.
    Quietly([&] { tab = fTabView->RemoveTab(index); });
    delete tab;
    Invalidate();
}

void ControlPanel::SetTabLabel(const IrcWindowInfo* window, const char* label)
{
    if (WindowTab* tab = TabFor(window)) {
        tab->SetLabel(label);
        Invalidate();
    }
}

void ControlPanel::SelectTab(const IrcWindowInfo* window)
{
    // Asked by the window as it becomes active: it is in front already.
    const int32 index = IndexOf(window);
    if (index < 0)
        return;
    const int32 focus = fTabView->FocusTab();
    if (focus >= 0 && focus != index)
        fTabView->SetFocusTab(focus, false);
    fTabView->SetFocusTab(index, true);
    Quietly([&] { fTabView->Select(index); });
    Invalidate();
}

WindowTab* ControlPanel::TabFor(const IrcWindowInfo* window) const
{
    const int32 index = IndexOf(window);
    return index < 0 ? nullptr : static_cast<WindowTab*>(fTabView->TabAt(index));
}

template <typename Change> void ControlPanel::Quietly(Change change)
{
    for (int32 i = 0; i < fTabView->CountTabs(); i++)
        static_cast<WindowTab*>(fTabView->TabAt(i))->DontActivate();
    change();
    // A mark no selection consumed would swallow the user's next click on that tab.
    for (int32 i = 0; i < fTabView->CountTabs(); i++)
        static_cast<WindowTab*>(fTabView->TabAt(i))->DontActivate(false);
}
