#pragma once

// The user's server list, the text file "ServerSettings" in the program's settings folder:
// one line per server, in the user's order, "%s , %d , %s\n" with host, port and label. The
// label may hold commas (it is the rest of the line); the host may not.
//
// Reading is bounded and total: any bytes are accepted, none is read outside the data and
// no field outgrows its buffer (fields longer than their buffers are cut, never inside a
// UTF-8 sequence). A line ends at a line feed, a NUL or the end of the data; only its first
// 1023 bytes count. A line that does not have the writer's two " , " separators (blank,
// comma, blank) after a host without commas is skipped, so an empty or foreign line never
// becomes a row of empty fields.
//
// Writing replaces the file atomically: readers and a crash or a full disk during the
// save see the old list or the new one, never a torn or missing file.

#include <SupportDefs.h>

#include <cstddef>
#include <vector>

struct server_line // one line of "ServerSettings", as read
{
    char host[256];     // at most 255 bytes, cut on a UTF-8 boundary
    char portText[256]; // the port as typed/read
    char label[1024];   // commas included
    int32 port;         // leading decimal digits of portText; 0 when none
};

class ServerSettings
{
public:
    static constexpr size_t kLineLimit = 256;     // a written line incl. LF and NUL
    static constexpr size_t kReadLimit = 1023;    // the bytes of a line that are read
    static constexpr size_t kFileLimit = 1 << 20; // the bytes of the file that are read

    // Parses whole file contents (any bytes, NULs, no final line feed...) and appends the
    // lines to *lines, in order.
    static void Parse(const char* data, size_t size, std::vector<server_line>* lines);
    // Opens "Velmor/ServerSettings" in the settings directory, creating it empty when it is
    // missing (*created is then true), and parses it into *lines (emptied first). B_OK, or
    // the storage error with *lines empty.
    static status_t Read(std::vector<server_line>* lines, bool* created = nullptr);

    // "%s , %d , %s\n" into out. false (out untouched) when it would not fit kLineLimit (or
    // outSize), or would not read back as written: a host with a comma, a line feed in a field.
    static bool FormatLine(const char* host, int32 port, const char* label, char* out,
                           size_t outSize);
    // Replaces the file with one line per entry, in order. An entry too long for a line
    // (only a hand-edited file holds one) is written with its label, then its host, cut to
    // fit. B_OK or the storage error; the old file then stays as it was.
    static status_t Write(const std::vector<server_line>& lines);

    // The row and menu text "%s [%s:%s]" (label, host, port text), cut to fit 1024 bytes
    // and outSize.
    static void DisplayText(const server_line& line, char* out, size_t outSize);
    // The value of the leading decimal digits of text (0 for none, at most INT32_MAX).
    static int32 PortValue(const char* text);
};
