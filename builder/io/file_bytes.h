// Files' bytes as the builder moves them: a whole small file read at once, a large one read
// in pieces, bytes written to a sink that may be memory or a file, the data area spooled to
// a temporary file, and a file mapped to be looked at in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// "cannot WHAT NAME: the system's reason" for a call on a file that failed with errno error.
std::runtime_error SystemError(const std::string& what, const std::string& name, int error);

// The file's bytes; empty when it cannot be read (callers that must tell an empty file from
// a missing one look at the file first).
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

// Reads the size bytes of the file at path piece after piece. Throws std::runtime_error
// naming the file when it cannot be read or no longer holds exactly size bytes (it changed
// since it was looked at).
class FilePieceReader {
 public:
  FilePieceReader(const std::string& path, uint64_t size);
  // Replaces piece with the next pieceSize bytes, or the rest when fewer are left; true when
  // they are the last (an empty file has one empty piece).
  bool Next(size_t pieceSize, std::vector<uint8_t>& piece);

 private:
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
  std::string path_;
  uint64_t left_;
};

// Where bytes are written. Write throws std::runtime_error when they cannot be.
class ByteSink {
 public:
  virtual void Write(const uint8_t* data, size_t size) = 0;
  void Write(const std::vector<uint8_t>& bytes) { Write(bytes.data(), bytes.size()); }

 protected:
  ~ByteSink() = default;
};

// Appends to a vector in memory.
class VectorSink final : public ByteSink {
 public:
  explicit VectorSink(std::vector<uint8_t>& out) : out_(out) {}
  using ByteSink::Write;
  void Write(const uint8_t* data, size_t size) override { out_.insert(out_.end(), data, data + size); }

 private:
  std::vector<uint8_t>& out_;
};

// The rest is the system's (POSIX, system_files.cpp); the Windows tests use what is above.

// An open file descriptor, closed when this goes (a descriptor below 0 is none).
class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int Get() const { return descriptor_; }
  bool IsOpen() const { return descriptor_ >= 0; }
  // Closes it now; false, with errno set, when the system reports a failed write there.
  bool Close();

 private:
  int descriptor_;
};

// Writes to an open file descriptor, which the caller owns; name is told in the error.
class DescriptorSink final : public ByteSink {
 public:
  DescriptorSink(int descriptor, std::string name) : descriptor_(descriptor), name_(std::move(name)) {}
  using ByteSink::Write;
  void Write(const uint8_t* data, size_t size) override;

 private:
  int descriptor_;
  std::string name_;
};

// The data area while the setup is built: a temporary file in folder that has no name from
// the moment it is opened, so that no build, however it ends, leaves it behind.
class DataSpool final : public ByteSink {
 public:
  // Throws std::runtime_error when no file can be made in folder.
  explicit DataSpool(const std::string& folder);
  ~DataSpool();
  DataSpool(const DataSpool&) = delete;
  DataSpool& operator=(const DataSpool&) = delete;

  using ByteSink::Write;
  void Write(const uint8_t* data, size_t size) override;
  uint64_t Size() const { return size_; }
  // Copies the size bytes from offset to out, piece by piece.
  void CopyTo(uint64_t offset, uint64_t size, ByteSink& out) const;

 private:
  int descriptor_ = -1;
  uint64_t size_ = 0;
};

// Bytes looked at where they lie: a vector's or a mapped file's.
class ByteView {
 public:
  ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  ByteView(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}  // NOLINT: implicit
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  uint8_t operator[](size_t i) const { return data_[i]; }

 private:
  const uint8_t* data_;
  size_t size_;
};

// A file mapped read-only: its bytes are read from the disk as they are looked at.
class MappedFile {
 public:
  // Throws std::runtime_error naming the file when it cannot be opened or mapped.
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  ByteView Bytes() const { return {data_, size_}; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};
