#pragma once

// Replacing a text file so that readers and crashes only ever see the old contents or the
// new ones, never a missing or half-written file: the bytes go to a temporary file in the
// same directory, are flushed to disk, and the temporary is renamed over the target.

#include <SupportDefs.h>

#include <cstddef>

// Keeps the old file's permissions (0644 for a new file). B_OK or the failing call's error;
// on failure the old file is untouched and the temporary removed.
status_t replace_file_atomically(const char* path, const void* data, size_t size);
