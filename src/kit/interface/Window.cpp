// BWindow: a looper with a frame, a kind and a visibility state (see Window.h).

#include "Window.h"

#include "../private/LooperPort.h"

#include <Message.h>
#include <MessageRunner.h>
#include <Messenger.h>
#include <WindowDisplayLink.h>

#include <mutex>

namespace {

// The id of the active window's port (-1: none), so that activating one window can
// deactivate the previous one.
std::mutex sActiveMutex;
int32 sActivePort = -1;

// Marks activation messages the kit posts itself, whose bookkeeping is already done.
const char* const kFromKit = "_kit";

void post_activation(int32 portId, bool active)
{
    BMessage message(B_WINDOW_ACTIVATED);
    message.AddBool("active", active);
    message.AddBool(kFromKit, true);
    BMessenger::FromIds(portId, -1).SendMessage(&message);
}

void look_and_feel(window_type type, window_look* look, window_feel* feel)
{
    *feel = B_NORMAL_WINDOW_FEEL;
    switch (type) {
    case B_MODAL_WINDOW:
        *look = B_MODAL_WINDOW_LOOK;
        *feel = B_MODAL_APP_WINDOW_FEEL;
        break;
    case B_DOCUMENT_WINDOW:
        *look = B_DOCUMENT_WINDOW_LOOK;
        break;
    case B_BORDERED_WINDOW:
        *look = B_BORDERED_WINDOW_LOOK;
        break;
    case B_FLOATING_WINDOW:
        *look = B_FLOATING_WINDOW_LOOK;
        *feel = B_FLOATING_APP_WINDOW_FEEL;
        break;
    default:
        *look = B_TITLED_WINDOW_LOOK;
        break;
    }
}

} // namespace

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32 workspace)
    : BLooper(title)
{
    window_look look;
    window_feel feel;
    look_and_feel(type, &look, &feel);
    InitWindow(frame, title, look, feel, flags, workspace);
    fType = type;
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
                 uint32 workspace)
    : BLooper(title)
{
    InitWindow(frame, title, look, feel, flags, workspace);
}

void BWindow::InitWindow(BRect frame, const char* title, window_look look, window_feel feel,
                         uint32 flags, uint32 workspace)
{
    fTitle = title ? title : "";
    fFrame = frame;
    fType = B_UNTYPED_WINDOW;
    fLook = look;
    fFeel = feel;
    fFlags = flags;
    fWorkspaces = workspace;
    fShowLevel = 1;
    fHidden.store(true);
    fActive.store(false);
    fMinimized = false;
    fNotifiedPosition = frame.LeftTop();
    fNotifiedWidth = frame.Width();
    fNotifiedHeight = frame.Height();
    fPulseRate = 0;
    fPulseRunner = nullptr;
    Port()->isWindow.store(true);
    if (WindowDisplayFactory* factory = window_display_factory())
        fLink = factory->CreateLink(this);
}

BWindow::~BWindow()
{
    DeleteViews();
    delete fPulseRunner;
    fPulseRunner = nullptr;
    {
        std::lock_guard lock(sActiveMutex);
        if (sActivePort == Port()->id)
            sActivePort = -1;
    }
    if (fLink) {
        fLink->WindowQuit();
        fLink.reset();
    }
}

// Loop control

thread_id BWindow::Run()
{
    thread_id thread = BLooper::Run();
    if (thread >= 0 && Lock()) {
        StartPulse();
        Unlock();
    }
    return thread;
}

void BWindow::Quit()
{
    if (!IsLocked() && !Lock())
        return;
    delete fPulseRunner;
    fPulseRunner = nullptr;
    if (!fHidden.load()) {
        fShowLevel = 1;
        fHidden.store(true);
        if (fLink)
            fLink->Hidden();
    }
    BLooper::Quit();
}

void BWindow::PostWindowMessage(BMessage* message)
{
    message->AddBool(kFromKit, true);
    PostMessage(message);
}

void BWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
    switch (message->what) {
    case B_WINDOW_ACTIVATED:
        HandleActivated(message);
        return;
    case B_WINDOW_RESIZED: {
        float width, height;
        if (message->FindFloat("width", &width) != B_OK ||
            message->FindFloat("height", &height) != B_OK)
            return;
        if (!message->HasBool(kFromKit)) {
            fFrame.right = fFrame.left + width;
            fFrame.bottom = fFrame.top + height;
        }
        if (width == fNotifiedWidth && height == fNotifiedHeight)
            return;
        fNotifiedWidth = width;
        fNotifiedHeight = height;
        DispatchToViews(message, handler);
        FrameResized(width, height);
        return;
    }
    case B_WINDOW_MOVED: {
        BPoint where;
        if (message->FindPoint("where", &where) != B_OK)
            return;
        if (!message->HasBool(kFromKit))
            fFrame.OffsetTo(where);
        if (where == fNotifiedPosition)
            return;
        fNotifiedPosition = where;
        DispatchToViews(message, handler);
        FrameMoved(where);
        return;
    }
    case B_MINIMIZE: {
        bool minimize;
        if (message->FindBool("minimize", &minimize) == B_OK && minimize != fMinimized) {
            DispatchToViews(message, handler);
            Minimize(minimize);
        }
        return;
    }
    case B_QUIT_REQUESTED:
        if (handler == this) {
            if (QuitRequested())
                Quit();
            return;
        }
        break;
    default:
        break;
    }
    if (!DispatchToViews(message, handler))
        BLooper::DispatchMessage(message, handler);
}

void BWindow::HandleActivated(BMessage* message)
{
    bool active;
    if (message->FindBool("active", &active) != B_OK)
        return;
    int32 me = Port()->id;
    if (!message->HasBool(kFromKit)) {
        // Reported by the display server: keep the process-wide bookkeeping in step.
        int32 previous = -1;
        {
            std::lock_guard lock(sActiveMutex);
            if (active) {
                previous = sActivePort;
                sActivePort = me;
            } else if (sActivePort == me) {
                sActivePort = -1;
            }
        }
        if (previous >= 0 && previous != me)
            post_activation(previous, false);
    }
    if (active == fActive.load())
        return;
    fActive.store(active);
    DispatchToViews(message, this);
    WindowActivated(active);
}

void BWindow::MessageReceived(BMessage* message)
{
    BLooper::MessageReceived(message);
}

// Visibility

void BWindow::Show()
{
    if (!Lock())
        return;
    fShowLevel--;
    if (fShowLevel == 0) {
        fHidden.store(false);
        if (fLink)
            fLink->Shown();
        if (!(fFlags & B_AVOID_FOCUS))
            Activate(true);
    }
    if (Thread() < 0)
        Run();
    Unlock();
}

void BWindow::Hide()
{
    if (!Lock())
        return;
    fShowLevel++;
    if (fShowLevel == 1) {
        fHidden.store(true);
        if (fLink)
            fLink->Hidden();
        if (fActive.load())
            Activate(false);
    }
    Unlock();
}

bool BWindow::IsHidden() const
{
    return fHidden.load();
}

void BWindow::Minimize(bool minimize)
{
    if (!Lock())
        return;
    if (minimize != fMinimized) {
        fMinimized = minimize;
        if (fLink)
            fLink->Minimized(minimize);
    }
    Unlock();
}

bool BWindow::IsMinimized() const
{
    return fMinimized;
}

void BWindow::Activate(bool active)
{
    if (active && fHidden.load())
        return;
    int32 me = Port()->id;
    int32 previous = -1;
    {
        std::lock_guard lock(sActiveMutex);
        if (active) {
            previous = sActivePort;
            sActivePort = me;
        } else if (sActivePort == me) {
            sActivePort = -1;
        }
    }
    if (previous >= 0 && previous != me)
        post_activation(previous, false);
    post_activation(me, active);
    if (fLink && Lock()) {
        fLink->ActivationRequested(active);
        Unlock();
    }
}

