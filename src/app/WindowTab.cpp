#include "WindowTab.h"

#include <DisplayMessages.h>
#include <IrcWindowInfo.h>

#include <View.h>

#include <cstdio>

WindowTab::WindowTab(std::shared_ptr<IrcWindowInfo> window, const char* label)
    : BTab(new BView(BRect(0, 0, 1, 1), label != nullptr ? label : "", B_FOLLOW_NONE, 0)),
      fWindow(std::move(window))
{
}

WindowTab::~WindowTab() = default;

void WindowTab::Select(BView* owner)
{
    BTab::Select(owner);
    const bool activate = !fDontActivate;
    fDontActivate = false;
    if (fWindow == nullptr)
        return;
    printf("Selecting %s\n", fWindow->Name().c_str());
    if (activate)
        fWindow->Post(MSG_ACTIVATE);
}
