// Windows, the application, alerts, beeps and launching: the non-visual window behaviour.

#include "KitTestUtil.h"

#include <Alert.h>
#include <Application.h>
#include <Beep.h>
#include <MessageFilter.h>
#include <Messenger.h>
#include <Roster.h>
#include <Window.h>
#include <WindowDisplayLink.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <vector>

using kittest::WaitUntil;

namespace {

// Records what the kit tells the display server, per window.
class RecordingLink : public WindowDisplayLink
{
public:
    explicit RecordingLink(std::vector<std::string>* log, std::mutex* mutex)
        : fLog(log), fMutex(mutex)
    {
    }
    void Shown() override { Add("shown"); }
    void Hidden() override { Add("hidden"); }
    void ActivationRequested(bool active) override { Add(active ? "activate" : "deactivate"); }
    void Minimized(bool minimized) override { Add(minimized ? "minimized" : "restored"); }
    void TitleChanged(const char* title) override { Add(std::string("title ") + title); }
    void FrameChanged(BRect frame) override
    {
        std::ostringstream text;
        text << "frame " << frame.left << "," << frame.top << "," << frame.right << ","
             << frame.bottom;
        Add(text.str());
    }
    void WindowQuit() override { Add("quit"); }

private:
    void Add(const std::string& entry)
    {
        std::lock_guard lock(*fMutex);
        fLog->push_back(entry);
    }
    std::vector<std::string>* fLog;
    std::mutex* fMutex;
};

class RecordingFactory : public WindowDisplayFactory
{
public:
    std::unique_ptr<WindowDisplayLink> CreateLink(BWindow*) override
    {
        return std::make_unique<RecordingLink>(&log, &mutex);
    }
    void Beep() override { beeps++; }
    std::vector<std::string> Log()
    {
        std::lock_guard lock(mutex);
        return log;
    }
    std::vector<std::string> log;
    std::mutex mutex;
    std::atomic<int> beeps{0};
};

class TestWindow : public BWindow
{
public:
    explicit TestWindow(const char* title, uint32 flags = 0)
        : BWindow(BRect(400, 400, 750, 700), title, B_DOCUMENT_WINDOW, flags)
    {
    }
    ~TestWindow() override
    {
        if (deleted != nullptr)
            *deleted = true;
    }
    void FrameResized(float width, float height) override
    {
        std::lock_guard lock(fMutex);
        resized.push_back(BPoint(width, height));
    }
    void FrameMoved(BPoint where) override
    {
        std::lock_guard lock(fMutex);
        moved.push_back(where);
    }
    void WindowActivated(bool active) override
    {
        std::lock_guard lock(fMutex);
        activations.push_back(active);
    }
    bool QuitRequested() override { return agree; }
    void MessageReceived(BMessage* message) override
    {
        if (message->what == 'Sync')
            syncs++;
        else
            BWindow::MessageReceived(message);
    }

    std::vector<bool> Activations()
    {
        std::lock_guard lock(fMutex);
        return activations;
    }

    std::mutex fMutex;
    std::vector<BPoint> resized;
    std::vector<BPoint> moved;
    std::vector<bool> activations;
    std::atomic<bool> agree{true};
    std::atomic<int> syncs{0};
    std::atomic<bool>* deleted = nullptr;
};

// Hooks run on the window's thread from messages; this waits until everything posted
// before it has been handled (one queue, first in first out).
void Sync(TestWindow* window)
{
    int before = window->syncs.load();
    ASSERT_EQ(window->PostMessage('Sync'), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return window->syncs.load() > before; }));
}

TEST(Window, KindTitleAndFrame)
{
    auto* window = new TestWindow("Velmor", B_NOT_ZOOMABLE);
    EXPECT_EQ(window->Look(), B_DOCUMENT_WINDOW_LOOK);
    EXPECT_EQ(window->Feel(), B_NORMAL_WINDOW_FEEL);
    EXPECT_EQ(window->Flags(), static_cast<uint32>(B_NOT_ZOOMABLE));
    EXPECT_STREQ(window->Title(), "Velmor");
    EXPECT_EQ(window->Frame(), BRect(400, 400, 750, 700));
    EXPECT_TRUE(window->IsHidden());
    window->Run();
    window->SetTitle("#chan (irc.example.org)");
    EXPECT_STREQ(window->Title(), "#chan (irc.example.org)");

    window->ResizeTo(100, 50);
    window->MoveTo(10, 20);
    EXPECT_EQ(window->Frame(), BRect(10, 20, 110, 70));
    Sync(window);
    window->Lock();
    ASSERT_EQ(window->resized.size(), 1u);
    EXPECT_EQ(window->resized[0], BPoint(100, 50));
    ASSERT_EQ(window->moved.size(), 1u);
    EXPECT_EQ(window->moved[0], BPoint(10, 20));
    window->Quit();
}

