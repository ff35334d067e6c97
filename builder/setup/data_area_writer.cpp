// The data area writer: streams in table order, volumes cut at byte positions, and the
// volume files' names.
#include "builder/setup/data_area_writer.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "builder/io/put_fields.h"
#include "builder/setup/piece_compression.h"

namespace {

// ".D", the digits of the largest int and the terminator.
constexpr size_t VOLUME_SUFFIX_BUFFER = 16;
// The header's 4 bits, filled to the byte, then the 16-bit length.
constexpr uint64_t STORED_BLOCK_OVERHEAD = 1 + STREAM_STORED_LENGTH_BITS / 8;

// The record of one input, with its content's size and checksum, its stream written to data
// from its pieces, the next ones of pieces. areaSize is the data area's size before it; the
// stream must fit behind it.
FileRecord WriteFile(const FileInput& file, int level, uint64_t areaSize, PieceCompression& pieces, ByteSink& data) {
  FileRecord record = file.record;
  uint64_t size = 0, packed = 0;
  std::unique_ptr<StreamEncoder> encoder;
  if (HasStream(record)) encoder = std::make_unique<StreamEncoder>(level);
  std::vector<uint8_t> stream;
  CompressedPiece piece;
  do {
    piece = pieces.Next();
    size += piece.size;
    if (size >= MAX_FIELD_VALUE) throw FileError(record, "0xFFFFFFFF bytes or more");
    if (!encoder) continue;
    stream.clear();
    encoder->AddCompressed(piece.compressed, piece.last, stream);
    packed += stream.size();
    if (packed >= MAX_FIELD_VALUE) throw FileError(record, "its stream reaches 0xFFFFFFFF bytes");
    if (areaSize + packed >= MAX_FIELD_VALUE) throw FileError(record, "the data area would reach 0xFFFFFFFF bytes");
    data.Write(stream);
  } while (!piece.last);
  record.size = uint32_t(size);
  record.checksum = piece.checksum;
  record.packedSize = uint32_t(packed);
  return record;
}

}  // namespace

uint64_t StoredStreamSize(uint64_t size) {
  const uint64_t blocks = size == 0 ? 1 : (size + STREAM_MAX_STORED_LENGTH - 1) / STREAM_MAX_STORED_LENGTH;
  return size + blocks * STORED_BLOCK_OVERHEAD;
}

std::vector<FileRecord> WriteFileArea(const std::vector<FileInput>& files, const std::string& defaultDir,
                                      int level, ByteSink& data, const FileProgress& progress, unsigned jobs) {
  PieceCompression pieces(files, level, jobs);
  std::vector<FileRecord> records;
  uint64_t areaSize = 0;
  for (const FileInput& file : files) {
    CheckFileRecord(file.record, defaultDir);
    records.push_back(WriteFile(file, level, areaSize, pieces, data));
    areaSize += records.back().packedSize;
    if (progress) progress(records.size(), records.back());
  }
  return records;
}

FileArea BuildFileArea(const std::vector<FileInput>& files, const std::string& defaultDir,
                       int level, const FileProgress& progress, unsigned jobs) {
  FileArea area;
  VectorSink data(area.dataArea);
  area.records = WriteFileArea(files, defaultDir, level, data, progress, jobs);
  return area;
}

std::vector<uint32_t> VolumeDataSizes(uint64_t dataSize, uint32_t volumeDataSize) {
  if (volumeDataSize == 0) throw std::invalid_argument("a volume must hold at least one byte");
  std::vector<uint32_t> sizes;
  do {  // an empty data area still makes the setup file's volume
    sizes.push_back(uint32_t(std::min<uint64_t>(volumeDataSize, dataSize)));
    dataSize -= sizes.back();
  } while (dataSize > 0);
  return sizes;
}

std::vector<std::vector<uint8_t>> SplitDataArea(const std::vector<uint8_t>& data,
                                                uint32_t volumeDataSize) {
  std::vector<std::vector<uint8_t>> volumes;
  auto start = data.begin();
  for (uint32_t size : VolumeDataSizes(data.size(), volumeDataSize)) {
    volumes.emplace_back(start, start + size);
    start += size;
  }
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
