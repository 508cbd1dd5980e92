#include "TextBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <ostream>
#include <utility>

namespace kit_private {

TextBuffer::TextBuffer(TextBuffer&& other) noexcept
    : fData(std::exchange(other.fData, nullptr)), fSize(std::exchange(other.fSize, 0)),
      fCapacity(std::exchange(other.fCapacity, 0))
{
}

TextBuffer& TextBuffer::operator=(const TextBuffer& other)
{
    if (this != &other)
        assign(other.data(), other.size());
    return *this;
}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept
{
    if (this != &other) {
        free(fData);
        fData = std::exchange(other.fData, nullptr);
        fSize = std::exchange(other.fSize, 0);
        fCapacity = std::exchange(other.fCapacity, 0);
    }
    return *this;
}

TextBuffer& TextBuffer::operator=(std::string_view text)
{
    assign(text.data(), text.size());
    return *this;
}

TextBuffer::~TextBuffer()
{
    free(fData);
}

void TextBuffer::_Reserve(size_t size)
{
    if (size <= fCapacity && fData != nullptr)
        return;
    const size_t capacity = std::max({size, fCapacity + fCapacity / 2, size_t{32}});
    void* grown = realloc(fData, capacity + 1);
    if (grown == nullptr)
        throw std::bad_alloc();
    fData = static_cast<char*>(grown);
    fCapacity = capacity;
}

void TextBuffer::assign(const char* text, size_t length)
{
    if (fData != nullptr && text >= fData && text < fData + fSize) {
        // Part of this very text.
        memmove(fData, text, length);
    } else {
        _Reserve(length);
        if (length > 0)
            memcpy(fData, text, length);
    }
    fSize = length;
    fData[fSize] = '\0';
}

void TextBuffer::insert(size_t at, const char* text, size_t length)
{
    at = std::min(at, fSize);
    if (fData != nullptr && text >= fData && text <= fData + fSize) {
        // Inserting a part of this very text: take a copy before the block moves.
        std::string copy(text, length);
        insert(at, copy.data(), copy.size());
        return;
    }
    _Reserve(fSize + length);
    memmove(fData + at + length, fData + at, fSize - at);
    if (length > 0)
        memcpy(fData + at, text, length);
    fSize += length;
    fData[fSize] = '\0';
}

void TextBuffer::erase(size_t at, size_t count)
{
    if (at >= fSize)
        return;
    count = std::min(count, fSize - at);
    memmove(fData + at, fData + at + count, fSize - at - count);
    fSize -= count;
    fData[fSize] = '\0';
}

void TextBuffer::replace(size_t at, size_t count, std::string_view text)
{
    std::string copy(text); // the text may lie inside this one
    erase(at, count);
    insert(at, copy.data(), copy.size());
}

std::ostream& operator<<(std::ostream& out, const TextBuffer& text)
{
    return out << std::string_view(text);
}

} // namespace kit_private
