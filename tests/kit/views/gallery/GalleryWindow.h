#pragma once

// The gallery: one window with every kind of view the program uses, built the way the
// program's windows build theirs, and recording what reaches its thread. The gallery program
// shows it; the GUI tests drive it.

#include <ListView.h>
#include <Message.h>
#include <TextView.h>
#include <Window.h>

#include <mutex>
#include <string>
#include <vector>

class BBox;
class BMenuBar;
class BScrollView;
class BStringView;
class BTabView;
class BTextControl;

namespace gallery {

// Message codes the gallery's views send.
enum : uint32
{
    kEnter = 'Aret',
    kWindowItem = 'Aisq',
    kFontSize = 'Aiso',
    kFontFamily = 'Aisr',
    kInvoke = 'Aprv',
    kPopupWhois = 'Apr}',
    kDragRow = 'Aitd',
    kLink = 'Aurl',
    kShowAlert = 'Galr',
    kAlertAnswered = 'Gans',
    kServer = 'Adak',
    kConnect = 'Adah',
    kToggle = 'Adaf',
    kSelectRow = 'Asel',
};

class GalleryWindow : public BWindow
{
public:
    explicit GalleryWindow(BRect frame = BRect(60, 60, 699, 539), const char* title = "Gallery");
    ~GalleryWindow() override; // deletes the user list's rows, which the list does not own

    void MessageReceived(BMessage* message) override;

    // Thread-safe record of what the window thread handled
    std::vector<BMessage> Received(uint32 what) const;
    // Keys the entry's filter saw: byte and whether Command was held.
    std::vector<std::pair<int8, bool>> FilteredKeys() const;
    void RecordFilteredKey(int8 byte, bool command);

    // Views (touch with the window locked)
    BTextView* Display() const { return fDisplay; }
    BListView* Users() const { return fUsers; }
    BTextControl* Entry() const { return fEntry; }
    BTabView* Tabs() const { return fTabs; }

    // Appends a conversation line: the prefix in blue bold, the rest in the text font, and
    // a link for each word starting with "http://". Window locked.
    void AppendLine(const char* prefix, const char* text);

private:
    BView* _Conversation(BRect bounds);
    BView* _Login(BRect bounds);
    BMenuBar* _MenuBar();

    mutable std::mutex fMutex;
    std::vector<BMessage> fReceived;
    std::vector<std::pair<int8, bool>> fFilteredKeys;
    BTextView* fDisplay = nullptr;
    BListView* fUsers = nullptr;
    BTextControl* fEntry = nullptr;
    BTabView* fTabs = nullptr;
};

} // namespace gallery
