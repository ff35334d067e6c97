// The setup read back through the program's own code: the loader walks the blocks into
// Archive, the data area's refill follows the streams across the volume files, and the
// decoder decodes them.
#include "builder/setup/data_area_writer.h"
#include "builder/setup/setup_reader.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "archive/archive_format.h"
#include "archive/checksum.h"
#include "archive/data_area.h"
#include "archive/page_texts.h"
#include "archive/setup_archive.h"
#include "base/byte_order.h"
#include "base/memory.h"
#include "base/session_paths.h"
#include "builder/io/code_page.h"
#include "builder/io/file_bytes.h"
#include "builder/setup/archive_writer.h"
#include "builder/setup/setup_code_page.h"
#include "codec/decoder.h"

namespace {

std::string LoadFault(LoadStatus status) {
  switch (status) {
    case LOAD_SHORT_READ: return "a block is cut short or its stream does not decode";
    case LOAD_NO_MEMORY:
    case LOAD_NO_TEXT_MEMORY: return "a block is larger than the memory it can have";
    case LOAD_BAD_VALUE: return "a value is out of range, or the file table does not fit its block";
    case LOAD_OK: break;
  }
  return "";
}

// A loaded text (or path buffer), read no further than its memory block.
std::string Text(const char* text) {
  return text != nullptr ? std::string(text, strnlen(text, MemSize(text))) : std::string();
}

// The records of the loaded table, read field by field at the format's offsets.
std::vector<FileRecord> LoadedRecords() {
  std::vector<FileRecord> records;
  const uint8_t* entry = Archive.firstEntry;
  for (uint32_t i = 0; i < Archive.fileCount; ++i) {
    records.push_back(ReadFileRecord(entry));
    entry += LoadU32LE(entry + FILE_ENTRY_RECORD_LENGTH);
  }
  return records;
}

// BLOCK_APP_ENTRY as the setup file holds it: the program's loader leaves it to the pages
// that use it.
void ReadSetupAppEntry(const std::string& path, SetupSummary* summary) {
  std::vector<uint8_t> payload;
  uint16_t flags = 0;
  if (!ReadSetupBlock(path, summary->imageSize, BLOCK_APP_ENTRY, &payload, &flags)) return;
  if (flags & BLOCK_FLAG_COMPRESSED) {
    summary->appEntry.present = true;
    summary->appEntryFault = "the installed programs' entry block is compressed; the builder writes it stored";
    return;
  }
  ReadAppEntry(payload, summary->records.size(), &summary->appEntry, &summary->appEntryFault);
}

// A volume file as far as the walk needs it: its bytes and its size field, its data unread.
struct VolumeHead {
  uint64_t bytes = 0;      // 0: missing or empty
  uint32_t sizeField = 0;  // 0 when the file is shorter than the field
};

VolumeHead ReadVolumeHead(const std::string& name) {
  VolumeHead head;
  std::ifstream file(name, std::ios::binary | std::ios::ate);
  if (!file) return head;
  head.bytes = uint64_t(file.tellg());
  uint8_t field[VOLUME_SIZE_FIELD];
  if (head.bytes >= VOLUME_SIZE_FIELD && file.seekg(0).read(reinterpret_cast<char*>(field), sizeof field)) {
    head.sizeField = LoadU32LE(field);
  }
  return head;
}

// Loads the setup at path into Archive (freed first); the reason when it does not load.
bool LoadArchive(const std::string& path, uint32_t* imageSize, std::string* error) {
  static const bool paths = AllocateSessionPaths();
  FreeSetupArchive();
  if (!paths) {
    *error = "no memory for the path buffers";
    return false;
  }
  // The loader sets InstallDir only from a default-folder block: a setup without one must not
  // keep the folder of the setup read before it.
  InstallDir[0] = '\0';
  // Mapped, not read: only the program's image is looked at, however large the setup.
  std::unique_ptr<MappedFile> mapped;
  try {
    mapped = std::make_unique<MappedFile>(path);
  } catch (const std::exception&) {
  }
  const ByteView bytes = mapped ? mapped->Bytes() : ByteView(nullptr, 0);
  if (bytes.size() == 0) {
    *error = "cannot read the file, or it is empty";
    return false;
  }
  try {
    *imageSize = LoadU32LE(bytes.data() + FindImageSize(bytes));
  } catch (const std::exception&) {
    *error = "not a setup: the file holds no single image size record of the setup program";
    return false;
  }
  if (*imageSize == 0 || *imageSize >= bytes.size()) {
    *error = "the setup program carries no archive";
    return false;
  }
  if (!CopyPath(SourcePath, path.c_str())) {
    *error = "its path is longer than the program's path buffers";
    return false;
  }
  SetImageSize(*imageSize);
  const LoadStatus status = ReadSetupArchive();
  if (status != LOAD_OK) *error = "the archive does not load: " + LoadFault(status);
  return status == LOAD_OK;
}

// Receives a stream's bytes: counts them, sums them as the file's checksum, and hands them on.
class CheckingSink final : public OutputSink {
 public:
  CheckingSink(size_t index, const DecodedBytes& write) : index(index), write(write) {}
  bool IsReady() override { return true; }
  void Write(const uint8_t* data, uint16_t count) override {
    if (write) write(index, data, count);
    size += count;
    // The checksum takes whole words: a partial word waits for the next piece.
    while (count > 0 && pendingCount != 0) {
      pending[pendingCount++] = *data++;
      --count;
      if (pendingCount == CHECKSUM_WORD_SIZE) {
        state = ChecksumUpdate(pending, CHECKSUM_WORD_SIZE, state);
        pendingCount = 0;
      }
    }
    const uint32_t whole = count - count % CHECKSUM_WORD_SIZE;
    state = ChecksumUpdate(data, whole, state);
    for (uint32_t i = whole; i < count; ++i) pending[pendingCount++] = data[i];
  }
  uint32_t Checksum() const { return ChecksumUpdate(pending, pendingCount, state); }
  uint64_t size = 0;

