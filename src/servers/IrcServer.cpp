#include "IrcServer.h"

IrcServer::IrcServer(const char* name, unsigned long port, server_network network)
    : host(name), port(static_cast<uint32>(port)), label(name), network(network)
{
}
