#pragma once

// The receive buffer of one connection: bytes go in as they arrive from the socket, lines
// come out one at a time, the same bytes in the same order. Memory is fixed: a line longer
// than the line limit is handed out cut, and the rest of it, up to its LF, is dropped.
// Used by one thread at a time (the connection's reader).

#include <cstddef>

class IrcLineBuffer
{
public:
    static constexpr size_t kCapacity = 16384;

    // maxLine: the most bytes of one line (LF included) kept; at most kCapacity / 2.
    explicit IrcLineBuffer(size_t maxLine);

    // Filling: receive into WriteArea()/WriteSpace(), then Commit the byte count.
    char* WriteArea();
    size_t WriteSpace(); // makes room first; 0 only when complete lines fill the buffer
    void Commit(size_t count);

    // Taking lines. Each stores at most size - 1 bytes, terminates them and sets *length.
    bool HasLine() const; // TakeLine would succeed
    // The next complete line, or the first part of one that reached the limit.
    bool TakeLine(char* destination, size_t size, size_t* length);
    // At the end of the connection: the unterminated last line, once.
    bool TakeRest(char* destination, size_t size, size_t* length);

private:
    void Hand(char* destination, size_t size, size_t* length, size_t lineBytes, bool cut);
    const char* FindLineFeed() const;

    char fData[kCapacity];
    size_t fMaxLine;
    size_t fStart = 0;        // first byte not yet handed out
    size_t fEnd = 0;          // one past the last byte received
    bool fDiscarding = false; // dropping the rest of a line that was cut
};
