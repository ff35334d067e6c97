// The setup's blocks in the order the program reads them best: settings first, then the
// texts, templates and pictures, the file table last before the data area.
#include "builder/manifest/setup_build.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "builder/setup/archive_writer.h"
#include "builder/setup/default_texts.h"
#include "builder/setup/uninstall_program.h"

namespace {

// The setup's texts: the defaults for its application, with the manifest's on top.
std::vector<std::vector<std::string>> SetupTexts(const Manifest& manifest) {
  std::vector<std::vector<std::string>> texts = DefaultPageTexts(manifest.appName);
  for (const TextOverride& text : manifest.texts) {
    if (text.list == UNINSTALL_TEXT_LIST) continue;
    std::vector<std::string>& list = texts.at(text.list);
    if (list.size() <= text.index) list.resize(text.index + 1);
    list[text.index] = text.text;
  }
  return texts;
}

// The uninstall program's texts: the defaults, and those the manifest sets.
std::vector<std::string> UninstallTexts(const Manifest& manifest) {
  std::vector<std::string> texts = DefaultUninstallTexts(manifest.appName);
  for (const TextOverride& text : manifest.texts) {
    if (text.list == UNINSTALL_TEXT_LIST) texts.at(text.index) = text.text;
  }
  return texts;
}

void AddLookups(ArchiveWriter& writer, const Manifest& manifest, bool compress, int level) {
  if (manifest.registryLookup.present) {
    writer.AddU32Block(BLOCK_DIR_REG_ROOT, manifest.registryLookup.root);
    writer.AddStringBlock(BLOCK_DIR_REG_KEY, manifest.registryLookup.key, compress, level);
    writer.AddStringBlock(BLOCK_DIR_REG_VALUE, manifest.registryLookup.value, compress, level);
  }
  if (manifest.iniLookup.present) {
    writer.AddStringBlock(BLOCK_DIR_INI_FILE, manifest.iniLookup.file, compress, level);
    writer.AddStringBlock(BLOCK_DIR_INI_SECTION, manifest.iniLookup.section, compress, level);
    writer.AddStringBlock(BLOCK_DIR_INI_KEY, manifest.iniLookup.key, compress, level);
  }
}

// A temporary name beside target that no other build uses at the same time.
std::string TemporaryName(const std::string& target, size_t n) {
  return target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(n);
}

// The folder that holds path, as open() takes it.
std::string FolderOf(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

// Flushes the folder's entries to the disk, so that the names made in it last.
void SyncFolder(const std::string& folder) {
  const Descriptor descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!descriptor.IsOpen()) throw SystemError("open the folder", folder, errno);
  if (::fsync(descriptor.Get()) != 0) throw SystemError("flush the folder", folder, errno);
}

// Writes one file under name with its content, flushed to the disk.
void WriteFlushed(const std::string& name, const std::string& target, size_t index, const FileContent& content) {
  Descriptor descriptor(::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!descriptor.IsOpen()) throw SystemError("write", target, errno);
  DescriptorSink sink(descriptor.Get(), target);
  content(index, sink);
  if (::fsync(descriptor.Get()) != 0) throw SystemError("flush", target, errno);
  if (!descriptor.Close()) throw SystemError("write", target, errno);
}

}  // namespace

