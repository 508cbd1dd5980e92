#pragma once

// A window: a looper with a title, a frame in screen coordinates, a kind (look, feel, flags)
// and a visibility state, shown by the display server through its WindowDisplayLink.
//
// Threads and locking. A window runs its own thread once Run() (or the first Show()) is
// called, and handles its messages there, locked (see Looper.h). Every method below may be
// called from any thread; those that change the window lock it themselves. The getters read
// state the window's thread may change, so the caller holds the lock, except for IsActive()
// and IsHidden(), which may be read without it. Hooks run on the window's thread with the
// window locked.
//
// Quitting. B_QUIT_REQUESTED (for example from the close box) calls QuitRequested() and,
// when it agrees, Quit(), which ends the thread and deletes the window (Looper.h). A thread
// other than the window's must lock the window before calling Quit().
//
// Changes the program makes (Show, Activate, MoveTo, ResizeTo, Minimize, SetTitle) go to the
// display link at once; the resulting hooks (WindowActivated, FrameMoved, FrameResized) run
// later on the window's thread from messages, as they do when the user makes the change.
// A hook runs only when the state it reports actually changed.
//
// Activation. One window of the process is active at a time: activating one deactivates the
// previously active one. Showing a window activates it unless it has B_AVOID_FOCUS.

#include <Looper.h>
#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <atomic>
#include <memory>
#include <string>

class BButton;
class BMenuBar;
class BMessageRunner;
class BView;
class WindowDisplayLink;

namespace kit_private {
struct WindowViews;
class ViewAccess;
} // namespace kit_private

enum window_type
{
    B_UNTYPED_WINDOW = 0,
    B_TITLED_WINDOW = 1,
    B_MODAL_WINDOW = 3,
    B_DOCUMENT_WINDOW = 11,
    B_BORDERED_WINDOW = 20,
    B_FLOATING_WINDOW = 21,
};

enum window_look
{
    B_BORDERED_WINDOW_LOOK = 20,
    B_NO_BORDER_WINDOW_LOOK = 19,
    B_TITLED_WINDOW_LOOK = 1,
    B_DOCUMENT_WINDOW_LOOK = 11,
    B_MODAL_WINDOW_LOOK = 3,
    B_FLOATING_WINDOW_LOOK = 7,
};

enum window_feel
{
    B_NORMAL_WINDOW_FEEL = 0,
    B_MODAL_SUBSET_WINDOW_FEEL = 2,
    B_MODAL_APP_WINDOW_FEEL = 1,
    B_MODAL_ALL_WINDOW_FEEL = 3,
    B_FLOATING_SUBSET_WINDOW_FEEL = 5,
    B_FLOATING_APP_WINDOW_FEEL = 4,
    B_FLOATING_ALL_WINDOW_FEEL = 6,
};

enum
{
    B_NOT_MOVABLE = 0x00000001,
    B_NOT_CLOSABLE = 0x00000020,
    B_NOT_ZOOMABLE = 0x00000040,
    B_NOT_MINIMIZABLE = 0x00004000,
    B_NOT_RESIZABLE = 0x00000002,
    B_NOT_H_RESIZABLE = 0x00000200,
    B_NOT_V_RESIZABLE = 0x00000400,
    B_AVOID_FRONT = 0x00000080,
    B_AVOID_FOCUS = 0x00002000,
    B_WILL_ACCEPT_FIRST_CLICK = 0x00000010,
    B_OUTLINE_RESIZE = 0x00001000,
    B_NO_WORKSPACE_ACTIVATION = 0x00000100,
    B_NOT_ANCHORED_ON_ACTIVATE = 0x00020000,
    B_ASYNCHRONOUS_CONTROLS = 0x00080000,
    B_QUIT_ON_WINDOW_CLOSE = 0x00100000,
};

#define B_CURRENT_WORKSPACE 0
#define B_ALL_WORKSPACES 0xffffffff

