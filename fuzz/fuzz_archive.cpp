// Fuzzes the archive loader: the input is everything behind a small fake program image,
// loaded the way the program loads its own file, then freed (leaks are reported).
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/setup_archive.h"
#include "base/byte_order.h"
#include "base/session_paths.h"
#include "engine/file_table.h"
#include "support/fake_image.h"

// The loader allocates what a block announces; above this limit allocation fails as when
// memory runs out, and the loader's out-of-memory paths run. (libFuzzer itself takes blocks
// of about 20 MB.)
extern "C" const char* __asan_default_options() {
  return "max_allocation_size_mb=64:allocator_may_return_null=1";
}

namespace {

constexpr uint32_t IMAGE_BYTES = 256;
constexpr uint32_t MARKER_OFFSET = 64;

// The image with its ImageSize patched, as the builder leaves it.
std::vector<uint8_t> FakeImage() {
  std::vector<uint8_t> image = test_support::FakeImage(IMAGE_BYTES, MARKER_OFFSET);
  StoreU32LE(image.data() + MARKER_OFFSET + IMAGE_SIZE_MARKER_LENGTH, IMAGE_BYTES);
  return image;
}

std::string setupPath;  // the setup file of this process, removed at exit

void RemoveSetupFile() { unlink(setupPath.c_str()); }

int OpenSetupFile() {
  const char* dir = std::getenv("TMPDIR");
  setupPath = std::string(dir != nullptr ? dir : "/tmp") + "/lodrun-fuzz-archive-" +
              std::to_string(getpid()) + ".exe";
  int fd = open(setupPath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0 || !AllocateSessionPaths()) {
    std::perror("fuzz_archive: set-up failed");
    std::abort();
  }
  std::atexit(RemoveSetupFile);
  return fd;
}

// Reads every field and string of every record, as the installation does: the sanitizers
// report any byte read outside the loaded table.
void WalkFileTable() {
  volatile uint32_t sink = 0;
  FileEntry* entry = FirstEntry();
  for (uint32_t i = 0; i < EntryCount(); ++i, entry = NextEntry(entry)) {
    sink = sink + entry->size + entry->packedSize + EntryDirCode(entry);
    if (const FileVersionBlock* version = EntryVersion(entry)) sink = sink + version->language;
    for (uint32_t n = 0; n < FILE_ENTRY_STRINGS; ++n) {
      sink = sink + static_cast<uint32_t>(std::strlen(EntryString(entry, n)));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int fd = OpenSetupFile();
  static const std::vector<uint8_t> image = FakeImage();
  if (ftruncate(fd, 0) != 0 || pwrite(fd, image.data(), image.size(), 0) < 0 ||
      pwrite(fd, data, size, image.size()) != static_cast<ssize_t>(size)) {
    std::abort();
  }
  SetImageSize(IMAGE_BYTES);
  CopyPath(SourcePath, setupPath.c_str());
  if (LoadSetupArchive()) WalkFileTable();
  FreeSetupArchive();
  return 0;
}
