// The server menu, rebuilt from the server list file at start-up and after every edit.

#include "AppMessages.h"
#include "IrcMainView.h"

#include <ServerSettings.h>

#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>

#include <StringCopy.h>

#include <strings.h>
#include <vector>

void IrcMainView::UpdateMenus()
{
    BMenu* menu = fServer->Menu();
    fServer->MenuItem()->SetLabel(kNoServerLabel);
    menu->RemoveItems(0, menu->CountItems(), true);

    std::vector<server_line> lines;
    ServerSettings::Read(&lines);
    // A stored server that no line names keeps the default port.
    bool found = false;
    for (const server_line& line : lines) {
        char text[1024];
        ServerSettings::DisplayText(line, text, sizeof(text));
        auto* message = new BMessage(MSG_CHOOSE_SERVER);
        message->AddString("Host", line.host);
        message->AddString("Title", line.label);
        message->AddInt32("Port", line.port);
        auto* item = new BMenuItem(text, message);
        menu->AddItem(item);
        if (!found && fServerString[0] != '\0' && strcasecmp(line.host, fServerString) == 0) {
            found = true;
            fPort = PortOrDefault(line.port);
            copy_utf8(fServerTitle, sizeof(fServerTitle), line.label);
            item->SetMarked(true);
            fServer->MenuItem()->SetLabel(text);
        }
    }
    menu->AddSeparatorItem();
    menu->AddItem(new BMenuItem("Configure Servers\xe2\x80\xa6",
                                new BMessage(MSG_CONFIGURE_SERVERS), 'C', B_COMMAND_KEY));
    menu->SetTargetForItems(this);
}