class BWindow : public BLooper
{
public:
    BWindow(BRect frame, const char* title, window_type type, uint32 flags,
            uint32 workspace = B_CURRENT_WORKSPACE);
    BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
            uint32 workspace = B_CURRENT_WORKSPACE);
    // Runs on the window's thread when it quits (or on the quitting thread if it never ran).
    virtual ~BWindow();

    // Loop control
    thread_id Run() override;
    void Quit() override;
    // Handles the window messages (activation, frame, minimize, quit request) and hands the
    // rest to the views (DispatchToViews) and then to the target handler.
    void DispatchMessage(BMessage* message, BHandler* handler) override;
    void MessageReceived(BMessage* message) override;

    // Visibility. Show and Hide nest: a window is hidden while it has been hidden more
    // times than shown (a new window counts as hidden once). The first Show() runs the
    // window's thread if Run() was not called.
    virtual void Show();
    virtual void Hide();
    bool IsHidden() const;
    // Minimize is also the hook for the user's minimizing (B_MINIMIZE).
    virtual void Minimize(bool minimize);
    bool IsMinimized() const;
    void Activate(bool active = true); // ignored while hidden
    bool IsActive() const;

    // Title and kind
    void SetTitle(const char* title); // copied
    const char* Title() const;
    window_type Type() const;
    status_t SetType(window_type type);
    window_look Look() const;
    status_t SetLook(window_look look);
    window_feel Feel() const;
    status_t SetFeel(window_feel feel);
    uint32 Flags() const;
    status_t SetFlags(uint32 flags);
    uint32 Workspaces() const;

    // Frame (screen coordinates; edges inclusive, as BRect)
    BRect Frame() const;
    void MoveTo(BPoint leftTop);
    void MoveTo(float x, float y);
    void MoveBy(float dx, float dy);
    void ResizeTo(float width, float height);
    void ResizeBy(float dx, float dy);

    // Pulse: B_PULSE every rate microseconds while the window runs (0: none, the default).
    void SetPulseRate(bigtime_t rate);
    bigtime_t PulseRate() const;

    // Hooks
    virtual void FrameMoved(BPoint newPosition);
    virtual void FrameResized(float newWidth, float newHeight);
    virtual void WindowActivated(bool active);

    // The display server's link (nullptr when headless).
    WindowDisplayLink* DisplayLink() const;

    // Views -----------------------------------------------------------------------------
    // The view kit adds the view tree here. The rest of BWindow uses only these hooks,
    // which the view kit defines (WindowViewHooks.cpp holds placeholders until it does):
    //   DispatchToViews: called for every message before the window's own handling. For
    //     window messages (B_WINDOW_ACTIVATED, _RESIZED, _MOVED, B_MINIMIZE) it is called
    //     only when the state changed, before the window's hook, and its result is ignored;
    //     for other messages, true means the views consumed it.
    //   DeleteViews: called first thing in ~BWindow, with the window locked.
    bool DispatchToViews(BMessage* message, BHandler* target);
    void DeleteViews();

    // The view tree (window locked). Views added here are top-level views: their frames are
    // in the window's content coordinates, and they follow the window's size by their
    // resizing modes. The window owns its views and deletes them when it quits.
    void AddChild(BView* child, BView* before = nullptr);
    bool RemoveChild(BView* child);
    int32 CountChildren() const;
    BView* ChildAt(int32 index) const;
    BView* FindView(const char* name) const; // any view of the window by name
    BView* CurrentFocus() const;
    BRect Bounds() const; // the content area, with its origin at (0, 0)

    // Enter goes to the default button when the focus view does not take it.
    void SetDefaultButton(BButton* button);
    BButton* DefaultButton() const;
    // The menu bar whose shortcuts Command+key triggers (the first one added, unless set).
    void SetKeyMenuBar(BMenuBar* bar);
    BMenuBar* KeyMenuBar() const;

    // Between the window's content coordinates and the screen
    BPoint ConvertToScreen(BPoint point) const;
    void ConvertToScreen(BPoint* point) const;
    BRect ConvertToScreen(BRect rect) const;
    BPoint ConvertFromScreen(BPoint point) const;
    void ConvertFromScreen(BPoint* point) const;
    BRect ConvertFromScreen(BRect rect) const;

private:
    friend class kit_private::ViewAccess;
    kit_private::WindowViews* fViews = nullptr; // made with the first view, freed by DeleteViews

public:
    // End of views ------------------------------------------------------------------------

protected:
    // Answers keys a native editor left to the window (see kFieldAnswer).
    void MessageHandled(BMessage* message) override;

private:
    void InitWindow(BRect frame, const char* title, window_look look, window_feel feel,
                    uint32 flags, uint32 workspace);
    void PostWindowMessage(BMessage* message);
    // Sets type, look, feel and flags together under the lock and tells the display once.
    status_t SetKind(window_type type, window_look look, window_feel feel, uint32 flags);
    void HandleActivated(BMessage* message);
    void StartPulse();

    std::string fTitle;
    BRect fFrame;
    window_type fType;
    window_look fLook;
    window_feel fFeel;
    uint32 fFlags;
    uint32 fWorkspaces;
    int32 fShowLevel; // hidden while > 0
    std::atomic<bool> fHidden;
    std::atomic<bool> fActive;
    bool fMinimized;
    BPoint fNotifiedPosition;
    float fNotifiedWidth;
    float fNotifiedHeight;
    bigtime_t fPulseRate;
    BMessageRunner* fPulseRunner;
    std::unique_ptr<WindowDisplayLink> fLink;
};
