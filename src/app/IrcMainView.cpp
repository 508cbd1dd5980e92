#include "IrcMainView.h"

#include "AppMessages.h"
#include "ControlPanel.h"

#include <ServerConfigWindow.h>

#include <IRC.h>
#include <IrcWindowInfo.h>
#include <SessionMessages.h>

#include <Alert.h>
#include <AppDefs.h>
#include <Button.h>
#include <CheckBox.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <MessageRunner.h>
#include <PopUpMenu.h>
#include <StringCopy.h>
#include <TextControl.h>
#include <Window.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr bigtime_t kClockInterval = 29000000;
// Long enough for every server window to send its QUIT; a window stuck in a host look-up
// is not waited for.
constexpr bigtime_t kQuitWait = 3000000;

} // namespace

IrcMainView::IrcMainView()
    : BView(BRect(0, 0, 301, 201), "IrcMainView", B_FOLLOW_NONE,
            B_FULL_UPDATE_ON_RESIZE | B_WILL_DRAW | B_FRAME_EVENTS),
      fRouter(this), fTabs(std::make_shared<TabRequestQueue>()),
      fServerConfigWindow(new ServerConfigWindow(this))
{
}

IrcMainView::~IrcMainView() = default;

void IrcMainView::AttachedToWindow()
{
    BView::AttachedToWindow();
    UpdateTime();
    BMessage tick(MSG_UPDATE_TIME);
    fTimeRunner = std::make_unique<BMessageRunner>(BMessenger(this), &tick, kClockInterval);
    ReadSettings();
    DoGUI();
    UpdateMenus();
    fOkay->SetTarget(this);
    if (fConnectAtStartup) {
        fConnect->SetValue(B_CONTROL_ON);
        Connect();
    }
}

void IrcMainView::MessageReceived(BMessage* message)
{
    // Windows are closing: routing must not reach them, nor may anything new start.
    if (fQuitting)
        return;
    switch (message->what) {
    case MSG_CONNECT_AT_STARTUP:
        fConnectAtStartup = fConnect->Value() == B_CONTROL_ON;
        break;
    case MSG_CONNECT:
        Connect();
        break;
    case MSG_CHOOSE_SERVER:
        ChooseServer(message);
        break;
    case MSG_UPDATE_TIME:
        UpdateTime();
        break;
    case MSG_RAW_LINE:
    case MSG_IRC_EVENT:
    case MSG_OPEN_WINDOW:
        fRouter.Route(message);
        break;
    case MSG_CONFIGURE_SERVERS:
        if (fServerConfigWindow->Lock()) {
            if (fServerConfigWindow->IsHidden())
                fServerConfigWindow->Show();
            fServerConfigWindow->Activate();
            fServerConfigWindow->Unlock();
        }
        break;
    case MSG_SERVERS_CHANGED:
        UpdateMenus();
        break;
    case B_ABOUT_REQUESTED:
        AboutRequested();
        break;
    default:
        BView::MessageReceived(message);
        if (Window() != nullptr)
            Window()->PostMessage(message);
        break;
    }
}

void IrcMainView::Connect()
{
    copy_utf8(fUserString, sizeof(fUserString), TextOf(fUserName));
    RestartIdentd();

    if (fServerString[0] == '\0') {
        (new BAlert("", "Please select a server from the server menu first.", "Okay", nullptr,
                    nullptr, B_WIDTH_AS_USUAL, B_STOP_ALERT))
            ->Go();
        return;
    }
    if (TextOf(fNickName)[0] == '\0')
        return;
    copy_utf8(fNickString, sizeof(fNickString), TextOf(fNickName));
    if (TextOf(fRealName)[0] == '\0')
        return;
    copy_utf8(fRealString, sizeof(fRealString), TextOf(fRealName));

    auto session = std::make_shared<IRC>(fNickString, fNickString, fRealString, fServerString,
                                         fPort, new BMessage(MSG_SESSION), this, nullptr);
    fRouter.Connect(session, fServerString, fTime, fDate);
}

