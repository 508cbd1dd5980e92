#include "WindowDisplayLink.h"

#include <WakeBatch.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {
std::atomic<WindowDisplayFactory*> sFactory{nullptr};
}

struct WindowDisplayFactory::MainLoopState
{
    std::mutex mutex;
    std::condition_variable cond;
    bool quit = false;
};

WindowDisplayFactory::WindowDisplayFactory() : fMainLoop(std::make_shared<MainLoopState>()) {}

void WindowDisplayFactory::RunMainLoop()
{
    std::shared_ptr<MainLoopState> state = fMainLoop;
    BWakeBatch::Flush();
    std::unique_lock lock(state->mutex);
    state->cond.wait(lock, [&] { return state->quit; });
    state->quit = false;
}

void WindowDisplayFactory::QuitMainLoop()
{
    std::shared_ptr<MainLoopState> state = fMainLoop;
    {
        std::lock_guard lock(state->mutex);
        state->quit = true;
    }
    state->cond.notify_all();
}

void set_window_display_factory(WindowDisplayFactory* factory)
{
    sFactory.store(factory);
}

WindowDisplayFactory* window_display_factory()
{
    return sFactory.load();
}
