#pragma once

// One tab of a tab view: a label (the name of its view) and the view shown while the tab is
// selected. The display server draws tabs without a focus mark.

#include <Archivable.h>
#include <SupportDefs.h>

class BTabView;
class BView;

class BTab : public BArchivable
{
public:
    explicit BTab(BView* contents = nullptr); // takes ownership of contents
    virtual ~BTab();

    const char* Label() const;
    virtual void SetLabel(const char* label);

    bool IsSelected() const;
    // Called by the tab view on its window's thread when the tab is selected: the default
    // shows the tab's view in owner (the tab view's container).
    virtual void Select(BView* owner);
    virtual void Deselect();

    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;
    void MakeFocus(bool focus = true);
    bool IsFocus() const;

    virtual void SetView(BView* contents); // deletes the previous view
    BView* View() const;

private:
    friend class BTabView;
    void _Changed();

    BView* fView;
    BTabView* fTabView;
    bool fSelected;
    bool fEnabled;
    bool fFocus;
};
