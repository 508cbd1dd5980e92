#include "DefaultList.h"

#include <iterator>

namespace {

struct Preset
{
    const char* host;
    unsigned long port;
    server_network network;
};

constexpr Preset kPresets[] = {
    {"irc.efnet.org", 6667, NETWORK_EFNET},
    {"irc.choopa.net", 6667, NETWORK_EFNET},
    {"irc.servercentral.net", 6667, NETWORK_EFNET},
    {"irc.mzima.net", 6667, NETWORK_EFNET},
    {"irc.colosolutions.net", 6667, NETWORK_EFNET},
    {"irc.prison.net", 6667, NETWORK_EFNET},
    {"efnet.deic.eu", 6667, NETWORK_EFNET},
    {"efnet.port80.se", 6667, NETWORK_EFNET},
    {"irc.swepipe.se", 6667, NETWORK_EFNET},
    {"irc.du.se", 6667, NETWORK_EFNET},
    {"irc.underworld.no", 6667, NETWORK_EFNET},
    {"irc.homelien.no", 6667, NETWORK_EFNET},
    {"irc.efnet.nl", 6667, NETWORK_EFNET},
    {"efnet.portlane.se", 6667, NETWORK_EFNET},
    {"open.ircnet.net", 6667, NETWORK_IRCNET},
    {"irc.atw-inter.net", 6667, NETWORK_IRCNET},
    {"openirc.snt.utwente.nl", 6666, NETWORK_IRCNET},
    {"irc.psychz.net", 6680, NETWORK_IRCNET},
    {"irc.spadhausen.com", 6667, NETWORK_IRCNET},
    {"irc.libera.chat", 6667, NETWORK_OTHER},
    {"irc.oftc.net", 6667, NETWORK_OTHER},
};

} // namespace

DefaultList::DefaultList() : BList(20)
{
    for (const Preset& preset : kPresets)
        AddItem(new IrcServer(preset.host, preset.port, preset.network));
}

DefaultList::~DefaultList()
{
    for (int32 i = 0; i < CountItems(); i++)
        delete static_cast<IrcServer*>(ItemAt(i));
}

const IrcServer* DefaultList::ServerAt(int32 index) const
{
    return static_cast<const IrcServer*>(ItemAt(index));
}
