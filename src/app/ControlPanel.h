#pragma once

#include "TabRequestQueue.h"

#include <Window.h>

#include <memory>

class BTabView;
class IrcWindowInfo;
class WindowTab;

// The window of tabs, one per visible conversation window. Clicking a tab brings its window
// to the front. Windows change the tabs only through the request queue, so they never wait
// for the panel's lock; the panel applies the requests on its own thread.
class ControlPanel : public BWindow
{
public:
    // Builds and shows the panel; it takes its requests from the queue from then on.
    explicit ControlPanel(std::shared_ptr<TabRequestQueue> requests);
    ~ControlPanel() override;

    void MessageReceived(BMessage* message) override;
    // The close box only minimises: the panel stays for the application's lifetime.
    bool QuitRequested() override;

    // Tabs (panel locked)
    BTabView* TabView() const { return fTabView; }
    // The tab standing for that window, or -1.
    int32 IndexOf(const IrcWindowInfo* window) const;

private:
    void ApplyRequests();
    void AddTab(const std::shared_ptr<IrcWindowInfo>& window, const char* label);
    void RemoveTab(const IrcWindowInfo* window);
    void SetTabLabel(const IrcWindowInfo* window, const char* label);
    void SelectTab(const IrcWindowInfo* window);
    WindowTab* TabFor(const IrcWindowInfo* window) const;
    // Runs a change of the tab view during which selections are the panel's own.
    template <typename Change> void Quietly(Change change);

    std::shared_ptr<TabRequestQueue> fRequests;
    BTabView* fTabView;
};
