#include "Application.h"

#include "../private/LooperPort.h"

#include <Message.h>
#include <Window.h>
#include <WindowDisplayLink.h>

BApplication* be_app = nullptr;
BMessenger be_app_messenger;

BApplication::BApplication(const char* signature) : BApplication(signature, nullptr) {}

BApplication::BApplication(const char* signature, status_t* error)
    : BLooper("application"), fSignature(signature ? signature : ""), fInitStatus(B_OK)
{
    SetDeleteOnQuit(false);
    if (be_app != nullptr) {
        fInitStatus = B_BAD_VALUE;
    } else {
        be_app = this;
        be_app_messenger = BMessenger(this);
    }
    if (error != nullptr)
        *error = fInitStatus;
}

BApplication::~BApplication()
{
    if (be_app == this) {
        be_app = nullptr;
        be_app_messenger = BMessenger();
    }
}

status_t BApplication::InitCheck() const
{
    return fInitStatus;
}

const char* BApplication::Signature() const
{
    return fSignature.c_str();
}

thread_id BApplication::Run()
{
    PostMessage(B_READY_TO_RUN);
    thread_id thread = BLooper::Run();
    if (thread < 0)
        return thread;
    if (WindowDisplayFactory* factory = window_display_factory())
        factory->RunMainLoop();
    wait_for_thread(thread, nullptr);
    _WaitForQuittingWindows();
    return thread;
}

void BApplication::_WaitForQuittingWindows()
{
    // A window told to quit may still be tearing down its views and telling the display
    // server so; main() must not destroy the server under it. One that does not finish in
    // time (stuck in an alert, say) is left behind.
    constexpr bigtime_t kLimit = 5000000;
    const bigtime_t end = system_time() + kLimit;
    for (auto& port : kit_private::live_ports()) {
        if (!port->isWindow.load())
            continue;
        while (port->IsClosed() && !port->IsDead() && system_time() < end)
            snooze(1000);
    }
}

void BApplication::Quit()
{
    BLooper::Quit();
}

bool BApplication::QuitRequested()
{
    for (auto& port : kit_private::live_ports()) {
        if (!port->isWindow.load() || port->Lock(B_INFINITE_TIMEOUT) != B_OK)
            continue;
        auto* window = static_cast<BWindow*>(port->looper);
        if (!window->QuitRequested()) {
            port->Unlock();
            return false;
        }
        window->Quit();
    }
    return true;
}

void BApplication::DispatchMessage(BMessage* message, BHandler* handler)
{
    if (handler == this) {
        switch (message->what) {
        case B_READY_TO_RUN:
            ReadyToRun();
            return;
        case B_ABOUT_REQUESTED:
            AboutRequested();
            return;
        default:
            break;
        }
    }
    BLooper::DispatchMessage(message, handler);
}

void BApplication::ReadyToRun() {}

void BApplication::AboutRequested() {}

int32 BApplication::CountWindows() const
{
    int32 count = 0;
    for (auto& port : kit_private::live_ports()) {
        if (port->isWindow.load() && !port->IsDead())
            count++;
    }
    return count;
}

BWindow* BApplication::WindowAt(int32 index) const
{
    for (auto& port : kit_private::live_ports()) {
        if (!port->isWindow.load() || port->IsDead())
            continue;
        if (index-- == 0)
            return static_cast<BWindow*>(port->looper);
    }
    return nullptr;
}

void BApplication::LoopEnded()
{
    if (WindowDisplayFactory* factory = window_display_factory())
        factory->QuitMainLoop();
}
