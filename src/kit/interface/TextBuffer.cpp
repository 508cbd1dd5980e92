#include "TextBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <ostream>
#include <utility>

namespace kit_private {

TextBuffer::TextBuffer(const TextBuffer& other)
{
    *this = other;
}

TextBuffer::TextBuffer(TextBuffer&& other) noexcept
    : fData(std::exchange(other.fData, nullptr)), fSize(std::exchange(other.fSize, 0)),
      fCapacity(std::exchange(other.fCapacity, 0)), fBlock(std::move(other.fBlock)),
      fOwner(std::exchange(other.fOwner, false)), fRefused(std::exchange(other.fRefused, nullptr))
{
}

TextBuffer& TextBuffer::operator=(const TextBuffer& other)
{
    if (this == &other)
        return *this;
    if (other.fBlock != nullptr) {
        // A copy shares the bytes; only the original goes on writing the block.
        _Release();
        fBlock = other.fBlock;
        fData = fBlock->Data();
        fSize = other.fSize;
        fCapacity = fSize;
        return *this;
    }
    assign(other.data(), other.size());
    return *this;
}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept
{
    if (this != &other) {
        _Release();
        fData = std::exchange(other.fData, nullptr);
        fSize = std::exchange(other.fSize, 0);
        fCapacity = std::exchange(other.fCapacity, 0);
        fBlock = std::move(other.fBlock);
        fOwner = std::exchange(other.fOwner, false);
        fRefused = std::exchange(other.fRefused, nullptr);
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
    _Release();
}

const char* TextBuffer::c_str() const
{
    if (fBlock == nullptr || fOwner)
        return data();
    fTerminated.assign(fData, fSize);
    return fTerminated.c_str();
}

void TextBuffer::_Release()
{
    if (fBlock == nullptr)
        free(fData);
    fBlock.reset();
    fOwner = false;
    fData = nullptr;
    fSize = fCapacity = 0;
    fTerminated.clear();
}

void TextBuffer::_Unshare()
{
    if (fBlock == nullptr)
        return;
    std::shared_ptr<const TextBlock> block = std::move(fBlock);
    const size_t size = fSize;
    fData = nullptr;
    fSize = fCapacity = 0;
    fOwner = false;
    fTerminated.clear();
    _Reserve(size);
    memcpy(fData, block->Data(), size);
    fSize = size;
    fData[fSize] = '\0';
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
    if (fBlock != nullptr) {
        // The text may be a part of the block, which this buffer stops using.
        std::string copy(text, length);
        _Release();
        assign(copy.data(), copy.size());
        return;
    }
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

TextPiece TextBuffer::Append(const char* text, size_t length)
{
    if (fBlock == nullptr && fSize + length > kShareAbove &&
        fSize + length < TextBlock::kCapacity) {
        if (std::shared_ptr<TextBlock> block = TextBlock::Create()) {
            std::string copy(text, length); // the text may be a part of this one
            memcpy(block->Data(), data(), fSize);
            const size_t size = fSize;
            _Release();
            fBlock = std::move(block);
            fOwner = true;
            fData = fBlock->Data();
            fSize = size;
            fCapacity = TextBlock::kCapacity - 1;
            return Append(copy.data(), copy.size());
        }
    }
    if (_AppendsInPlace(length)) {
        const size_t start = fSize;
        _AppendInPlace(text, length);
        return TextPiece(fBlock, start, length);
    }
    insert(fSize, text, length);
    return {};
}

bool TextBuffer::_AppendsInPlace(size_t length) const
{
    return fBlock != nullptr && fOwner && length < fCapacity - fSize;
}

void TextBuffer::_AppendInPlace(const char* text, size_t length)
{
    // Written past the end only, where no one else reads; the text may lie before it.
    memmove(fData + fSize, text, length);
    fSize += length;
    fData[fSize] = '\0';
}

void TextBuffer::InsertPiece(size_t at, const TextPiece& piece)
{
    const std::shared_ptr<const TextBlock>& block = piece.Block();
    if (block != nullptr && !fOwner && at == fSize && piece.Start() == fSize) {
        if (block != fBlock && block.get() != fRefused) {
            // This text may be the beginning of the block: then it need not be kept twice.
            if (fSize == 0 || memcmp(block->Data(), data(), fSize) == 0) {
                const size_t size = fSize;
                _Release();
                fBlock = block;
                fData = fBlock->Data();
                fSize = size;
            } else {
                fRefused = block.get();
            }
        }
        if (block == fBlock) {
            fSize += piece.size();
            fCapacity = fSize;
            fTerminated.clear();
            return;
        }
    }
    const std::string_view bytes = piece.View();
    insert(at, bytes.data(), bytes.size());
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
    if (at == fSize && _AppendsInPlace(length)) {
        _AppendInPlace(text, length);
        return;
    }
    _Unshare();
    _Reserve(fSize + length);
    memmove(fData + at + length, fData + at, fSize - at);
    if (length > 0)
        memcpy(fData + at, text, length);
    fSize += length;
    fData[fSize] = '\0';
}

void TextBuffer::erase(size_t at, size_t count)
{
    if (at >= fSize || count == 0)
        return;
    _Unshare();
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
