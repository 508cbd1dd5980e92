#pragma once

// A modal alert. Go() blocks the calling thread only (other loopers keep running) until a
// button is pressed and returns its index, counted from 0 at the left.
//
// Who answers, in this order:
//   1. a responder installed with set_alert_responder (tests), called on the calling thread;
//   2. the display server (WindowDisplayFactory::ShowAlert), through an AlertReply;
//   3. nobody: the alert is written to standard output and button 0 is taken.
// A stop request for the waiting thread (OS.h) ends the wait; Go() then returns -1.

#include <SupportDefs.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

enum alert_type
{
    B_EMPTY_ALERT = 0,
    B_INFO_ALERT,
    B_IDEA_ALERT,
    B_WARNING_ALERT,
    B_STOP_ALERT,
};

enum button_width
{
    B_WIDTH_AS_USUAL,
    B_WIDTH_FIXED,
    B_WIDTH_FROM_WIDEST,
    B_WIDTH_FROM_LABEL,
};

// What an alert asks: shown by the display server, recorded by test responders.
struct alert_request
{
    std::string title;
    std::string text;
    std::vector<std::string> buttons; // left to right
    alert_type type = B_INFO_ALERT;
    button_width width = B_WIDTH_AS_USUAL;
};

// The answer to one shown alert; the first Answer wins. Thread-safe.
class AlertReply
{
public:
    void Answer(int32 index);
    // Waits for the answer (B_OK) or a stop request of the calling thread (B_INTERRUPTED).
    status_t Wait(int32* index);

private:
    std::mutex fMutex;
    std::condition_variable fCond;
    bool fAnswered = false;
    int32 fIndex = -1;
};

// Returns the index of the button to press. Installed process-wide; nullptr removes it.
typedef std::function<int32(const alert_request& request)> alert_responder;
void set_alert_responder(alert_responder responder);

class BAlert
{
public:
    // Buttons that are nullptr are left out.
    BAlert(const char* title, const char* text, const char* button0, const char* button1 = nullptr,
           const char* button2 = nullptr, button_width width = B_WIDTH_AS_USUAL,
           alert_type type = B_INFO_ALERT);
    virtual ~BAlert();
    BAlert(const BAlert&) = delete;
    BAlert& operator=(const BAlert&) = delete;

    // Shows the alert, waits, deletes the alert and returns the pressed button's index
    // (-1 when interrupted). The object must have been made with new.
    int32 Go();

    const alert_request& Request() const;

private:
    alert_request fRequest;
};
