#pragma once

#include <Tab.h>

#include <memory>

class IrcWindowInfo;

// A control panel tab standing for one conversation window. The user selecting it brings the
// window to the front; a selection the panel makes itself (a new tab, a removed neighbour,
// the window's own activation) must not, or activation would bounce between the two.
// The kit draws tabs without a focus mark, so there is no focus mark to suppress here.
//
// Threads: the panel's thread, panel locked.
class WindowTab : public BTab
{
public:
    // The tab's view is a 1-by-1 view named with the label: the label is the view's name.
    WindowTab(std::shared_ptr<IrcWindowInfo> window, const char* label);
    ~WindowTab() override;

    const std::shared_ptr<IrcWindowInfo>& Window() const { return fWindow; }

    // The next selection leaves the window alone; Select consumes the mark. False clears a
    // mark no selection took, so that it cannot swallow the user's next click.
    void DontActivate(bool dontActivate = true) { fDontActivate = dontActivate; }

    void Select(BView* owner) override;

private:
    std::shared_ptr<IrcWindowInfo> fWindow;
    // Unmarked from the start: a tab added behind others is not selected as it is added, and
    // the user's first click on it must bring its window forward.
    bool fDontActivate = false;
};
