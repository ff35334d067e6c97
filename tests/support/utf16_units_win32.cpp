// The dialog templates' UTF-16 for the Windows tests' setups: this build has no iconv, and
// Windows converts UTF-8 itself.
#include <windows.h>

#include <stdexcept>

#include "builder/io/code_page.h"

std::vector<uint16_t> Utf16Units(const std::string& utf8) {
  if (utf8.empty()) return {};
  std::vector<wchar_t> wide(utf8.size());
  const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()), wide.data(),
                                        int(wide.size()));
  if (count <= 0) throw std::invalid_argument("the text is no UTF-8");
  return std::vector<uint16_t>(wide.begin(), wide.begin() + count);
}
