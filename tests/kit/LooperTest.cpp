// Loopers: ordering, copying, locking, quitting, and what reaches a looper that has gone.

#include "KitTestUtil.h"

#include <Handler.h>
#include <Invoker.h>
#include <Looper.h>
#include <Message.h>
#include <MessageFilter.h>
#include <MessageRunner.h>
#include <Messenger.h>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

using kittest::RecordingLooper;
using kittest::WaitUntil;

namespace {

TEST(Looper, FifoPerLooperUnderConcurrentPosters)
{
    constexpr int kPosters = 4;
    constexpr int kEach = 3000;
    auto* looper = new RecordingLooper;
    looper->Run();
    std::vector<std::thread> posters;
    for (int p = 0; p < kPosters; p++) {
        posters.emplace_back([=] {
            BMessage message('Amsh');
            message.AddInt32("poster", p);
            message.AddInt32("seq", 0);
            for (int i = 0; i < kEach; i++) {
                message.ReplaceInt32("seq", i);
                ASSERT_EQ(looper->PostMessage(&message), B_OK);
            }
        });
    }
    for (auto& t : posters)
        t.join();
    ASSERT_TRUE(looper->WaitForCount(kPosters * kEach));
    std::map<int32, int32> next;
    for (const BMessage& message : looper->Messages()) {
        int32 poster = -1, seq = -1;
        message.FindInt32("poster", &poster);
        message.FindInt32("seq", &seq);
        ASSERT_EQ(seq, next[poster]) << "poster " << poster << " out of order";
        next[poster]++;
    }
    EXPECT_TRUE(looper->AllHandledLocked());
    looper->Lock();
    looper->Quit();
}

TEST(Looper, PostingCopiesTheMessage)
{
    auto* looper = new RecordingLooper;
    looper->Run();
    {
        auto* message = new BMessage('Amsh');
        message->AddString("Said", "hi");
        looper->PostMessage(message);
        message->ReplaceString("Said", "changed after posting");
        delete message; // the sender may delete its own at once
    }
    looper->PostMessage('Ping');
    // Passed on as it came: the fields are taken, the sender's message is left empty.
    BMessage passed('Amsh');
    passed.AddString("Said", "taken");
    passed.AddInt32("type", 0);
    ASSERT_EQ(BMessenger(looper).SendMessage(std::move(passed)), B_OK);
    EXPECT_EQ(passed.CountNames(B_ANY_TYPE), 0);
    ASSERT_TRUE(looper->WaitForCount(3));
    std::vector<BMessage> got = looper->Messages();
    const char* said = nullptr;
    EXPECT_EQ(got[0].FindString("Said", &said), B_OK);
    EXPECT_STREQ(said, "hi");
    EXPECT_EQ(got[1].what, static_cast<uint32>('Ping'));
    EXPECT_EQ(got[2].FindString("Said", &said), B_OK);
    EXPECT_STREQ(said, "taken");
    int32 type = -1;
    EXPECT_EQ(got[2].FindInt32("type", &type), B_OK);
    EXPECT_EQ(type, 0);
    looper->Lock();
    looper->Quit();
}

TEST(Looper, LockIsRecursiveAndExclusive)
{
    BLooper* looper = new BLooper("locks");
    looper->Run();
    ASSERT_TRUE(looper->Lock());
    ASSERT_TRUE(looper->Lock());
    EXPECT_TRUE(looper->IsLocked());
    EXPECT_EQ(looper->CountLocks(), 2);
    EXPECT_EQ(looper->LockingThread(), find_thread(nullptr));

    auto tryFromOtherThread = [&](bigtime_t timeout) {
        status_t status = B_ERROR;
        std::thread([&] {
            status = looper->LockWithTimeout(timeout);
            if (status == B_OK)
                looper->Unlock();
        }).join();
        return status;
    };
    EXPECT_EQ(tryFromOtherThread(0), B_TIMED_OUT);
    EXPECT_EQ(tryFromOtherThread(20000), B_TIMED_OUT);
    looper->Unlock();
    EXPECT_EQ(tryFromOtherThread(0), B_TIMED_OUT) << "one level is still held";
    looper->Unlock();
    EXPECT_FALSE(looper->IsLocked());
    EXPECT_EQ(tryFromOtherThread(0), B_OK);
    looper->Lock();
    looper->Quit();
}

TEST(Looper, EveryLockWaiterIsWokenWhenTheLockIsFree)
{
    BLooper* looper = new BLooper("waiters");
    looper->Run();
    ASSERT_TRUE(looper->Lock());
    // A waiter that gave up must not stand in for one still waiting.
    std::thread([&] { EXPECT_EQ(looper->LockWithTimeout(20000), B_TIMED_OUT); }).join();
    std::atomic<bool> got{false};
    std::thread waiter([&] {
        if (looper->Lock()) {
            got = true;
            looper->Unlock();
        }
    });
    snooze(20000);
    EXPECT_FALSE(got.load());
    looper->Unlock();
    waiter.join();
    EXPECT_TRUE(got.load());

    // Threads taking turns never miss a wake: each of them finishes.
    std::atomic<int> rounds{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; t++) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; i++) {
                if (looper->Lock()) {
                    rounds++;
                    looper->Unlock();
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(rounds.load(), 6000);
    looper->Lock();
    looper->Quit();
}

// A handler that reports from inside MessageReceived whether others can take the lock.
class Blocking : public BLooper
{
public:
    Blocking() : BLooper("blocking") {}
    void MessageReceived(BMessage*) override
    {
        insideLocked = IsLocked();
        inside = true;
        while (!release)
            snooze(1000);
    }
    std::atomic<bool> inside{false};
    std::atomic<bool> release{false};
    std::atomic<bool> insideLocked{false};
};

TEST(Looper, MessagesAreHandledWithTheLockHeld)
{
    auto* looper = new Blocking;
    looper->Run();
    looper->PostMessage('Work');
    ASSERT_TRUE(WaitUntil([&] { return looper->inside.load(); }));
    EXPECT_TRUE(looper->insideLocked);
    EXPECT_EQ(looper->LockWithTimeout(0), B_TIMED_OUT);
    looper->release = true;
    ASSERT_TRUE(looper->Lock()); // waits for the handler to return
    looper->Quit();
}

class QuitProbe : public RecordingLooper
{
public:
    bool QuitRequested() override
    {
        asked++;
        return agree;
    }
    std::atomic<int> asked{0};
    std::atomic<bool> agree{false};
};

TEST(Looper, QuitRequestedDecidesAndQuitDeletesOnTheLoopersThread)
{
    bool deleted = false;
    thread_id deletedOn = -1;
    auto* looper = new QuitProbe;
    looper->deleted = &deleted;
    looper->deletedOn = &deletedOn;
    thread_id thread = looper->Run();
    BMessenger messenger(looper);

    messenger.SendMessage(B_QUIT_REQUESTED);
    messenger.SendMessage('Stil');
    ASSERT_TRUE(looper->WaitForCount(1)); // B_QUIT_REQUESTED is not a MessageReceived
    EXPECT_EQ(looper->asked, 1);
    EXPECT_TRUE(messenger.IsValid());

    looper->agree = true;
    messenger.SendMessage(B_QUIT_REQUESTED);
    status_t exitValue;
    ASSERT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(deletedOn, thread);
}

TEST(Looper, AQuitLooperFailsCleanly)
{
    auto* looper = new RecordingLooper;
    thread_id thread = looper->Run();
    BMessenger messenger(looper);
    BMessenger toHandler;
    BHandler handler("child"); // loopers do not own their handlers
    looper->Lock();
    looper->AddHandler(&handler);
    looper->Unlock();
    toHandler = BMessenger(&handler);
    ASSERT_TRUE(messenger.LockTarget());
    looper->Quit(); // from another thread with the lock held: waits for the end
    EXPECT_EQ(wait_for_thread(thread, nullptr), B_BAD_THREAD_ID) << "already collected";
    EXPECT_FALSE(messenger.IsValid());
    EXPECT_EQ(messenger.SendMessage('Late'), B_BAD_PORT_ID);
    EXPECT_EQ(toHandler.SendMessage('Late'), B_BAD_PORT_ID);
    EXPECT_FALSE(messenger.LockTarget());
    EXPECT_EQ(messenger.LockTargetWithTimeout(0), B_BAD_VALUE);
    BLooper* target = reinterpret_cast<BLooper*>(1);
    EXPECT_EQ(messenger.Target(&target), nullptr);
    EXPECT_EQ(target, nullptr);
    EXPECT_EQ(handler.Looper(), nullptr);
}

class Counting : public BLooper
{
public:
    explicit Counting(std::atomic<int>* handled) : BLooper("counting"), fHandled(handled) {}
    void MessageReceived(BMessage*) override { (*fHandled)++; }

private:
    std::atomic<int>* fHandled;
};

TEST(Looper, QueuedMessagesAreDroppedAtQuit)
{
    std::atomic<int> handled{0};
    auto* looper = new Counting(&handled);
    thread_id thread = looper->Run();
    BMessenger messenger(looper);
    ASSERT_TRUE(looper->Lock());
    for (int i = 0; i < 10; i++)
        looper->PostMessage('Work');
    looper->Quit();
    EXPECT_EQ(wait_for_thread(thread, nullptr), B_BAD_THREAD_ID);
    EXPECT_EQ(handled.load(), 0);
    EXPECT_FALSE(messenger.IsValid());
}

// Records whether its destructor, run by the loop's end, held the lock.
class LockedAtEnd : public BLooper
{
public:
    explicit LockedAtEnd(std::atomic<int>* unlocked) : BLooper("locked at end"), fUnlocked(unlocked)
    {
    }
    ~LockedAtEnd() override
    {
        if (!IsLocked())
            (*fUnlocked)++;
    }
    void MessageReceived(BMessage*) override { snooze(50); }

private:
    std::atomic<int>* fUnlocked;
};

TEST(Looper, AQuitTakenJustAfterAMessageStillEndsTheLoopLocked)
{
    // The other thread takes the lock the moment the loop lets go of it after a message.
    std::atomic<int> unlocked{0};
    for (int i = 0; i < 300; i++) {
        auto* looper = new LockedAtEnd(&unlocked);
        looper->Run();
        looper->PostMessage('Work');
        snooze(20);
        ASSERT_TRUE(looper->Lock());
        looper->Quit();
    }
    EXPECT_EQ(unlocked.load(), 0);
}

TEST(Looper, NeverRunLooperIsDeletedByQuit)
{
    bool deleted = false;
    auto* looper = new RecordingLooper;
    looper->deleted = &deleted;
    EXPECT_TRUE(looper->IsLocked()); // locked by its maker until Run()
    BMessenger messenger(looper);
    looper->Quit();
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(messenger.IsValid());
}

// A looper kept after its loop ends, as the application is, so what its handlers saw can be
// read after the loop. On 'Bye' it quits and sends to itself; on 'Hold' it waits for
// released, then quits.
class KeptLooper : public BLooper
{
public:
    KeptLooper() : BLooper("kept") { SetDeleteOnQuit(false); }
    void MessageReceived(BMessage* message) override
    {
        if (message->what == 'Bye') {
            Quit();
            posted = PostMessage('Self');
            sent = BMessenger(this).SendMessage('Self');
            validAfterQuit = BMessenger(this).IsValid();
            return;
        }
        if (message->what == 'Hold') {
            held = true;
            while (!released)
                snooze(1000);
            Quit();
            return;
        }
        handled++;
    }
    std::atomic<bool> held{false};
    std::atomic<bool> released{false};
    std::atomic<int> handled{0};
    std::atomic<status_t> posted{B_OK};
    std::atomic<status_t> sent{B_OK};
    std::atomic<bool> validAfterQuit{true};
};

TEST(Looper, AHandlerSendingToItsLooperAfterQuitIsRefused)
{
    auto* looper = new KeptLooper;
    thread_id thread = looper->Run();
    ASSERT_EQ(looper->PostMessage('Bye'), B_OK);
    ASSERT_EQ(wait_for_thread(thread, nullptr), B_OK);
    EXPECT_EQ(looper->posted.load(), B_BAD_PORT_ID);
    EXPECT_EQ(looper->sent.load(), B_BAD_PORT_ID);
    EXPECT_FALSE(looper->validAfterQuit.load());
    EXPECT_EQ(looper->handled.load(), 0);
    delete looper;
}

// Every way of locking a looper, each expected to fail once its loop has ended.
void ExpectNoLockPathSucceeds(BLooper* looper, const BMessenger& messenger)
{
    EXPECT_FALSE(looper->Lock());
    EXPECT_FALSE(looper->IsLocked());
    EXPECT_EQ(looper->LockWithTimeout(0), B_BAD_VALUE);
    EXPECT_EQ(looper->LockWithTimeout(1000), B_BAD_VALUE);
    EXPECT_FALSE(messenger.LockTarget());
    EXPECT_EQ(messenger.LockTargetWithTimeout(0), B_BAD_VALUE);
    EXPECT_FALSE(messenger.IsValid());
    EXPECT_EQ(looper->PostMessage('Late'), B_BAD_PORT_ID);
    EXPECT_EQ(looper->LockingThread(), -1);
}

TEST(Looper, AKeptLooperQuitBeforeItRanIsNoLongerLockable)
{
    auto* looper = new KeptLooper;
    BMessenger messenger(looper);
    // Until then its maker holds the lock and may take it again.
    EXPECT_TRUE(looper->Lock());
    looper->Unlock();
    looper->Quit();
    ExpectNoLockPathSucceeds(looper, messenger);
    delete looper;
}

TEST(Looper, ALockWaiterFailsWhenTheLoopEndsUnderIt)
{
    auto* looper = new KeptLooper;
    thread_id thread = looper->Run();
    ASSERT_EQ(looper->PostMessage('Hold'), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return looper->held.load(); }));
    std::atomic<status_t> waited{B_ERROR};
    std::thread waiter([&] { waited = looper->LockWithTimeout(10000000); });
    snooze(20000); // let it wait on the held lock (either way it must not get the lock)
    looper->released = true;
    waiter.join();
    EXPECT_EQ(waited.load(), B_BAD_VALUE);
    ASSERT_EQ(wait_for_thread(thread, nullptr), B_OK);
    delete looper;
}

