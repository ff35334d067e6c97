// Reading files whole and in pieces, portably: the Windows tests build setups with these too.
#include "builder/file_bytes.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::runtime_error SystemError(const std::string& what, const std::string& name, int error) {
  return std::runtime_error("cannot " + what + " " + name + ": " + std::strerror(error));
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void ReadFilePieces(const std::string& path, uint64_t size, size_t pieceSize, const FilePiece& piece) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw SystemError("read", path, errno);
  std::vector<uint8_t> buffer(size < pieceSize ? size_t(size) : pieceSize);
  uint64_t left = size;
  do {  // an empty file still gives its one empty piece
    const size_t want = left < buffer.size() ? size_t(left) : buffer.size();
    if (std::fread(buffer.data(), 1, want, file.get()) != want) {
      if (std::ferror(file.get())) throw SystemError("read", path, errno);
      throw std::runtime_error(path + " has become shorter since the manifest was read");
    }
    left -= want;
    if (left == 0 && std::fgetc(file.get()) != EOF) {
      throw std::runtime_error(path + " has grown since the manifest was read");
    }
    piece(buffer.data(), want, left == 0);
  } while (left > 0);
}
