// The setup file writer. Every field is written explicitly, little-endian.
#include "builder/setup/archive_writer.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

#include "archive/archive_format.h"
#include "base/byte_order.h"
#include "builder/win32/default_templates.h"
#include "builder/win32/dialog_template.h"
#include "builder/win32/pe_headers.h"
#include "builder/win32/picture_check.h"

size_t FindImageSize(ByteView stub) {
  // Only the program's image counts: a setup's archive may hold another copy of the record
  // (a stored uninstall program), and the program reads its own from its own data.
  PeHeaders headers;
  const std::string fault = ReadPeHeaders(stub, &headers);
  if (!fault.empty()) throw std::runtime_error("the stub is " + fault);
  const size_t extent = headers.sections.ImageExtent();
  const uint8_t* image = stub.data() + extent;
  const uint8_t* begin = IMAGE_SIZE_MARKER;
  const uint8_t* end = IMAGE_SIZE_MARKER + IMAGE_SIZE_MARKER_LENGTH;
  auto hit = std::search(stub.data(), image, begin, end);
  if (hit == image) throw std::runtime_error("the stub holds no ImageSize marker");
  if (std::search(hit + 1, image, begin, end) != image) {
    throw std::runtime_error("the stub holds the ImageSize marker more than once");
  }
  size_t offset = static_cast<size_t>(hit - stub.data()) + IMAGE_SIZE_MARKER_LENGTH;
  if (offset + 4 > extent) throw std::runtime_error("the stub ends inside ImageSize");
  return offset;
}

void PatchImageSize(std::vector<uint8_t>& stub, uint32_t size) {
  size_t offset = FindImageSize(stub);
  StoreU32LE(stub.data() + offset, size);
}

ArchiveWriter::ArchiveWriter(std::vector<uint8_t> stub) : image_(std::move(stub)) {
  if (image_.size() > 0xFFFFFFFFu) throw std::runtime_error("the stub is too large");
  PatchImageSize(image_, static_cast<uint32_t>(image_.size()));
}

void ArchiveWriter::AddRawBlock(uint16_t tag, uint16_t flags, const std::vector<uint8_t>& payload) {
  if (payload.size() > 0xFFFFFFFFu) throw std::runtime_error("block payload too large");
  PutU16(blocks_, tag);
  PutU16(blocks_, flags);
  PutU32(blocks_, static_cast<uint32_t>(payload.size()));
  blocks_.insert(blocks_.end(), payload.begin(), payload.end());
}

void ArchiveWriter::AddU16Block(uint16_t tag, uint16_t value) {
  std::vector<uint8_t> payload;
  PutU16(payload, value);
  AddRawBlock(tag, 0, payload);
}

void ArchiveWriter::AddU32Block(uint16_t tag, uint32_t value) {
  std::vector<uint8_t> payload;
  PutU32(payload, value);
  AddRawBlock(tag, 0, payload);
}

void ArchiveWriter::AddLoadedBlock(uint16_t tag, const std::vector<uint8_t>& content,
                                   bool compress, int level) {
  if (!compress) {
    AddRawBlock(tag, 0, content);
    return;
  }
  std::vector<uint8_t> payload;
  PutU32(payload, static_cast<uint32_t>(content.size()));
  std::vector<uint8_t> stream = EncodeStream(content.data(), content.size(), level);
  payload.insert(payload.end(), stream.begin(), stream.end());
  AddRawBlock(tag, BLOCK_FLAG_COMPRESSED, payload);
}

void ArchiveWriter::AddStringBlock(uint16_t tag, const std::string& text, bool compress,
                                   int level) {
  std::vector<uint8_t> content(text.begin(), text.end());
  content.push_back(0);
  AddLoadedBlock(tag, content, compress, level);
}

std::vector<uint8_t> PageTextList(const std::vector<std::string>& strings) {
  if (strings.size() > 0xFFFF) throw std::runtime_error("a page-text list holds too many strings");
  std::vector<uint8_t> list;
  PutU16(list, static_cast<uint16_t>(strings.size()));
  for (const std::string& s : strings) {
    if (s.find('\0') != std::string::npos) throw std::runtime_error("a page text holds a NUL");
    list.insert(list.end(), s.begin(), s.end());
    list.push_back(0);
  }
  return list;
}

