#pragma once

// The display server for tests: it shows nothing, keeps what would be shown (every window
// and view as the change stream describes them), and injects input exactly as the Qt server
// posts it. Installing one makes it the process's window display factory.
//
// Threads. Streams are applied on the pushing (window) thread in batches, and on the
// reading thread before every accessor or input call reads them, always under the display's
// own mutex; the accessors copy under that mutex, so tests read from any thread and see
// every change pushed before the call. Nothing here takes a window lock. Inject input, then
// Sync() the window before reading what it did.

#include <Alert.h>
#include <ChangeStream.h>
#include <RowList.h>
#include <TextBuffer.h>
#include <ViewChange.h>
#include <WindowDisplayLink.h>

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class BWindow;

namespace kit_private {

// A view as the display would show it.
struct ShownView
{
    int32 token = 0;
    int32 parent = 0;
    std::vector<int32> children;
    ViewKind kind = ViewKind::View;
    std::string name;
    BRect frame;
    uint32 flags = 0;
    bool hidden = false;
    rgb_color viewColor{};
    rgb_color lowColor{};
    rgb_color highColor{};
    BFont font;
    bool hasCursor = false;
    bool hasBitmap = false;
    int32 bitmapWidth = 0;
    int32 bitmapHeight = 0;
    std::vector<FilteredKey> filteredKeys;
    int32 invalidations = 0;
    // Controls
    std::string label;
    int32 value = 0;
    bool enabled = true;
    bool isDefault = false;
    float divider = 0;
    int32 border = 0;
    change::ScrollBarState scrollBar{};
    change::ScrollViewParts scrollParts{};
    // Text
    TextBuffer text;
    std::vector<StyleRun> runs; // absolute offsets
    std::vector<change::TextLink> links;
    change::TextMode textMode{};
    int32 selectionStart = 0;
    int32 selectionEnd = 0;
    int64 textVersion = 0;
    // Keys the editor left to the window, and how many of them the window has answered.
    int64 keysAsked = 0;
    int64 keysAnswered = 0;
    int32 scrolledTo = -1; // last TextScrollTo
    int32 scrollSteps = 0;
    // Lists
    RowList rows;
    std::vector<int32> selectedRows;
    float rowHeight = 0;
    // Menus and tabs
    MenuNode menu;
    change::Tabs tabs{};
};

struct ShownWindow
{
    int32 looperId = 0;
    std::string title;
    BRect frame;
    uint32 look = 0;
    uint32 feel = 0;
    uint32 flags = 0;
    bool visible = false;
    bool minimized = false;
    int32 activations = 0; // Activate(true) requests
    bool quit = false;
    int32 focus = 0;
    std::map<int32, ShownView> views;
    std::vector<int32> roots;

    // The first view with that name, or nullptr.
    const ShownView* Find(const char* name) const;
};

// A drag a view started, until a test drops it.
struct PendingDrag
{
    int32 looperId;
    int32 source;
    BMessage message;
    int32 imageWidth;
    int32 imageHeight;
};

class HeadlessDisplay : public WindowDisplayFactory
{
public:
    // Installs itself as the window display factory (and the fixed font provider).
    HeadlessDisplay();
    ~HeadlessDisplay() override;

    // Factory
    std::unique_ptr<WindowDisplayLink> CreateLink(BWindow* window) override;
    bool ShowAlert(const alert_request& request, std::shared_ptr<AlertReply> reply) override;
    void Beep() override;

    // What would be shown (copies)
    std::vector<ShownWindow> Windows() const;
    std::optional<ShownWindow> Window(const BWindow* window) const;
    std::optional<ShownView> View(const BWindow* window, const char* name) const;

    // Waits until the window has handled every message posted to it before this call.
    // false when the window is gone.
    bool Sync(BWindow* window);

