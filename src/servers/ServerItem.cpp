#include "ServerItem.h"

ServerItem::ServerItem(const char* text, int port, const char* title, const char* server,
                       uint32 outlineLevel, bool expanded)
    : BStringItem(text, outlineLevel, expanded), fPort(port)
{
    SetTitle(title);
    SetServer(server);
}

ServerItem::~ServerItem() = default;

void ServerItem::SetTitle(const char* title)
{
    fTitle = title != nullptr ? title : "";
}

void ServerItem::SetServer(const char* server)
{
    fServer = server != nullptr ? server : "";
}

void ServerItem::SetPort(int port)
{
    fPort = port;
}
