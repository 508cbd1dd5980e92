#pragma once

#include "TabRequestQueue.h"

#include <Window.h>

#include <memory>

class BTabView;
class IrcWindowInfo;
class WindowTab;

// The window of tabs, one per visible conversation window. Clicking a tab brings its window
// to the front; a window that becomes active has its tab selected. The panel keeps its size
// whatever the number of tabs: the tab strip scrolls the ones that do not fit.
//
// Windows never lock the panel, nor the panel a window: a window waiting for the panel's lock
// while the panel waited for that window's would deadlock. Windows queue their tab changes
// and the panel carries them out on its own thread, in the order they were asked for. Tabs
// are found by the window they stand for, never by label: two servers' windows of the same
// name keep their own tabs.
//
// Threads: the panel's own; TabView and IndexOf with the panel locked.
class ControlPanel : public BWindow
{
public:
    // Builds and shows the panel; it takes its requests from the queue from then on.
    explicit ControlPanel(std::shared_ptr<TabRequestQueue> requests);
    ~ControlPanel() override;

    void MessageReceived(BMessage* message) override;
    // The close box only minimises: the panel stays for the application's lifetime. Asked by
    // the application as it quits, it agrees.
    bool QuitRequested() override;
    // At application quit (the main view locks the panel and quits it).
    void Quit() override;

    // The panel stores no settings.
    void ReadSettings() {}
    void WriteSettings() {}

    // Tabs (panel locked)
    BTabView* TabView() const { return fTabView; }
    void Invalidate(); // redraws the tab strip
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
