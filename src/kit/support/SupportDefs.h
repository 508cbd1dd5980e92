#pragma once

// Fixed-width integer names, status values and the small helpers every kit header uses.

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

typedef int8_t int8;
typedef uint8_t uint8;
typedef int16_t int16;
typedef uint16_t uint16;
typedef int32_t int32;
typedef uint32_t uint32;
typedef int64_t int64;
typedef uint64_t uint64;

// A result: B_OK (0) or a negative error code from Errors.h.
typedef int32 status_t;
// Microseconds; absolute values are on the monotonic clock (system_time()).
typedef int64 bigtime_t;
// Four-character type code of a message field or attribute (TypeConstants.h).
typedef uint32 type_code;

#include "Errors.h"
