// The C library's string and memory functions, for the shipped programs only: with these
// they import no C runtime DLL (msvcrt.dll is not part of the first Windows 95 release, and
// the programs need nothing else of it). Lengths and copies are kernel32's lstr* calls; the
// rest are small loops. The compiler still expands the calls it can see through
// (constant lengths, short copies) itself; these serve the rest, and the calls it emits for
// struct copies and clears.
//
// No loop here is one the optimiser would turn into a call of a C function: the block copies
// and fills are the processor's string instructions.
#include <windows.h>

#include <cstddef>

#define LODRUN_C_FUNCTION extern "C"

LODRUN_C_FUNCTION size_t strlen(const char* text) { return size_t(lstrlenA(text)); }

LODRUN_C_FUNCTION char* strcpy(char* to, const char* from) { return lstrcpyA(to, from); }

// Bytes compare as unsigned chars, as the C library says (not lstrcmpA's locale order).
LODRUN_C_FUNCTION int strncmp(const char* a, const char* b, size_t n) {
  for (; n != 0; --n, ++a, ++b) {
    const int difference = int(static_cast<unsigned char>(*a)) - static_cast<unsigned char>(*b);
    if (difference != 0 || *a == '\0') return difference;
  }
  return 0;
}

// The terminator is part of the text: strchr(s, '\0') finds it.
LODRUN_C_FUNCTION char* strchr(const char* text, int c) {
  const char wanted = static_cast<char>(c);
  for (;; ++text) {
    if (*text == wanted) return const_cast<char*>(text);
    if (*text == '\0') return nullptr;
  }
}

LODRUN_C_FUNCTION char* strrchr(const char* text, int c) {
  const char wanted = static_cast<char>(c);
  const char* found = nullptr;
  for (;; ++text) {
    if (*text == wanted) found = text;
    if (*text == '\0') return const_cast<char*>(found);
  }
}

// An empty pattern is found at the text's start.
LODRUN_C_FUNCTION char* strstr(const char* text, const char* pattern) {
  for (;; ++text) {
    size_t i = 0;
    while (pattern[i] != '\0' && text[i] == pattern[i]) ++i;
    if (pattern[i] == '\0') return const_cast<char*>(text);
    if (*text == '\0') return nullptr;
  }
}

LODRUN_C_FUNCTION void* memchr(const void* block, int c, size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(block);
  const unsigned char wanted = static_cast<unsigned char>(c);
  for (; n != 0; --n, ++p) {
    if (*p == wanted) return const_cast<unsigned char*>(p);
  }
  return nullptr;
}

LODRUN_C_FUNCTION int memcmp(const void* a, const void* b, size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(a);
  const unsigned char* q = static_cast<const unsigned char*>(b);
  for (; n != 0; --n, ++p, ++q) {
    if (*p != *q) return int(*p) - int(*q);
  }
  return 0;
}

// The block functions are the processor's string moves, which no optimiser turns back into
// a call: an upward copy, or for a destination above an overlapping source a downward one,
// so that overlapping blocks come out as if copied through a buffer.
LODRUN_C_FUNCTION void* memmove(void* to, const void* from, size_t n) {
  void* d = to;
  const void* s = from;
  if (to <= from || static_cast<const char*>(from) + n <= static_cast<char*>(to)) {
    asm volatile("rep movsb" : "+D"(d), "+S"(s), "+c"(n) : : "memory");
  } else {
    d = static_cast<char*>(to) + n - 1;
    s = static_cast<const char*>(from) + n - 1;
    asm volatile("std\n\trep movsb\n\tcld" : "+D"(d), "+S"(s), "+c"(n) : : "memory");
  }
  return to;
}

LODRUN_C_FUNCTION void* memcpy(void* to, const void* from, size_t n) {
  void* d = to;
  asm volatile("rep movsb" : "+D"(d), "+S"(from), "+c"(n) : : "memory");
  return to;
}

LODRUN_C_FUNCTION void* memset(void* block, int c, size_t n) {
  void* d = block;
  asm volatile("rep stosb" : "+D"(d), "+c"(n) : "a"(c) : "memory");
  return block;
}
