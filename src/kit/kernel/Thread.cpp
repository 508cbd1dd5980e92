// spawn_thread and friends on POSIX threads, with cooperative stops (see OS.h).

#include <OS.h>

#include "../private/StopAwareWait.h"
#include "../private/ThreadRecord.h"

#include <StringCopy.h>
#include <WakeBatch.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <unordered_map>

namespace kit_private {

namespace {

// Ended threads whose result nobody collected are remembered for wait_for_thread, up to this
// many; older ones are forgotten.
constexpr size_t kMaxUncollected = 256;

struct ThreadTable
{
    std::mutex mutex;
    std::unordered_map<thread_id, std::shared_ptr<ThreadRecord>> threads;
    std::deque<thread_id> uncollected;
    thread_id nextId = 1;
};

// Never destroyed: threads may still end while static objects are torn down.
ThreadTable& table()
{
    static ThreadTable* sTable = new ThreadTable;
    return *sTable;
}

struct CurrentThread
{
    std::shared_ptr<ThreadRecord> record;
    ~CurrentThread()
    {
        if (record && record->foreign) {
            ThreadTable& t = table();
            std::lock_guard lock(t.mutex);
            t.threads.erase(record->id);
        }
    }
};

thread_local CurrentThread tCurrent;

std::shared_ptr<ThreadRecord> lookup(thread_id id)
{
    ThreadTable& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.threads.find(id);
    return it == t.threads.end() ? nullptr : it->second;
}

void remember_ended(thread_id id)
{
    ThreadTable& t = table();
    std::lock_guard lock(t.mutex);
    t.uncollected.push_back(id);
    while (t.uncollected.size() > kMaxUncollected) {
        t.threads.erase(t.uncollected.front());
        t.uncollected.pop_front();
    }
}

void collect(thread_id id)
{
    ThreadTable& t = table();
    std::lock_guard lock(t.mutex);
    t.threads.erase(id);
    for (auto it = t.uncollected.begin(); it != t.uncollected.end(); ++it) {
        if (*it == id) {
            t.uncollected.erase(it);
            break;
        }
    }
}

// sched_setattr's argument; the C library declares neither.
struct SchedAttr
{
    uint32_t size;
    uint32_t policy;
    uint64_t flags;
    int32_t nice;
    uint32_t priority;
    uint64_t runtime;
    uint64_t deadline;
    uint64_t period;
};

constexpr uint64_t kKeepPolicy = 0x08; // SCHED_FLAG_KEEP_POLICY
constexpr uint64_t kThreadSliceNs = 300000;

// While a flood keeps both cores busy, a thread that wakes (a quiet window, the GUI, a
// reader with one line) waits for the running one's slice to end; the default is over a
// millisecond. Short slices bound that wait. Kernels without custom slices ignore this.
void ask_short_slice()
{
    SchedAttr attr{};
    attr.size = sizeof attr;
    attr.flags = kKeepPolicy;
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    if (errno != 0)
        return;
    attr.nice = nice;
    attr.runtime = kThreadSliceNs;
    syscall(SYS_sched_setattr, gettid(), &attr, 0);
}

void apply_priority(int32 priority)
{
    if (priority >= B_NORMAL_PRIORITY)
        return; // raising needs privileges we do not assume
    errno = 0;
    int current = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    if (errno == 0)
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()),
                    current + (B_NORMAL_PRIORITY - priority));
}

void* thread_main(void* arg)
{
    auto* handed = static_cast<std::shared_ptr<ThreadRecord>*>(arg);
    tCurrent.record = std::move(*handed);
    delete handed;
    ThreadRecord* self = tCurrent.record.get();
    self->tid.store(gettid());

    char shortName[16];
    copy_utf8(shortName, sizeof shortName, self->name);
    pthread_setname_np(pthread_self(), shortName);
    ask_short_slice();
    apply_priority(self->priority);

    bool run;
    {
        std::unique_lock lock(self->mutex);
        self->named = true;
        self->cond.notify_all();
        self->cond.wait(lock, [self] { return self->resumed || self->stopRequested.load(); });
        run = self->resumed;
    }
    status_t result = run ? self->func(self->data) : B_INTERRUPTED;
    {
        std::lock_guard lock(self->mutex);
        self->state = ThreadRecord::kExited;
        self->exitValue = result;
    }
    self->cond.notify_all();
    remember_ended(self->id);
    return nullptr;
}