TEST(Window, ServerReportsUpdateFrameAndRunHooksOnlyOnChange)
{
    auto* window = new TestWindow("w");
    window->Run();
    BMessage resized(B_WINDOW_RESIZED);
    resized.AddFloat("width", 200);
    resized.AddFloat("height", 100);
    window->PostMessage(&resized);
    window->PostMessage(&resized); // the same size again: no second hook
    Sync(window);
    window->Lock();
    EXPECT_EQ(window->Frame(), BRect(400, 400, 600, 500));
    EXPECT_EQ(window->resized.size(), 1u);
    window->Quit();
}

TEST(Window, ShowAndHideNestAndShowingActivates)
{
    auto* a = new TestWindow("a");
    auto* b = new TestWindow("b");
    a->Show(); // runs the window as well
    EXPECT_GE(a->Thread(), 0);
    EXPECT_FALSE(a->IsHidden());
    ASSERT_TRUE(WaitUntil([&] { return a->IsActive(); }));

    b->Show();
    ASSERT_TRUE(WaitUntil([&] { return b->IsActive() && !a->IsActive(); }));

    a->Activate();
    ASSERT_TRUE(WaitUntil([&] { return a->IsActive() && !b->IsActive(); }));
    EXPECT_EQ(a->Activations(), (std::vector<bool>{true, false, true}));

    a->Hide();
    a->Hide();
    a->Show();
    EXPECT_TRUE(a->IsHidden()) << "hidden twice, shown once";
    a->Show();
    EXPECT_FALSE(a->IsHidden());

    b->Hide();
    b->Activate(); // a hidden window is not activated
    Sync(b);
    EXPECT_FALSE(b->IsActive());
    a->Lock();
    a->Quit();
    b->Lock();
    b->Quit();
}

TEST(Window, AvoidFocusWindowsAreNotActivatedByShowing)
{
    auto* window = new TestWindow("tabs", B_AVOID_FOCUS);
    window->Show();
    Sync(window);
    EXPECT_FALSE(window->IsActive());
    window->Lock();
    window->Quit();
}

TEST(Window, QuitRequestedThenQuitEndsThreadAndDeletesWindow)
{
    std::atomic<bool> deleted{false};
    auto* window = new TestWindow("quit");
    window->deleted = &deleted;
    window->agree = false;
    thread_id thread = window->Run();
    BMessenger messenger(window);
    messenger.SendMessage(B_QUIT_REQUESTED);
    Sync(window);
    EXPECT_FALSE(deleted);
    window->agree = true;
    // A quit request reaches the window even when a handler is preferred.
    messenger = BMessenger(nullptr, window);
    messenger.SendMessage(B_QUIT_REQUESTED);
    EXPECT_EQ(wait_for_thread(thread, nullptr), B_OK);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(messenger.LockTarget());
}

TEST(Window, DisplayLinkHearsWhatTheProgramDoes)
{
    RecordingFactory factory;
    set_window_display_factory(&factory);
    auto* window = new TestWindow("Login Options");
    window->Run();
    window->Show();
    window->SetTitle("Velmor");
    window->ResizeTo(10, 10);
    window->Minimize(true);
    window->Minimize(true);
    window->Lock();
    window->Quit();
    set_window_display_factory(nullptr);
    std::vector<std::string> log = factory.Log();
    std::vector<std::string> expected = {
        "shown",     "activate", "title Velmor", "frame 400,400,410,410",
        "minimized", "hidden",   "quit"};
    EXPECT_EQ(log, expected);
}

TEST(Window, PulseRateSendsPulses)
{
    auto* window = new TestWindow("pulse");
    std::atomic<int> pulses{0};
    struct Counter : BMessageFilter
    {
        explicit Counter(std::atomic<int>* n) : BMessageFilter(B_PULSE), count(n) {}
        filter_result Filter(BMessage*, BHandler**) override
        {
            (*count)++;
            return B_SKIP_MESSAGE;
        }
        std::atomic<int>* count;
    };
    window->AddCommonFilter(new Counter(&pulses));
    window->SetPulseRate(10000);
    window->Run();
    ASSERT_TRUE(WaitUntil([&] { return pulses.load() >= 3; }));
    window->SetPulseRate(0);
    Sync(window);
    int atStop = pulses.load();
    snooze(50000);
    EXPECT_LE(pulses.load(), atStop + 1);
    window->Lock();
    window->Quit();
}

