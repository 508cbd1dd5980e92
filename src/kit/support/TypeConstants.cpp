#include "TypeConstants.h"

const char* type_code_text(type_code code, char text[5])
{
    for (int i = 0; i < 4; i++) {
        char c = static_cast<char>((code >> (24 - 8 * i)) & 0xff);
        text[i] = (c >= 0x20 && c < 0x7f) ? c : '.';
    }
    text[4] = '\0';
    return text;
}