// The function has returned, but the thread still runs its thread-local destructors (a
// library's per-thread caches among them). A waiter returns only once it has gone, so that
// what the thread held is freed when, say, main() returns after quitting the last window.
void await_gone(const ThreadRecord& record)
{
    const pid_t tid = record.tid.load();
    if (tid <= 0)
        return;
    const pid_t pid = getpid();
    for (int i = 0; i < 10000 && syscall(SYS_tgkill, pid, tid, 0) == 0; i++)
        usleep(100);
}

void request_stop(ThreadRecord* record)
{
    record->stopRequested.store(true);
    {
        std::lock_guard lock(record->mutex);
    }
    record->cond.notify_all();
    std::lock_guard guard(record->waitGuard);
    if (record->waitMutex != nullptr) {
        {
            std::lock_guard lock(*record->waitMutex);
        }
        record->waitCond->notify_all();
    }
    if (record->stopFd >= 0) {
        uint64_t one = 1;
        ssize_t ignored = write(record->stopFd, &one, sizeof one);
        (void)ignored;
    }
}

} // namespace

ThreadRecord::~ThreadRecord()
{
    if (stopFd >= 0)
        close(stopFd);
}

ThreadRecord* current_thread_record()
{
    if (tCurrent.record)
        return tCurrent.record.get();
    auto record = std::make_shared<ThreadRecord>();
    record->foreign = true;
    record->resumed = true;
    record->state = ThreadRecord::kRunning;
    char name[16] = {};
    if (pthread_getname_np(pthread_self(), name, sizeof name) == 0)
        copy_utf8(record->name, sizeof record->name, name);
    ThreadTable& t = table();
    {
        std::lock_guard lock(t.mutex);
        record->id = t.nextId++;
        t.threads[record->id] = record;
    }
    tCurrent.record = record;
    return record.get();
}

StopAwareWait::StopAwareWait(std::mutex& mutex, std::condition_variable& cond)
    : fRecord(current_thread_record())
{
    // What this thread waits for may hang on a message it posted and has not woken yet.
    BWakeBatch::Flush();
    std::lock_guard guard(fRecord->waitGuard);
    fPreviousMutex = fRecord->waitMutex;
    fPreviousCond = fRecord->waitCond;
    fRecord->waitMutex = &mutex;
    fRecord->waitCond = &cond;
}

StopAwareWait::~StopAwareWait()
{
    std::lock_guard guard(fRecord->waitGuard);
    fRecord->waitMutex = fPreviousMutex;
    fRecord->waitCond = fPreviousCond;
}

bool StopAwareWait::Requested() const
{
    return fRecord->stopRequested.load();
}

} // namespace kit_private

using kit_private::ThreadRecord;

thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data)
{
    if (func == nullptr)
        return B_BAD_VALUE;
    auto record = std::make_shared<ThreadRecord>();
    copy_utf8(record->name, sizeof record->name, name ? name : "");
    record->priority = priority;
    record->func = func;
    record->data = data;

    kit_private::ThreadTable& t = kit_private::table();
    {
        std::lock_guard lock(t.mutex);
        record->id = t.nextId++;
        t.threads[record->id] = record;
    }
    thread_id id = record->id;

    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    pthread_t pthread;
    auto* handed = new std::shared_ptr<ThreadRecord>(record);
    int error = pthread_create(&pthread, &attr, kit_private::thread_main, handed);
    pthread_attr_destroy(&attr);
    if (error != 0) {
        delete handed;
        std::lock_guard lock(t.mutex);
        t.threads.erase(id);
        return B_NO_MORE_THREADS;
    }
    // The system shows the name from the start: whoever lists threads by name (top -H, a
    // count of request threads) never sees a new one under its creator's name.
    std::unique_lock lock(record->mutex);
    record->cond.wait(lock, [&] { return record->named; });
    return id;
}

