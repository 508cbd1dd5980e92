// Threads: suspended start, names, priorities, and cooperative stops that end every kind of
// wait at once.

#include "KitTestUtil.h"

#include <ThreadCount.h>

#include <Alert.h>
#include <OS.h>
#include <WindowDisplayLink.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Far longer than any test may take: a stop that does not wake the wait fails the bound.
constexpr bigtime_t kLongWait = 20 * 1000000LL;
constexpr bigtime_t kStopBound = 5 * 1000000LL;

struct Probe
{
    std::atomic<bool> ran{false};
    std::atomic<bool> started{false};
    std::atomic<status_t> result{0};
    char name[16] = {};
    int nice = 0;
};

int32 record_and_return(void* data)
{
    auto* probe = static_cast<Probe*>(data);
    pthread_getname_np(pthread_self(), probe->name, sizeof probe->name);
    errno = 0;
    probe->nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    probe->ran = true;
    return 42;
}

TEST(Threads, DoNotRunUntilResumed)
{
    Probe probe;
    thread_id thread = spawn_thread(record_and_return, "ServerConnect", 10, &probe);
    ASSERT_GT(thread, 0);
    snooze(50000);
    EXPECT_FALSE(probe.ran);
    EXPECT_EQ(find_thread("ServerConnect"), thread);
    ASSERT_EQ(resume_thread(thread), B_OK);
    status_t exitValue = 0;
    ASSERT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_TRUE(probe.ran);
    EXPECT_EQ(exitValue, 42);
    EXPECT_STREQ(probe.name, "ServerConnect");
    EXPECT_EQ(resume_thread(thread), B_BAD_THREAD_ID);
    EXPECT_EQ(wait_for_thread(thread, nullptr), B_BAD_THREAD_ID);
    EXPECT_EQ(find_thread("ServerConnect"), B_NAME_NOT_FOUND);
}

TEST(Threads, LongNamesAreCutForTheSystemAndPriorityFiveRunsNicer)
{
    Probe normal, low;
    thread_id a = spawn_thread(record_and_return, "ServerConnectionWatch", 10, &normal);
    thread_id b = spawn_thread(record_and_return, "new identd accept", 5, &low);
    resume_thread(a);
    resume_thread(b);
    wait_for_thread(a, nullptr);
    wait_for_thread(b, nullptr);
    EXPECT_STREQ(normal.name, "ServerConnectio");
    EXPECT_EQ(low.nice, normal.nice + 5);
}

// The calling thread's time slice as the scheduler reports it, in nanoseconds; 0 when the
// kernel reports none.
uint64_t OwnSlice()
{
    struct
    {
        uint32_t size, policy;
        uint64_t flags;
        int32_t nice;
        uint32_t priority;
        uint64_t runtime, deadline, period;
    } attr{};
    if (syscall(SYS_sched_getattr, 0, &attr, sizeof attr, 0) != 0)
        return 0;
    return attr.runtime;
}

status_t record_slice(void* data)
{
    *static_cast<uint64_t*>(data) = OwnSlice();
    return B_OK;
}

// So a thread that wakes during a flood gets a core soon: kit threads ask for shorter slices
// than the system gives a plain thread.
TEST(Threads, KitThreadsRunInShortSlices)
{
    uint64_t plain = 0;
    std::thread([&plain] { plain = OwnSlice(); }).join();
    if (plain == 0)
        GTEST_SKIP() << "this kernel reports no time slices";
    uint64_t kit = 0;
    thread_id thread = spawn_thread(record_slice, "sliced", B_NORMAL_PRIORITY, &kit);
    resume_thread(thread);
    wait_for_thread(thread, nullptr);
    EXPECT_GT(kit, 0u);
    EXPECT_LT(kit, plain);
    EXPECT_LE(kit, 300000u);
}

