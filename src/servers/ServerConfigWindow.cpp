#include "ServerConfigWindow.h"

#include "ReorderListView.h"
#include "ServerItem.h"
#include "ServerMessages.h"
#include "ServerSettings.h"

#include <ColorSaveBox.h>

#include <Beep.h>
#include <Box.h>
#include <Button.h>
#include <List.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <ScrollView.h>
#include <StringCopy.h>
#include <TextControl.h>
#include <TextView.h>

#include <cstdio>
#include <vector>

namespace {

constexpr float kMargin = 10;
constexpr float kSpacing = 5;
constexpr float kBoxTop = 15;  // below a box's label
constexpr float kBarRoom = 14; // the list's scroll bars

// The fields of a row as one line of the file.
server_line line_of(const char* host, const char* portText, const char* label)
{
    server_line line;
    copy_utf8(line.host, sizeof(line.host), host);
    copy_utf8(line.portText, sizeof(line.portText), portText);
    copy_utf8(line.label, sizeof(line.label), label);
    line.port = ServerSettings::PortValue(portText);
    return line;
}

} // namespace

ServerConfigWindow::ServerConfigWindow(BView* mainView)
    : BWindow(BRect(100, 100, 400, 300), "Server Config", B_FLOATING_WINDOW_LOOK,
              B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE | B_NOT_ZOOMABLE, B_CURRENT_WORKSPACE),
      fMainView(mainView), fMainViewMessenger(mainView)
{
    if (fMainViewMessenger.IsValid())
        fMainView = nullptr; // never needed again
    DoGUI();
    Run();
}

ServerConfigWindow::~ServerConfigWindow() = default;