status_t resume_thread(thread_id thread)
{
    auto record = kit_private::lookup(thread);
    if (!record)
        return B_BAD_THREAD_ID;
    {
        std::lock_guard lock(record->mutex);
        if (record->state == ThreadRecord::kExited)
            return B_BAD_THREAD_ID;
        if (record->stopRequested.load())
            return record->resumed ? B_NOT_ALLOWED : B_BAD_THREAD_ID;
        if (record->resumed)
            return B_BAD_THREAD_STATE;
        record->resumed = true;
        record->state = ThreadRecord::kRunning;
    }
    record->cond.notify_all();
    return B_OK;
}

static status_t stop_thread(thread_id thread)
{
    auto record = kit_private::lookup(thread);
    if (!record)
        return B_BAD_THREAD_ID;
    {
        std::lock_guard lock(record->mutex);
        if (record->state == ThreadRecord::kExited)
            return B_BAD_THREAD_ID;
    }
    kit_private::request_stop(record.get());
    return B_OK;
}

status_t kill_thread(thread_id thread)
{
    return stop_thread(thread);
}

status_t suspend_thread(thread_id thread)
{
    return stop_thread(thread);
}

status_t wait_for_thread(thread_id thread, status_t* exitValue)
{
    if (thread == find_thread(nullptr))
        return B_NOT_ALLOWED;
    auto record = kit_private::lookup(thread);
    if (!record)
        return B_BAD_THREAD_ID;
    {
        std::lock_guard lock(record->mutex);
        if (!record->resumed && !record->stopRequested.load()) {
            record->resumed = true;
            record->state = ThreadRecord::kRunning;
        }
    }
    record->cond.notify_all();

    kit_private::StopAwareWait stop(record->mutex, record->cond);
    std::unique_lock lock(record->mutex);
    while (record->state != ThreadRecord::kExited) {
        if (stop.Requested())
            return B_INTERRUPTED;
        record->cond.wait(lock);
    }
    if (exitValue != nullptr)
        *exitValue = record->exitValue;
    lock.unlock();
    kit_private::await_gone(*record);
    kit_private::collect(thread);
    return B_OK;
}

thread_id find_thread(const char* name)
{
    if (name == nullptr)
        return kit_private::current_thread_record()->id;
    kit_private::ThreadTable& t = kit_private::table();
    std::lock_guard lock(t.mutex);
    thread_id found = B_NAME_NOT_FOUND;
    for (auto& [id, record] : t.threads) {
        if (strcmp(record->name, name) != 0)
            continue;
        std::lock_guard recordLock(record->mutex);
        if (record->state != ThreadRecord::kExited && (found < 0 || id < found))
            found = id;
    }
    return found;
}

bool thread_stop_requested()
{
    return kit_private::current_thread_record()->stopRequested.load();
}

int thread_stop_fd()
{
    ThreadRecord* self = kit_private::current_thread_record();
    std::lock_guard guard(self->waitGuard);
    if (self->stopFd < 0) {
        self->stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (self->stopFd >= 0 && self->stopRequested.load()) {
            uint64_t one = 1;
            ssize_t ignored = write(self->stopFd, &one, sizeof one);
            (void)ignored;
        }
    }
    return self->stopFd;
}

bigtime_t system_time()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<bigtime_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

status_t snooze_until(bigtime_t until)
{
    BWakeBatch::Flush();
    ThreadRecord* self = kit_private::current_thread_record();
    std::unique_lock lock(self->mutex);
    while (!self->stopRequested.load()) {
        bigtime_t left = until - system_time();
        if (left <= 0)
            return B_OK;
        // Bounded steps keep huge timeouts clear of clock overflow.
        constexpr bigtime_t kStep = 3600LL * 1000000;
        self->cond.wait_for(lock, std::chrono::microseconds(left < kStep ? left : kStep));
    }
    return B_INTERRUPTED;
}

status_t snooze(bigtime_t microseconds)
{
    if (microseconds < 0)
        microseconds = 0;
    bigtime_t now = system_time();
    bigtime_t until =
        microseconds > B_INFINITE_TIMEOUT - now ? B_INFINITE_TIMEOUT : now + microseconds;
    return snooze_until(until);
}