TEST(Threads, ASpawnedThreadIsListedUnderItsNameAtOnce)
{
    std::vector<thread_id> threads;
    for (int i = 0; i < 20; i++) {
        threads.push_back(spawn_thread(record_and_return, "named at once", 10, nullptr));
        ASSERT_GE(threads.back(), 0);
        EXPECT_EQ(testsupport::CountThreads("named at once"), i + 1) << "thread " << i;
    }
    for (thread_id thread : threads)
        kill_thread(thread);
    for (thread_id thread : threads)
        wait_for_thread(thread, nullptr);
}

TEST(Threads, StoppedBeforeResumeNeverRuns)
{
    Probe probe;
    thread_id thread = spawn_thread(record_and_return, "never", 10, &probe);
    ASSERT_EQ(kill_thread(thread), B_OK);
    status_t exitValue = 0;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_FALSE(probe.ran);
    EXPECT_EQ(exitValue, B_INTERRUPTED);
}

TEST(Threads, WaitingResumesAThreadNeverResumed)
{
    Probe probe;
    thread_id thread = spawn_thread(record_and_return, "waited", 10, &probe);
    status_t exitValue = 0;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_TRUE(probe.ran);
    EXPECT_EQ(exitValue, 42);
}

// A per-thread cache as libraries keep them: freed only as the thread leaves.
struct SlowlyFreed
{
    std::atomic<bool>* freed = nullptr;
    ~SlowlyFreed()
    {
        if (freed == nullptr)
            return;
        usleep(50000);
        freed->store(true);
    }
};

int32 keep_a_cache(void* freed)
{
    thread_local SlowlyFreed cache;
    cache.freed = static_cast<std::atomic<bool>*>(freed);
    return B_OK;
}

TEST(Threads, AWaiterReturnsOnceTheThreadHasFreedWhatItKeptForItself)
{
    std::atomic<bool> freed{false};
    thread_id thread = spawn_thread(keep_a_cache, "cache keeper", B_NORMAL_PRIORITY, &freed);
    ASSERT_EQ(wait_for_thread(thread, nullptr), B_OK);
    EXPECT_TRUE(freed.load());
}

TEST(Threads, BadIdsAndSelf)
{
    EXPECT_EQ(resume_thread(999999), B_BAD_THREAD_ID);
    EXPECT_EQ(kill_thread(999999), B_BAD_THREAD_ID);
    EXPECT_EQ(wait_for_thread(999999, nullptr), B_BAD_THREAD_ID);
    EXPECT_EQ(wait_for_thread(find_thread(nullptr), nullptr), B_NOT_ALLOWED);
    EXPECT_EQ(spawn_thread(nullptr, "x", 10, nullptr), B_BAD_VALUE);
    EXPECT_EQ(find_thread(nullptr), find_thread(nullptr));
    EXPECT_EQ(snooze(1000), B_OK);
}

// One thread per kind of wait; each is stopped and must end within one wait.
struct StopCase
{
    const char* name;
    thread_func body;
};

int32 in_snooze(void* data)
{
    auto* probe = static_cast<Probe*>(data);
    probe->started = true;
    status_t status = snooze(kLongWait);
    probe->result = status;
    // Once asked to stop, every later wait fails at once as well.
    return snooze(kLongWait) == B_INTERRUPTED && thread_stop_requested() ? status : B_ERROR;
}

int32 in_poll(void* data)
{
    auto* probe = static_cast<Probe*>(data);
    int pipes[2];
    if (pipe(pipes) != 0)
        return B_ERROR;
    pollfd fds[2] = {{pipes[0], POLLIN, 0}, {thread_stop_fd(), POLLIN, 0}};
    probe->started = true;
    int ready = poll(fds, 2, static_cast<int>(kLongWait / 1000));
    close(pipes[0]);
    close(pipes[1]);
    probe->result = (ready == 1 && (fds[1].revents & POLLIN)) ? B_INTERRUPTED : B_ERROR;
    return probe->result;
}

BLooper* sHeldLooper = nullptr;

