#pragma once

// The application: a looper on its own thread, plus the process's main loop.
//
// Run() starts the application's thread and then, on the calling (main) thread, runs the
// display server's main loop (WindowDisplayFactory::RunMainLoop), or just waits when
// headless. It returns once the application's loop has ended and the windows that were
// quitting by then have gone (waiting at most 5 seconds for them). The first message the
// application handles is B_READY_TO_RUN (ReadyToRun()).
//
// B_QUIT_REQUESTED posted to the application calls QuitRequested(); the default asks every
// window in turn (locking it) and quits those that agree; when all agreed the application
// quits and Run() returns. Unlike other loopers the application is not deleted when it
// quits: main() deletes it after Run().

#include <Looper.h>
#include <Messenger.h>
#include <SupportDefs.h>

#include <string>

class BWindow;

class BApplication : public BLooper
{
public:
    explicit BApplication(const char* signature);
    BApplication(const char* signature, status_t* error);
    virtual ~BApplication();

    status_t InitCheck() const; // B_BAD_VALUE when a second application exists
    const char* Signature() const;

    // Loop control
    thread_id Run() override; // blocks until the application quits; returns its thread
    void Quit() override;
    bool QuitRequested() override;

    // Message handling
    void DispatchMessage(BMessage* message, BHandler* handler) override;
    virtual void ReadyToRun();
    virtual void AboutRequested();

    // Windows of the process, in order of creation (a snapshot; lock before use).
    int32 CountWindows() const;
    BWindow* WindowAt(int32 index) const;

protected:
    void LoopEnded() override;

private:
    void _WaitForQuittingWindows();
    std::string fSignature;
    status_t fInitStatus;
};

// The application object (nullptr before it is made and after it is deleted), and a
// messenger to it.
extern BApplication* be_app;
extern BMessenger be_app_messenger;
