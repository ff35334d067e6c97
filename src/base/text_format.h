// Texts composed in fixed buffers from a format of the setup's own: never written past their
// end, and a format that does not hold what the caller fills in is shown as it stands.
#pragma once

#include <cstdint>

// Writes format into buffer (size bytes, at least 1) with its "%d" replaced by number and
// each "%%" by "%". A format with any other '%' sequence, or with more than one "%d", is
// copied as it stands. A longer text is cut and stays terminated.
void FormatNumber(char* buffer, uint32_t size, const char* format, uint32_t number);

// Writes format into buffer (size bytes, at least 1) with its "%s" replaced by text and each
// "%%" by "%", as the system's formatting would print it (also when it holds no "%s"). A
// format with any other '%' sequence, or with more than one "%s", is copied as it stands. A
// longer text is cut and stays terminated.
void FormatText(char* buffer, uint32_t size, const char* format, const char* text);

// The two ways of appending text behind the terminated text in buffer (size bytes): one
// cuts what does not fit (texts shown to the user), the other refuses it, leaving the
// buffer unchanged and returning false (paths and command lines, which a cut would change).
void AppendCutText(char* buffer, uint32_t size, const char* text);
bool AppendText(char* buffer, uint32_t size, const char* text);

// The letter in upper case when it is an ASCII one: names the program compares without case
// (file suffixes, switches, device names, paths built from the same bytes) are ASCII.
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
