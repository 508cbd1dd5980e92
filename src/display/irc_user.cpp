#include "irc_user.h"

#include <StringCopy.h>

#include <cstdlib>
#include <cstring>

irc_user::~irc_user()
{
    free(host);
}

void irc_user::SetNick(const char* name)
{
    copy_utf8(nick, sizeof(nick), name);
}

void irc_user::SetHost(const char* address)
{
    free(host);
    host = address != nullptr && address[0] != '\0' ? strdup(address) : nullptr;
}
