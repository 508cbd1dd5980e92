#pragma once

// Limits and open modes of the storage kit.

#include <fcntl.h>

#define B_PATH_NAME_LENGTH 1024
#define B_FILE_NAME_LENGTH 256
#define B_ATTR_NAME_LENGTH 256

enum
{
    B_READ_ONLY = O_RDONLY,
    B_WRITE_ONLY = O_WRONLY,
    B_READ_WRITE = O_RDWR,
    B_FAIL_IF_EXISTS = O_EXCL,
    B_CREATE_FILE = O_CREAT,
    B_ERASE_FILE = O_TRUNC,
    B_OPEN_AT_END = O_APPEND,
};
