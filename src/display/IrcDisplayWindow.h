#pragma once

#include <Font.h>
#include <IrcSettingsFile.h>
#include <OS.h>
#include <TextView.h>
#include <Window.h>

#include "NickIndex.h"
#include "UserOrder.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class BMenu;
class BMenuBar;
class BScrollView;
class BStringView;
class BTextControl;
class ColorSaveBox;
class FontMenu;
class IRC;
class IrcConversationList;
class IrcItem;
class IrcListView;
class IrcWindowHost;
class IrcWindowInfo;
class MoveableScrollView;
class PopupStringView;
class UrlTextView;
struct irc_user;

// One conversation window: the server window of a connection, a channel, or a private
// conversation with one nick. It shows the events the main view routes to it, keeps the
// channel's user list, and turns the lines typed into its entry field into commands.
//
// Ownership. The session is shared: the server window disconnects it when it closes, and
// the last window of the server to go deletes it, so a conversation window that is still
// handling a line never uses a freed session. Windows are deleted by the kit when they quit.
//
// Threads. Everything runs on the window's own thread with the window locked, except the
// server window's "ServerConnect" and "ServerConnectionWatch" threads, which reach the
// window only through a messenger. A window never waits for another conversation window's
// lock: what it changes in another window (statistics, menus, closing) is posted. Other
// threads learn about a window through its IrcWindowInfo.
class IrcDisplayWindow : public BWindow
{
public:
    enum
    {
        kChannelWindow = 0,
        kServerWindow = 1,
        kPrivateWindow = 2
    };

    // conversations: the server's list for a channel or private window; nullptr for a
    // server window, which makes its own.
    IrcDisplayWindow(std::shared_ptr<IRC> irc, const char* name, IrcWindowHost* host, int32 kind,
                     int32 number, std::shared_ptr<IrcConversationList> conversations);
    ~IrcDisplayWindow() override;

    // Opening (the main view's thread)
    // A server window for a new session, with the clock texts and its status line; its
    // connection threads are started with StartThreads.
    static IrcDisplayWindow* OpenServer(std::shared_ptr<IRC> irc, const char* host,
                                        IrcWindowHost* windowHost, const char* time,
                                        const char* date);
    // A channel (name beginning with "#") or private window, appended to the server's list;
    // the server window's status line and every window's menu are refreshed by messages.
    static IrcDisplayWindow* OpenConversation(std::shared_ptr<IRC> irc, const char* name,
                                              IrcWindowHost* windowHost,
                                              const std::shared_ptr<IrcConversationList>& list);

    // BWindow
    void MessageReceived(BMessage* message) override;
    void Quit() override;
    bool QuitRequested() override; // always true
    void FrameResized(float width, float height) override;
    void WindowActivated(bool active) override;

    // Lifecycle
    void StartThreads(); // server windows only
    // Closes the window as its server window or the application does: no PART, no tab
    // bookkeeping. Posted, so callable from any thread.
    void QuitNow();
    void SetQuitMessage(const char* text);

    // Identity (the window's thread, except Info and Conversations, which are shared)
    const std::shared_ptr<IrcWindowInfo>& Info() const { return fInfo; }
    const std::shared_ptr<IrcConversationList>& Conversations() const { return fConversations; }
    // The server window's list of its channel and private windows; nullptr elsewhere.
    IrcConversationList* ChannelList() const;
    const char* Who() const { return fName; }
    int32 WindowType() const { return fWindowType; }
    bool IsConnected() const { return fConnected.load(); }
    IRC* Session() const { return fIrc; }

    // Event display (EventDisplay.cpp)
    void HandleMessages(BMessage* message);
    // word occurs in text, ignoring ASCII case.
    static bool Contains(const char* text, const char* word);

    // Scrollback (ScrollbackText.cpp)
    // The only way text enters the scrollback; runs (may be nullptr) are relative to text.
    void Append(const char* text, const text_run_array* runs);
    // A new string the caller frees with free().
    static char* CleanUpString(const char* text);
    void ParseForUrls(const char* line);
    void ClearScrollback();

