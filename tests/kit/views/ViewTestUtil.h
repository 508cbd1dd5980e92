#pragma once

// Helpers for the view kit's tests: a headless display for the whole test, and a window
// that records the messages it handles itself.

#include <HeadlessDisplay.h>
#include <Message.h>
#include <Messenger.h>
#include <View.h>
#include <Window.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace viewtest {

// A window that keeps a copy of every message reaching its MessageReceived.
class RecordingWindow : public BWindow
{
public:
    explicit RecordingWindow(const char* title = "test", BRect frame = BRect(100, 100, 499, 399));

    void MessageReceived(BMessage* message) override;
    std::vector<BMessage> Received() const;
    // The received messages with that code.
    std::vector<BMessage> Received(uint32 what) const;

private:
    mutable std::mutex fMutex;
    std::vector<BMessage> fReceived;
};

// A view that records its hooks (window thread) for the tests to read after Sync().
class RecordingView : public BView
{
public:
    RecordingView(BRect frame, const char* name, uint32 mode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
                  uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS);

    void FrameResized(float width, float height) override;
    void FrameMoved(BPoint where) override;
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void MessageReceived(BMessage* message) override;

    std::vector<BPoint> resized;
    std::vector<BPoint> moved;
    std::vector<BPoint> downs;
    std::vector<std::string> keys;
    std::vector<BMessage> messages;
};

// Owns the headless display and the windows a test made; quits them at the end.
class Fixture
{
public:
    Fixture();
    ~Fixture();

    kit_private::HeadlessDisplay& Display() { return *fDisplay; }
    // A new window, locked by the calling thread and not yet running.
    RecordingWindow* NewWindow(const char* title = "test");
    // Runs the window (releases the constructor's lock) and shows it.
    void Start(BWindow* window);
    bool Sync(BWindow* window) { return fDisplay->Sync(window); }

private:
    std::unique_ptr<kit_private::HeadlessDisplay> fDisplay;
    std::vector<BMessenger> fWindows;
};

} // namespace viewtest
