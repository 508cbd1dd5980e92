#pragma once

// The bytes of a text that only grows for most of its life: a scrollback takes a line at its
// end many thousand times a second and may hold a hundred megabytes.
//
// A short text lives in a block grown with realloc. A text that grows long through Append
// moves once into a TextBlock, which its owner keeps appending to in place; a copy of such
// a buffer, or one that takes the owner's pieces with InsertPiece, shares the block's bytes
// by length rather than holding them twice. Any other change to a shared text first gives
// the buffer bytes of its own.
//
// data() is NUL-terminated unless the buffer shares a block it does not own (another
// buffer's text goes on after it); c_str() always is.

#include "TextBlock.h"
#include "TextPiece.h"

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace kit_private {

class TextBuffer
{
public:
    // Appending past this many bytes moves the text into a block that can be shared.
    static constexpr size_t kShareAbove = 256 * 1024;

    TextBuffer() = default;
    TextBuffer(std::string_view text) { assign(text.data(), text.size()); }
    TextBuffer(const TextBuffer& other);
    TextBuffer(TextBuffer&& other) noexcept;
    TextBuffer& operator=(const TextBuffer& other);
    TextBuffer& operator=(TextBuffer&& other) noexcept;
    TextBuffer& operator=(std::string_view text);
    ~TextBuffer();

    const char* data() const { return fData != nullptr ? fData : ""; }
    const char* c_str() const;
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

    // Appends, and returns the appended bytes as a piece of the shared block, or an empty
    // piece while the text is short and has none.
    TextPiece Append(const char* text, size_t length);
    // Inserts a piece; one that continues the block this text is a beginning of is taken
    // without copying.
    void InsertPiece(size_t at, const TextPiece& piece);
    bool Shares() const { return fBlock != nullptr; }

    friend bool operator==(const TextBuffer& a, std::string_view b)
    {
        return std::string_view(a) == b;
    }

private:
    // Room for at least this many bytes and the terminator; throws std::bad_alloc as the
    // standard containers do.
    void _Reserve(size_t size);
    // Bytes of its own, before a change other than the owner's append.
    void _Unshare();
    void _Release();
    bool _AppendsInPlace(size_t length) const;
    void _AppendInPlace(const char* text, size_t length);

    char* fData = nullptr;
    size_t fSize = 0;
    size_t fCapacity = 0; // without the terminator
    std::shared_ptr<const TextBlock> fBlock;
    bool fOwner = false; // the one buffer that appends to fBlock
    // A block whose beginning turned out not to be this text: never compared again.
    const TextBlock* fRefused = nullptr;
    mutable std::string fTerminated; // c_str() of a text that does not own its block
};

std::ostream& operator<<(std::ostream& out, const TextBuffer& text);

} // namespace kit_private
