#include "irc_diag.h"

#include "irc.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

std::atomic<irc_diag_sink_t> sink{IRC_DiagStdout};

} // namespace

void IRC_DiagStdout(const char* text)
{
    fputs(text, stdout);
}

void IRC_SetDiagnosticSink(irc_diag_sink_t newSink)
{
    sink.store(newSink);
}

void irc_diag(const char* format, ...)
{
    irc_diag_sink_t target = sink.load();
    if (target == nullptr)
        return;
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    int needed = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed >= 0) {
        std::string text(static_cast<size_t>(needed) + 1, '\0');
        vsnprintf(text.data(), text.size(), format, arguments);
        text.pop_back();
        target(text.c_str());
    }
    va_end(arguments);
}
