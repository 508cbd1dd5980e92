#pragma once

// Where a display server attaches to the kit's windows.
//
// A display server installs one WindowDisplayFactory for the process, before the first
// window is made. Each BWindow then asks it for one WindowDisplayLink in its constructor and
// tells the link, on whatever thread made the change (always with the window locked), what
// the program did to the window. The link must not call back into the window or take its
// lock: it records the change (for example in its change stream) and returns. Input goes the
// other way as messages posted to the window (B_WINDOW_ACTIVATED with bool "active",
// B_WINDOW_RESIZED with floats "width"/"height", B_WINDOW_MOVED with point "where",
// B_MINIMIZE with bool "minimize", B_QUIT_REQUESTED for the close box). For
// B_WINDOW_ACTIVATED the server only reports activation (true) or the loss of it to another
// application (false); the kit deactivates the previously active window itself.
//
// Without a factory (the default) windows have no link and are headless.

#include <Rect.h>
#include <SupportDefs.h>

#include <memory>

class AlertReply;
class BWindow;
struct alert_request;

class WindowDisplayLink
{
public:
    virtual ~WindowDisplayLink() = default;

    virtual void Shown() = 0;
    virtual void Hidden() = 0;
    // The program asked for the window to be activated (true) or deactivated.
    virtual void ActivationRequested(bool active) = 0;
    virtual void Minimized(bool minimized) = 0;
    virtual void TitleChanged(const char* title) = 0;
    // New frame in screen coordinates (after MoveTo/ResizeTo/... from the program).
    virtual void FrameChanged(BRect frame) = 0;
    // Look, feel or flags changed.
    virtual void KindChanged() {}
    // The window is quitting; the link is deleted right after this call, on the window's
    // thread (or the thread that quit a window that never ran).
    virtual void WindowQuit() = 0;
};

class WindowDisplayFactory
{
public:
    WindowDisplayFactory();
    virtual ~WindowDisplayFactory() = default;

    // Called in the BWindow constructor (the window is locked, its thread not started).
    // May return nullptr for a window the server does not show.
    virtual std::unique_ptr<WindowDisplayLink> CreateLink(BWindow* window) = 0;

    // BApplication::Run calls RunMainLoop on the thread that called Run (the main thread),
    // and QuitMainLoop from the application's thread when its loop has ended. QuitMainLoop
    // may come before RunMainLoop started; RunMainLoop must then return at once. The
    // default implementations just block until QuitMainLoop.
    virtual void RunMainLoop();
    virtual void QuitMainLoop();

    // Shows a modal alert and returns true, or returns false when it cannot (BAlert then
    // answers as headless). Called on the thread that called BAlert::Go, which then blocks
    // until some thread calls reply->Answer(index) (the index of the pressed button, from 0
    // at the left). Must return at once; answer later from the GUI thread.
    virtual bool ShowAlert(const alert_request& request, std::shared_ptr<AlertReply> reply)
    {
        (void)request;
        (void)reply;
        return false;
    }

    // The system beep.
    virtual void Beep() {}

private:
    struct MainLoopState;
    std::shared_ptr<MainLoopState> fMainLoop;
};

// Installs the process-wide factory (nullptr: headless). Not owned; it must outlive every
// window. Install it before making windows.
void set_window_display_factory(WindowDisplayFactory* factory);
WindowDisplayFactory* window_display_factory();
