#include "IrcWindowKey.h"

IrcWindowKey::IrcWindowKey(const char* name, const char* serverName)
    : fKey(std::string(name ? name : "") + (serverName ? serverName : ""))
{
}

const char* IrcWindowKey::Key() const
{
    return fKey.c_str();
}

std::string IrcWindowKey::AttrName(const char* suffix) const
{
    return fKey + (suffix ? suffix : "");
}
