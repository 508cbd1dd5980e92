#include "IRC.h"

#include <StringCopy.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <sys/socket.h>

namespace {

constexpr int32 kReaderPriority = 10;
constexpr int32 kIgnoreBlockSize = 20;
constexpr int kReaderGraceMs = 50;

} // namespace

IRC::IRC(const char* nick, const char* nick2, const char* realName, const char* server, long port,
         BMessage* message, const BHandler* handler, const BLooper* looper)
    : BInvoker(message, handler, looper), fPort(static_cast<int32>(port)), fConnection(nullptr),
      fIgnoreList(new BList(kIgnoreBlockSize))
{
    copy_utf8(fNick, sizeof(fNick), nick ? nick : "");
    copy_utf8(fNick2, sizeof(fNick2), nick2 ? nick2 : "");
    copy_utf8(fRealName, sizeof(fRealName), realName ? realName : "");
    copy_utf8(fServer, sizeof(fServer), server ? server : "");
    IRC_Init();
    fConnection = IRC_GetServ();
    if (fConnection != nullptr)
        IRC_SetLineFilter(fConnection, &IRC::AcceptLine, this);
}

IRC::~IRC()
{
    StopReader();
    {
        std::unique_lock<std::shared_mutex> guard(fRecordLock);
        if (fConnection != nullptr)
            IRC_FreeServ(fConnection);
        fConnection = nullptr;
    }
    std::lock_guard<std::mutex> guard(fIgnoreLock);
    for (int32 i = 0; i < fIgnoreList->CountItems(); i++)
        free(fIgnoreList->ItemAt(i));
    delete fIgnoreList;
}

int32 IRC::Connect()
{
    char nick[sizeof(fNick)];
    CopyNick(nick, sizeof(nick));
    // The alternative nickname is the nickname and a grave accent.
    char altNick[sizeof(fNick) + 1];
    size_t length = copy_utf8(altNick, sizeof(altNick) - 1, nick);
    altNick[length] = '`';
    altNick[length + 1] = '\0';

    // The user name is one parameter of the USER line: a full name's blanks would split it
    // and the server would refuse the registration.
    char userName[sizeof(fRealName)];
    size_t kept = 0;
    for (const char* at = fRealName; *at != '\0'; at++) {
        if (*at != ' ' && !(kept == 0 && *at == ':'))
            userName[kept++] = *at;
    }
    userName[kept] = '\0';
    if (kept == 0)
        copy_utf8(userName, sizeof(userName), nick);

    int result = 0;
    {
        std::shared_lock<std::shared_mutex> guard(fRecordLock);
        if (fConnection != nullptr)
            result = IRC_StartConnect(fConnection, fServer, static_cast<uint16>(fPort), nick,
                                      altNick, nullptr, fRealName, userName);
    }

    std::lock_guard<std::mutex> guard(fThreadLock);
    // A session stopped while it was connecting gets no reader.
    if (fRunning.load() && fReaderThread < 0) {
        fReaderThread = spawn_thread(boot_strap, "boot_strap", kReaderPriority, this);
        if (fReaderThread >= 0 && resume_thread(fReaderThread) != B_OK) {
            kill_thread(fReaderThread);
            fReaderThread = -1;
        }
    }
    return interpret(result);
}

void IRC::StopReader()
{
    std::lock_guard<std::mutex> guard(fThreadLock);
    fRunning.store(false);
    fStop.Raise();
    if (fReaderThread < 0)
        return;
    // The reader sees the stop at once unless it is inside a send waiting for room on a
    // connection whose peer stopped reading; shutting the socket down ends that wait.
    if (!fReaderDone.WaitFor(kReaderGraceMs)) {
        std::shared_lock<std::shared_mutex> record(fRecordLock);
        if (fConnection != nullptr && fConnection->sock >= 0)
            shutdown(fConnection->sock, SHUT_RDWR);
    }
    // Our own signal, not wait_for_thread alone: a kit wait fails at once on a thread that
    // is itself being stopped, and the record must never be freed under a running reader.
    while (!fReaderDone.WaitFor(1000)) {
    }
    status_t ignored;
    wait_for_thread(fReaderThread, &ignored);
    fReaderThread = -1;
}

int32 IRC::Disconnect(const char* reason)
{
    StopReader();
    std::unique_lock<std::shared_mutex> guard(fRecordLock);
    if (fConnection == nullptr)
        return 0;
    if (fConnection->state == 1)
        IRC_Disconnect(fConnection, reason);
    else
        IRC_FreeServ(fConnection);
    fConnection = nullptr;
    return 0;
}

void IRC::KillThreads()
{
    StopReader();
}

bool IRC::Ignore(const char* nick)
{
    if (nick == nullptr)
        return false;
    char* copy = static_cast<char*>(malloc(sizeof(fNick)));
    if (copy == nullptr)
        return false;
    copy_utf8(copy, sizeof(fNick), nick ? nick : "");
    std::lock_guard<std::mutex> guard(fIgnoreLock);
    if (fIgnoreList->AddItem(copy))
        return true;
    free(copy);
    return false;
}

bool IRC::IsIgnored(const char* nick) const
{
    if (nick == nullptr || nick[0] == '\0')
        return false;
    std::lock_guard<std::mutex> guard(fIgnoreLock);
    for (int32 i = 0; i < fIgnoreList->CountItems(); i++) {
        if (strcasecmp(static_cast<const char*>(fIgnoreList->ItemAt(i)), nick) == 0)
            return true;
    }
    return false;
}

int IRC::AcceptLine(void* session, const char*, const char* sender)
{
    return static_cast<IRC*>(session)->IsIgnored(sender) ? 0 : 1;
}

void IRC::Error(char* dest) const
{
    IRC_CopyError(dest, 128);
}

const char* IRC::Nick() const
{
    thread_local char copy[sizeof(fNick)];
    CopyNick(copy, sizeof(copy));
    return copy;
}

void IRC::CopyNick(char* dest, size_t size) const
{
    std::lock_guard<std::mutex> guard(fNickLock);
    copy_utf8(dest, size, fNick);
}