void ServerConfigWindow::DoGUI()
{
    BList rows;
    ReadSettings(&rows);

    auto* root =
        new ColorSaveBox(Bounds(), "ServerConfig", B_FOLLOW_ALL, B_WILL_DRAW, B_FANCY_BORDER);
    AddChild(root);

    BRect frame = Bounds().InsetByCopy(kMargin, kMargin);
    frame.right *= 0.8f;
    auto* serversBox = new BBox(frame, "Servers", B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM);
    serversBox->SetLabel("Servers");
    root->AddChild(serversBox);
    BRect listFrame = serversBox->Bounds().InsetByCopy(kSpacing, kSpacing);
    listFrame.top += 10;
    listFrame.right -= kBarRoom;
    listFrame.bottom -= kBarRoom;
    fServers = new ReorderListView(listFrame, "fServers", B_SINGLE_SELECTION_LIST, B_FOLLOW_ALL);
    serversBox->AddChild(new BScrollView("fServerScroll", fServers, B_FOLLOW_ALL, 0, true, true));
    fServers->SetSelectionMessage(new BMessage(MSG_SERVER_SELECTED));
    fServers->SetInvocationMessage(new BMessage(MSG_SERVER_SELECTED));
    fServers->AddList(&rows);

    // Server details: three fields sharing one divider.
    auto* details = new BBox(BRect(serversBox->Frame().right + kSpacing, kMargin,
                                   Bounds().right - kMargin, kMargin + 100),
                             "fBox2");
    details->SetLabel("Server Details");
    root->AddChild(details);
    const float divider = root->StringWidth("Port Number") + kSpacing;
    float top = kBoxTop;
    BTextControl** fields[] = {&fHost, &fPort, &fTitle};
    const char* names[] = {"fHost", "fPort", "fTitle"};
    const char* labels[] = {"Hostname", "Port Number", "Server Label"};
    const uint32 codes[] = {MSG_HOST_FIELD, MSG_PORT_FIELD, MSG_TITLE_FIELD};
    for (int i = 0; i < 3; i++) {
        BRect at(kSpacing, top, details->Bounds().right - kSpacing, top + 20);
        auto* field = new BTextControl(at, names[i], labels[i], "", new BMessage(codes[i]),
                                       B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
        details->AddChild(field);
        float height = 0;
        field->GetPreferredSize(nullptr, &height);
        field->ResizeTo(at.Width(), height);
        field->SetDivider(divider);
        top = field->Frame().bottom + kSpacing;
        *fields[i] = field;
    }
    // Only digits: every other character code up to 255 is refused while typing.
    for (uint32 c = 0; c <= 255; c++) {
        if (c < '0' || c > '9')
            fPort->TextView()->DisallowChar(c);
    }
    details->ResizeTo(details->Bounds().Width(), fTitle->Frame().bottom + kSpacing);
    GrowToHold(details);

    // The buttons, "Change" and "Remove" 2 lower to line up with the default button.
    BRect buttonsFrame = details->Frame();
    buttonsFrame.OffsetBy(0, buttonsFrame.Height() + 1 + kSpacing);
    auto* buttons = new BBox(buttonsFrame, "fBox3");
    root->AddChild(buttons);
    fAdd = new BButton(BRect(kSpacing, kSpacing, kSpacing + 75, kSpacing + 24), "fAdd", "Add",
                       new BMessage(MSG_ADD_SERVER));
    buttons->AddChild(fAdd);
    fAdd->ResizeToPreferred();
    fChange = new BButton(BRect(fAdd->Frame().right + kSpacing, kSpacing + 2,
                                fAdd->Frame().right + kSpacing + 75, kSpacing + 26),
                          "fChange", "Change", new BMessage(MSG_CHANGE_SERVER));
    buttons->AddChild(fChange);
    fChange->ResizeToPreferred();
    fRemove = new BButton(BRect(fChange->Frame().right + kSpacing, kSpacing + 2,
                                fChange->Frame().right + kSpacing + 75, kSpacing + 26),
                          "fRemove", "Remove", new BMessage(MSG_REMOVE_SERVER));
    buttons->AddChild(fRemove);
    fRemove->ResizeToPreferred();
    fChange->SetEnabled(false);
    fRemove->SetEnabled(false);
    SetDefaultButton(fAdd);
    buttons->ResizeTo(fRemove->Frame().right + 2, fAdd->Frame().bottom + kSpacing);
    GrowToHold(buttons);
    details->ResizeTo(buttons->Bounds().Width(), details->Bounds().Height());

    // The presets.
    BRect presetsFrame = buttons->Frame();
    presetsFrame.OffsetBy(0, presetsFrame.Height() + 1 + kSpacing);
    auto* presets = new BBox(presetsFrame, "fBox4");
    presets->SetLabel("Default Servers");
    root->AddChild(presets);
    BuildPresets();
    fServer = new BMenuField(BRect(kSpacing, kBoxTop, kSpacing + 200, kBoxTop + 20), "fServer",
                             "Server", fDefaultMenu);
    presets->AddChild(fServer);
    fServer->SetDivider(fServer->StringWidth("Server") + kSpacing);
    fServer->ResizeToPreferred();
    presets->ResizeTo(fServer->Frame().right + 2, fServer->Frame().bottom + kSpacing);
    GrowToHold(presets);
}

void ServerConfigWindow::BuildPresets()
{
    fDefaultMenu = new BMenu("Default Servers");
    auto* efnet = new BMenu("EFNet");
    auto* ircnet = new BMenu("IRCNet");
    auto* other = new BMenu("Other");
    for (int32 i = 0; i < fDefaults.CountItems(); i++) {
        const IrcServer* server = fDefaults.ServerAt(i);
        auto* message = new BMessage(MSG_PRESET_CHOSEN);
        message->AddPointer("Server", server);
        auto* item = new BMenuItem(server->host, message);
        if (server->network == NETWORK_EFNET)
            efnet->AddItem(item);
        else if (server->network == NETWORK_IRCNET)
            ircnet->AddItem(item);
        else
            other->AddItem(item);
    }
    fDefaultMenu->AddItem(efnet);
    fDefaultMenu->AddItem(ircnet);
    fDefaultMenu->AddItem(other);
}

void ServerConfigWindow::GrowToHold(BView* view)
{
    BRect frame = view->Frame();
    if (frame.right > Bounds().right)
        ResizeTo(frame.right + kMargin, Bounds().Height());
    if (frame.bottom > Bounds().bottom)
        ResizeTo(Bounds().Width(), frame.bottom + kMargin);
}

void ServerConfigWindow::ReadSettings(BList* rows)
{
    std::vector<server_line> lines;
    if (ServerSettings::Read(&lines, &fNewFile) != B_OK || fNewFile)
        return;
    for (const server_line& line : lines) {
        char text[1024];
        ServerSettings::DisplayText(line, text, sizeof(text));
        rows->AddItem(new ServerItem(text, line.port, line.label, line.host));
    }
}

void ServerConfigWindow::WriteSettings()
{
    std::vector<server_line> lines;
    for (int32 i = 0; i < fServers->CountItems(); i++) {
        auto* item = static_cast<ServerItem*>(fServers->ItemAt(i));
        char port[16];
        snprintf(port, sizeof(port), "%d", static_cast<int>(item->Port()));
        lines.push_back(line_of(item->Server(), port, item->Title()));
    }
    ServerSettings::Write(lines); // a failed save leaves the old file whole
}

bool ServerConfigWindow::QuitRequested()
{
    WriteSettings();
    if (!fQuitting) {
        // A close while hidden must not nest the hiding, or the next Show would not show.
        if (!IsHidden())
            Hide();
        if (fMainView != nullptr) {
            fMainViewMessenger = BMessenger(fMainView);
            if (fMainViewMessenger.IsValid())
                fMainView = nullptr;
        }
        // After the write, so the main view reads the complete file.
        fMainViewMessenger.SendMessage(MSG_SERVER_LIST_SAVED);
    }
    return fQuitting;
}

void ServerConfigWindow::QuitNow()
{
    // The rows are the window's: lock before writing them.
    if (!Lock())
        return;
    fQuitting = true;
    WriteSettings();
    Quit();
}

void ServerConfigWindow::MessageReceived(BMessage* message)
{
    switch (message->what) {
    case MSG_ADD_SERVER:
        AddServer();
        break;
    case MSG_CHANGE_SERVER:
        ChangeServer();
        break;
    case MSG_REMOVE_SERVER:
        RemoveServer();
        break;
    case MSG_PRESET_CHOSEN:
        ChoosePreset(message);
        break;
    case MSG_SERVER_SELECTED:
        ShowDetails(message);
        break;
    default:
        break; // the fields' own messages and anything else
    }
}

ServerItem* ServerConfigWindow::SelectedItem() const
{
    return static_cast<ServerItem*>(fServers->ItemAt(fServers->CurrentSelection()));
}

void ServerConfigWindow::AddServer()
{
    const char* host = fHost->Text();
    const char* portText = fPort->Text();
    const char* label = fTitle->Text();
    int32 port = ServerSettings::PortValue(portText);
    char written[ServerSettings::kLineLimit];
    if (!ServerSettings::FormatLine(host, port, label, written, sizeof(written))) {
        beep();
        return;
    }
    char text[1024];
    ServerSettings::DisplayText(line_of(host, portText, label), text, sizeof(text));
    fServers->AddItem(new ServerItem(text, port, label, host));
    fServers->DeselectAll();
    fServers->Select(fServers->CountItems() - 1);
}

void ServerConfigWindow::ChangeServer()
{
    ServerItem* item = SelectedItem();
    if (item == nullptr)
        return;
    const char* host = fHost->Text();
    const char* label = fTitle->Text();
    int32 port = ServerSettings::PortValue(fPort->Text());
    char written[ServerSettings::kLineLimit];
    if (!ServerSettings::FormatLine(host, port, label, written, sizeof(written))) {
        beep();
        return;
    }
    char portText[16];
    snprintf(portText, sizeof(portText), "%d", static_cast<int>(port));
    char text[1024];
    ServerSettings::DisplayText(line_of(host, portText, label), text, sizeof(text));
    item->SetPort(port);
    item->SetServer(host);
    item->SetTitle(label);
    item->SetText(text);
    fServers->InvalidateItem(fServers->IndexOf(item));
}

void ServerConfigWindow::RemoveServer()
{
    int32 index = fServers->CurrentSelection();
    if (index < 0)
        return;
    delete fServers->RemoveItem(index);
    fServers->Select(index); // the row that followed, if any
}

void ServerConfigWindow::ChoosePreset(BMessage* message)
{
    void* pointer = nullptr;
    if (message->FindPointer("Server", &pointer) != B_OK)
        return;
    // Only records of our own list: a stale or foreign pointer is never followed.
    if (fDefaults.IndexOf(pointer) < 0)
        return;
    const auto* server = static_cast<const IrcServer*>(pointer);
    char port[16];
    snprintf(port, sizeof(port), "%lu", static_cast<unsigned long>(server->port));
    fHost->SetText(server->host);
    fPort->SetText(port);
    fTitle->SetText(server->host);
}

void ServerConfigWindow::ShowDetails(BMessage* message)
{
    int32 index = -1;
    if (message->FindInt32("index", &index) != B_OK)
        return;
    auto* item = static_cast<ServerItem*>(fServers->ItemAt(index));
    fChange->SetEnabled(item != nullptr);
    fRemove->SetEnabled(item != nullptr);
    if (item == nullptr)
        return;
    char port[16];
    snprintf(port, sizeof(port), "%d", static_cast<int>(item->Port()));
    fHost->SetText(item->Server());
    fPort->SetText(port);
    fTitle->SetText(item->Title());
}