TEST(Alert, GoBlocksOnlyItsCaller)
{
    std::mutex mutex;
    std::condition_variable cond;
    bool release = false;
    std::vector<alert_request> asked;
    set_alert_responder([&](const alert_request& request) {
        std::unique_lock lock(mutex);
        asked.push_back(request);
        cond.notify_all();
        cond.wait(lock, [&] { return release; });
        return 1;
    });

    auto* looper = new kittest::RecordingLooper;
    looper->Run();
    std::atomic<int32> pressed{-5};
    std::thread caller([&] {
        pressed = (new BAlert("", "Kicked from #chan", "Okay", "Re-join", nullptr, B_WIDTH_AS_USUAL,
                              B_STOP_ALERT))
                      ->Go();
    });
    {
        std::unique_lock lock(mutex);
        cond.wait(lock, [&] { return !asked.empty(); });
    }
    // While the alert waits, other loopers keep handling messages.
    looper->PostMessage('Live');
    EXPECT_TRUE(looper->WaitForCount(1));
    EXPECT_EQ(pressed.load(), -5);
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    cond.notify_all();
    caller.join();
    set_alert_responder(nullptr);
    EXPECT_EQ(pressed.load(), 1);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].title, "");
    EXPECT_EQ(asked[0].text, "Kicked from #chan");
    EXPECT_EQ(asked[0].buttons, (std::vector<std::string>{"Okay", "Re-join"}));
    EXPECT_EQ(asked[0].type, B_STOP_ALERT);
    looper->Lock();
    looper->Quit();
}

class AnsweringFactory : public WindowDisplayFactory
{
public:
    std::unique_ptr<WindowDisplayLink> CreateLink(BWindow*) override { return nullptr; }
    bool ShowAlert(const alert_request& request, std::shared_ptr<AlertReply> reply) override
    {
        text = request.text;
        // Answered later from another thread, as the GUI thread would.
        std::thread([reply] {
            snooze(10000);
            reply->Answer(0);
            reply->Answer(1); // only the first answer counts
        }).detach();
        return true;
    }
    std::string text;
};

TEST(Alert, DisplayServerAnswersThroughTheReply)
{
    AnsweringFactory factory;
    set_window_display_factory(&factory);
    int32 index = (new BAlert("", "Could not connect to server.", "Okay"))->Go();
    set_window_display_factory(nullptr);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(factory.text, "Could not connect to server.");
}

TEST(Beep, IsCountedAndReachesTheServer)
{
    RecordingFactory factory;
    int32 before = beep_count();
    beep();
    set_window_display_factory(&factory);
    beep();
    set_window_display_factory(nullptr);
    EXPECT_EQ(beep_count(), before + 2);
    EXPECT_EQ(factory.beeps.load(), 1);
}

class TestApp : public BApplication
{
public:
    TestApp() : BApplication("application/x-vnd.test-Velmor") {}
    void ReadyToRun() override { ready = true; }
    std::atomic<bool> ready{false};
};

TEST(Application, QuitRequestedAsksEveryWindowThenRunReturns)
{
    auto* app = new TestApp;
    EXPECT_EQ(be_app, app);
    std::atomic<bool> aDeleted{false}, bDeleted{false};
    auto* a = new TestWindow("a");
    auto* b = new TestWindow("b");
    a->deleted = &aDeleted;
    b->deleted = &bDeleted;
    b->agree = false;
    a->Run();
    b->Run();

    std::thread quitter([&] {
        ASSERT_TRUE(WaitUntil([&] { return app->ready.load(); }));
        be_app_messenger.SendMessage(B_QUIT_REQUESTED);
        ASSERT_TRUE(WaitUntil([&] { return aDeleted.load(); }));
        snooze(20000);
        EXPECT_FALSE(bDeleted) << "b refused";
        b->agree = true;
        be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    });
    app->Run(); // returns once every window agreed
    quitter.join();
    EXPECT_TRUE(aDeleted);
    EXPECT_TRUE(bDeleted);
    EXPECT_EQ(be_app_messenger.SendMessage('Late'), B_BAD_PORT_ID);
    delete app;
    EXPECT_EQ(be_app, nullptr);
}

// A window whose views take a while to go.
class SlowToGoWindow : public TestWindow
{
public:
    SlowToGoWindow() : TestWindow("slow") {}
    ~SlowToGoWindow() override { snooze(200000); }
};

