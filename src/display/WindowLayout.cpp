// The views of a conversation window, their geometry as the window and the user list's edge
// move, and the two font menus with the restyling of the scrollback they cause.

#include "IrcDisplayWindow.h"

#include "DisplayMessages.h"
#include "IrcListView.h"
#include "UrlTextView.h"

#include <ColorSaveBox.h>
#include <FontMenu.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <MoveableScrollView.h>
#include <PopupStringView.h>
#include <ScrollView.h>
#include <SeparatorItem.h>
#include <TextControl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr float kScrollBarWidth = 14;
constexpr int32 kSmallestSize = 8;
constexpr int32 kLargestSize = 58;
// A stored list width is kept between these: the list's scroll view at least as wide as a
// drag leaves it, and the scrollback keeping room for some text.
constexpr int32 kMinListWidth = 25;
constexpr float kMinTextWidth = 60;

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

// A font menu marked at font, with a "Size" submenu on top sending sizeCode.
FontMenu* MakeFontMenu(const char* name, uint32 familyCode, uint32 sizeCode, const BFont& font,
                       BMenu** sizeMenu)
{
    auto* menu = new FontMenu(name);
    menu->SetRadioMode(true);
    menu->SetMessage(familyCode);
    menu->Initialize(true);
    font_family family;
    font_style style;
    font.GetFamilyAndStyle(&family, &style);
    menu->SetFamilyAndStyle(family, style);

    auto* sizes = new BMenu("Size");
    sizes->SetRadioMode(true);
    for (int32 size = kSmallestSize; size <= kLargestSize; size += 2) {
        char label[16];
        snprintf(label, sizeof(label), "%ld", static_cast<long>(size));
        auto* message = new BMessage(sizeCode);
        message->AddInt32("size", size);
        auto* item = new BMenuItem(label, message);
        item->SetMarked(font.Size() == static_cast<float>(size));
        sizes->AddItem(item);
    }
    menu->AddItem(sizes, 0);
    menu->AddItem(new BSeparatorItem, 1);
    *sizeMenu = sizes;
    return menu;
}

void MarkSize(BMenu* sizes, float size)
{
    if (sizes == nullptr)
        return;
    for (int32 i = 0; i < sizes->CountItems(); i++) {
        BMenuItem* item = sizes->ItemAt(i);
        int32 itemSize = 0;
        const bool marked = item->Message() != nullptr &&
                            item->Message()->FindInt32("size", &itemSize) == B_OK &&
                            static_cast<float>(itemSize) == size;
        if (item->IsMarked() != marked)
            item->SetMarked(marked);
    }
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
    fTextFontMenu = MakeFontMenu("Channel Font", MSG_TEXT_FONT_FAMILY, MSG_TEXT_FONT_SIZE,
                                 fTextFont, &fTextSizeMenu);
    fMessageFontMenu = MakeFontMenu("Nick names, joins, modes, etc. Font", MSG_MESSAGE_FONT_FAMILY,
                                    MSG_MESSAGE_FONT_SIZE, fMessageFont, &fMessageSizeMenu);
    fOptionsMenu->AddItem(fTextFontMenu);
    fOptionsMenu->AddItem(fMessageFontMenu);
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

    float listWidth = 0;
    if (fWindowType == kChannelWindow) {
        // A stored width from another window size must still leave both views on screen.
        const float widest =
            std::max<float>(kMinListWidth, bounds.Width() - kMinTextWidth - kScrollBarWidth - 15);
        listWidth = std::clamp<float>(static_cast<float>(fUserListWidth), kMinListWidth, widest);
    }
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
    fUserScroll = new MoveableScrollView("fUserScroll", fUsers,
                                         B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT, 0, false, true);
    fBackground->AddChild(fUserScroll);
    // The scrollback keeps its scroll bar and some text however far the edge is dragged.
    const BRect scrollFrame = fBgrnd->Frame();
    const float gap = fUserScroll->Frame().left - scrollFrame.right;
    const float chrome = scrollFrame.Width() - fDisplay->Frame().Width();
    fUserScroll->SetMinLeft(scrollFrame.left + chrome + kMinTextWidth + gap);
    fUserScroll->SetMovedHook([this](BRect oldFrame) { ScrollViewMoved(oldFrame); });
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

void IrcDisplayWindow::ScrollViewMoved(BRect oldFrame)
{
    if (fBgrnd == nullptr || fUserScroll == nullptr)
        return;
    fBgrnd->ResizeBy(fUserScroll->Frame().left - oldFrame.left, 0);
    fDisplay->SetTextRect(fDisplay->Bounds());
    Append("", nullptr);
}

// Fonts

void IrcDisplayWindow::Restyle(BFont* font, const BFont& changed)
{
    const BFont old = *font;
    *font = changed;
    MarkFontMenus();
    if (fDisplay == nullptr)
        return;
    // Runs are told apart by family: a body run and a prefix run share one only when both
    // fonts do, and then both take the change.
    font_family oldFamily;
    old.GetFamilyAndStyle(&oldFamily, nullptr);
    const int32 length = fDisplay->TextLength();
    text_run_array* runs = fDisplay->RunArray(0, length);
    if (runs == nullptr)
        return;
    for (int32 i = 0; i < runs->count; i++) {
        font_family family;
        runs->runs[i].font.GetFamilyAndStyle(&family, nullptr);
        if (strcmp(family, oldFamily) == 0)
            runs->runs[i].font = *font;
    }
    fDisplay->SetRunArray(0, length, runs);
    BTextView::FreeRunArray(runs);
}

void IrcDisplayWindow::MarkFontMenus()
{
    font_family family;
    font_style style;
    if (fTextFontMenu != nullptr) {
        fTextFont.GetFamilyAndStyle(&family, &style);
        fTextFontMenu->SetFamilyAndStyle(family, style);
    }
    if (fMessageFontMenu != nullptr) {
        fMessageFont.GetFamilyAndStyle(&family, &style);
        fMessageFontMenu->SetFamilyAndStyle(family, style);
    }
    MarkSize(fTextSizeMenu, fTextFont.Size());
    MarkSize(fMessageSizeMenu, fMessageFont.Size());
}