 private:
  size_t index;
  const DecodedBytes& write;
  uint32_t state = CHECKSUM_START;
  uint8_t pending[CHECKSUM_WORD_SIZE] = {};
  uint32_t pendingCount = 0;
};

// Moves the data area's reader to byte `offset` of the whole data area, as if every stream
// before it had been read: after a damaged stream the next one still starts in its place.
bool SeekDataArea(const std::string& path, const SetupSummary& summary, uint64_t offset) {
  CloseDataArea();
  uint32_t volume = 0;
  while (volume < summary.volumeDataSizes.size() && offset >= summary.volumeDataSizes[volume]) {
    offset -= summary.volumeDataSizes[volume++];
  }
  if (volume >= summary.volumeDataSizes.size()) return false;
  const std::string name = volume == 0 ? path : summary.volumes[volume - 1];
  const FileHandle file = FileOpen(name.c_str(), OPEN_READ);
  const uint32_t at = (volume == 0 ? Archive.DataAreaOffset : 0) + VOLUME_SIZE_FIELD + uint32_t(offset);
  if (file == INVALID_FILE || FileSeek(file, at) != at) {
    if (file != INVALID_FILE) FileClose(file);
    return false;
  }
  CopyPath(VolumePath, name.c_str());
  Archive.VolumeNumber = volume;
  Archive.VolumeSize = uint32_t(summary.volumeDataSizes[volume]);
  Archive.DataRemaining = Archive.VolumeSize - uint32_t(offset);
  Archive.volumeFile = file;
  return true;
}

}  // namespace

bool ReadSetupSummary(const std::string& path, SetupSummary* summary, std::string* error) {
  *summary = SetupSummary{};
  if (!LoadArchive(path, &summary->imageSize, error)) return false;
  std::error_code ignored;
  summary->fileSize = std::filesystem::file_size(path, ignored);
  summary->setupFlags = Archive.SetupFlags;
  summary->codePage = SetupCodePage(path, summary->imageSize);
  summary->appName = Text(Archive.appName);
  summary->defaultDir = Text(InstallDir);
  summary->backgroundTitle = Text(Archive.backgroundTitle);
  summary->startPage = Archive.startPage;
  summary->installPacing = Archive.installPacing;
  summary->wizardPicture = Archive.wizardImage != nullptr;
  summary->backgroundPicture = Archive.backgroundImage != nullptr;
  summary->dirRegRoot = Archive.dirRegRoot;
  summary->dirRegKey = Text(Archive.dirRegKey);
  summary->dirRegValue = Text(Archive.dirRegValue);
  summary->dirIniFile = Text(Archive.dirIniFile);
  summary->dirIniSection = Text(Archive.dirIniSection);
  summary->dirIniKey = Text(Archive.dirIniKey);
  summary->records = LoadedRecords();
  ReadSetupAppEntry(path, summary);
  summary->dataAreaOffset = Archive.DataAreaOffset;
  summary->volumeDataSizes.push_back(Archive.VolumeSize);
  uint64_t packed = 0;
  for (const FileRecord& record : summary->records) packed += HasStream(record) ? record.packedSize : 0;
  // The volumes that the streams reach into, as far as they can be found.
  uint64_t held = Archive.VolumeSize;
  for (uint32_t n = 1; held < packed; ++n) {
    summary->volumes.push_back(VolumeFileName(path, n));
    const uint32_t size = ReadVolumeHead(summary->volumes.back()).sizeField;
    if (size == 0) break;  // a missing or empty volume would never end this walk
    summary->volumeDataSizes.push_back(size);
    held += size;
  }
  FreeSetupArchive();
  return true;
}

