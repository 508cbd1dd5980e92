#pragma once

// Status codes. Errors are negative; every error code lies in the range starting at
// B_GENERAL_ERROR_BASE so it never collides with a byte count.

#include "SupportDefs.h"

#include <climits>

#define B_GENERAL_ERROR_BASE INT_MIN
#define B_OS_ERROR_BASE (B_GENERAL_ERROR_BASE + 0x1000)
#define B_APP_ERROR_BASE (B_GENERAL_ERROR_BASE + 0x2000)
#define B_STORAGE_ERROR_BASE (B_GENERAL_ERROR_BASE + 0x6000)
#define B_POSIX_ERROR_BASE (B_GENERAL_ERROR_BASE + 0x7000)

enum
{
    B_OK = 0,
    B_ERROR = -1,

    B_NO_MEMORY = B_GENERAL_ERROR_BASE, // 0x80000000
    B_IO_ERROR,
    B_PERMISSION_DENIED,
    B_BAD_INDEX,
    B_BAD_TYPE,
    B_BAD_VALUE,
    B_MISMATCHED_VALUES,
    B_NAME_NOT_FOUND,
    B_NAME_IN_USE,
    B_TIMED_OUT,
    B_INTERRUPTED,
    B_WOULD_BLOCK,
    B_CANCELED,
    B_NO_INIT,
    B_BUSY,
    B_NOT_ALLOWED,
    B_BAD_DATA,

    B_BAD_THREAD_ID = B_OS_ERROR_BASE + 0x300,
    B_NO_MORE_THREADS,
    B_BAD_THREAD_STATE,
    B_BAD_PORT_ID = B_OS_ERROR_BASE + 0x700,

    B_BAD_HANDLER = B_APP_ERROR_BASE + 4,
    B_DUPLICATE_REPLY,
    B_NOT_A_MESSAGE = B_APP_ERROR_BASE + 0xA,
    B_BAD_SCRIPT_SYNTAX,

    B_FILE_ERROR = B_STORAGE_ERROR_BASE,
    B_FILE_NOT_FOUND,
    B_FILE_EXISTS,
    B_ENTRY_NOT_FOUND,
    B_NAME_TOO_LONG,
    B_NOT_A_DIRECTORY,
    B_DIRECTORY_NOT_EMPTY,
    B_DEVICE_FULL,
    B_READ_ONLY_DEVICE,
    B_IS_A_DIRECTORY,
    B_NO_MORE_FDS,
    B_CROSS_DEVICE_LINK,
    B_LINK_LIMIT,
    B_BUSTED_PIPE,
    B_UNSUPPORTED,
    B_PARTITION_TOO_SMALL,

    // An index or value outside its range (the POSIX ERANGE of the kit's numbering).
    B_RANGE_ERROR = B_POSIX_ERROR_BASE + 17, // 0x80007011
};

// Maps an errno value to the kit's status code (unknown values become B_ERROR).
int32 errno_to_status(int error);
