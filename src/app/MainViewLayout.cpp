// The main view's views: the "Login Options" tab with the identity fields, the server menu,
// the start-up box, the Connect button and the version line; the "Preferences" tab with the
// quit message; the dragger.

#include "AppMessages.h"
#include "ControlPanel.h"
#include "IrcMainView.h"

#include <ColorSaveBox.h>
#include <PopupStringView.h>

#include <Button.h>
#include <CheckBox.h>
#include <Dragger.h>
#include <Font.h>
#include <MenuField.h>
#include <Message.h>
#include <PopUpMenu.h>
#include <TabView.h>
#include <TextControl.h>
#include <Window.h>

#include <algorithm>

namespace {

constexpr const char* kVersion = "Velmor v0.31 by the Velmor developers";
constexpr const char* kNoServerLabel = "Please select a server";
constexpr rgb_color kVersionColor = {0, 0, 200, 255};

// Puts view at the top of rect with its preferred height and rect's width.
float Stack(BView* view, BRect rect, float top)
{
    float width = 0;
    float height = 0;
    view->GetPreferredSize(&width, &height);
    view->MoveTo(rect.left, top);
    view->ResizeTo(rect.Width(), height);
    return top + height;
}

} // namespace

void IrcMainView::DoGUI()
{
    fControlPanel = BMessenger(new ControlPanel(fTabs));

    BRect tabFrame = Bounds().InsetByCopy(5, 5);
    fTabView = new BTabView(tabFrame, "fTabView");
    BRect boxFrame = tabFrame.OffsetToCopy(0, 0);
    auto* login = new ColorSaveBox(boxFrame, "Login Options", B_FOLLOW_ALL,
                                   B_WILL_DRAW | B_FRAME_EVENTS, B_FANCY_BORDER);
    auto* prefs = new ColorSaveBox(boxFrame, "Preferences", B_FOLLOW_ALL,
                                   B_WILL_DRAW | B_FRAME_EVENTS, B_FANCY_BORDER);

    BRect rect = Bounds().InsetByCopy(5, 5).InsetByCopy(5, 5).InsetByCopy(15, 0);
    fNickName = new BTextControl(rect, "fNickName", "Nick Name", fNickString, nullptr);
    fRealName = new BTextControl(rect, "fRealName", "Real Name", fRealString, nullptr);
    fUserName = new BTextControl(rect, "fUserName", "User Name", fUserString, nullptr);
    auto* menu =
        new BPopUpMenu(fServerTitle[0] != '\0' ? fServerTitle : kNoServerLabel, true, false);
    fServer = new BMenuField(rect, "fServer", "Server", menu);
    float bottom = rect.top - 5;
    for (BView* view : std::initializer_list<BView*>{fNickName, fRealName, fUserName, fServer}) {
        login->AddChild(view);
        bottom = Stack(view, rect, bottom + 5);
    }

    fConnect = new BCheckBox(rect, "fConnect", "Connect at Startup",
                             new BMessage(MSG_CONNECT_AT_STARTUP), B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
    login->AddChild(fConnect);
    bottom = Stack(fConnect, rect, bottom + 10);
    fConnect->SetTarget(this);

    fOkay = new BButton(rect, "fOkay", "Connect", new BMessage(MSG_CONNECT),
                        B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
    login->AddChild(fOkay);
    fOkay->ResizeToPreferred();
    fOkay->MoveTo((boxFrame.Width() - fOkay->Bounds().Width()) / 2, bottom + 10);
    bottom = fOkay->Frame().bottom;
    Window()->SetDefaultButton(fOkay);

    fVersion = new PopupStringView(POPUP_CENTER_WINDOW, rect, "fVersion", kVersion,
                                   B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW);
    login->AddChild(fVersion);
    fVersion->SetFont(be_plain_font);
    fVersion->SetHighColor(kVersionColor);
    float width = 0;
    float height = 0;
    fVersion->GetPreferredSize(&width, &height);
    width = fVersion->StringWidth(kVersion) + 5;
    fVersion->ResizeTo(width, height);
    fVersion->MoveTo((boxFrame.Width() - width) / 2, bottom + 5);
    bottom = fVersion->Frame().bottom;

    login->ResizeTo(boxFrame.Width(), bottom + 5);
    prefs->ResizeTo(boxFrame.Width() + 1, bottom + 6);
    fTabView->AddTab(login);
    fTabView->AddTab(prefs);
    fTabView->ResizeTo(tabFrame.Width(), fTabView->TabHeight() + bottom + 6);
    AddChild(fTabView);

    DoPrefsGUI(prefs);

    if (!fArchived) {
        // The tab view follows every side, so it is put back to its size after the view
        // has grown around it.
        BRect frame = fTabView->Frame();
        ResizeTo(frame.right + 5, frame.bottom + 5);
        fTabView->ResizeTo(frame.Width(), frame.Height());
        Window()->ResizeTo(frame.right + 5, frame.bottom + 5);
    }
    BRect bounds = Bounds();
    AddChild(new BDragger(BRect(bounds.right - 7, bounds.bottom - 7, bounds.right, bounds.bottom),
                          this, B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM));

    const float divider = StringWidth("Nick Name") + 5;
    fNickName->SetDivider(divider);
    fServer->SetDivider(divider);
    fRealName->SetDivider(divider);
    // Not among the three the layout names, but a field out of line with the others looks
    // broken.
    fUserName->SetDivider(divider);
}

void IrcMainView::DoPrefsGUI(BView* parent)
{
    BRect rect = parent->Bounds().InsetByCopy(10, 10);
    fQuitBox = new ColorSaveBox(rect, "fQuitMessage", 0, 0, B_FANCY_BORDER);
    BRect field = fQuitBox->Bounds().OffsetByCopy(5, 5);
    field.right -= 5;
    fQuitMessage = new BTextControl(field, "fQuitMessage", "Quit Message", fQuitString, nullptr,
                                    B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
    fQuitBox->AddChild(fQuitMessage);
    fQuitMessage->SetDivider(fQuitMessage->StringWidth("Quit Message") + 5);
    parent->AddChild(fQuitBox);
}
