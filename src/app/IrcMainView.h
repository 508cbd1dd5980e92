#pragma once

#include "TabRequestQueue.h"

#include <Identd.h>
#include <IrcRouter.h>
#include <IrcWindowHost.h>

#include <IrcSettingsFile.h>

#include <Messenger.h>
#include <View.h>

#include <ctime>
#include <memory>

class BButton;
class BCheckBox;
class BMenuField;
class BMessageRunner;
class BTabView;
class BTextControl;
class ColorSaveBox;
class ControlPanel;
class PopupStringView;
class ServerConfigWindow;

// The hub of the program, in the "Login Options" window: the login fields and the server
// menu, connecting (a session and its server window), the ident responder, the clock, the
// routing of every message the sessions send, and the control panel's tabs for the windows.
// The identity, the chosen server and the window's frame are read at attach and written at
// quit; the server menu is rebuilt from the server list file whenever it was edited.
//
// Threads. Messages and Quit run on the main window's thread, window locked. The
// IrcWindowHost methods are called from conversation windows' threads; they only queue tab
// requests or use the router, which locks itself, so no window ever waits for this one.
class IrcMainView : public BView, public IrcWindowHost
{
public:
    IrcMainView();
    // A view rebuilt from an archive keeps the archived frame.
    explicit IrcMainView(BMessage* archive);
    ~IrcMainView() override;

    // Archiving: the view's own fields plus "class" and "add_on" (the application signature).
    status_t Archive(BMessage* into, bool deep = true) const override;
    static BArchivable* Instantiate(BMessage* archive);

    // BView
    void AttachedToWindow() override;
    void MessageReceived(BMessage* message) override;

    // Application quit: stops the clock and the ident responder, closes the about picture,
    // the server configuration window and the control panel
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

    // The server configuration window (hidden until "Configure Servers…").
    ServerConfigWindow* ConfigWindow() const { return fServerConfigWindow; }

private:
    void DoGUI();
    void DoPrefsGUI(BView* parent);
    void UpdateMenus();
    void ReadSettings();
    void WriteSettings();
    void AboutRequested();
    void Connect();
    void RestartIdentd();
    void ChooseServer(BMessage* message);
    void UpdateTime();
    // A field's text; "" before the views exist.
    static const char* TextOf(const BTextControl* control);
    // A server that matches no line of the server list, or has no usable port there, still
    // connects somewhere sensible.
    static constexpr int32 kDefaultPort = 6667;
    static int32 PortOrDefault(int32 port);
    // The server menu's label while no server is chosen.
    static constexpr const char* kNoServerLabel = "Please select a server";

    // Identity and the chosen server
    char fNickString[256] = {};
    char fQuitString[1024] = {};
    char fServerString[256] = {};
    char fServerTitle[512] = {};
    char fUserString[256] = {};
    char fRealString[256] = {};
    int32 fPort = kDefaultPort;
    bool fConnectAtStartup = false;
    bool fArchived = false;
    IrcSettingsFile fSettings;

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
    ServerConfigWindow* fServerConfigWindow = nullptr;
    BMessenger fAboutWindow;

    // Views (owned by the view tree)
    BTextControl* fNickName = nullptr;
    BTextControl* fRealName = nullptr;
    BTextControl* fUserName = nullptr;
    BMenuField* fServer = nullptr;
    BCheckBox* fConnect = nullptr;
    BButton* fOkay = nullptr;
    BTabView* fTabView = nullptr;
    PopupStringView* fVersion = nullptr;
    ColorSaveBox* fQuitBox = nullptr;
    BTextControl* fQuitMessage = nullptr;
};
