#pragma once

// Type codes of message fields and attributes. Codes are written as four-character
// constants ('CSTR'); the kit target turns off the compiler's multi-character warning for
// everything that links it, so 'Amsh' reads as it does in the program's tables. The value of
// 'ABCD' is ('A' << 24) | ('B' << 16) | ('C' << 8) | 'D' with both GCC and Clang.

#include "SupportDefs.h"

enum
{
    B_ANY_TYPE = 'ANYT',
    B_BOOL_TYPE = 'BOOL',
    B_CHAR_TYPE = 'CHAR',
    B_DOUBLE_TYPE = 'DBLE',
    B_FLOAT_TYPE = 'FLOT',
    B_INT8_TYPE = 'BYTE',
    B_INT16_TYPE = 'SHRT',
    B_INT32_TYPE = 'LONG',
    B_INT64_TYPE = 'LLNG',
    B_UINT8_TYPE = 'UBYT',
    B_UINT16_TYPE = 'USHT',
    B_UINT32_TYPE = 'ULNG',
    B_UINT64_TYPE = 'ULLG',
    B_MESSAGE_TYPE = 'MSGG',
    B_MESSENGER_TYPE = 'MSNG',
    B_MIME_TYPE = 'MIME',
    B_POINTER_TYPE = 'PNTR',
    B_POINT_TYPE = 'BPNT',
    B_RAW_TYPE = 'RAWT',
    B_RECT_TYPE = 'RECT',
    B_RGB_COLOR_TYPE = 'RGBC',
    B_STRING_TYPE = 'CSTR',
};

static_assert(B_STRING_TYPE == 0x43535452, "four-character codes must be big-endian packed");

// Writes the code as text into a buffer of at least 5 bytes ("CSTR"); unprintable bytes
// become '.'. For diagnostics and tests.
const char* type_code_text(type_code code, char text[5]);
