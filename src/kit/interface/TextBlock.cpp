#include "TextBlock.h"

#include <sys/mman.h>

namespace kit_private {

std::shared_ptr<TextBlock> TextBlock::Create()
{
    // Not reserved against the commit limit: untouched pages cost nothing.
    void* data = mmap(nullptr, kCapacity, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (data == MAP_FAILED)
        return nullptr;
    // No huge-page advice: fresh 2 MB pages cost more to clear on first touch than the faults
    // of small ones they save.
    return std::shared_ptr<TextBlock>(new TextBlock(static_cast<char*>(data)));
}

TextBlock::~TextBlock()
{
    munmap(fData, kCapacity);
}

} // namespace kit_private
