#pragma once

// A row of tabs over a container that shows the selected tab's view. The user's click on a
// tab reaches Select() on the window's thread, which calls the tab's Select().

#include <Alert.h>
#include <View.h>

#include <vector>

class BTab;

class BTabView : public BView
{
public:
    BTabView(BRect frame, const char* name, button_width width = B_WIDTH_AS_USUAL,
             uint32 resizingMode = B_FOLLOW_ALL,
             uint32 flags = B_FULL_UPDATE_ON_RESIZE | B_WILL_DRAW | B_NAVIGABLE_JUMP |
                            B_FRAME_EVENTS | B_NAVIGABLE);
    virtual ~BTabView(); // deletes its tabs and their views

    // Tabs (owned). Without a tab, AddTab makes one for target.
    virtual void AddTab(BView* target, BTab* tab = nullptr);
    virtual BTab* RemoveTab(int32 index); // the tab goes back to the caller
    BTab* TabAt(int32 index) const;
    int32 CountTabs() const;
    int32 IndexOf(BTab* tab) const;
    BView* ViewForTab(int32 index) const;
    BView* ContainerView() const;

    // Selection
    virtual void Select(int32 index);
    int32 Selection() const;
    virtual void SetFocusTab(int32 index, bool focus);
    int32 FocusTab() const;

    // Look
    void SetTabHeight(float height);
    float TabHeight() const;
    void SetTabWidth(button_width width);
    button_width TabWidth() const;

    void AttachedToWindow() override;

protected:
    kit_private::ViewKind _Kind() const override;
    void _EmitState() override;
    bool _ServerMessage(BMessage* message) override;

private:
    friend class BTab;
    void _SendTabs();

    std::vector<BTab*> fTabs;
    BView* fContainer;
    int32 fSelection;
    int32 fFocus;
    float fTabHeight;
    button_width fTabWidth;
};