void ArchiveWriter::AddPageTexts(const std::vector<std::vector<std::string>>& lists, int level) {
  if (lists.size() > 0xFFFF) throw std::runtime_error("too many page-text lists");
  std::vector<uint8_t> payload;
  PutU16(payload, static_cast<uint16_t>(lists.size()));
  for (const auto& strings : lists) {
    std::vector<uint8_t> list = PageTextList(strings);
    PutU32(payload, static_cast<uint32_t>(list.size()));
    std::vector<uint8_t> stream = EncodeStream(list.data(), list.size(), level);
    payload.insert(payload.end(), stream.begin(), stream.end());
  }
  AddRawBlock(BLOCK_PAGE_TEXTS, 0, payload);
}

void ArchiveWriter::AddDefaultTemplates(bool compress, int level, WebButton web) {
  AddLoadedBlock(BLOCK_DIALOG_TEMPLATES, DefaultTemplateBlock(web), compress, level);
}

void ArchiveWriter::AddPicture(uint16_t tag, const std::vector<uint8_t>& bmp, bool compress,
                               int level) {
  if (tag != BLOCK_WIZARD_IMAGE && tag != BLOCK_BACKGROUND_IMAGE) {
    throw std::invalid_argument("not a picture block tag");
  }
  std::string error = ValidatePicture(bmp);
  if (!error.empty()) throw std::runtime_error("picture refused: " + error);
  AddLoadedBlock(tag, bmp, compress, level);
}

void ArchiveWriter::SetDataArea(std::vector<uint8_t> data) {
  if (data.size() > 0xFFFFFFFFu) throw std::runtime_error("data area too large");
  data_ = std::move(data);
}

std::vector<FileRecord> ArchiveWriter::AddFiles(const std::vector<FileInput>& files,
                                                const std::string& defaultDir, bool compress,
                                                int level, const FileProgress& progress) {
  FileArea area = BuildFileArea(files, defaultDir, level, progress);
  AddFileTable(area.records, compress, level);
  SetDataArea(std::move(area.dataArea));
  return area.records;
}

void ArchiveWriter::AddFileTable(const std::vector<FileRecord>& records, bool compress, int level) {
  AddLoadedBlock(BLOCK_FILE_TABLE, FileTableContent(records), compress, level);
}

std::vector<uint8_t> ArchiveWriter::SetupHead(uint32_t firstVolumeSize) const {
  if (firstVolumeSize > MAX_FIELD_VALUE - VOLUME_SIZE_FIELD) throw std::runtime_error("data area too large");
  std::vector<uint8_t> file = image_;
  file.insert(file.end(), blocks_.begin(), blocks_.end());
  // BLOCK_END's size is the data size field plus the first volume's data; it must not be 0,
  // since a block of size 0 is skipped without reading its payload.
  PutU16(file, BLOCK_END);
  PutU16(file, 0);
  PutU32(file, static_cast<uint32_t>(VOLUME_SIZE_FIELD + firstVolumeSize));
  PutU32(file, firstVolumeSize);
  return file;
}

std::vector<uint8_t> ArchiveWriter::SetupFile(const std::vector<uint8_t>& firstVolume) const {
  std::vector<uint8_t> file = SetupHead(static_cast<uint32_t>(firstVolume.size()));
  file.insert(file.end(), firstVolume.begin(), firstVolume.end());
  return file;
}

std::vector<uint8_t> ArchiveWriter::Finish() const { return SetupFile(data_); }

std::vector<std::vector<uint8_t>> ArchiveWriter::FinishVolumes(uint32_t volumeDataSize) const {
  std::vector<std::vector<uint8_t>> volumes = SplitDataArea(data_, volumeDataSize);
  std::vector<std::vector<uint8_t>> files;
  files.push_back(SetupFile(volumes.front()));
  for (size_t n = 1; n < volumes.size(); ++n) files.push_back(VolumeFile(volumes[n]));
  return files;
}
