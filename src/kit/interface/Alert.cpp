#include "Alert.h"

#include "../private/StopAwareWait.h"

#include <WindowDisplayLink.h>

#include <cstdio>
#include <memory>

namespace {
std::mutex sResponderMutex;
alert_responder sResponder;
} // namespace

void AlertReply::Answer(int32 index)
{
    {
        std::lock_guard lock(fMutex);
        if (fAnswered)
            return;
        fAnswered = true;
        fIndex = index;
    }
    fCond.notify_all();
}

status_t AlertReply::Wait(int32* index)
{
    kit_private::StopAwareWait stop(fMutex, fCond);
    std::unique_lock lock(fMutex);
    while (!fAnswered) {
        if (stop.Requested())
            return B_INTERRUPTED;
        fCond.wait(lock);
    }
    *index = fIndex;
    return B_OK;
}

void set_alert_responder(alert_responder responder)
{
    std::lock_guard lock(sResponderMutex);
    sResponder = std::move(responder);
}

BAlert::BAlert(const char* title, const char* text, const char* button0, const char* button1,
               const char* button2, button_width width, alert_type type)
{
    fRequest.title = title ? title : "";
    fRequest.text = text ? text : "";
    for (const char* button : {button0, button1, button2}) {
        if (button != nullptr)
            fRequest.buttons.push_back(button);
    }
    fRequest.type = type;
    fRequest.width = width;
}

BAlert::~BAlert() = default;

const alert_request& BAlert::Request() const
{
    return fRequest;
}

int32 BAlert::Go()
{
    std::unique_ptr<BAlert> self(this);
    alert_responder responder;
    {
        std::lock_guard lock(sResponderMutex);
        responder = sResponder;
    }
    if (responder)
        return responder(fRequest);

    if (WindowDisplayFactory* factory = window_display_factory()) {
        auto reply = std::make_shared<AlertReply>();
        if (factory->ShowAlert(fRequest, reply)) {
            int32 index = -1;
            return reply->Wait(&index) == B_OK ? index : -1;
        }
    }
    printf("Alert: %s: %s [%s]\n", fRequest.title.c_str(), fRequest.text.c_str(),
           fRequest.buttons.empty() ? "" : fRequest.buttons[0].c_str());
    return 0;
}