    // User list (UserList.cpp, ModeChange.cpp, UserPopup.cpp)
    void AppendUserList(const char* list);
    static int sort_func(const void* a, const void* b);
    // Channel: a row shows exactly this nick; elsewhere: the window's name is exactly nick.
    bool Contains(const char* nick) const;
    // A join: adds the user at its sorted place, or updates the row that has that nick.
    void AddUser(const char* nick, const char* host);
    // The first row whose nick equals nick ignoring case; false when there is none.
    bool RemoveUser(const char* nick);
    void RenameUser(const char* oldNick, const char* newNick);
    void SortUsers();
    void HandleModeChange(const char* change);
    void HandleUserPopup(BMessage* message);
    int32 UserCount() const { return fUserCount; }
    int32 OpCount() const { return fOpCount; }
    IrcListView* UserListView() const { return fUsers; }

    // Entry commands (EntryCommands.cpp)
    void HandleUserEntry(const char* line);
    signed char Emphasis() const { return fEmphasis; }
    void SetEmphasis(signed char emphasis) { fEmphasis = emphasis; }
    const std::vector<std::string>& History() const { return fHistory; }

    // Entry line editing (EntryLine.cpp)
    // The entry field's key filter and the keys it takes from the native editor.
    void InstallEntryFilter();
    // Sends the entry's line (as HandleUserEntry) and empties the field.
    void SendEntryLine();
    // A key that reached the entry's filter; true when the filter took it.
    bool FilterEntryKey(uint8 byte, bool command);
    void HandleUp();
    void HandleDown();
    void MakeBold() { fEmphasis = 2; }
    void MakeInverse() { fEmphasis = 22; }
    // Completes the nick before the caret; again, the next nick that fits.
    void HandleTab();
    // A key typed in the scrollback or the user list continues in the entry field.
    void HandleMissedChar(BMessage* message);
    // The newest lines kept in the history.
    static constexpr size_t kHistoryLimit = 1000;

    // Title, status and menus (TitleAndStatus.cpp)
    void SetChannelTitle(const char* topic);
    // Refreshes the status line once the messages already queued are handled, so a run of
    // joins and parts redraws it once.
    void UpdateChannelStats();
    void UpdateMenus(); // likewise
    void WatchActivation(bool watch) { fWatchActivation = watch; }

    // Layout (WindowLayout.cpp)
    void DoGUI();
    // After a drag of the user list's edge, with the list's frame from before it.
    void ScrollViewMoved(BRect oldFrame);

    // Settings (WindowSettings.cpp): read by the constructor, written when the window closes
    void ReadSettings();
    void WriteSettings();

    // Colours of the scrollback
    static constexpr rgb_color kPlain = {0, 0, 0, 200};
    static constexpr rgb_color kEventBlue = {0, 0, 200, 200};
    static constexpr rgb_color kJoinBlue = {0, 0, 200, 0};
    static constexpr rgb_color kWhoisRed = {255, 0, 0, 200};
    static constexpr rgb_color kHighlight = {255, 0, 200, 200};

private:
    // Lifecycle (IrcDisplayWindow.cpp)
    struct ThreadData;
    static int32 ServerConnect(void* data);
    static int32 ServerConnectionWatch(void* data);
    void QuitSequence();

    // Event display helpers (EventDisplay.cpp)
    void MarkUnread();
    void ShowKicked(const char* channel, const char* from, const char* reason);
    void HandleJoin(const char* nick, const char* host);
    void HandleNickChange(const char* nick, const char* newNick);
    void ForwardConnectionLost(BMessage* message);
    void Restyle(BFont* font, const BFont& changed); // WindowLayout.cpp
    void MarkFontMenus();                            // the font menus and size menus show the fonts

    // Title and status helpers (TitleAndStatus.cpp)
    void RefreshStats();
    void RefreshMenus();
    // The name as titles, tabs and menus show it: a peer's nick may hold any bytes.
    std::string ShownName() const;
    void ActivateConversation(int32 index);
    void SelectServer(BMessage* message);
    // Every window of the server rebuilds its Windows menu (posted).
    void PostMenusUpdate();

