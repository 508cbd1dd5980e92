#pragma once

#include "TabRequestQueue.h"

#include <Identd.h>
#include <IrcRouter.h>
#include <IrcWindowHost.h>

#include <Messenger.h>
#include <View.h>

#include <ctime>
#include <memory>

class BButton;
class BCheckBox;
class BMenuField;
class BMessageRunner;
class BTextControl;
class ControlPanel;

// The hub of the program, in the "Login Options" window: the login fields and the server
// menu, connecting (a session and its server window), the ident responder, the clock, the
// routing of every message the sessions send, and the control panel's tabs for the windows.
//
// Threads. Messages and Quit run on the main window's thread, window locked. The
// IrcWindowHost methods are called from conversation windows' threads; they only queue tab
// requests or use the router, which locks itself, so no window ever waits for this one.
class IrcMainView : public BView, public IrcWindowHost
{
public:
    IrcMainView();
    ~IrcMainView() override;

    // BView
    void AttachedToWindow() override;
    void MessageReceived(BMessage* message) override;

    // Application quit: stops the clock and the ident responder, closes the control panel
    // and every server window (each sends its QUIT), and waits a bounded time for them.
    // From then on every message is dropped. Returns true; a second call does nothing.
    bool Quit();

    // The ident responder's port and address; tests use a free loopback port.
    void SetIdentdOptions(const identd::Options& options) { fIdentdOptions = options; }

    // The clock texts: "%02d:%02d" (hour, minute) and "%02d/%02d/%04d" (month, day, year).
    static void FormatClock(const std::tm& local, char* time, size_t timeSize, char* date,
                            size_t dateSize);
    const char* Time() const { return fTime; }
    const char* Date() const { return fDate; }

    // IrcWindowHost (any window's thread)
    void AddTab(const std::shared_ptr<IrcWindowInfo>& window, const char* label) override;
    void RemoveTab(const IrcWindowInfo* window) override;
    void SetTabLabel(const IrcWindowInfo* window, const char* label) override;
    void SelectTab(const IrcWindowInfo* window) override;
    std::vector<std::shared_ptr<IrcConversationList>> ServerList() const override;
    void RemoveServer(const IrcWindowInfo* serverWindow) override;

    // The control panel (a messenger: it may have quit)
    BMessenger CPanel() const { return fControlPanel; }

private:
    void DoGUI();
    void Connect();
    void RestartIdentd();
    void ChooseServer(BMessage* message);
    void UpdateTime();

    // Identity and the chosen server
    char fNickString[256] = {};
    char fQuitString[1024] = {};
    char fServerString[256] = {};
    char fServerTitle[512] = {};
    char fUserString[256] = {};
    char fRealString[256] = {};
    int32 fPort = 6667;
    bool fConnectAtStartup = false;

    // Clock
    char fTime[32] = {};
    char fDate[32] = {};
    std::unique_ptr<BMessageRunner> fTimeRunner;

    // Ident responder
    identd::Options fIdentdOptions;
    bool fIdentdStarted = false;

    bool fQuitting = false;

    // Sessions and their windows
    IrcRouter fRouter;
    std::shared_ptr<TabRequestQueue> fTabs;
    BMessenger fControlPanel;

    // Views (owned by the view tree)
    BTextControl* fNickName = nullptr;
    BTextControl* fRealName = nullptr;
    BTextControl* fUserName = nullptr;
    BMenuField* fServer = nullptr;
    BCheckBox* fConnect = nullptr;
    BButton* fOkay = nullptr;
};
