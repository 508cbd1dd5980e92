#pragma once

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace kit_private {

// Decodes UTF-8 bytes into a QString and records how positions correspond, since views count
// bytes and Qt counts UTF-16 units. Every byte that does not start a valid sequence becomes
// one U+FFFD, so any byte string maps without loss of position.
//   toByte[i]  byte offset of UTF-16 position i (size: units + 1)
//   toUnit[b]  UTF-16 position of byte b; bytes inside a sequence map to its start
//              (size: bytes + 1)
QString DecodeUtf8Mapped(std::string_view bytes, std::vector<int32_t>* toByte,
                         std::vector<int32_t>* toUnit);

} // namespace kit_private