TEST(Application, RunReturnsOnlyOnceQuittingWindowsHaveGone)
{
    auto* app = new TestApp;
    std::atomic<bool> deleted{false};
    auto* window = new SlowToGoWindow;
    window->deleted = &deleted;
    window->Run();
    std::thread quitter([&] {
        ASSERT_TRUE(WaitUntil([&] { return app->ready.load(); }));
        // The window goes by itself (as a closed main window does); the application is
        // told to quit while it is still going.
        window->PostMessage(B_QUIT_REQUESTED);
        snooze(20000);
        app->PostMessage(B_QUIT_REQUESTED);
    });
    app->Run();
    EXPECT_TRUE(deleted);
    quitter.join();
    delete app;
}

// Every lock path of a looper whose loop has ended fails, and it takes no messages.
void ExpectNeitherLockedNorSentTo(BLooper* looper, const BMessenger& messenger)
{
    EXPECT_FALSE(looper->Lock());
    EXPECT_EQ(looper->LockWithTimeout(0), B_BAD_VALUE);
    EXPECT_FALSE(messenger.LockTarget());
    EXPECT_EQ(messenger.LockTargetWithTimeout(0), B_BAD_VALUE);
    EXPECT_FALSE(messenger.IsValid());
    EXPECT_EQ(looper->PostMessage('Late'), B_BAD_PORT_ID);
    EXPECT_EQ(messenger.SendMessage('Late'), B_BAD_PORT_ID);
}

TEST(Application, AfterRunReturnsItCanNeitherBeLockedNorSentTo)
{
    auto* app = new TestApp;
    BMessenger messenger(app);
    std::thread quitter([&] {
        ASSERT_TRUE(WaitUntil([&] { return app->ready.load(); }));
        ASSERT_TRUE(messenger.LockTarget()); // still running: lockable
        app->Unlock();
        be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    });
    app->Run();
    quitter.join();
    ExpectNeitherLockedNorSentTo(app, messenger);
    ExpectNeitherLockedNorSentTo(app, be_app_messenger);
    delete app;
}

// A window kept after its loop, so the lock paths can be tried on the object itself.
class KeptWindow : public TestWindow
{
public:
    KeptWindow() : TestWindow("kept") { SetDeleteOnQuit(false); }
};

TEST(Window, AfterQuitItCanNeitherBeLockedNorSentTo)
{
    // Quit from another thread, and asked to quit through its queue.
    for (bool viaQueue : {false, true}) {
        SCOPED_TRACE(viaQueue ? "B_QUIT_REQUESTED" : "Quit()");
        auto* window = new KeptWindow;
        thread_id thread = window->Run();
        BMessenger messenger(window);
        if (viaQueue) {
            ASSERT_EQ(messenger.SendMessage(B_QUIT_REQUESTED), B_OK);
            ASSERT_EQ(wait_for_thread(thread, nullptr), B_OK);
        } else {
            ASSERT_TRUE(window->Lock());
            window->Quit();
        }
        ExpectNeitherLockedNorSentTo(window, messenger);
        delete window;
    }

    // A window deleted by its quit: only its messenger is left to try.
    std::atomic<bool> deleted{false};
    auto* window = new TestWindow("deleted");
    window->deleted = &deleted;
    window->Run();
    BMessenger messenger(window);
    ASSERT_TRUE(messenger.LockTarget());
    window->Quit();
    EXPECT_TRUE(deleted.load());
    EXPECT_FALSE(messenger.LockTarget());
    EXPECT_EQ(messenger.LockTargetWithTimeout(0), B_BAD_VALUE);
    EXPECT_EQ(messenger.SendMessage('Late'), B_BAD_PORT_ID);
}

TEST(Roster, LaunchPassesTheUrlAsOneArgumentWithoutAShell)
{
    testsupport::TempDir dir;
    std::string script = dir / "opener";
    std::string out = dir / "args";
    {
        std::ofstream file(script);
        file << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" << out << "'; done\n";
    }
    chmod(script.c_str(), 0755);
    set_roster_opener(script.c_str());
    const char* url = "http://example.org/a b;touch "
                      "pwned";
    team_id team = -1;
    ASSERT_EQ(be_roster->Launch("text/html", 1, &url, &team), B_OK);
    EXPECT_GT(team, 0);
    ASSERT_TRUE(WaitUntil([&] {
        std::ifstream file(out);
        std::string line;
        return static_cast<bool>(std::getline(file, line));
    }));
    std::ifstream file(out);
    std::string line, all;
    while (std::getline(file, line))
        all += line + "|";
    EXPECT_EQ(all, std::string(url) + "|");
    set_roster_opener("/nonexistent/opener");
    EXPECT_NE(be_roster->Launch("text/html", 1, &url), B_OK);
    set_roster_opener(nullptr);
    EXPECT_EQ(be_roster->Launch(nullptr, 0, static_cast<const char* const*>(nullptr)), B_BAD_VALUE);
}

} // namespace
