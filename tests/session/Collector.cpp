#include "Collector.h"

#include "MessageText.h"

#include <chrono>

Collector::Collector(const void* session, const void* window)
    : BLooper("collector"), fSession(session), fWindow(window)
{
}

void Collector::MessageReceived(BMessage* message)
{
    std::string line = MessageText(*message, fSession, fWindow);
    std::lock_guard<std::mutex> guard(fLock);
    fLines.push_back(line);
    fArrived.notify_all();
}

bool Collector::WaitForCount(size_t count, int timeoutMs)
{
    std::unique_lock<std::mutex> guard(fLock);
    return fArrived.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                             [&] { return fLines.size() >= count; });
}

int Collector::WaitForMatch(const std::string& pattern, int timeoutMs, size_t from)
{
    std::unique_lock<std::mutex> guard(fLock);
    int found = -1;
    fArrived.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] {
        for (size_t i = from; i < fLines.size(); i++) {
            if (MatchesText(fLines[i], pattern)) {
                found = static_cast<int>(i);
                return true;
            }
        }
        return false;
    });
    return found;
}

std::vector<std::string> Collector::TakeUntil(const std::string& marker, int timeoutMs)
{
    int at = WaitForMatch(marker, timeoutMs);
    std::lock_guard<std::mutex> guard(fLock);
    size_t end = at < 0 ? fLines.size() : static_cast<size_t>(at);
    std::vector<std::string> taken(fLines.begin(), fLines.begin() + end);
    fLines.erase(fLines.begin(), fLines.begin() + (at < 0 ? end : end + 1));
    return taken;
}

std::vector<std::string> Collector::Lines()
{
    std::lock_guard<std::mutex> guard(fLock);
    return fLines;
}

size_t Collector::CountMatches(const std::string& pattern)
{
    std::lock_guard<std::mutex> guard(fLock);
    size_t n = 0;
    for (const std::string& line : fLines)
        n += MatchesText(line, pattern) ? 1 : 0;
    return n;
}

CollectorHandle::CollectorHandle(const void* session, const void* window)
    : fCollector(new Collector(session, window))
{
    fCollector->Run();
}

CollectorHandle::~CollectorHandle()
{
    if (fCollector->Lock())
        fCollector->Quit();
}