SetupSummary AsWritten(const SetupSummary& summary) {
  const CodePageText text(summary.codePage);
  SetupSummary shown = summary;
  for (std::string& field : shown.appEntry.texts) field = text.Decode(field);
  for (std::string* field : {&shown.appName, &shown.defaultDir, &shown.backgroundTitle, &shown.dirRegKey,
                             &shown.dirRegValue, &shown.dirIniFile, &shown.dirIniSection, &shown.dirIniKey}) {
    *field = text.Decode(*field);
  }
  for (FileRecord& record : shown.records) {
    for (std::string* field : RecordStrings(record)) *field = text.Decode(*field);
  }
  return shown;
}

std::vector<DecodedFile> DecodeFiles(const std::string& path, const SetupSummary& summary,
                                     const DecodedBytes& write, std::string* error) {
  std::vector<DecodedFile> results;
  uint32_t imageSize = 0;
  if (!LoadArchive(path, &imageSize, error)) return results;
  if (!OpenFirstVolume(nullptr)) {
    *error = "the data area does not open";
    FreeSetupArchive();
    return results;
  }
  uint64_t offset = 0;
  bool inPlace = true;  // the reader stands where the previous stream ended
  for (size_t i = 0; i < summary.records.size(); ++i) {
    const FileRecord& record = summary.records[i];
    if (!HasStream(record)) continue;
    DecodedFile result;
    result.index = i;
    if (inPlace || SeekDataArea(path, summary, offset)) {
      CheckingSink sink(i, write);
      Decoder decoder;
      if (Archive.volumeFile != INVALID_FILE &&
          decoder.OpenSource(Archive.volumeFile, record.packedSize, RefillInput)) {
        result.decoded = decoder.DecodeStream(sink) == DECODE_OK;
        decoder.CloseSource();
      }
      result.size = sink.size;
      result.checksum = sink.Checksum();
    }
    result.matches = result.decoded && result.size == record.size && result.checksum == record.checksum;
    inPlace = result.decoded;
    offset += record.packedSize;
    results.push_back(result);
  }
  CloseDataArea();
  FreeSetupArchive();
  return results;
}

std::vector<std::string> VolumeFaults(const std::string& path, const SetupSummary& summary) {
  std::vector<std::string> faults;
  uint64_t packed = 0, held = 0;
  for (const FileRecord& record : summary.records) packed += HasStream(record) ? record.packedSize : 0;
  for (uint64_t size : summary.volumeDataSizes) held += size;
  for (size_t n = 0; n < summary.volumes.size(); ++n) {
    const std::string& name = summary.volumes[n];
    const VolumeHead volume = ReadVolumeHead(name);
    const uint64_t data = volume.bytes < VOLUME_SIZE_FIELD ? 0 : volume.bytes - VOLUME_SIZE_FIELD;
    if (volume.bytes == 0) {
      faults.push_back(name + ": volume " + std::to_string(n + 1) + " is missing");
    } else if (volume.bytes < VOLUME_SIZE_FIELD || data != volume.sizeField) {
      faults.push_back(name + ": the volume holds " + std::to_string(data) + " data bytes, its size field says " +
                       std::to_string(volume.sizeField));
    }
  }
  // Every volume but the last holds as much as the setup file: another size is another build's.
  for (size_t n = 1; n < summary.volumeDataSizes.size(); ++n) {
    const bool last = n + 1 == summary.volumeDataSizes.size();
    const uint64_t size = summary.volumeDataSizes[n], cut = summary.volumeDataSizes[0];
    if (last ? size > cut : size != cut) {
      faults.push_back(summary.volumes[n - 1] + ": its size field says " + std::to_string(size) +
                       " data bytes where this setup's volumes hold " + std::to_string(cut) +
                       (last ? " at most" : "") + "; it belongs to another build");
    }
  }
  const uint64_t firstEnd = uint64_t(summary.dataAreaOffset) + VOLUME_SIZE_FIELD + summary.volumeDataSizes[0];
  if (summary.fileSize < firstEnd) {
    faults.push_back(path + ": the setup file ends " + std::to_string(firstEnd - summary.fileSize) +
                     " bytes before the end of its data");
  }
  if (held != packed && faults.empty()) {
    faults.push_back(path + ": the volumes hold " + std::to_string(held) + " data bytes, the streams need " +
                     std::to_string(packed));
  }
  return faults;
}
