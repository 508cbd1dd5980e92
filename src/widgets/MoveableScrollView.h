#pragma once

#include <ScrollView.h>

#include <algorithm>
#include <functional>

// A scroll view whose left edge the user drags to make it wider or narrower, as the user
// list of a conversation window is.
//
// A thin view over the left edge carries the resize cursor while the window is active, so
// the display server switches the cursor as the pointer crosses it; nothing polls. A press
// on the edge starts a drag that follows the mouse messages of the window's thread until
// the button is let go: the left edge stays at 19 or more in the parent, and the view at
// least 19 pixels wide (its scroll bar and 5 more); an owner may keep the edge further right
// with SetMinLeft. After each step the moved hook gets the
// frame from before that step.
class MoveableScrollView : public BScrollView
{
public:
    // The frame from before a step.
    using MovedHook = std::function<void(BRect oldFrame)>;

    static constexpr float kEdgeWidth = 5;
    static constexpr float kMinLeft = 19;
    static constexpr float kMinWidth = 19;
    static constexpr uint32 kNormalCursor = 'Asvn';
    static constexpr uint32 kResizeCursor = 'Asvo';

    MoveableScrollView(const char* name, BView* target, uint32 resizingMode, uint32 flags,
                       bool horizontal, bool vertical, border_style border = B_FANCY_BORDER);
    ~MoveableScrollView() override;

    void AttachedToWindow() override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;
    void WindowActivated(bool active) override;

    void SetMovedHook(MovedHook hook);
    // A limit for the left edge beyond kMinLeft, in the parent's coordinates.
    void SetMinLeft(float left) { fMinLeft = std::max(left, kMinLeft); }
    bool IsDragging() const { return fDragging; }
    // 'Asvo' while the edge shows the resize cursor, else 'Asvn'.
    uint32 CursorState() const { return fCursorState; }
    BView* Edge() const { return fEdge; }

private:
    void DragTo(BPoint screenWhere);
    void EndDrag();
    void ShowCursor(uint32 state);
    BPoint ScreenWhere(BPoint where) const;

    BRect fBounds;
    BRect fFrame;
    uint32 fCursorState;
    bool fActive;
    bool fDragging;
    float fGrabOffset; // pointer x minus the left edge when the drag began
    float fMinLeft = kMinLeft;
    BView* fEdge;
    MovedHook fMoved;
};
