#include "PopupStringView.h"

#include <Message.h>
#include <Window.h>

#include <chrono>
#include <cmath>

namespace {

constexpr bigtime_t kShowTime = 2000000;
constexpr rgb_color kBlack = {0, 0, 0, 255};

} // namespace

PopupStringView::PopupStringView(popup_place place, BRect frame, const char* name, const char* text,
                                 uint32 resizingMode, uint32 flags)
    : BStringView(frame, name, text, resizingMode, flags), fRunning(true), fPopupWindow(nullptr),
      fPopupText(nullptr), fThread(-1), fHighColor(kBlack), fPlace(place), fHideAt(0),
      fTimerActive(false)
{
    BRect popupFrame = frame;
    popupFrame.OffsetTo(0, 0);
    fPopupWindow = new BWindow(popupFrame, "", B_NO_BORDER_WINDOW_LOOK, B_FLOATING_APP_WINDOW_FEEL,
                               0, B_CURRENT_WORKSPACE);
    auto* back = new BView(fPopupWindow->Bounds(), "back", B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
    back->SetViewColor(kBlack);
    fPopupText = new BStringView(back->Bounds().InsetByCopy(1, 1), "", text, B_FOLLOW_ALL_SIDES,
                                 B_WILL_DRAW);
    back->AddChild(fPopupText);
    fPopupWindow->AddChild(back);
    fPopupMessenger = BMessenger(nullptr, fPopupWindow);
    fPopupWindow->Run(); // stays hidden until a click
}

PopupStringView::~PopupStringView()
{
    thread_id timer;
    {
        std::unique_lock lock(fTimerLock);
        fRunning = false;
        fTimerCond.notify_all();
        fTimerCond.wait(lock, [this] { return !fTimerActive; });
        timer = fThread;
    }
    if (timer >= 0) {
        status_t result;
        wait_for_thread(timer, &result);
    }
    if (fPopupMessenger.LockTarget())
        fPopupWindow->Quit();
}

void PopupStringView::MouseDown(BPoint)
{
    // The click may arrive after the pointer left the label.
    BPoint where;
    uint32 buttons;
    GetMouse(&where, &buttons);
    if (!Bounds().Contains(where))
        return;
    {
        std::lock_guard timerLock(fTimerLock);
        if (!fPopupMessenger.LockTarget())
            return;
        fPopupText->SetText(Text());
        font_height height;
        fPopupText->GetFontHeight(&height);
        // The frame and the text follow the window's size.
        fPopupWindow->ResizeTo(std::ceil(fPopupText->StringWidth(Text())) + 5,
                               std::ceil(height.ascent + height.descent) + 5);
        fPopupText->SetViewColor(ViewColor());
        fPopupText->SetHighColor(fHighColor);
        fPopupText->SetLowColor(LowColor());
        PlacePopup();
        if (fPopupWindow->IsHidden())
            fPopupWindow->Show();
        fHideAt = system_time() + kShowTime;
        if (!fTimerActive)
            StartTimer();
        fPopupWindow->Unlock();
    }
    Window()->Activate();
    // A double click also sends the view's message, when it has one.
    int32 clicks = 1;
    if (BMessage* current = Window()->CurrentMessage())
        current->FindInt32("clicks", &clicks);
    if (clicks >= 2 && Message() != nullptr)
        Invoke();
}

void PopupStringView::PlacePopup()
{
    BPoint leftTop = ConvertToScreen(Bounds().LeftTop());
    if (fPlace == POPUP_ON_VIEW) {
        leftTop.x -= 2;
        leftTop.y -= 2;
    } else {
        BWindow* window = Window();
        leftTop.x =
            window->Frame().left + (window->Bounds().Width() - fPopupWindow->Bounds().Width()) / 2;
    }
    fPopupWindow->MoveTo(leftTop);
}

void PopupStringView::StartTimer()
{
    if (fThread >= 0) {
        // The previous timer has finished with the view; collect it.
        status_t result;
        wait_for_thread(fThread, &result);
        fThread = -1;
    }
    thread_id thread = spawn_thread(Go, "HighlightTextThread", B_NORMAL_PRIORITY, this);
    if (thread >= 0 && resume_thread(thread) == B_OK) {
        fThread = thread;
        fTimerActive = true;
        return;
    }
    if (thread >= 0)
        kill_thread(thread); // never ran
    fPopupWindow->Hide();    // nothing else would
}

int32 PopupStringView::Go(void* view)
{
    static_cast<PopupStringView*>(view)->WatchThread();
    return 0;
}

void PopupStringView::WatchThread()
{
    std::unique_lock lock(fTimerLock);
    while (fRunning) {
        bigtime_t now = system_time();
        if (now >= fHideAt) {
            if (fPopupMessenger.LockTarget()) {
                fPopupWindow->Hide();
                fPopupWindow->Unlock();
            }
            break;
        }
        fTimerCond.wait_for(lock, std::chrono::microseconds(fHideAt - now));
    }
    // The last touch of the view: the destructor may go on once it sees this.
    fTimerActive = false;
    fTimerCond.notify_all();
}

void PopupStringView::SetHighColor(rgb_color color)
{
    fHighColor = color;
    BStringView::SetHighColor(color);
}

void PopupStringView::SetFont(const BFont* font, uint32 mask)
{
    if (fPopupMessenger.LockTarget()) {
        fPopupText->SetFont(font, mask);
        fPopupWindow->Unlock();
    }
    BStringView::SetFont(font, mask);
}

void PopupStringView::SetText(const char* text)
{
    if (fPopupMessenger.LockTarget()) {
        fPopupText->SetText(text);
        fPopupWindow->Unlock();
    }
    BStringView::SetText(text);
}