    // Entry line helpers (EntryLine.cpp)
    void ShowEntryText(const char* text);
    void ResetBrowsing();
    void MatchingNicks(const std::string& prefix, std::vector<std::string>* nicks) const;

    // Members -----------------------------------------------------------------------------
    // Identity
    std::shared_ptr<IRC> fIrcOwner;
    IRC* fIrc;
    IrcWindowHost* fHost;
    std::shared_ptr<IrcWindowInfo> fInfo;
    std::shared_ptr<IrcConversationList> fConversations; // the server's list
    std::shared_ptr<IrcWindowInfo> fServerInfo;          // the server window's info
    char fName[1024];
    int32 fWindowNumber;
    int32 fWindowType;

    // Lifecycle
    bool fQuitNow = false;
    std::atomic<bool> fConnected{false};
    std::atomic<bool> fTimedOut{false};
    std::atomic<bool> fStatsPending{false}; // a refresh of the status line is queued
    thread_id fConnectThread = -1;
    thread_id fWatchThread = -1;
    bool fRejoin = false;
    char fRejoinChannel[256] = {};
    std::string fQuitMessage;
    bool fWatchActivation = true;

    // Title and status
    std::string fTitleString;
    bool fUnreadMark = false;
    bool fHasTab = false;
    char fTimeString[1024] = {};
    char fDateString[1024] = {};

    // Entry line
    signed char fEmphasis = -1;
    std::vector<std::string> fHistory;
    int32 fHistoryIndex = 0;
    std::string fPendingLine;
    bool fHasPendingLine = false;
    bool fLineEdited = true;
    // Nick completion: the nicks that fit the word, the one shown, and the entry as the
    // last completion left it, so a further Tab knows it continues.
    std::vector<std::string> fCompletions;
    size_t fCompletionIndex = 0;
    int32 fCompletionStart = -1;
    std::string fCompletedText;
    int32 fCompletedCaret = -1;

    // Fonts
    BFont fTextFont;
    BFont fMessageFont;
    int32 fUserListWidth = 80;
    bool fOpsFirst = true;
    IrcSettingsFile fSettingsFile; // open for the window's life

    // Views (made by DoGUI, owned by the window)
    ColorSaveBox* fBackground = nullptr;
    BMenuBar* fMenuBar = nullptr;
    BMenu* fWindowsMenu = nullptr;
    BMenu* fOptionsMenu = nullptr;
    FontMenu* fTextFontMenu = nullptr;
    FontMenu* fMessageFontMenu = nullptr;
    BMenu* fTextSizeMenu = nullptr;
    BMenu* fMessageSizeMenu = nullptr;
    PopupStringView* fTitle = nullptr;
    BTextControl* fTextControl = nullptr;
    PopupStringView* fStats = nullptr;
    UrlTextView* fDisplay = nullptr;
    BScrollView* fBgrnd = nullptr;
    IrcListView* fUsers = nullptr;
    MoveableScrollView* fUserScroll = nullptr;

    // User list (UserList.cpp). Rows always stand at their sort_func place, so an event
    // touches only the rows it names: found through the nick index, placed through the order.
    IrcItem* FindUser(const char* nick) const;             // exact
    IrcItem* FindUserIgnoringCase(const char* nick) const; // the topmost such row
    int32 UserIndex(const IrcItem* item) const;            // -1 when not in the list
    void InsertUserRow(IrcItem* item, bool selected);      // list only
    bool RemoveUserRow(IrcItem* item);                     // list only; true when it was selected
    void IndexUser(IrcItem* item);                         // and the info's nick set
    void UnindexUser(IrcItem* item);
    void AddListedUser(const char* nick, bool op, bool voice);
    // New marks for a listed user: recoloured, moved to its place, fOpCount kept.
    void SetUserMarks(IrcItem* item, bool op, bool voice);
    void DeleteUser(IrcItem* item); // out of the list, index and counts

    // User list: counts, and the rows by nick, exact or in ASCII lower case
    int32 fUserCount = 0;
    int32 fOpCount = 0;
    NickIndex fUsersByNick;
    UserOrder fUserOrder{sort_func}; // the rows' order, for placing and finding them
};
