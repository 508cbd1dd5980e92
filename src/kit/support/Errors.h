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

// Constants rather than an enum, so they mix with status_t without conversion warnings.
inline constexpr status_t B_OK = 0;
inline constexpr status_t B_ERROR = -1;

inline constexpr status_t B_NO_MEMORY = B_GENERAL_ERROR_BASE; // 0x80000000
inline constexpr status_t B_IO_ERROR = B_NO_MEMORY + 1;
inline constexpr status_t B_PERMISSION_DENIED = B_IO_ERROR + 1;
inline constexpr status_t B_BAD_INDEX = B_PERMISSION_DENIED + 1;
inline constexpr status_t B_BAD_TYPE = B_BAD_INDEX + 1;
inline constexpr status_t B_BAD_VALUE = B_BAD_TYPE + 1;
inline constexpr status_t B_MISMATCHED_VALUES = B_BAD_VALUE + 1;
inline constexpr status_t B_NAME_NOT_FOUND = B_MISMATCHED_VALUES + 1;
inline constexpr status_t B_NAME_IN_USE = B_NAME_NOT_FOUND + 1;
inline constexpr status_t B_TIMED_OUT = B_NAME_IN_USE + 1;
inline constexpr status_t B_INTERRUPTED = B_TIMED_OUT + 1;
inline constexpr status_t B_WOULD_BLOCK = B_INTERRUPTED + 1;
inline constexpr status_t B_CANCELED = B_WOULD_BLOCK + 1;
inline constexpr status_t B_NO_INIT = B_CANCELED + 1;
inline constexpr status_t B_BUSY = B_NO_INIT + 1;
inline constexpr status_t B_NOT_ALLOWED = B_BUSY + 1;
inline constexpr status_t B_BAD_DATA = B_NOT_ALLOWED + 1;

inline constexpr status_t B_BAD_THREAD_ID = B_OS_ERROR_BASE + 0x300;
inline constexpr status_t B_NO_MORE_THREADS = B_BAD_THREAD_ID + 1;
inline constexpr status_t B_BAD_THREAD_STATE = B_NO_MORE_THREADS + 1;
inline constexpr status_t B_BAD_PORT_ID = B_OS_ERROR_BASE + 0x700;

inline constexpr status_t B_BAD_HANDLER = B_APP_ERROR_BASE + 4;
inline constexpr status_t B_DUPLICATE_REPLY = B_BAD_HANDLER + 1;
inline constexpr status_t B_NOT_A_MESSAGE = B_APP_ERROR_BASE + 0xA;
inline constexpr status_t B_BAD_SCRIPT_SYNTAX = B_NOT_A_MESSAGE + 1;

inline constexpr status_t B_FILE_ERROR = B_STORAGE_ERROR_BASE;
inline constexpr status_t B_FILE_NOT_FOUND = B_FILE_ERROR + 1;
inline constexpr status_t B_FILE_EXISTS = B_FILE_NOT_FOUND + 1;
inline constexpr status_t B_ENTRY_NOT_FOUND = B_FILE_EXISTS + 1;
inline constexpr status_t B_NAME_TOO_LONG = B_ENTRY_NOT_FOUND + 1;
inline constexpr status_t B_NOT_A_DIRECTORY = B_NAME_TOO_LONG + 1;
inline constexpr status_t B_DIRECTORY_NOT_EMPTY = B_NOT_A_DIRECTORY + 1;
inline constexpr status_t B_DEVICE_FULL = B_DIRECTORY_NOT_EMPTY + 1;
inline constexpr status_t B_READ_ONLY_DEVICE = B_DEVICE_FULL + 1;
inline constexpr status_t B_IS_A_DIRECTORY = B_READ_ONLY_DEVICE + 1;
inline constexpr status_t B_NO_MORE_FDS = B_IS_A_DIRECTORY + 1;
inline constexpr status_t B_CROSS_DEVICE_LINK = B_NO_MORE_FDS + 1;
inline constexpr status_t B_LINK_LIMIT = B_CROSS_DEVICE_LINK + 1;
inline constexpr status_t B_BUSTED_PIPE = B_LINK_LIMIT + 1;
inline constexpr status_t B_UNSUPPORTED = B_BUSTED_PIPE + 1;
inline constexpr status_t B_PARTITION_TOO_SMALL = B_UNSUPPORTED + 1;

// An index or value outside its range (the POSIX ERANGE of the kit's numbering).
inline constexpr status_t B_RANGE_ERROR = B_POSIX_ERROR_BASE + 17; // 0x80007011

// Maps an errno value to the kit's status code (unknown values become B_ERROR).
int32 errno_to_status(int error);
