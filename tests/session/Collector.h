#pragma once

#include <Looper.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

// A looper that stands in for the main view: records every message it is sent as one line
// of text (see MessageText), in arrival order.
class Collector : public BLooper
{
public:
    // The session and server window pointers print as S and W.
    Collector(const void* session, const void* window);

    void MessageReceived(BMessage* message) override;

    // Waits until count lines have arrived; false on time-out.
    bool WaitForCount(size_t count, int timeoutMs = 3000);
    // Waits until a line at index from or later matches pattern (see MatchesText); its
    // index, or -1 on time-out.
    int WaitForMatch(const std::string& pattern, int timeoutMs = 3000, size_t from = 0);
    std::vector<std::string> Lines();
    // How many lines so far match pattern.
    size_t CountMatches(const std::string& pattern);

    // Waits for a line equal to marker, then removes and returns the lines before it
    // (the marker itself is dropped); everything so far when the marker never comes.
    std::vector<std::string> TakeUntil(const std::string& marker, int timeoutMs = 3000);

private:
    const void* fSession;
    const void* fWindow;
    std::mutex fLock;
    std::condition_variable fArrived;
    std::vector<std::string> fLines;
};

// Starts a Collector and quits it when it goes out of scope.
class CollectorHandle
{
public:
    CollectorHandle(const void* session, const void* window);
    ~CollectorHandle();
    Collector* operator->() const { return fCollector; }
    Collector* Get() const { return fCollector; }

private:
    Collector* fCollector;
};