class Child : public BHandler
{
public:
    Child() : BHandler("child") {}
    void MessageReceived(BMessage* message) override
    {
        received.push_back(message->what);
        if (message->what == 'Pass')
            BHandler::MessageReceived(message); // on to the looper
    }
    std::vector<uint32> received;
};

TEST(Looper, HandlersPreferredHandlerAndTheChain)
{
    auto* looper = new RecordingLooper;
    auto* child = new Child;
    looper->AddHandler(child); // the constructor's lock is still held
    looper->Run();

    EXPECT_EQ(looper->PostMessage('Chld', child), B_OK);
    EXPECT_EQ(looper->PostMessage('Pass', child), B_OK);
    EXPECT_EQ(looper->PostMessage('Pref', nullptr), B_OK); // no preferred handler: the looper
    BHandler stranger;
    EXPECT_EQ(looper->PostMessage('Lost', &stranger), B_MISMATCHED_VALUES);
    ASSERT_TRUE(looper->WaitForCount(2));

    looper->Lock();
    looper->SetPreferredHandler(child);
    looper->Unlock();
    BMessenger preferred(nullptr, looper);
    preferred.SendMessage('Foc1');
    ASSERT_TRUE(WaitUntil([&] {
        BMessenger m(looper);
        if (!m.LockTarget())
            return false;
        bool done = child->received.size() == 3;
        looper->Unlock();
        return done;
    }));
    looper->Lock();
    EXPECT_EQ(child->received, (std::vector<uint32>{'Chld', 'Pass', 'Foc1'}));
    std::vector<BMessage> atLooper = looper->Messages();
    ASSERT_EQ(atLooper.size(), 2u);
    EXPECT_EQ(atLooper[0].what, static_cast<uint32>('Pass'));
    EXPECT_EQ(atLooper[1].what, static_cast<uint32>('Pref'));
    looper->RemoveHandler(child);
    delete child;
    looper->Quit();
}

