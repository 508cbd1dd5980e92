#pragma once

// Inserted text on its way to the display server: bytes of its own, or a stretch of the
// text block the view writes into, which the server's copy of the text can take by length
// instead of by copying.

#include "TextBlock.h"

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace kit_private {

class TextPiece
{
public:
    TextPiece() = default;
    TextPiece(std::string bytes) : fBytes(std::move(bytes)) {}
    TextPiece(const char* bytes) : fBytes(bytes) {}
    TextPiece(std::string_view bytes) : fBytes(bytes) {}
    TextPiece(std::shared_ptr<const TextBlock> block, size_t start, size_t length)
        : fBlock(std::move(block)), fStart(start), fLength(length)
    {
    }

    std::string_view View() const
    {
        return fBlock != nullptr ? std::string_view(fBlock->Data() + fStart, fLength) : fBytes;
    }
    operator std::string_view() const { return View(); }
    size_t size() const { return fBlock != nullptr ? fLength : fBytes.size(); }
    bool empty() const { return size() == 0; }

    // The block and where in it the bytes start; nullptr for bytes of its own.
    const std::shared_ptr<const TextBlock>& Block() const { return fBlock; }
    size_t Start() const { return fStart; }

    // next's bytes after these: stretches of a block that meet stay one stretch.
    void Append(const TextPiece& next);

    friend bool operator==(const TextPiece& a, std::string_view b) { return a.View() == b; }

private:
    std::string fBytes;
    std::shared_ptr<const TextBlock> fBlock;
    size_t fStart = 0;
    size_t fLength = 0;
};

std::ostream& operator<<(std::ostream& out, const TextPiece& piece);

} // namespace kit_private
