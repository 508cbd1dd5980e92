// Record lifecycle, registration, sending command lines, closing.

#include "irc.h"
#include "irc_globals.h"
#include "irc_link.h"
#include "irc_text.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

// How long IRC_Disconnect waits for the server to close after our QUIT: long enough for a
// live server to read it, short enough that closing a dead connection does not hang.
constexpr int kCloseWaitMs = 50;

char* Duplicate(const char* text)
{
    return strdup(text != nullptr ? text : "");
}

void FreeStrings(irc_serv_t* serv)
{
    for (char** field :
         {&serv->server, &serv->realname, &serv->username, &serv->nick, &serv->altnick}) {
        free(*field);
        *field = nullptr;
    }
}

// Closing a socket with unread input makes the kernel reset the connection, which can
// destroy our QUIT before the server reads it. So: stop sending, then read (and drop)
// until the server closes, for a bounded time.
void CloseGracefully(int sock)
{
    shutdown(sock, SHUT_WR);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kCloseWaitMs);
    char scratch[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        pollfd entry{sock, POLLIN, 0};
        if (left <= 0 || poll(&entry, 1, static_cast<int>(left)) != 1)
            break;
        ssize_t n = recv(sock, scratch, sizeof(scratch), MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN))
            break;
    }
    close(sock);
}

} // namespace

irc_serv_t* IRC_GetServ()
{
    auto* serv = new (std::nothrow) irc_serv_t;
    auto* link = serv != nullptr ? new (std::nothrow) irc_link_t : nullptr;
    if (link == nullptr) {
        delete serv;
        irc_set_error("Couldn't allocate memory for irc_serv_t *");
        return nullptr;
    }
    serv->link = link;
    return serv;
}

void IRC_FreeServ(irc_serv_t* serv)
{
    if (serv == nullptr)
        return;
    IRC_CloseSock(serv->sock);
    FreeStrings(serv);
    delete serv->link;
    delete serv;
}

int IRC_Ended(const irc_serv_t* serv)
{
    return serv == nullptr || serv->ended.load() != 0;
}

int IRC_StartConnect(irc_serv_t* serv, const char* server, uint16_t port, const char* nick,
                     const char* altnick, const char*, const char* realname, const char* username)
{
    if (serv == nullptr)
        return 0;
    serv->sock = IRC_OpenSock();
    if (serv->sock < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (!IRC_GHBN(server, &address.sin_addr)) {
        IRC_CloseSock(serv->sock);
        serv->sock = -1;
        irc_set_error("Couldn't resolve %s", server != nullptr ? server : "");
        return 0;
    }
    if (IRC_Conn(serv->sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        IRC_CloseSock(serv->sock);
        serv->sock = -1;
        irc_set_error("Couldn't connect to server");
        return 0;
    }
    std::string nickLine = std::string("NICK ") + (nick != nullptr ? nick : "");
    IRC_Command(serv, nickLine.c_str());
    serv->state = 1;
    FreeStrings(serv);
    serv->realname = Duplicate(realname);
    serv->username = Duplicate(username);
    serv->server = Duplicate(server);
    serv->nick = Duplicate(nick);
    serv->altnick = Duplicate(altnick);
    std::string userLine = std::string("USER ") + (username != nullptr ? username : "") +
                           " host server :" + (realname != nullptr ? realname : "");
    IRC_Command(serv, userLine.c_str());
    return 1;
}

int IRC_Command(irc_serv_t* serv, const char* line)
{
    std::string wire(line != nullptr ? line : "");
    // The line ends at its first CR or LF: nothing the caller passes can start a second
    // command on the wire.
    size_t end = wire.find_first_of("\r\n");
    if (end != std::string::npos)
        wire.resize(end);
    // Servers refuse or cut longer lines; cutting here keeps the cut off a character.
    wire.resize(irc_utf8_cut(wire, IRC_WIRE_LINE_MAX));
    wire += "\r\n";
    return IRC_Send(serv, wire.data(), wire.size());
}

int IRC_Disconnect(irc_serv_t* serv, const char* reason)
{
    if (serv == nullptr)
        return 1;
    // A socket with no room for the QUIT now belongs to a stalled or dead connection;
    // waiting for room would only hold up the caller.
    if (IRC_Stat(serv, 0)) {
        std::string quit = std::string("QUIT :") + (reason != nullptr ? reason : "");
        IRC_Command(serv, quit.c_str());
    }
    if (serv->sock >= 0)
        CloseGracefully(serv->sock);
    serv->sock = -1;
    IRC_FreeServ(serv);
    return 1;
}
