#pragma once

// The attribute names of a conversation window's settings: its "window key" (its name
// followed directly by its server window's name, or its name alone for a server window)
// followed by the setting's suffix, e.g. "#x" on "h" -> "#xhFrame"; server "h" -> "hFrame".

#include <cstddef>
#include <string>

class IrcWindowKey
{
public:
    // serverName is nullptr for a server window.
    IrcWindowKey(const char* name, const char* serverName);

    const char* Key() const;
    // The attribute name for a suffix ("Frame", "Magic", "fTextFontSize", ...).
    std::string AttrName(const char* suffix) const;

private:
    std::string fKey;
};
