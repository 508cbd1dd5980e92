// Batched wakes: what a thread posts in a batch still arrives, in order, and never waits on a
// wake that the poster keeps back while it waits itself.

#include "KitTestUtil.h"

#include <Looper.h>
#include <Message.h>
#include <OS.h>
#include <WakeBatch.h>

#include <gtest/gtest.h>

#include <thread>

using kittest::RecordingLooper;

namespace {

constexpr bigtime_t kPatience = 2000000;

void PostNumbered(BLooper* looper, int32 n)
{
    BMessage message('Abat');
    message.AddInt32("n", n);
    EXPECT_EQ(looper->PostMessage(&message), B_OK);
}

void ExpectInOrder(const RecordingLooper& looper, int32 count)
{
    std::vector<BMessage> messages = looper.Messages();
    ASSERT_EQ(messages.size(), static_cast<size_t>(count));
    for (int32 i = 0; i < count; i++) {
        int32 n = -1;
        messages[i].FindInt32("n", &n);
        EXPECT_EQ(n, i);
    }
}

// A running looper that has handled a first message (0) and gone to sleep on its queue.
RecordingLooper* Asleep()
{
    auto* looper = new RecordingLooper;
    looper->Run();
    PostNumbered(looper, 0);
    EXPECT_TRUE(looper->WaitForCount(1, kPatience));
    snooze(20000);
    return looper;
}

void Quit(BLooper* looper)
{
    looper->Lock();
    looper->Quit();
}

TEST(WakeBatch, WhatABatchPostedArrivesInOrderWhenTheBatchEndsOrTheThreadWaits)
{
    RecordingLooper* looper = Asleep();
    std::thread([&] {
        BWakeBatch batch;
        {
            BWakeBatch inner;
            for (int32 i = 1; i < 3; i++)
                PostNumbered(looper, i);
        }
        // The inner batch ended, the outer holds: the poster now waits for its own posts,
        // and snoozing must let them through.
        bigtime_t end = system_time() + kPatience;
        while (looper->Count() < 3 && system_time() < end)
            snooze(1000);
        EXPECT_EQ(looper->Count(), 3u) << "a poster snoozing kept its wake back";
        for (int32 i = 3; i < 5; i++)
            PostNumbered(looper, i);
    }).join();
    ASSERT_TRUE(looper->WaitForCount(5, kPatience)) << "the end of the batch woke nobody";
    ExpectInOrder(*looper, 5);
    Quit(looper);
}

TEST(WakeBatch, ALongBurstWakesItsReceiverBeforeTheBurstEnds)
{
    RecordingLooper* looper = Asleep();
    std::thread([&] {
        BWakeBatch batch;
        for (int32 i = 1; i < 300; i++)
            PostNumbered(looper, i);
        // Busy, never waiting in the kit: only the bound on held wakes gets the work going.
        bigtime_t end = system_time() + kPatience;
        while (looper->Count() < 256 && system_time() < end)
            std::this_thread::yield();
        EXPECT_GE(looper->Count(), 256u);
    }).join();
    ASSERT_TRUE(looper->WaitForCount(300, kPatience));
    ExpectInOrder(*looper, 300);
    Quit(looper);
}

// Passes each message on, as the main view passes events to their windows.
class Forwarder : public BLooper
{
public:
    explicit Forwarder(BLooper* to) : BLooper("forwarder"), fTo(to) {}
    void MessageReceived(BMessage* message) override { fTo->PostMessage(message); }

private:
    BLooper* fTo;
};

TEST(WakeBatch, ALooperPassingMessagesOnWakesTheirReceiverWhenItsQueueRunsDry)
{
    auto* receiver = new RecordingLooper;
    receiver->Run();
    auto* forwarder = new Forwarder(receiver);
    forwarder->Run();
    for (int32 i = 0; i < 5; i++) {
        PostNumbered(forwarder, i);
        // One at a time, so the forwarder's queue runs dry after each.
        ASSERT_TRUE(receiver->WaitForCount(static_cast<size_t>(i) + 1, kPatience))
            << "message " << i << " was never woken for";
    }
    ExpectInOrder(*receiver, 5);
    Quit(forwarder);
    Quit(receiver);
}

} // namespace
