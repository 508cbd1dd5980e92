#pragma once

#include <Invoker.h>
#include <Messenger.h>
#include <OS.h>
#include <StringView.h>

#include <condition_variable>
#include <mutex>

class BWindow;

enum popup_place : int32
{
    POPUP_CENTER_WINDOW = 0, // centred over the label's window, level with the label
    POPUP_ON_VIEW = 1,       // over the label, so the popup's text lines up with the label's
};

// A one-line label that may be too narrow for its text: a click on it shows the whole text
// for two seconds in a small borderless floating window, in the label's colours and font
// inside a one-pixel black frame. The label's window keeps the keyboard focus.
//
// A double click also invokes the view's message, when it was given one.
//
// The popup window lives, hidden between showings, as long as the view and goes with it.
// Lock order: the label's window, the hide timer's lock, the popup window.
// Clicks while it shows push its hiding back to two seconds after the latest one. The
// destructor waits for the hide timer, so no thread touches the view once it is gone.
class PopupStringView : public BStringView, public BInvoker
{
public:
    PopupStringView(popup_place place, BRect frame, const char* name, const char* text,
                    uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW);
    ~PopupStringView() override;

    void MouseDown(BPoint where) override;
    using BView::SetHighColor;
    void SetHighColor(rgb_color color) override;
    void SetFont(const BFont* font, uint32 mask = B_FONT_ALL) override;
    // The hide timer: hides the popup once its time has come, unless the view goes first.
    virtual void WatchThread();
    // The label's text and the popup's.
    virtual void SetText(const char* text);

    // The popup window (hidden between showings).
    BWindow* PopupWindow() const { return fPopupWindow; }

private:
    static int32 Go(void* view);
    void PlacePopup(); // popup locked
    void StartTimer(); // fTimerLock held, popup locked

    bool fRunning; // fTimerLock
    BWindow* fPopupWindow;
    // The popup is touched only through a lock on this: the application quits every window
    // when it quits, the popup perhaps before the label.
    BMessenger fPopupMessenger;
    BStringView* fPopupText; // changed under the popup window's lock
    thread_id fThread;       // the latest hide timer; fTimerLock
    rgb_color fHighColor;
    popup_place fPlace;

    std::mutex fTimerLock;
    std::condition_variable fTimerCond;
    bigtime_t fHideAt; // when the timer hides the popup; fTimerLock
    bool fTimerActive; // a timer thread runs and may still touch the view; fTimerLock
};
