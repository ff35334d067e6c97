// Fixed path buffers: every path of the program lives in a buffer of PATH_BUFFER_SIZE bytes,
// built by appending and cutting in place.
#pragma once

#include <cstdint>

// Bytes of a path buffer, terminator included (the system's MAX_PATH).
constexpr uint32_t PATH_BUFFER_SIZE = 260;

// Copies text into a PATH_BUFFER_SIZE buffer; a longer text is cut so that the buffer
// stays terminated. Returns false when it had to cut.
bool CopyPath(char* buffer, const char* text);

// Appends text behind the path's end; false, leaving the path unchanged, when the result
// would not fit in PATH_BUFFER_SIZE bytes.
bool AppendPath(char* path, const char* text);

// Appends one backslash unless the path is empty or already ends with one. False, leaving
// the path unchanged, when the buffer is full.
bool AppendBackslash(char* path);

// Removes a trailing backslash from a path longer than 3 characters: D:\Apps\ becomes
// D:\Apps, while the root D:\ keeps its backslash.
void StripBackslash(char* path);

// Replaces the extension of the path's last component (from its last dot on) by suffix, or
// appends suffix when that component has no dot. False, leaving the path unchanged, when
// the result would not fit in PATH_BUFFER_SIZE bytes.
bool ReplaceExtension(char* path, const char* suffix);

// The length of an absolute path's root, where its names begin: 3 behind "D:\" of a drive,
// 2 behind "\\" of a UNC path, 0 for any other path.
uint32_t PathRootLength(const char* path);

// The part of the path behind its last backslash (the whole path when it has none); in
// native builds a slash ends a part too.
const char* PathFileName(const char* path);