// Skips 'Skip', counts what it sees and records its looper.
filter_result skip_filter(BMessage* message, BHandler**, BMessageFilter* filter)
{
    static_cast<void>(filter->Looper());
    return message->what == 'Skip' ? B_SKIP_MESSAGE : B_DISPATCH_MESSAGE;
}

class Retarget : public BMessageFilter
{
public:
    explicit Retarget(BHandler* to)
        : BMessageFilter(B_PROGRAMMED_DELIVERY, B_ANY_SOURCE, 'Move'), fTo(to)
    {
    }
    filter_result Filter(BMessage*, BHandler** target) override
    {
        seenLooper = Looper();
        *target = fTo;
        return B_DISPATCH_MESSAGE;
    }
    BLooper* seenLooper = nullptr;

private:
    BHandler* fTo;
};

TEST(Looper, FiltersSkipAndRetarget)
{
    auto* looper = new RecordingLooper;
    auto* child = new Child;
    looper->AddHandler(child);
    looper->AddCommonFilter(new BMessageFilter(B_ANY_DELIVERY, B_ANY_SOURCE, skip_filter));
    auto* retarget = new Retarget(child);
    looper->AddFilter(retarget); // the looper's own filters
    looper->Run();

    looper->PostMessage('Skip');
    looper->PostMessage('Move');
    BMessage dropped('Move');
    dropped.SetDropped(BPoint(1, 1));
    looper->PostMessage(&dropped); // programmed-delivery filter does not apply
    looper->PostMessage('Keep');
    ASSERT_TRUE(looper->WaitForCount(2));
    looper->Lock();
    std::vector<BMessage> atLooper = looper->Messages();
    ASSERT_EQ(atLooper.size(), 2u);
    EXPECT_EQ(atLooper[0].what, static_cast<uint32>('Move'));
    EXPECT_TRUE(atLooper[0].WasDropped());
    EXPECT_EQ(atLooper[1].what, static_cast<uint32>('Keep'));
    EXPECT_EQ(child->received, std::vector<uint32>{'Move'});
    EXPECT_EQ(retarget->seenLooper, looper);
    looper->RemoveHandler(child);
    delete child;
    looper->Quit();
}