BuiltSetup BuildSetup(const Manifest& manifest, std::vector<uint8_t> stub, const BuildOptions& options,
                      ByteSink& data) {
  const bool compress = options.level > 0;
  const int level = options.level;
  ArchiveWriter writer(std::move(stub));
  writer.AddU32Block(BLOCK_SETUP_FLAGS, manifest.setupFlags);
  writer.AddU16Block(BLOCK_CODE_PAGE, manifest.codePage);
  if (manifest.startPage != START_PAGE_ALL) writer.AddU16Block(BLOCK_START_PAGE, manifest.startPage);
  writer.AddU32Block(BLOCK_INSTALL_PACING, InstallPacing(manifest.installSliceMs, manifest.installGapMs));
  if (!manifest.defaultDir.empty()) writer.AddStringBlock(BLOCK_DEFAULT_DIR, manifest.defaultDir, compress, level);
  if (!manifest.appName.empty()) writer.AddStringBlock(BLOCK_APP_NAME, manifest.appName, compress, level);
  if (!manifest.backgroundTitle.empty()) {
    writer.AddStringBlock(BLOCK_BACKGROUND_TITLE, manifest.backgroundTitle, compress, level);
  }
  AddLookups(writer, manifest, compress, level);
  writer.AddPageTexts(SetupTexts(manifest), level);
  writer.AddDefaultTemplates(compress, level,
                             manifest.appEntry.texts[APP_ENTRY_URL].empty() ? WebButton::WITHOUT : WebButton::WITH);
  if (!manifest.wizardPicture.empty()) writer.AddPicture(BLOCK_WIZARD_IMAGE, manifest.wizardPicture, compress, level);
  if (!manifest.backgroundPicture.empty()) {
    writer.AddPicture(BLOCK_BACKGROUND_IMAGE, manifest.backgroundPicture, compress, level);
  }
  BuiltSetup built;
  if (manifest.builtUninstaller) {
    std::vector<FileInput> files = manifest.files;
    files.front().content = BuildUninstallProgram(options.uninstallImage, UninstallTexts(manifest));
    built.records = WriteFileArea(files, manifest.defaultDir, level, data, options.progress, options.jobs);
  } else {
    built.records = WriteFileArea(manifest.files, manifest.defaultDir, level, data, options.progress,
                                  options.jobs);
  }
  writer.AddFileTable(built.records, compress, level);
  // Stored as it is: a few hundred bytes at most, read back without a decoder.
  if (manifest.appEntry.present) writer.AddRawBlock(BLOCK_APP_ENTRY, 0, AppEntryBlock(manifest.appEntry));
  for (const FileRecord& record : built.records) {
    built.contentBytes += record.size;
    built.packedBytes += record.packedSize;
  }
  // Without a volume size the whole data area, which fits a u32, stays in the setup file.
  built.volumeDataSizes = VolumeDataSizes(built.packedBytes, options.volumeSize == 0 ? uint32_t(MAX_FIELD_VALUE)
                                                                                   : options.volumeSize);
  built.head = writer.SetupHead(built.volumeDataSizes.front());
  return built;
}

std::vector<std::string> SetupFileNames(const std::string& output, size_t count) {
  std::vector<std::string> names = {output};
  for (size_t n = 1; n < count; ++n) names.push_back(VolumeFileName(output, uint32_t(n)));
  return names;
}

uint64_t WriteSetup(const std::string& output, const BuiltSetup& built, const DataSpool& spool) {
  std::vector<uint64_t> starts = {0};
  for (uint32_t size : built.volumeDataSizes) starts.push_back(starts.back() + size);
  WriteFilesInPlace(SetupFileNames(output, built.volumeDataSizes.size()), [&](size_t n, ByteSink& out) {
    if (n == 0) {
      out.Write(built.head);
    } else {
      std::vector<uint8_t> sizeField;
      PutU32(sizeField, built.volumeDataSizes[n]);
      out.Write(sizeField);
    }
    spool.CopyTo(starts[n], built.volumeDataSizes[n], out);
  });
  return built.head.size() + VOLUME_SIZE_FIELD * (built.volumeDataSizes.size() - 1) + starts.back();
}

void WriteFilesInPlace(const std::vector<std::string>& names, const FileContent& content,
                       const RenameStep& beforeRename) {
  std::vector<std::string> temporaries;
  auto removeAll = [&] {
    for (const std::string& temporary : temporaries) std::remove(temporary.c_str());
  };
  std::set<std::string> folders;
  try {
    for (size_t i = 0; i < names.size(); ++i) {
      temporaries.push_back(TemporaryName(names[i], i));
      WriteFlushed(temporaries.back(), names[i], i, content);
      folders.insert(FolderOf(names[i]));
    }
    for (const std::string& folder : folders) SyncFolder(folder);
  } catch (...) {
    removeAll();
    throw;
  }
  // The setup file last: until it is renamed the old one stands; once it is, all of its
  // volumes stand beside it.
  for (size_t step = 0; step < names.size(); ++step) {
    const size_t i = (step + 1) % names.size();
    if (beforeRename) beforeRename(step);
    if (std::rename(temporaries[i].c_str(), names[i].c_str()) != 0) {
      const int error = errno;
      removeAll();
      throw SystemError("rename into", names[i], error);
    }
  }
  if (beforeRename) beforeRename(names.size());
  // The volumes follow each other without a gap: the first one missing ends the old set.
  for (uint32_t n = uint32_t(names.size());; ++n) {
    const std::string stale = VolumeFileName(names.front(), n);
    if (std::remove(stale.c_str()) != 0) break;
  }
  for (const std::string& folder : folders) SyncFolder(folder);
}
