#include "ViewTestUtil.h"

#include <Messenger.h>

namespace viewtest {

RecordingWindow::RecordingWindow(const char* title, BRect frame)
    : BWindow(frame, title, B_TITLED_WINDOW, 0)
{
}

void RecordingWindow::MessageReceived(BMessage* message)
{
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fReceived.push_back(*message);
    }
    BWindow::MessageReceived(message);
}

std::vector<BMessage> RecordingWindow::Received() const
{
    std::lock_guard<std::mutex> lock(fMutex);
    return fReceived;
}

std::vector<BMessage> RecordingWindow::Received(uint32 what) const
{
    std::lock_guard<std::mutex> lock(fMutex);
    std::vector<BMessage> matching;
    for (const BMessage& message : fReceived) {
        if (message.what == what)
            matching.push_back(message);
    }
    return matching;
}

RecordingView::RecordingView(BRect frame, const char* name, uint32 mode, uint32 flags)
    : BView(frame, name, mode, flags)
{
}

void RecordingView::FrameResized(float width, float height)
{
    resized.push_back(BPoint(width, height));
}

void RecordingView::FrameMoved(BPoint where)
{
    moved.push_back(where);
}

void RecordingView::MouseDown(BPoint where)
{
    downs.push_back(where);
}

void RecordingView::KeyDown(const char* bytes, int32 numBytes)
{
    keys.emplace_back(bytes, static_cast<size_t>(numBytes));
    BView::KeyDown(bytes, numBytes);
}

void RecordingView::MessageReceived(BMessage* message)
{
    messages.push_back(*message);
    BView::MessageReceived(message);
}

Fixture::Fixture() : fDisplay(std::make_unique<kit_private::HeadlessDisplay>()) {}

Fixture::~Fixture()
{
    for (BMessenger& messenger : fWindows) {
        BLooper* looper = nullptr;
        messenger.Target(&looper);
        if (messenger.LockTarget() && looper != nullptr)
            looper->Quit();
    }
    fDisplay.reset();
}

RecordingWindow* Fixture::NewWindow(const char* title)
{
    auto* window = new RecordingWindow(title);
    fWindows.emplace_back(nullptr, window);
    return window;
}

void Fixture::Start(BWindow* window)
{
    // Show() runs the window, which gives up the constructor's lock.
    window->Show();
}

} // namespace viewtest
