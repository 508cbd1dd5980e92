#pragma once

#include "IrcServer.h"

#include <List.h>

// The built-in public servers, grouped by network, in the order their menus show them:
// 14 EFNet, 5 IRCNet and 2 others. Built in code, never read from disk. ItemAt() gives
// IrcServer* records, owned by the list.
class DefaultList : public BList
{
public:
    DefaultList();
    virtual ~DefaultList();

    DefaultList(const DefaultList&) = delete;
    DefaultList& operator=(const DefaultList&) = delete;

    const IrcServer* ServerAt(int32 index) const;
};
