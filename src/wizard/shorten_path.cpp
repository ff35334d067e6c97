// ShortenPath: "..." in place of the middle folders of a path.
#include "wizard/shorten_path.h"

#include <cstddef>
#include <cstring>

namespace {

constexpr char ELLIPSIS[] = "...";
// Folders shorter than this between two backslashes are not worth replacing.
constexpr ptrdiff_t MIN_CUT = 4;

}  // namespace

void ShortenPath(char* path, uint32_t limit) {
  if (std::strlen(path) <= limit) return;
  char* first = std::strchr(path, '\\');
  char* last = std::strrchr(path, '\\');
  if (first == nullptr || last - first < MIN_CUT) return;
  const size_t tail = std::strlen(last);  // the last backslash and the file name
  char* cut = first + 1;
  char* p = first;
  // Keeps whole leading folders while they and the tail stay within the limit.
  while (last - p >= MIN_CUT && tail + size_t(p - path) < limit) {
    cut = p + 1;
    p = std::strchr(cut, '\\');
    if (p == nullptr) break;
  }
  // cut lies before last, and "..." takes no more room than the folders it replaces.
  std::memmove(cut + sizeof(ELLIPSIS) - 1, last, tail + 1);
  std::memcpy(cut, ELLIPSIS, sizeof(ELLIPSIS) - 1);
}
