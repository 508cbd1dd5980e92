#include "TextPiece.h"

#include <ostream>

namespace kit_private {

void TextPiece::Append(const TextPiece& next)
{
    if (next.empty())
        return;
    if (empty()) {
        *this = next;
        return;
    }
    if (fBlock != nullptr && fBlock == next.fBlock && fStart + fLength == next.fStart) {
        fLength += next.fLength;
        return;
    }
    if (fBlock != nullptr) {
        fBytes.assign(View());
        fBlock.reset();
        fStart = fLength = 0;
    }
    fBytes.append(next.View());
}

std::ostream& operator<<(std::ostream& out, const TextPiece& piece)
{
    return out << piece.View();
}

} // namespace kit_private