void IrcMainView::RestartIdentd()
{
    fIdentdStarted = true;
    printf("fUserString = %s\n", fUserString);
    if (identd::StartIdentd(fUserString, fIdentdOptions) != B_OK)
        printf("Could not start the ident responder\n");
    printf("CALLED STARTCLIENT!\n");
    printf("Called startclient with %s\n", fUserString);
}

void IrcMainView::ChooseServer(BMessage* message)
{
    const char* host = nullptr;
    if (message->FindString("Host", &host) != B_OK || host[0] == '\0')
        return;
    copy_utf8(fServerString, sizeof(fServerString), host);
    printf("strcpy'ed %s\n", fServerString);

    const char* title = nullptr;
    copy_utf8(fServerTitle, sizeof(fServerTitle),
              message->FindString("Title", &title) == B_OK ? title : host);
    printf("%s\n", fServerTitle);

    int32 port = 0;
    message->FindInt32("Port", &port);
    fPort = PortOrDefault(port);
    if (fServer != nullptr && fServer->MenuItem() != nullptr)
        fServer->MenuItem()->SetLabel(fServerTitle);
}

int32 IrcMainView::PortOrDefault(int32 port)
{
    return port > 0 && port <= 65535 ? port : kDefaultPort;
}

const char* IrcMainView::TextOf(const BTextControl* control)
{
    const char* text = control != nullptr ? control->Text() : nullptr;
    return text != nullptr ? text : "";
}

void IrcMainView::FormatClock(const std::tm& local, char* time, size_t timeSize, char* date,
                              size_t dateSize)
{
    snprintf(time, timeSize, "%02d:%02d", local.tm_hour, local.tm_min);
    snprintf(date, dateSize, "%02d/%02d/%04d", local.tm_mon + 1, local.tm_mday,
             local.tm_year + 1900);
}

void IrcMainView::UpdateTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    FormatClock(local, fTime, sizeof(fTime), fDate, sizeof(fDate));
    fRouter.PostClock(fTime, fDate);
}

bool IrcMainView::Quit()
{
    if (fQuitting)
        return true;
    fQuitting = true;
    fTimeRunner.reset();
    if (fIdentdStarted)
        identd::StopIdentd();
    fServerConfigWindow->QuitNow();
    // The about picture may still be up; it must not outlive the application.
    if (fAboutWindow.LockTarget()) {
        BLooper* about = nullptr;
        fAboutWindow.Target(&about);
        about->Quit();
    }
    WriteSettings();
    if (fControlPanel.LockTarget()) {
        BLooper* panel = nullptr;
        fControlPanel.Target(&panel);
        panel->Quit();
    }
    copy_utf8(fQuitString, sizeof(fQuitString), TextOf(fQuitMessage));
    fRouter.QuitAll(fQuitString);
    // The closing windows still call back into this view (tabs, RemoveServer). Should one
    // not finish in time, the view is left alive rather than freed under it.
    if (!fRouter.WaitForWindows(kQuitWait)) {
        printf("Some windows did not close in time\n");
        RemoveSelf();
    }
    return true;
}

void IrcMainView::AddTab(const std::shared_ptr<IrcWindowInfo>& window, const char* label)
{
    fTabs->Push({TabRequestQueue::kAdd, window.get(), window, label != nullptr ? label : ""});
}

void IrcMainView::RemoveTab(const IrcWindowInfo* window)
{
    fTabs->Push({TabRequestQueue::kRemove, window, nullptr, {}});
}

void IrcMainView::SetTabLabel(const IrcWindowInfo* window, const char* label)
{
    fTabs->Push({TabRequestQueue::kRelabel, window, nullptr, label != nullptr ? label : ""});
}

void IrcMainView::SelectTab(const IrcWindowInfo* window)
{
    fTabs->Push({TabRequestQueue::kSelect, window, nullptr, {}});
}

std::vector<std::shared_ptr<IrcConversationList>> IrcMainView::ServerList() const
{
    return fRouter.ServerList();
}

void IrcMainView::RemoveServer(const IrcWindowInfo* serverWindow)
{
    fRouter.RemoveServer(serverWindow);
}
