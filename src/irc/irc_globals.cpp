#include "irc_globals.h"

#include "irc.h"
#include "irc_text.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

char IRC_Error[128];
char IRC_Out[600];
char IRC_FingerResponse[600];
char IRC_VersionResponse[600];
char IRC_WarezResponse[600];

namespace {

std::mutex globalsLock;

} // namespace

int IRC_Init()
{
    std::lock_guard<std::mutex> hold(globalsLock);
    irc_copy_bounded(IRC_FingerResponse, sizeof(IRC_FingerResponse), "stop please");
    irc_copy_bounded(IRC_VersionResponse, sizeof(IRC_VersionResponse),
                     "Powered by Oswick, stronger than you");
    irc_copy_bounded(IRC_WarezResponse, sizeof(IRC_WarezResponse), "Go away.");
    return 1;
}

void IRC_CopyError(char* destination, size_t size)
{
    std::lock_guard<std::mutex> hold(globalsLock);
    irc_copy_bounded(destination, size, IRC_Error);
}

void IRC_CopyOut(char* destination, size_t size)
{
    std::lock_guard<std::mutex> hold(globalsLock);
    irc_copy_bounded(destination, size, IRC_Out);
}

void irc_set_error(const char* format, ...)
{
    // Formatted outside the lock into a buffer large enough for any host name, then cut.
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof(text), format, arguments);
    va_end(arguments);
    std::lock_guard<std::mutex> hold(globalsLock);
    irc_copy_bounded(IRC_Error, sizeof(IRC_Error), text);
}

void irc_set_out(std::string_view text)
{
    std::lock_guard<std::mutex> hold(globalsLock);
    irc_copy_bounded(IRC_Out, sizeof(IRC_Out), text);
}

irc_responses_t irc_responses()
{
    std::lock_guard<std::mutex> hold(globalsLock);
    return {IRC_VersionResponse, IRC_FingerResponse, IRC_WarezResponse};
}
