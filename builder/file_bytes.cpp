// Reading a whole file.
#include "builder/file_bytes.h"

#include <fstream>
#include <iterator>

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
