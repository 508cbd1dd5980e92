#include "IrcLineBuffer.h"

#include "irc_text.h"

#include <algorithm>
#include <cstring>

IrcLineBuffer::IrcLineBuffer(size_t maxLine)
    : fMaxLine(std::clamp<size_t>(maxLine, 1, kCapacity / 2))
{
}

char* IrcLineBuffer::WriteArea()
{
    return fData + fEnd;
}

size_t IrcLineBuffer::WriteSpace()
{
    if (fStart == fEnd) {
        fStart = fEnd = 0;
    } else if (kCapacity - fEnd < kCapacity / 4 && fStart > 0) {
        memmove(fData, fData + fStart, fEnd - fStart);
        fEnd -= fStart;
        fStart = 0;
    }
    return kCapacity - fEnd;
}

void IrcLineBuffer::Commit(size_t count)
{
    size_t from = fEnd;
    fEnd += std::min(count, kCapacity - fEnd);
    if (!fDiscarding)
        return;
    // Only the newly received bytes can belong to the line being dropped.
    const void* lineFeed = memchr(fData + from, '\n', fEnd - from);
    if (lineFeed == nullptr) {
        fEnd = from;
        return;
    }
    size_t kept = fData + fEnd - (static_cast<const char*>(lineFeed) + 1);
    memmove(fData + from, static_cast<const char*>(lineFeed) + 1, kept);
    fEnd = from + kept;
    fDiscarding = false;
}

const char* IrcLineBuffer::FindLineFeed() const
{
    return static_cast<const char*>(memchr(fData + fStart, '\n', fEnd - fStart));
}

bool IrcLineBuffer::HasLine() const
{
    return FindLineFeed() != nullptr || fEnd - fStart >= fMaxLine;
}

// Copies the first lineBytes pending bytes out, cut to the limit. cut: the line goes on
// beyond them, so an incomplete character at their end is dropped too.
void IrcLineBuffer::Hand(char* destination, size_t size, size_t* length, size_t lineBytes, bool cut)
{
    std::string_view line(fData + fStart, lineBytes);
    size_t limit = std::min(fMaxLine, size - 1);
    size_t kept = cut ? irc_utf8_trim(line.substr(0, limit)) : irc_utf8_cut(line, limit);
    memcpy(destination, line.data(), kept);
    destination[kept] = '\0';
    *length = kept;
}

bool IrcLineBuffer::TakeLine(char* destination, size_t size, size_t* length)
{
    if (size == 0)
        return false;
    size_t limit = std::min(fMaxLine, size - 1);
    const char* lineFeed = FindLineFeed();
    if (lineFeed != nullptr) {
        size_t lineBytes = lineFeed + 1 - (fData + fStart);
        Hand(destination, size, length, lineBytes, false);
        fStart += lineBytes;
        return true;
    }
    if (fEnd - fStart < limit)
        return false;
    // Over the limit and still no LF: hand out the cut line now and drop the rest as it
    // arrives, so the tail is never taken for a line of its own.
    Hand(destination, size, length, fEnd - fStart, true);
    fStart = fEnd;
    fDiscarding = true;
    return true;
}

bool IrcLineBuffer::TakeRest(char* destination, size_t size, size_t* length)
{
    if (size == 0 || fStart == fEnd)
        return false;
    Hand(destination, size, length, fEnd - fStart, false);
    fStart = fEnd;
    return true;
}