class Detaching : public BLooper
{
public:
    Detaching() : BLooper("detach") {}
    void MessageReceived(BMessage* message) override
    {
        current = CurrentMessage() == message;
        kept.reset(DetachCurrentMessage());
    }
    std::atomic<bool> current{false};
    std::unique_ptr<BMessage> kept;
};

TEST(Looper, CurrentMessageAndDetaching)
{
    auto* looper = new Detaching;
    looper->Run();
    BMessage message('Keep');
    message.AddInt32("n", 3);
    looper->PostMessage(&message);
    ASSERT_TRUE(WaitUntil([&] {
        looper->Lock();
        bool done = looper->kept != nullptr;
        looper->Unlock();
        return done;
    }));
    looper->Lock();
    EXPECT_TRUE(looper->current);
    int32 n = 0;
    EXPECT_EQ(looper->kept->FindInt32("n", &n), B_OK);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(looper->CurrentMessage(), nullptr);
    looper->Quit();
}

TEST(Invoker, DeliversCopiesToTheTargetsLooper)
{
    auto* looper = new RecordingLooper;
    auto* child = new Child;
    looper->AddHandler(child);
    looper->Run();

    BInvoker invoker(new BMessage('Airc'), nullptr, nullptr);
    EXPECT_EQ(invoker.Invoke(), B_BAD_PORT_ID) << "no target yet";
    EXPECT_EQ(invoker.SetTarget(child, nullptr), B_OK);
    EXPECT_EQ(invoker.Command(), static_cast<uint32>('Airc'));
    invoker.Message()->AddInt32("n", 1);
    EXPECT_EQ(invoker.Invoke(), B_OK);
    invoker.Message()->ReplaceInt32("n", 2);
    BMessage other('Amsh');
    EXPECT_EQ(invoker.Invoke(&other), B_OK);
    EXPECT_EQ(invoker.Invoke(), B_OK);

    ASSERT_TRUE(WaitUntil([&] {
        looper->Lock();
        bool done = child->received.size() == 3;
        looper->Unlock();
        return done;
    }));
    looper->Lock();
    EXPECT_EQ(child->received, (std::vector<uint32>{'Airc', 'Amsh', 'Airc'}));
    EXPECT_EQ(looper->Count(), 0u);
    BLooper* targetLooper = nullptr;
    EXPECT_EQ(invoker.Target(&targetLooper), child);
    EXPECT_EQ(targetLooper, looper);
    looper->RemoveHandler(child);
    delete child;
    looper->Quit();
    EXPECT_EQ(invoker.Invoke(), B_BAD_PORT_ID);

    BHandler unattached;
    EXPECT_EQ(invoker.SetTarget(&unattached), B_MISMATCHED_VALUES);
}

