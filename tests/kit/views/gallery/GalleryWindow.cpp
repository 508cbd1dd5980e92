#include "GalleryWindow.h"

#include "GalleryViews.h"

#include <Alert.h>
#include <Bitmap.h>
#include <Box.h>
#include <Button.h>
#include <CheckBox.h>
#include <Cursor.h>
#include <Dragger.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <MessageFilter.h>
#include <PopUpMenu.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <StringView.h>
#include <TabView.h>
#include <TextControl.h>

#include <cstdio>
#include <cstring>

namespace gallery {

namespace {

constexpr rgb_color kEventBlue = {0, 0, 200, 200};
constexpr rgb_color kPlain = {0, 0, 0, 200};
constexpr rgb_color kLinkBlue = {0, 0, 255, 255};

// The left-right resize cursor of a movable edge.
const unsigned char kResizeCursor[68] = {
    16,   1,    7,    7,    0x00, 0x00, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x12, 0x48,
    0x32, 0x4C, 0x72, 0x4E, 0xFE, 0x7F, 0x72, 0x4E, 0x32, 0x4C, 0x12, 0x48, 0x02, 0x40,
    0x02, 0x40, 0x02, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x40, 0x02, 0x40,
    0x02, 0x40, 0x12, 0x48, 0x32, 0x4C, 0x72, 0x4E, 0xFE, 0x7F, 0x72, 0x4E, 0x32, 0x4C,
    0x12, 0x48, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x00, 0x00, 0x00, 0x00};

// The entry line's key filter: Tab, the arrows and Command+B/I are the window's.
filter_result EntryFilter(BMessage* message, BHandler**, BMessageFilter* filter)
{
    int8 byte;
    if (message->what != B_KEY_DOWN || message->FindInt8("byte", &byte) != B_OK)
        return B_DISPATCH_MESSAGE;
    bool command = (modifiers() & B_COMMAND_KEY) != 0;
    if (auto* window = dynamic_cast<GalleryWindow*>(filter->Looper()))
        window->RecordFilteredKey(byte, command);
    if (byte == B_TAB || byte == B_UP_ARROW || byte == B_DOWN_ARROW)
        return B_SKIP_MESSAGE;
    if ((byte == 'b' || byte == 'i') && command)
        return B_SKIP_MESSAGE;
    return B_DISPATCH_MESSAGE;
}

BBitmap* Picture()
{
    auto* bitmap = new BBitmap(BRect(0, 0, 63, 47), B_RGB32);
    auto* bits = static_cast<uint8*>(bitmap->Bits());
    for (int y = 0; y < 48; y++) {
        for (int x = 0; x < 64; x++) {
            uint8* pixel = bits + y * bitmap->BytesPerRow() + x * 4;
            pixel[0] = static_cast<uint8>(255 - x * 3); // blue
            pixel[1] = static_cast<uint8>(y * 5);       // green
            pixel[2] = static_cast<uint8>(x * 4);       // red
            pixel[3] = 255;
        }
    }
    return bitmap;
}

} // namespace

GalleryWindow::GalleryWindow(BRect frame, const char* title)
    : BWindow(frame, title, B_DOCUMENT_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0)
{
    BMenuBar* bar = _MenuBar();
    AddChild(bar);
    BRect bounds = Bounds();
    float top = bar->Frame().bottom + 4;
    fTabs = new BTabView(BRect(5, top, bounds.right - 5, bounds.bottom - 5), "fTabView");
    AddChild(fTabs);
    BRect inner = fTabs->ContainerView()->Bounds();
    BView* conversation = _Conversation(inner);
    conversation->SetName("Conversation");
    fTabs->AddTab(conversation);
    BView* login = _Login(inner);
    fTabs->AddTab(login);
    fTabs->Select(0);
    fEntry->MakeFocus();
}

GalleryWindow::~GalleryWindow()
{
    while (BListItem* item = fUsers->RemoveItem(static_cast<int32>(0)))
        delete item;
}

BMenuBar* GalleryWindow::_MenuBar()
{
    auto* bar = new BMenuBar(BRect(0, 0, 10, 10), "fMenuBar");
    auto* windows = new BMenu("Windows");
    windows->AddItem(new BMenuItem("irc.example.org", new BMessage('Aisn'), '0'));
    for (int32 i = 0; i < 2; i++) {
        auto* message = new BMessage(kWindowItem);
        message->AddInt32("index", i);
        windows->AddItem(new BMenuItem(i == 0 ? "#gallery" : "#kit", message, '1' + i));
    }
    bar->AddItem(windows);

    auto* options = new BMenu("Options");
    auto* fonts = new BMenu("Channel Font");
    fonts->SetRadioMode(true);
    auto* sizes = new BMenu("Size");
    sizes->SetRadioMode(true);
    for (int32 size = 8; size <= 20; size += 2) {
        char label[8];
        snprintf(label, sizeof(label), "%d", static_cast<int>(size));
        auto* message = new BMessage(kFontSize);
        message->AddInt32("size", size);
        auto* item = new BMenuItem(label, message);
        item->SetMarked(size == 12);
        sizes->AddItem(item);
    }
    fonts->AddItem(sizes);
    fonts->AddSeparatorItem();
    int32 families = std::min<int32>(count_font_families(), 6);
    for (int32 i = 0; i < families; i++) {
        font_family family;
        if (get_font_family(i, &family) != B_OK)
            continue;
        auto* styles = new BMenu(family);
        for (int32 j = 0; j < count_font_styles(family); j++) {
            font_style style;
            if (get_font_style(family, j, &style) != B_OK)
                continue;
            auto* message = new BMessage(kFontFamily);
            message->AddString("family", family);
            message->AddString("style", style);
            auto* item = new BMenuItem(style, message);
            item->SetLabelFamilyAndStyle(family, style);
            styles->AddItem(item);
        }
        fonts->AddItem(styles);
        fonts->ItemAt(fonts->CountItems() - 1)->SetLabelFamilyAndStyle(family, nullptr);
    }
    options->AddItem(fonts);
    options->AddSeparatorItem();
    options->AddItem(new BMenuItem("Show Alert", new BMessage(kShowAlert), 'A'));
    bar->AddItem(options);
    return bar;
}

BView* GalleryWindow::_Conversation(BRect bounds)
{
    auto* view = new BView(bounds, "Conversation", B_FOLLOW_ALL, B_WILL_DRAW);
    view->SetViewColor(B_PANEL_BACKGROUND);
    float width = bounds.Width();
    float height = bounds.Height();

    auto* title = new BStringView(BRect(0, 3, 10, 18), "fTitle",
                                  "#gallery: every kind of view (irc.example.org)",
                                  B_FOLLOW_H_CENTER | B_FOLLOW_TOP);
    title->ResizeToPreferred();
    title->MoveTo((width - title->Frame().Width()) / 2, 3);
    view->AddChild(title);

    BRect text(5, 24, width - 5 - 14 - 100 - 5, height - 60);
    fDisplay = new Scrollback(text, "fDisplay");
    fDisplay->SetStylable(true);
    fDisplay->MakeEditable(false);
    view->AddChild(new BScrollView("fBgrnd", fDisplay, B_FOLLOW_ALL, 0, false, true));

    BRect list(text.right + 24, 24, width - 19, height - 60);
    fUsers = new UserList(list, "fUsers");
    fUsers->SetInvocationMessage(new BMessage(kInvoke));
    fUsers->SetSelectionMessage(new BMessage(kSelectRow));
    struct
    {
        const char* nick;
        rgb_color color;
    } users[] = {{"zed", {200, 0, 0, 0}}, {"amy", {0, 0, 200, 0}}, {"bob", {0, 0, 0, 0}},
                 {"Carl", {0, 0, 0, 0}},  {"dora", {0, 0, 0, 0}},  {"eve", {0, 0, 0, 0}}};
    for (const auto& user : users)
        fUsers->AddItem(new ColoredRow(user.nick, user.color));
    auto* userScroll = new BScrollView("fUserScroll", fUsers, B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT,
                                       0, false, true);
    view->AddChild(userScroll);

    fEntry = new BTextControl(BRect(5, height - 50, width - 5, height - 30), "TextControl", nullptr,
                              "", new BMessage(kEnter), B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
    view->AddChild(fEntry);
    BTextView* entryText = fEntry->TextView();
    entryText->AddFilter(new BMessageFilter(B_PROGRAMMED_DELIVERY, B_ANY_SOURCE, EntryFilter));
    for (uint32 key : {B_TAB, B_UP_ARROW, B_DOWN_ARROW})
        entryText->AddFilteredKey(key);
    entryText->AddFilteredKey('b', B_COMMAND_KEY);
    entryText->AddFilteredKey('i', B_COMMAND_KEY);

    auto* stats =
        new BStringView(BRect(3, height - 24, 300, height - 8), "fStats",
                        "6 users 1 op at 12:00 on 01/01/2026", B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
    view->AddChild(stats);
    view->AddChild(new BDragger(BRect(width - 7, height - 7, width, height), view,
                                B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM));

    const char* lines[][2] = {
        {"[12:00] <zed>", " welcome to the gallery"},
        {"[12:01] <amy>", " the scrollback wraps long lines: lorem ipsum dolor sit amet, "
                          "consectetur adipiscing elit, sed do eiusmod tempor incididunt"},
        {"[12:02] <bob>", " see http://www.example.org/kit for the details"},
        {"[12:03] <Carl>", " two links: http://a.example/one and http://b.example/two"},
        {"*** dora", " has joined the channel"},
        {"[12:05] <eve>", " unicode survives: caf\xc3\xa9 \xe2\x80\x94 na\xc3\xafve"},
    };
    for (auto& line : lines)
        AppendLine(line[0], line[1]);
    return view;
}

BView* GalleryWindow::_Login(BRect bounds)
{
    auto* box = new ColorBox(bounds, "Login Options");
    float width = bounds.Width();
    BRect row(15, 20, width - 15, 40);
    const char* fields[][3] = {{"fNickName", "Nick Name", "gallery"},
                               {"fRealName", "Real Name", "Kit Gallery"},
                               {"fUserName", "User Name", "kit"}};
    for (auto& field : fields) {
        auto* control = new BTextControl(row, field[0], field[1], field[2], nullptr);
        control->SetDivider(control->StringWidth("Nick Name") + 5);
        control->ResizeToPreferred();
        box->AddChild(control);
        row.OffsetBy(0, control->Frame().Height() + 5);
    }
    auto* servers = new BPopUpMenu("Please select a server");
    const char* names[] = {"EFNet [irc.efnet.org:6667]", "IRCNet [irc.ircnet.net:6667]"};
    for (const char* name : names) {
        auto* message = new BMessage(kServer);
        message->AddString("Host", name);
        servers->AddItem(new BMenuItem(name, message));
    }
    servers->AddSeparatorItem();
    servers->AddItem(new BMenuItem("Configure Servers\xe2\x80\xa6", new BMessage('Adaj'), 'C'));
    auto* field = new BMenuField(row, "fServer", "Server", servers);
    field->SetDivider(field->StringWidth("Nick Name") + 5);
    field->ResizeToPreferred();
    field->ResizeTo(row.Width(), field->Frame().Height());
    box->AddChild(field);
    row.OffsetBy(0, field->Frame().Height() + 10);

    auto* connect = new BCheckBox(row, "fConnect", "Connect at Startup", new BMessage(kToggle));
    connect->ResizeToPreferred();
    box->AddChild(connect);
    row.OffsetBy(0, connect->Frame().Height() + 10);

    auto* okay = new BButton(row, "fOkay", "Connect", new BMessage(kConnect));
    okay->ResizeToPreferred();
    okay->MoveTo((width - okay->Frame().Width()) / 2, row.top);
    box->AddChild(okay);
    okay->MakeDefault(true);
    row.OffsetBy(0, okay->Frame().Height() + 8);

    auto* version = new BStringView(row, "fVersion", "Velmor v0.31 \xe2\x80\x94 view kit gallery");
    version->SetHighColor(0, 0, 200);
    version->ResizeToPreferred();
    version->MoveTo((width - version->Frame().Width()) / 2, row.top);
    box->AddChild(version);

    auto* picture =
        new BView(BRect(width - 84, bounds.Height() - 68, width - 21, bounds.Height() - 21),
                  "BitmapView", B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM, B_WILL_DRAW);
    BBitmap* bitmap = Picture();
    picture->SetViewBitmap(bitmap);
    delete bitmap;
    BCursor cursor(kResizeCursor);
    picture->SetViewCursor(&cursor);
    box->AddChild(picture);
    return box;
}

void GalleryWindow::AppendLine(const char* prefix, const char* text)
{
    BFont bold(be_bold_font);
    BFont fixed(be_fixed_font);
    std::string line = std::string(prefix) + text + "\n";
    text_run_array* runs = BTextView::AllocRunArray(2);
    runs->runs[0] = {0, bold, kEventBlue};
    runs->runs[1] = {static_cast<int32>(strlen(prefix)), fixed, kPlain};

    BScrollBar* bar = static_cast<BScrollView*>(fDisplay->Parent())->ScrollBar(B_VERTICAL);
    float min = 0;
    float max = 0;
    bar->GetRange(&min, &max);
    bool atEnd = bar->Value() >= max;

    int32 base = fDisplay->TextLength();
    fDisplay->Insert(base, line.c_str(), static_cast<int32>(line.size()), runs);
    BTextView::FreeRunArray(runs);
    for (size_t at = line.find("http://"); at != std::string::npos;
         at = line.find("http://", at + 1)) {
        size_t end = line.find_first_of(" \n", at);
        auto* message = new BMessage(kLink);
        message->AddString("url", line.substr(at, end - at).c_str());
        fDisplay->AddLink(base + static_cast<int32>(at), base + static_cast<int32>(end), kLinkBlue,
                          message);
    }
    if (atEnd)
        fDisplay->ScrollToOffset(fDisplay->TextLength());
}

void GalleryWindow::MessageReceived(BMessage* message)
{
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fReceived.push_back(*message);
    }
    switch (message->what) {
    case kEnter:
        if (fEntry->Text()[0] != '\0') {
            AppendLine("[12:10] <gallery>", (std::string(" ") + fEntry->Text()).c_str());
            fEntry->SetText("");
        }
        break;
    case 'Aftb': {
        const char* missed = nullptr;
        if (message->FindString("MissedChar", &missed) == B_OK) {
            fEntry->TextView()->MakeFocus();
            fEntry->TextView()->Insert(missed);
        }
        break;
    }
    case kFontSize: {
        int32 size = 12;
        message->FindInt32("size", &size);
        text_run_array* runs = fDisplay->RunArray(0, fDisplay->TextLength());
        for (int32 i = 0; i < runs->count; i++) {
            if (runs->runs[i].font.FamilyAndStyle() == be_fixed_font->FamilyAndStyle())
                runs->runs[i].font.SetSize(static_cast<float>(size));
        }
        fDisplay->SetRunArray(0, fDisplay->TextLength(), runs);
        BTextView::FreeRunArray(runs);
        break;
    }
    case kShowAlert: {
        // Blocks this thread only, until the alert is answered.
        int32 index = (new BAlert("", "Leave the gallery?", "Okay", "Re-join", nullptr,
                                  B_WIDTH_AS_USUAL, B_INFO_ALERT))
                          ->Go();
        BMessage answered(kAlertAnswered);
        answered.AddInt32("index", index);
        PostMessage(&answered);
        break;
    }
    default:
        BWindow::MessageReceived(message);
        break;
    }
}

std::vector<BMessage> GalleryWindow::Received(uint32 what) const
{
    std::lock_guard<std::mutex> lock(fMutex);
    std::vector<BMessage> matching;
    for (const BMessage& message : fReceived) {
        if (message.what == what)
            matching.push_back(message);
    }
    return matching;
}

std::vector<std::pair<int8, bool>> GalleryWindow::FilteredKeys() const
{
    std::lock_guard<std::mutex> lock(fMutex);
    return fFilteredKeys;
}

void GalleryWindow::RecordFilteredKey(int8 byte, bool command)
{
    std::lock_guard<std::mutex> lock(fMutex);
    fFilteredKeys.emplace_back(byte, command);
}

} // namespace gallery
