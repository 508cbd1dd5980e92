#pragma once

// Room for a long text that several threads read: a scrollback's bytes live here once, and
// the display server's copy of the text is a length into the same block. The whole block
// is reserved up front, so it never moves, and pages are only taken as the text reaches
// them. Bytes below a length anyone was told of are never written again.

#include <cstddef>
#include <memory>

namespace kit_private {

class TextBlock
{
public:
    // A text view's text is at most INT32_MAX bytes, and the terminator follows it.
    static constexpr size_t kCapacity = size_t{1} << 31;

    // nullptr when the address space cannot be had.
    static std::shared_ptr<TextBlock> Create();
    ~TextBlock();
    TextBlock(const TextBlock&) = delete;
    TextBlock& operator=(const TextBlock&) = delete;

    char* Data() const { return fData; }

private:
    explicit TextBlock(char* data) : fData(data) {}

    char* const fData;
};

} // namespace kit_private
