// The main view's views: the "Login Options" tab with the identity fields, the server menu,
// the start-up box, the Connect button and the version line; the "Preferences" tab with the
// quit message; the dragger.

#include "AppMessages.h"
#include "ControlPanel.h"
#include "IrcMainView.h"

#include <ColorSaveBox.h>
#include <PopupStringView.h>

#include <AppDefs.h>
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
#include <vector>

namespace {

constexpr const char* kVersion = "Velmor v0.31 by the Velmor developers";
constexpr rgb_color kVersionColor = {0, 0, 200, 255};

// view's preferred height.
float PreferredHeight(BView* view)
{
    float width = 0;
    float height = 0;
    view->GetPreferredSize(&width, &height);
    return height;
}

} // namespace

void IrcMainView::DoGUI()
{
    fControlPanel = BMessenger(new ControlPanel(fTabs));

    // Everything is measured and placed before the boxes take their final size, since the
    // check box and the button follow the bottom of theirs.
    BRect rect = Bounds().InsetByCopy(5, 5).InsetByCopy(5, 5).InsetByCopy(15, 0);
    const float boxWidth = Bounds().Width() - 10;
    fNickName = new BTextControl(rect, "fNickName", "Nick Name", fNickString, nullptr);
    fRealName = new BTextControl(rect, "fRealName", "Real Name", fRealString, nullptr);
    fUserName = new BTextControl(rect, "fUserName", "User Name", fUserString, nullptr);
    auto* menu =
        new BPopUpMenu(fServerTitle[0] != '\0' ? fServerTitle : kNoServerLabel, true, false);
    fServer = new BMenuField(rect, "fServer", "Server", menu);
    fConnect = new BCheckBox(rect, "fConnect", "Connect at Startup",
                             new BMessage(MSG_CONNECT_AT_STARTUP), B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
    fOkay = new BButton(rect, "fOkay", "Connect", new BMessage(MSG_CONNECT),
                        B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
    fVersion = new PopupStringView(POPUP_CENTER_WINDOW, rect, "fVersion", kVersion,
                                   B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW);
    fVersion->SetFont(be_plain_font);
    fVersion->SetHighColor(kVersionColor);
    // There is no application menu to hold "About": a double click on the version asks.
    fVersion->SetMessage(new BMessage(B_ABOUT_REQUESTED));

    struct Placed
    {
        BView* view;
        BRect frame;
    };
    std::vector<Placed> placed;
    float top = rect.top;
    for (BView* view : std::initializer_list<BView*>{fNickName, fRealName, fUserName, fServer}) {
        const float height = PreferredHeight(view);
        placed.push_back({view, BRect(rect.left, top, rect.right, top + height)});
        top += height + 5;
    }
    top += 5; // 10 below the server field
    const float checkHeight = PreferredHeight(fConnect);
    placed.push_back({fConnect, BRect(rect.left, top, rect.right, top + checkHeight)});
    top += checkHeight + 10;
    float buttonWidth = 0;
    float buttonHeight = 0;
    fOkay->GetPreferredSize(&buttonWidth, &buttonHeight);
    const float buttonLeft = (boxWidth - buttonWidth) / 2;
    placed.push_back({fOkay, BRect(buttonLeft, top, buttonLeft + buttonWidth, top + buttonHeight)});
    top += buttonHeight + 5;
    const float versionWidth = fVersion->StringWidth(kVersion) + 5;
    const float versionLeft = (boxWidth - versionWidth) / 2;
    const float versionHeight = PreferredHeight(fVersion);
    placed.push_back(
        {fVersion, BRect(versionLeft, top, versionLeft + versionWidth, top + versionHeight)});
    const float boxHeight = top + versionHeight + 5;

    BRect boxFrame(0, 0, boxWidth, boxHeight);
    auto* login = new ColorSaveBox(boxFrame, "Login Options", B_FOLLOW_ALL,
                                   B_WILL_DRAW | B_FRAME_EVENTS, B_FANCY_BORDER);
    auto* prefs = new ColorSaveBox(BRect(0, 0, boxWidth + 1, boxHeight + 1), "Preferences",
                                   B_FOLLOW_ALL, B_WILL_DRAW | B_FRAME_EVENTS, B_FANCY_BORDER);
    for (const Placed& p : placed) {
        p.view->MoveTo(p.frame.LeftTop());
        p.view->ResizeTo(p.frame.Width(), p.frame.Height());
        login->AddChild(p.view);
    }
    fConnect->SetTarget(this);
    fVersion->SetTarget(this);
    Window()->SetDefaultButton(fOkay);

    fTabView = new BTabView(BRect(5, 5, 5 + boxWidth, 5 + boxHeight), "fTabView");
    fTabView->ResizeBy(0, fTabView->TabHeight());
    fTabView->AddTab(login);
    fTabView->AddTab(prefs);
    DoPrefsGUI(prefs);

    // Sized before the tab view is added, which follows every side of this view.
    if (!fArchived) {
        BRect frame = fTabView->Frame();
        ResizeTo(frame.right + 5, frame.bottom + 5);
        Window()->ResizeTo(frame.right + 5, frame.bottom + 5);
    }
    AddChild(fTabView);
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
    field.right -= 10;
    fQuitMessage = new BTextControl(field, "fQuitMessage", "Quit Message", fQuitString, nullptr,
                                    B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
    fQuitMessage->SetDivider(fQuitMessage->StringWidth("Quit Message") + 5);
    // One line high, in a box that holds just it: a field as tall as the tab looks like a
    // text area.
    const float height = PreferredHeight(fQuitMessage);
    fQuitMessage->ResizeTo(field.Width(), height);
    fQuitBox->ResizeTo(rect.Width(), height + 10);
    fQuitBox->AddChild(fQuitMessage);
    parent->AddChild(fQuitBox);
}
