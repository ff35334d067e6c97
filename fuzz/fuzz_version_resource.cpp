// Fuzzes the builder's PE readers: the headers and the version resource of arbitrary bytes.
// The input is copied to a heap block of exactly its size, so AddressSanitizer reports any
// byte read past it. A version the reader returns must be one the bytes hold: the fixed file
// info's signature with the four version words behind it, somewhere in the input; a refusal
// must give its reason and leave the caller's numbers alone.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/byte_order.h"
#include "builder/win32/pe_headers.h"
#include "builder/win32/version_resource.h"
#include "support/minimal_pe.h"

namespace {

constexpr size_t FILE_VERSION_OFFSET = 8;  // behind the signature and the struct version
constexpr size_t FIXED_INFO_BYTES = 52;
constexpr uint32_t UNTOUCHED = 0xA5A5A5A5;  // what the caller's numbers hold before a refusal

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_version_resource: %s\n", what);
  std::abort();
}

// True when some offset of the input holds the signature, then the four words of info.
bool HoldsFixedInfo(const uint8_t* bytes, size_t size, const FileVersionInfo& info) {
  for (size_t at = 0; at + FIXED_INFO_BYTES <= size; ++at) {
    const uint8_t* fixed = bytes + at;
    if (LoadU32LE(fixed) == minimal_pe::SIGNATURE &&
        LoadU32LE(fixed + FILE_VERSION_OFFSET) == info.fileVersionMS &&
        LoadU32LE(fixed + FILE_VERSION_OFFSET + 4) == info.fileVersionLS &&
        LoadU32LE(fixed + FILE_VERSION_OFFSET + 8) == info.productVersionMS &&
        LoadU32LE(fixed + FILE_VERSION_OFFSET + 12) == info.productVersionLS) {
      return true;
    }
  }
  return false;
}

// True when the language is 0 (none named) or a 16-bit word the input holds.
bool HoldsLanguage(const uint8_t* bytes, size_t size, uint32_t language) {
  if (language == 0) return true;
  if (language > 0xFFFF) return false;
  for (size_t at = 0; at + 2 <= size; ++at) {
    if (LoadU16LE(bytes + at) == language) return true;
  }
  return false;
}

// The headers' extent and section mapping stay inside the file.
void CheckHeaders(ByteView file) {
  PeHeaders headers;
  if (!ReadPeHeaders(file, &headers).empty()) return;
  if (headers.sections.ImageExtent() > file.size()) Fail("the image extent passes the file's end");
  if (!Holds(file.size(), headers.optional, headers.optionalSize)) Fail("the optional header passes the file's end");
  for (uint32_t rva : {0x0u, 0x1000u, 0x2000u}) {
    size_t offset = 0, available = 0;
    if (headers.sections.Map(rva, &offset, &available) && !Holds(file.size(), offset, available)) {
      Fail("a mapped RVA passes the file's end");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[size == 0 ? 1 : size]);
  for (size_t i = 0; i < size; ++i) copy[i] = data[i];
  const ByteView file(copy.get(), size);
  CheckHeaders(file);

  FileVersionInfo info;
  info.fileVersionMS = info.fileVersionLS = info.productVersionMS = info.productVersionLS = UNTOUCHED;
  info.language = UNTOUCHED;
  std::string error;
  if (!ReadVersionInfo(file, &info, &error)) {
    if (error.empty()) Fail("a refusal without a reason");
    if (info.fileVersionMS != UNTOUCHED || info.language != UNTOUCHED) Fail("a refusal changed the numbers");
    return 0;
  }
  if (!HoldsFixedInfo(copy.get(), size, info)) Fail("a version the input does not hold");
  if (!HoldsLanguage(copy.get(), size, info.language)) Fail("a language the input does not hold");
  return 0;
}
