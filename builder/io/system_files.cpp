// The builder's files through the system's own calls: bytes written to descriptors, the
// data area's spool without a name, and files mapped to be read in place.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "builder/io/file_bytes.h"

namespace {

// The pieces that the spool is copied out in.
constexpr size_t SPOOL_COPY_SIZE = size_t{1} << 20;

// Writes all size bytes to descriptor; false with errno set when it cannot.
bool WriteAll(int descriptor, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(descriptor, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= size_t(written);
  }
  return true;
}

}  // namespace

void DescriptorSink::Write(const uint8_t* data, size_t size) {
  if (!WriteAll(descriptor_, data, size)) throw SystemError("write", name_, errno);
}

DataSpool::DataSpool(const std::string& folder) {
  std::string name = (std::filesystem::path(folder.empty() ? "." : folder) / ".lodrun-data-XXXXXX").string();
  descriptor_ = mkstemp(&name[0]);
  if (descriptor_ < 0) throw SystemError("make a temporary file in", folder.empty() ? "." : folder, errno);
  ::unlink(name.c_str());
}

DataSpool::~DataSpool() { ::close(descriptor_); }

void DataSpool::Write(const uint8_t* data, size_t size) {
  if (!WriteAll(descriptor_, data, size)) throw SystemError("write", "the data area's temporary file", errno);
  size_ += size;
}

void DataSpool::CopyTo(uint64_t offset, uint64_t size, ByteSink& out) const {
  std::vector<uint8_t> buffer(size < SPOOL_COPY_SIZE ? size_t(size) : SPOOL_COPY_SIZE);
  while (size > 0) {
    const size_t want = size < buffer.size() ? size_t(size) : buffer.size();
    const ssize_t got = ::pread(descriptor_, buffer.data(), want, off_t(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) throw SystemError("read", "the data area's temporary file", got < 0 ? errno : EIO);
    out.Write(buffer.data(), size_t(got));
    offset += uint64_t(got);
    size -= uint64_t(got);
  }
}

bool Descriptor::Close() {
  if (descriptor_ < 0) return true;
  const bool closed = ::close(descriptor_) == 0;
  descriptor_ = -1;
  return closed;
}

MappedFile::MappedFile(const std::string& path) {
  const Descriptor descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!descriptor.IsOpen()) throw SystemError("open", path, errno);
  struct stat status {};
  if (::fstat(descriptor.Get(), &status) != 0) throw SystemError("look at", path, errno);
  size_ = size_t(status.st_size);
  // An empty file cannot be mapped; it holds nothing to look at either.
  void* mapped = size_ == 0 ? nullptr : ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, descriptor.Get(), 0);
  if (mapped == MAP_FAILED) throw SystemError("map", path, errno);
  data_ = static_cast<const uint8_t*>(mapped);
}

MappedFile::~MappedFile() {
  if (data_ != nullptr) ::munmap(const_cast<uint8_t*>(data_), size_);
}
