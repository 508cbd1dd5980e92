// Message posting: post-to-dispatch latency, throughput across loopers, and ping-pong
// between two loopers.

#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <OS.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

int64 now_ns()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Records how long each message took from PostMessage to MessageReceived.
class LatencyLooper : public BLooper
{
public:
    LatencyLooper() : BLooper("latency") {}
    void MessageReceived(BMessage* message) override
    {
        int64 sent = 0;
        message->FindInt64("sent", &sent);
        int64 latency = now_ns() - sent;
        {
            std::lock_guard lock(fMutex);
            fLatency = latency;
            fDone = true;
        }
        fCond.notify_one();
    }
    int64 WaitForOne()
    {
        std::unique_lock lock(fMutex);
        fCond.wait(lock, [&] { return fDone; });
        fDone = false;
        return fLatency;
    }

private:
    std::mutex fMutex;
    std::condition_variable fCond;
    bool fDone = false;
    int64 fLatency = 0;
};

void BM_PostToDispatchLatency(benchmark::State& state)
{
    auto* looper = new LatencyLooper;
    looper->Run();
    BMessage message('Amsh');
    message.AddString("Channel", "#chan");
    message.AddString("Said", "a line of the usual length for a channel message");
    message.AddInt64("sent", 0);
    std::vector<int64> samples;
    for (auto _ : state) {
        message.ReplaceInt64("sent", now_ns());
        looper->PostMessage(&message);
        samples.push_back(looper->WaitForOne());
    }
    std::sort(samples.begin(), samples.end());
    if (!samples.empty()) {
        state.counters["median_us"] = samples[samples.size() / 2] / 1000.0;
        state.counters["p99_us"] = samples[samples.size() * 99 / 100] / 1000.0;
    }
    looper->Lock();
    looper->Quit();
}
BENCHMARK(BM_PostToDispatchLatency)->UseRealTime()->Iterations(20000);

class CountingLooper : public BLooper
{
public:
    CountingLooper() : BLooper("counting") {}
    void MessageReceived(BMessage*) override { handled.fetch_add(1, std::memory_order_relaxed); }
    std::atomic<int64> handled{0};
};

// Each poster thread floods its own looper; all loopers run at once.
void BM_ThroughputAcrossLoopers(benchmark::State& state)
{
    const int loopers = static_cast<int>(state.range(0));
    constexpr int kPerLooper = 20000;
    std::vector<CountingLooper*> targets;
    for (int i = 0; i < loopers; i++) {
        targets.push_back(new CountingLooper);
        targets.back()->Run();
    }
    BMessage message('Amsh');
    message.AddString("Channel", "#chan");
    message.AddString("Said", "a line of the usual length for a channel message");
    int64 total = 0;
    for (auto _ : state) {
        std::vector<int64> start;
        for (auto* t : targets)
            start.push_back(t->handled.load());
        std::vector<std::thread> posters;
        for (auto* t : targets) {
            posters.emplace_back([t, &message] {
                BMessage copy(message);
                for (int i = 0; i < kPerLooper; i++)
                    t->PostMessage(&copy);
            });
        }
        for (auto& p : posters)
            p.join();
        for (size_t i = 0; i < targets.size(); i++) {
            while (targets[i]->handled.load() < start[i] + kPerLooper)
                std::this_thread::yield();
        }
        total += static_cast<int64>(loopers) * kPerLooper;
    }
    state.SetItemsProcessed(total);
    for (auto* t : targets) {
        t->Lock();
        t->Quit();
    }
}
BENCHMARK(BM_ThroughputAcrossLoopers)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Several posters into one looper (the main view receiving from every session).
void BM_ThroughputFanIn(benchmark::State& state)
{
    const int posters = static_cast<int>(state.range(0));
    constexpr int kPerPoster = 10000;
    auto* target = new CountingLooper;
    target->Run();
    BMessage message('Amsh');
    message.AddString("Said", "a line of the usual length for a channel message");
    int64 total = 0;
    for (auto _ : state) {
        int64 start = target->handled.load();
        std::vector<std::thread> threads;
        for (int p = 0; p < posters; p++) {
            threads.emplace_back([target, &message] {
                BMessage copy(message);
                for (int i = 0; i < kPerPoster; i++)
                    target->PostMessage(&copy);
            });
        }
        for (auto& t : threads)
            t.join();
        while (target->handled.load() < start + posters * kPerPoster)
            std::this_thread::yield();
        total += static_cast<int64>(posters) * kPerPoster;
    }
    state.SetItemsProcessed(total);
    target->Lock();
    target->Quit();
}
BENCHMARK(BM_ThroughputFanIn)->Arg(4)->UseRealTime()->Unit(benchmark::kMillisecond);

// Two loopers bouncing one message: a full round trip through two queues and two locks.
class Bouncer : public BLooper
{
public:
    Bouncer() : BLooper("bouncer") {}
    void MessageReceived(BMessage* message) override
    {
        int32 left = 0;
        message->FindInt32("left", &left);
        if (left == 0) {
            finished = true;
            return;
        }
        message->ReplaceInt32("left", left - 1);
        other.SendMessage(message);
    }
    BMessenger other;
    std::atomic<bool> finished{false};
};

void BM_PingPongBetweenLoopers(benchmark::State& state)
{
    constexpr int32 kBounces = 10000;
    auto* a = new Bouncer;
    auto* b = new Bouncer;
    a->other = BMessenger(b);
    b->other = BMessenger(a);
    a->Run();
    b->Run();
    for (auto _ : state) {
        a->finished = b->finished = false;
        BMessage ball('Ball');
        ball.AddInt32("left", kBounces);
        a->PostMessage(&ball);
        while (!a->finished && !b->finished)
            std::this_thread::yield();
    }
    state.SetItemsProcessed(state.iterations() * kBounces);
    a->Lock();
    a->Quit();
    b->Lock();
    b->Quit();
}
BENCHMARK(BM_PingPongBetweenLoopers)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