bool BWindow::IsActive() const
{
    return fActive.load();
}

// Title and kind

void BWindow::SetTitle(const char* title)
{
    if (!Lock())
        return;
    fTitle = title ? title : "";
    if (fLink)
        fLink->TitleChanged(fTitle.c_str());
    Unlock();
}

const char* BWindow::Title() const
{
    return fTitle.c_str();
}

window_type BWindow::Type() const
{
    return fType;
}

status_t BWindow::SetType(window_type type)
{
    window_look look;
    window_feel feel;
    look_and_feel(type, &look, &feel);
    return SetKind(type, look, feel, fFlags);
}

status_t BWindow::SetKind(window_type type, window_look look, window_feel feel, uint32 flags)
{
    if (!Lock())
        return B_BAD_VALUE;
    fType = type;
    fLook = look;
    fFeel = feel;
    fFlags = flags;
    if (fLink)
        fLink->KindChanged();
    Unlock();
    return B_OK;
}

window_look BWindow::Look() const
{
    return fLook;
}

status_t BWindow::SetLook(window_look look)
{
    return SetKind(fType, look, fFeel, fFlags);
}

window_feel BWindow::Feel() const
{
    return fFeel;
}

status_t BWindow::SetFeel(window_feel feel)
{
    return SetKind(fType, fLook, feel, fFlags);
}

uint32 BWindow::Flags() const
{
    return fFlags;
}

status_t BWindow::SetFlags(uint32 flags)
{
    return SetKind(fType, fLook, fFeel, flags);
}

uint32 BWindow::Workspaces() const
{
    return fWorkspaces;
}

// Frame

BRect BWindow::Frame() const
{
    return fFrame;
}

void BWindow::MoveTo(BPoint leftTop)
{
    if (!Lock())
        return;
    if (leftTop != fFrame.LeftTop()) {
        fFrame.OffsetTo(leftTop);
        if (fLink)
            fLink->FrameChanged(fFrame);
        BMessage moved(B_WINDOW_MOVED);
        moved.AddPoint("where", leftTop);
        PostWindowMessage(&moved);
    }
    Unlock();
}

void BWindow::MoveTo(float x, float y)
{
    MoveTo(BPoint(x, y));
}

void BWindow::MoveBy(float dx, float dy)
{
    if (!Lock())
        return;
    MoveTo(fFrame.left + dx, fFrame.top + dy);
    Unlock();
}

void BWindow::ResizeTo(float width, float height)
{
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    if (!Lock())
        return;
    if (width != fFrame.Width() || height != fFrame.Height()) {
        fFrame.right = fFrame.left + width;
        fFrame.bottom = fFrame.top + height;
        if (fLink)
            fLink->FrameChanged(fFrame);
        BMessage resized(B_WINDOW_RESIZED);
        resized.AddFloat("width", width);
        resized.AddFloat("height", height);
        PostWindowMessage(&resized);
    }
    Unlock();
}

void BWindow::ResizeBy(float dx, float dy)
{
    if (!Lock())
        return;
    ResizeTo(fFrame.Width() + dx, fFrame.Height() + dy);
    Unlock();
}

// Pulse

void BWindow::SetPulseRate(bigtime_t rate)
{
    if (rate < 0 || !Lock())
        return;
    fPulseRate = rate;
    if (Thread() >= 0)
        StartPulse();
    Unlock();
}

bigtime_t BWindow::PulseRate() const
{
    return fPulseRate;
}

void BWindow::StartPulse()
{
    delete fPulseRunner;
    fPulseRunner = nullptr;
    if (fPulseRate <= 0)
        return;
    BMessage pulse(B_PULSE);
    fPulseRunner = new BMessageRunner(BMessenger(this), &pulse, fPulseRate);
}

// Hooks

void BWindow::FrameMoved(BPoint) {}

void BWindow::FrameResized(float, float) {}

void BWindow::WindowActivated(bool) {}

WindowDisplayLink* BWindow::DisplayLink() const
{
    return fLink.get();
}