TEST(MessageRunner, PostsAtItsIntervalUntilDeleted)
{
    constexpr bigtime_t kInterval = 20000;
    auto* looper = new RecordingLooper;
    looper->Run();
    BMessage tick('Adam');
    auto runner = std::make_unique<BMessageRunner>(BMessenger(looper), &tick, kInterval);
    ASSERT_EQ(runner->InitCheck(), B_OK);
    bigtime_t started = system_time();
    ASSERT_TRUE(looper->WaitForCount(5));
    bigtime_t elapsed = system_time() - started;
    // Never early: five posts take at least five intervals.
    EXPECT_GE(elapsed, 5 * kInterval - 2000);
    runner.reset();
    // A post made before the deletion may still be queued: drain up to a marker.
    size_t beforeMark = looper->Count();
    looper->PostMessage('Mark');
    ASSERT_TRUE(looper->WaitForCount(beforeMark + 1));
    ASSERT_TRUE(WaitUntil([&] { return looper->Messages().back().what == 'Mark'; }));
    size_t atDelete = looper->Count();
    snooze(5 * kInterval);
    EXPECT_EQ(looper->Count(), atDelete) << "posted after deletion";

    BMessageRunner limited(BMessenger(looper), &tick, kInterval, 3);
    ASSERT_TRUE(looper->WaitForCount(atDelete + 3));
    snooze(4 * kInterval);
    EXPECT_EQ(looper->Count(), atDelete + 3);
    EXPECT_EQ(limited.GetInfo(nullptr, nullptr), B_BAD_VALUE) << "finished its count";

    EXPECT_EQ(BMessageRunner(BMessenger(looper), &tick, 0).InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(BMessageRunner(BMessenger(), &tick, kInterval).InitCheck(), B_BAD_VALUE);
    looper->Lock();
    looper->Quit();
}

} // namespace