int32 in_lock(void* data)
{
    auto* probe = static_cast<Probe*>(data);
    probe->started = true;
    bool locked = sHeldLooper->Lock();
    probe->result = locked ? B_ERROR : B_INTERRUPTED;
    if (locked)
        sHeldLooper->Unlock();
    return probe->result;
}

thread_id sLongThread = -1;

int32 in_wait_for_thread(void* data)
{
    auto* probe = static_cast<Probe*>(data);
    probe->started = true;
    probe->result = wait_for_thread(sLongThread, nullptr);
    return probe->result;
}

class SilentFactory : public WindowDisplayFactory
{
public:
    std::unique_ptr<WindowDisplayLink> CreateLink(BWindow*) override { return nullptr; }
    bool ShowAlert(const alert_request&, std::shared_ptr<AlertReply>) override
    {
        return true; // shown, never answered
    }
};

int32 in_alert(void* data)
{
    auto* probe = static_cast<Probe*>(data);
    probe->started = true;
    int32 index = (new BAlert("", "Server connection timed out.", "Okay"))->Go();
    probe->result = index == -1 ? B_INTERRUPTED : B_ERROR;
    return probe->result;
}

class StopTest : public ::testing::TestWithParam<StopCase>
{
};

TEST_P(StopTest, EndsWithinOneWait)
{
    Probe probe;
    thread_id thread = spawn_thread(GetParam().body, GetParam().name, 10, &probe);
    ASSERT_EQ(resume_thread(thread), B_OK);
    ASSERT_TRUE(kittest::WaitUntil([&] { return probe.started.load(); }));
    snooze(20000); // let it get into its wait
    bigtime_t stopped = system_time();
    ASSERT_EQ(kill_thread(thread), B_OK);
    status_t exitValue = B_ERROR;
    ASSERT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_LT(system_time() - stopped, kStopBound);
    EXPECT_EQ(exitValue, B_INTERRUPTED);
    EXPECT_EQ(probe.result.load(), B_INTERRUPTED);
}

INSTANTIATE_TEST_SUITE_P(Waits, StopTest,
                         ::testing::Values(StopCase{"snooze", in_snooze}, StopCase{"poll", in_poll},
                                           StopCase{"lock", in_lock},
                                           StopCase{"wait", in_wait_for_thread},
                                           StopCase{"alert", in_alert}),
                         [](const auto& info) { return std::string(info.param.name); });

// The fixtures the parameterised waits need: a looper held by this thread, a thread that
// runs long, and a display server that never answers alerts.
class StopEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        sHeldLooper = new BLooper("held"); // locked by this thread until Run()
        sLongThread = spawn_thread(in_snooze, "long", 10, &fLongProbe);
        resume_thread(sLongThread);
        set_window_display_factory(&fFactory);
    }
    void TearDown() override
    {
        set_window_display_factory(nullptr);
        kill_thread(sLongThread);
        wait_for_thread(sLongThread, nullptr);
        sHeldLooper->Quit();
    }

private:
    Probe fLongProbe;
    SilentFactory fFactory;
};

const auto* const sEnvironment = ::testing::AddGlobalTestEnvironment(new StopEnvironment);

TEST(Threads, SuspendIsAStopRequestToo)
{
    Probe probe;
    thread_id thread = spawn_thread(in_snooze, "ServerConnect", 10, &probe);
    resume_thread(thread);
    ASSERT_TRUE(kittest::WaitUntil([&] { return probe.started.load(); }));
    EXPECT_EQ(suspend_thread(thread), B_OK);
    // The suspended thread may already have ended; killing it then is harmless.
    status_t killed = kill_thread(thread);
    EXPECT_TRUE(killed == B_OK || killed == B_BAD_THREAD_ID) << killed;
    status_t exitValue;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_EQ(exitValue, B_INTERRUPTED);
    EXPECT_EQ(resume_thread(thread), B_BAD_THREAD_ID);
}

} // namespace
