// The data area writer: streams in table order, volumes cut at byte positions, and the
// volume files' names.
#include "builder/data_area_writer.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <stdexcept>

#include "builder/archive_writer.h"

namespace {

constexpr size_t MAX_FIELD_VALUE = 0xFFFFFFFFu;  // every size of the setup file is a u32
// ".D", the digits of the largest int and the terminator.
constexpr size_t VOLUME_SUFFIX_BUFFER = 16;

std::runtime_error FileError(const FileRecord& record, const std::string& what) {
  return std::runtime_error("file '" + record.name + "': " + what);
}

// The record of one input, with its content's size and checksum and its stream.
FileRecord FillRecord(const FileInput& file, std::vector<uint8_t>& stream, int level) {
  FileRecord record = file.record;
  if (file.content.size() > MAX_FIELD_VALUE) throw FileError(record, "more than 0xFFFFFFFF bytes");
  record.size = static_cast<uint32_t>(file.content.size());
  record.checksum = FileChecksum(file.content);
  stream.clear();
  if (HasStream(record)) stream = EncodeStream(file.content.data(), file.content.size(), level);
  if (stream.size() > MAX_FIELD_VALUE) throw FileError(record, "its stream exceeds 0xFFFFFFFF bytes");
  record.packedSize = static_cast<uint32_t>(stream.size());
  return record;
}

}  // namespace

bool HasStream(const FileRecord& record) { return record.installMode != MODE_EXTERNAL; }

FileArea BuildFileArea(const std::vector<FileInput>& files, const std::string& defaultDir,
                       int level, const FileProgress& progress) {
  FileArea area;
  std::vector<uint8_t> stream;
  for (const FileInput& file : files) {
    CheckFileRecord(file.record, defaultDir);
    FileRecord record = FillRecord(file, stream, level);
    if (area.dataArea.size() + stream.size() > MAX_FIELD_VALUE) {
      throw FileError(record, "the data area would exceed 0xFFFFFFFF bytes");
    }
    area.dataArea.insert(area.dataArea.end(), stream.begin(), stream.end());
    area.records.push_back(std::move(record));
    if (progress) progress(area.records.size(), area.records.back());
  }
  return area;
}

std::vector<std::vector<uint8_t>> SplitDataArea(const std::vector<uint8_t>& data,
                                                uint32_t volumeDataSize) {
  if (volumeDataSize == 0) throw std::invalid_argument("a volume must hold at least one byte");
  std::vector<std::vector<uint8_t>> volumes;
  size_t start = 0;
  do {  // an empty data area still makes the setup file's volume
    const size_t length = std::min<size_t>(volumeDataSize, data.size() - start);
    volumes.emplace_back(data.begin() + static_cast<ptrdiff_t>(start),
                         data.begin() + static_cast<ptrdiff_t>(start + length));
    start += length;
  } while (start < data.size());
  return volumes;
}

std::vector<uint8_t> VolumeFile(const std::vector<uint8_t>& data) {
  if (data.size() > MAX_FIELD_VALUE) throw std::runtime_error("volume too large");
  std::vector<uint8_t> file;
  file.reserve(VOLUME_SIZE_FIELD + data.size());
  PutU32(file, static_cast<uint32_t>(data.size()));
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

std::string VolumeFileName(const std::string& setupPath, uint32_t n) {
  if (n == 0 || n > INT_MAX) throw std::invalid_argument("volume numbers run from 1");
  char suffix[VOLUME_SUFFIX_BUFFER];
  std::snprintf(suffix, sizeof suffix, VOLUME_SUFFIX_FORMAT, static_cast<int>(n));
  // Both separators count, so that a Windows path is cut at its last part too.
  const size_t lastPart = setupPath.find_last_of("/\\");
  const size_t dot = setupPath.rfind('.');
  const bool hasExtension = dot != std::string::npos && (lastPart == std::string::npos || dot > lastPart);
  return (hasExtension ? setupPath.substr(0, dot) : setupPath) + suffix;
}
