#include "ServerSettings.h"

#include <IrcSettingsDirectory.h>

#include <AtomicReplace.h>
#include <Directory.h>
#include <Errors.h>
#include <File.h>
#include <StringCopy.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr size_t kDisplayLimit = 1024;

int32 port_value(const char* text, size_t length)
{
    int64 value = 0;
    for (size_t i = 0; i < length && text[i] >= '0' && text[i] <= '9'; i++) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<int32>::max())
            return std::numeric_limits<int32>::max();
    }
    return static_cast<int32>(value);
}

// A blank, a comma and a blank at comma - 1 .. comma + 1, all within [from, length).
bool is_separator(const char* line, size_t length, size_t from, size_t comma)
{
    return comma >= from + 1 && comma + 1 < length && line[comma - 1] == ' ' &&
           line[comma + 1] == ' ';
}

void parse_line(const char* line, size_t length, std::vector<server_line>* lines)
{
    const char* first = static_cast<const char*>(memchr(line, ',', length));
    if (first == nullptr || !is_separator(line, length, 0, first - line))
        return;
    size_t portStart = static_cast<size_t>(first - line) + 2;
    const char* second =
        static_cast<const char*>(memchr(line + portStart, ',', length - portStart));
    if (second == nullptr || !is_separator(line, length, portStart, second - line))
        return;
    size_t portEnd = static_cast<size_t>(second - line) - 1;
    size_t labelStart = portEnd + 3;

    server_line parsed;
    copy_utf8(parsed.host, sizeof(parsed.host), line, static_cast<size_t>(first - line) - 1);
    copy_utf8(parsed.portText, sizeof(parsed.portText), line + portStart, portEnd - portStart);
    copy_utf8(parsed.label, sizeof(parsed.label), line + labelStart, length - labelStart);
    parsed.port = port_value(parsed.portText, strlen(parsed.portText)); // as shown
    lines->push_back(parsed);
}

// The line for an entry too long for kLineLimit: its label cut to fit, or its host when
// even an empty label does not fit. false when nothing fits (never for parsed entries).
bool fitted_line(const server_line& line, char* out, size_t outSize)
{
    char digits[16];
    snprintf(digits, sizeof(digits), "%d", static_cast<int>(line.port));
    const size_t fixed = strlen(" ,  , \n") + strlen(digits) + 1;
    if (fixed >= ServerSettings::kLineLimit)
        return false;
    const size_t room = ServerSettings::kLineLimit - fixed;
    char host[sizeof(line.host)];
    char label[sizeof(line.label)];
    size_t hostLength = copy_utf8(host, std::min(sizeof(host), room + 1), line.host,
                                  strnlen(line.host, sizeof(line.host)));
    copy_utf8(label, std::min(sizeof(label), room - hostLength + 1), line.label,
              strnlen(line.label, sizeof(line.label)));
    return ServerSettings::FormatLine(host, line.port, label, out, outSize);
}

} // namespace

void ServerSettings::Parse(const char* data, size_t size, std::vector<server_line>* lines)
{
    if (data == nullptr || lines == nullptr)
        return;
    size_t at = 0;
    while (at < size) {
        size_t end = at;
        while (end < size && data[end] != '\n' && data[end] != '\0')
            end++;
        size_t length = end - at;
        if (length > kReadLimit)
            length = utf8_prefix_length(data + at, kReadLimit);
        parse_line(data + at, length, lines);
        at = end + 1;
    }
}

status_t ServerSettings::Read(std::vector<server_line>* lines, bool* created)
{
    if (lines == nullptr)
        return B_BAD_VALUE;
    lines->clear();
    if (created != nullptr)
        *created = false;
    BDirectory directory;
    status_t status = IrcSettingsDirectory::OpenDirectory(&directory);
    if (status != B_OK)
        return status;

    const char* name = IrcSettingsDirectory::kServerFileName;
    BFile file(&directory, name, B_READ_ONLY);
    if (file.InitCheck() == B_ENTRY_NOT_FOUND) {
        status = directory.CreateFile(name, nullptr, true);
        if (status == B_OK) {
            if (created != nullptr)
                *created = true;
            return B_OK;
        }
        if (status != B_FILE_EXISTS)
            return status;
        file.SetTo(&directory, name, B_READ_ONLY); // made by someone else meanwhile
    }
    if (file.InitCheck() != B_OK)
        return file.InitCheck();

    std::string data;
    char chunk[4096];
    while (data.size() < kFileLimit) {
        ssize_t got = file.Read(chunk, std::min(sizeof(chunk), kFileLimit - data.size()));
        if (got < 0)
            return static_cast<status_t>(got);
        if (got == 0)
            break;
        data.append(chunk, static_cast<size_t>(got));
    }
    Parse(data.data(), data.size(), lines);
    return B_OK;
}

bool ServerSettings::FormatLine(const char* host, int32 port, const char* label, char* out,
                                size_t outSize)
{
    if (host == nullptr || label == nullptr || out == nullptr)
        return false;
    if (strpbrk(host, ",\n") != nullptr || strchr(label, '\n') != nullptr)
        return false;
    char line[kLineLimit];
    int length =
        snprintf(line, sizeof(line), "%s , %d , %s\n", host, static_cast<int>(port), label);
    if (length < 0 || static_cast<size_t>(length) + 1 > sizeof(line) ||
        static_cast<size_t>(length) + 1 > outSize)
        return false;
    memcpy(out, line, static_cast<size_t>(length) + 1);
    return true;
}

status_t ServerSettings::Write(const std::vector<server_line>& lines)
{
    std::string contents;
    for (const server_line& line : lines) {
        char formatted[kLineLimit];
        if (FormatLine(line.host, line.port, line.label, formatted, sizeof(formatted)) ||
            fitted_line(line, formatted, sizeof(formatted)))
            contents += formatted;
    }
    BDirectory directory;
    status_t status = IrcSettingsDirectory::OpenDirectory(&directory);
    if (status != B_OK)
        return status;
    std::string path = directory.PathOf(IrcSettingsDirectory::kServerFileName);
    return replace_file_atomically(path.c_str(), contents.data(), contents.size());
}

void ServerSettings::DisplayText(const server_line& line, char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return;
    std::string text;
    text.append(line.label, strnlen(line.label, sizeof(line.label)));
    text += " [";
    text.append(line.host, strnlen(line.host, sizeof(line.host)));
    text += ':';
    text.append(line.portText, strnlen(line.portText, sizeof(line.portText)));
    text += ']';
    copy_utf8(out, std::min(outSize, kDisplayLimit), text.c_str(), text.size());
}

int32 ServerSettings::PortValue(const char* text)
{
    return text != nullptr ? port_value(text, strlen(text)) : 0;
}