    // Input, posted as the Qt server posts it
    void Click(BWindow* window, const char* view, BPoint where, uint32 buttons = 1,
               int32 clicks = 1, uint32 modifiers = 0);
    void MoveMouse(BWindow* window, const char* view, BPoint where, uint32 buttons = 0);
    // A press and a release on their own, for drags that follow MoveMouse with buttons held.
    void PressMouse(BWindow* window, const char* view, BPoint where, uint32 buttons = 1);
    void ReleaseMouse(BWindow* window, const char* view, BPoint where);
    void PressButton(BWindow* window, const char* view); // a button or a check box
    void Focus(BWindow* window, const char* view);       // the user focused a view
    // Types text into a text control or text view through its native editor (keys the view
    // declared for its filters are posted only, as the Qt server withholds them).
    void Type(BWindow* window, const char* view, const char* text);
    // A key to the focused view: withheld and shortcut keys plain, others as native.
    void PressKey(BWindow* window, const char* bytes, uint32 modifiers = 0);
    void ChooseMenuItem(BWindow* window, const std::vector<std::string>& path);
    void SelectTab(BWindow* window, const char* tabView, int32 index);
    void ClickLink(BWindow* window, const char* textView, int32 link);
    void DropColor(BWindow* window, const char* view, rgb_color color, BPoint where);
    void ResizeWindow(BWindow* window, float width, float height);
    void ActivateWindow(BWindow* window, bool active);
    void CloseWindow(BWindow* window);
    // What the native scroll bar of a scroll view's target reports.
    void ReportScroll(BWindow* window, const char* scrollBar, float value, float maximum);

    // Drags a view started
    std::optional<PendingDrag> Drag() const;
    // Drops the pending drag on a view (at where, in its coordinates); false without one.
    bool DropDrag(BWindow* window, const char* view, BPoint where);

    // Popup menus: the responder gets the tree and returns the token of the item to choose
    // (0: none). Without one, popups choose nothing. Every popup is recorded.
    using PopupResponder = std::function<int32(const MenuNode& tree, BPoint where)>;
    void SetPopupResponder(PopupResponder responder);
    std::vector<MenuNode> Popups() const;
    // The token of the item at a label path in a tree (0 when not found).
    static int32 FindToken(const MenuNode& tree, const std::vector<std::string>& path);

    // Alerts: the responder picks the button; without one, alerts wait for AnswerAlert.
    using AlertResponder = std::function<int32(const alert_request& request)>;
    void SetAlertResponder(AlertResponder responder);
    std::vector<alert_request> Alerts() const;
    // Answers the oldest unanswered alert; false when none waits.
    bool AnswerAlert(int32 index);
    bool WaitForAlert(bigtime_t timeout = 10000000) const;

    int32 Beeps() const;

private:
    // Commands a window may push before this display applies them by itself.
    static constexpr size_t kWakeThreshold = 256;
    // fLock, taken once every change pushed so far is applied and each pop-up found on the
    // way is answered.
    std::unique_lock<std::mutex> _Settled() const;
    void _Apply(const std::shared_ptr<ChangeStream>& stream);
    void _ApplyChange(ShownWindow& window, Change& change, std::vector<change::MenuPopup>& popups);
    ShownWindow* _Find(const BWindow* window);
    const ShownView* _View(const BWindow* window, const char* name, int32* looperId);
    std::shared_ptr<ChangeStream> _Stream(const BWindow* window) const;
    void _Post(BWindow* window, const char* view, const BMessage& message);
    void _TypeInto(int32 looperId, int32 token, const char* text);
    // Posts a key the editor does not act on, then holds the typist until the window has
    // handled it, so the keys after it land on the text it left.
    void _PostAndAwait(int32 looperId, int32 token, BMessage key);
    BPoint _ToScreen(const BWindow* window, const char* view, BPoint where);

    mutable std::mutex fLock;
    mutable std::condition_variable fAlertCond;
    std::condition_variable fAnswerCond;
    std::map<int32, ShownWindow> fWindows;
    std::map<int32, std::weak_ptr<ChangeStream>> fStreams;
    std::vector<Change> fDrained; // the changes being applied, kept for its room
    std::optional<PendingDrag> fDrag;
    PopupResponder fPopupResponder;
    std::vector<MenuNode> fPopups;
    AlertResponder fAlertResponder;
    std::vector<alert_request> fAlerts;
    std::vector<std::shared_ptr<AlertReply>> fWaitingAlerts;
    int32 fBeeps = 0;
};

} // namespace kit_private
