// Fixed path buffers: every path of the program lives in a buffer of PATH_BUFFER_SIZE bytes,
// built by appending and cutting in place.
#pragma once

#include <cstdint>

// Bytes of a path buffer, terminator included (the system's MAX_PATH).
constexpr uint32_t PATH_BUFFER_SIZE = 260;

// Copies text into a PATH_BUFFER_SIZE buffer; a longer text is cut so that the buffer
// stays terminated. Returns false when it had to cut.
bool CopyPath(char* buffer, const char* text);
