// Reading files whole and in pieces, portably: the Windows tests build setups with these too.
#include "builder/io/file_bytes.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

std::runtime_error SystemError(const std::string& what, const std::string& name, int error) {
  return std::runtime_error("cannot " + what + " " + name + ": " + std::strerror(error));
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

FilePieceReader::FilePieceReader(const std::string& path, uint64_t size)
    : file_(std::fopen(path.c_str(), "rb"), std::fclose), path_(path), left_(size) {
  if (!file_) throw SystemError("read", path, errno);
}

bool FilePieceReader::Next(size_t pieceSize, std::vector<uint8_t>& piece) {
  piece.resize(left_ < pieceSize ? size_t(left_) : pieceSize);
  if (std::fread(piece.data(), 1, piece.size(), file_.get()) != piece.size()) {
    if (std::ferror(file_.get())) throw SystemError("read", path_, errno);
    throw std::runtime_error(path_ + " has become shorter since the manifest was read");
  }
  left_ -= piece.size();
  if (left_ == 0 && std::fgetc(file_.get()) != EOF) {
    throw std::runtime_error(path_ + " has grown since the manifest was read");
  }
  return left_ == 0;
}
