#include "IrcDisplayWindow.h"

#include "DisplayMessages.h"
#include "IrcListView.h"
#include "UrlTextView.h"

#include <ColorSaveBox.h>
#include <Menu.h>
#include <MenuBar.h>
#include <Message.h>
#include <PopupStringView.h>
#include <ScrollView.h>
#include <TextControl.h>

namespace {

constexpr float kScrollBarWidth = 14;

// One line of the menu font, with room around it.
float LineHeight()
{
    BFont font(*be_plain_font);
    menu_info info;
    if (get_menu_info(&info) == B_OK) {
        font.SetFamilyAndStyle(info.f_family, info.f_style);
        font.SetSize(info.font_size);
    }
    font_height height;
    font.GetHeight(&height);
    return height.ascent + height.descent + 5;
}

} // namespace

void IrcDisplayWindow::DoGUI()
{
    const BRect bounds = Bounds();
    fBackground = new ColorSaveBox(bounds, Title(), B_FOLLOW_ALL_SIDES,
                                   B_WILL_DRAW | B_FRAME_EVENTS, B_NO_BORDER);
    AddChild(fBackground);

    fMenuBar = new BMenuBar(BRect(0, 0, bounds.right, 20), "fMenuBar");
    fWindowsMenu = new BMenu("Windows");
    fOptionsMenu = new BMenu("Options");
    fMenuBar->AddItem(fWindowsMenu);
    fMenuBar->AddItem(fOptionsMenu);
    fBackground->AddChild(fMenuBar);
    fMenuBar->ResizeToPreferred();
    const BRect menuFrame = fMenuBar->Frame();

    const float line = LineHeight();
    float top = menuFrame.bottom;
    if (fWindowType == kChannelWindow) {
        BRect titleFrame(menuFrame.right + 5, menuFrame.top + 5, bounds.right - 5,
                         menuFrame.top + 5 + line);
        fTitle = new PopupStringView(POPUP_CENTER_WINDOW, titleFrame, "fTitle", "",
                                     B_FOLLOW_H_CENTER | B_FOLLOW_TOP);
        fBackground->AddChild(fTitle);
        top = titleFrame.bottom + 5;
    }

    BRect entryFrame(5, bounds.bottom - line - line, bounds.right - 5, bounds.bottom - line);
    fTextControl =
        new BTextControl(entryFrame, "TextControl", nullptr, "", new BMessage(MSG_ENTRY_RETURN),
                         B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
    fBackground->AddChild(fTextControl);
    InstallEntryFilter();

    BRect statsFrame(3, entryFrame.bottom + 2, 3 + 200, entryFrame.bottom + 2 + line);
    fStats = new PopupStringView(POPUP_ON_VIEW, statsFrame, "fStats", "",
                                 B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
    fBackground->AddChild(fStats);

    const float listWidth = fWindowType == kChannelWindow ? fUserListWidth : 0;
    BRect textFrame(entryFrame.left + 5, top, bounds.right - kScrollBarWidth - listWidth - 5,
                    entryFrame.top - 10);
    BRect textRect = textFrame.OffsetToCopy(0, 0);
    fDisplay = new UrlTextView(textFrame, "fDisplay", textRect, B_FOLLOW_ALL_SIDES,
                               B_WILL_DRAW | B_FRAME_EVENTS);
    fDisplay->SetStylable(true);
    fDisplay->MakeEditable(false);
    fBgrnd = new BScrollView("fBgrnd", fDisplay, B_FOLLOW_ALL_SIDES, 0, false, true);
    fBackground->AddChild(fBgrnd);

    BRect listFrame(textFrame.right + kScrollBarWidth + 10, textFrame.top,
                    bounds.right - kScrollBarWidth - 5, textFrame.bottom);
    fUsers = new IrcListView(listFrame, "fUsers", B_MULTIPLE_SELECTION_LIST,
                             B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT, B_WILL_DRAW | B_NAVIGABLE);
    fUserScroll = new BScrollView("fUserScroll", fUsers, B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT, 0,
                                  false, true);
    fBackground->AddChild(fUserScroll);
    // Only channels have users to show.
    if (fWindowType != kChannelWindow)
        fUserScroll->Hide();

    SetChannelTitle("");
    fTextControl->MakeFocus(true);
    fUsers->SetInvocationMessage(new BMessage(MSG_PRIVATE_CHAT));
}

void IrcDisplayWindow::FrameResized(float, float)
{
    if (fDisplay == nullptr)
        return;
    fDisplay->SetTextRect(fDisplay->Bounds());
    Append("", nullptr);
}
