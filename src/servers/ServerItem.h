#pragma once

#include <StringItem.h>

#include <string>

// One row of the user's server list: the shown text plus the server's host ("server"),
// label ("title") and port. Setting them does not change the shown text; the owner sets it.
class ServerItem : public BStringItem
{
public:
    // text, server and title are copied.
    ServerItem(const char* text, int port, const char* title, const char* server,
               uint32 outlineLevel = 0, bool expanded = true);
    ~ServerItem() override;

    const char* Title() const { return fTitle.c_str(); }
    const char* Server() const { return fServer.c_str(); }
    int32 Port() const { return fPort; }

    void SetTitle(const char* title);   // copied; nullptr is ""
    void SetServer(const char* server); // copied; nullptr is ""
    void SetPort(int port);

private:
    int32 fPort;
    std::string fServer;
    std::string fTitle;
};
