#include "Utf8Mapping.h"

namespace kit_private {

namespace {

// Length of the valid sequence starting at bytes[at], and its code point; 0 when invalid.
int SequenceAt(std::string_view bytes, size_t at, char32_t* codePoint)
{
    unsigned char lead = static_cast<unsigned char>(bytes[at]);
    int length;
    char32_t value;
    char32_t minimum;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    } else if ((lead & 0xe0) == 0xc0) {
        length = 2;
        value = lead & 0x1f;
        minimum = 0x80;
    } else if ((lead & 0xf0) == 0xe0) {
        length = 3;
        value = lead & 0x0f;
        minimum = 0x800;
    } else if ((lead & 0xf8) == 0xf0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + static_cast<size_t>(length) > bytes.size())
        return 0;
    for (int i = 1; i < length; i++) {
        unsigned char next = static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
        if ((next & 0xc0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3f);
    }
    if (value < minimum || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff))
        return 0;
    *codePoint = value;
    return length;
}

} // namespace

QString DecodeUtf8Mapped(std::string_view bytes, std::vector<int32_t>* toByte,
                         std::vector<int32_t>* toUnit)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    toByte->clear();
    toUnit->assign(bytes.size() + 1, 0);
    size_t at = 0;
    while (at < bytes.size()) {
        char32_t codePoint = 0;
        int length = SequenceAt(bytes, at, &codePoint);
        int32_t unit = static_cast<int32_t>(text.size());
        if (length == 0) {
            length = 1;
            codePoint = 0xfffd;
        }
        for (int i = 0; i < length; i++)
            (*toUnit)[at + static_cast<size_t>(i)] = unit;
        if (codePoint >= 0x10000) {
            text.append(QChar::highSurrogate(codePoint));
            text.append(QChar::lowSurrogate(codePoint));
            toByte->push_back(static_cast<int32_t>(at));
            toByte->push_back(static_cast<int32_t>(at));
        } else {
            text.append(QChar(static_cast<char16_t>(codePoint)));
            toByte->push_back(static_cast<int32_t>(at));
        }
        at += static_cast<size_t>(length);
    }
    toByte->push_back(static_cast<int32_t>(bytes.size()));
    (*toUnit)[bytes.size()] = static_cast<int32_t>(text.size());
    return text;
}

} // namespace kit_private
