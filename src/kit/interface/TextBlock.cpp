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
    // Text grows by tens of megabytes in a flood: in huge pages where the system offers them,
    // a fault every 2 MB instead of every 4 KB. Only advice; without it nothing changes.
    madvise(data, kCapacity, MADV_HUGEPAGE);
    return std::shared_ptr<TextBlock>(new TextBlock(static_cast<char*>(data)));
}

TextBlock::~TextBlock()
{
    munmap(fData, kCapacity);
}

} // namespace kit_private
