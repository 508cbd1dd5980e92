#pragma once

// The bytes of a text that only grows for most of its life: a scrollback takes a line at its
// end many thousand times a second and may hold a hundred megabytes. The block grows with
// realloc, which moves a large block by remapping its pages instead of copying them, so
// growing never holds the old and the new text at once. Always NUL-terminated.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace kit_private {

class TextBuffer
{
public:
    TextBuffer() = default;
    TextBuffer(std::string_view text) { assign(text.data(), text.size()); }
    TextBuffer(const TextBuffer& other) : TextBuffer(std::string_view(other)) {}
    TextBuffer(TextBuffer&& other) noexcept;
    TextBuffer& operator=(const TextBuffer& other);
    TextBuffer& operator=(TextBuffer&& other) noexcept;
    TextBuffer& operator=(std::string_view text);
    ~TextBuffer();

    const char* data() const { return fData != nullptr ? fData : ""; }
    const char* c_str() const { return data(); }
    size_t size() const { return fSize; }
    bool empty() const { return fSize == 0; }
    char operator[](size_t index) const { return fData[index]; }
    operator std::string_view() const { return {data(), fSize}; }
    std::string str() const { return {data(), fSize}; }

    void assign(const char* text, size_t length);
    void insert(size_t at, const char* text, size_t length);
    void insert(size_t at, std::string_view text) { insert(at, text.data(), text.size()); }
    void erase(size_t at, size_t count);
    void replace(size_t at, size_t count, std::string_view text);

    friend bool operator==(const TextBuffer& a, std::string_view b)
    {
        return std::string_view(a) == b;
    }

private:
    // Room for at least this many bytes and the terminator; throws std::bad_alloc as the
    // standard containers do.
    void _Reserve(size_t size);

    char* fData = nullptr;
    size_t fSize = 0;
    size_t fCapacity = 0; // without the terminator
};

std::ostream& operator<<(std::ostream& out, const TextBuffer& text);

} // namespace kit_private
