// The setup's blocks in the order the program reads them best: settings first, then the
// texts, templates and pictures, the file table last before the data area.
#include "builder/setup_build.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "builder/archive_writer.h"
#include "builder/default_texts.h"
#include "builder/uninstall_program.h"

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
    writer.AddStringBlock(BLOCK_DIR_REG_KEY, manifest.registryLookup.first, compress, level);
    writer.AddStringBlock(BLOCK_DIR_REG_VALUE, manifest.registryLookup.second, compress, level);
  }
  if (manifest.iniLookup.present) {
    writer.AddStringBlock(BLOCK_DIR_INI_FILE, manifest.iniLookup.first, compress, level);
    writer.AddStringBlock(BLOCK_DIR_INI_SECTION, manifest.iniLookup.second, compress, level);
    writer.AddStringBlock(BLOCK_DIR_INI_KEY, manifest.iniLookup.third, compress, level);
  }
}

// A temporary name beside target that no other build uses at the same time.
std::string TemporaryName(const std::string& target, size_t n) {
  return target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(n);
}

}  // namespace

BuiltSetup BuildSetup(const Manifest& manifest, std::vector<uint8_t> stub, const BuildOptions& options) {
  const bool compress = options.level > 0;
  const int level = options.level;
  ArchiveWriter writer(std::move(stub));
  writer.AddU32Block(BLOCK_SETUP_FLAGS, manifest.setupFlags);
  writer.AddU16Block(BLOCK_CODE_PAGE, manifest.codePage);
  if (manifest.startPage != START_PAGE_ALL) writer.AddU16Block(BLOCK_START_PAGE, manifest.startPage);
  if (!manifest.defaultDir.empty()) writer.AddStringBlock(BLOCK_DEFAULT_DIR, manifest.defaultDir, compress, level);
  if (!manifest.appName.empty()) writer.AddStringBlock(BLOCK_APP_NAME, manifest.appName, compress, level);
  if (!manifest.backgroundTitle.empty()) {
    writer.AddStringBlock(BLOCK_BACKGROUND_TITLE, manifest.backgroundTitle, compress, level);
  }
  AddLookups(writer, manifest, compress, level);
  writer.AddPageTexts(SetupTexts(manifest), level);
  writer.AddDefaultTemplates(compress, level);
  if (!manifest.wizardPicture.empty()) writer.AddPicture(BLOCK_WIZARD_IMAGE, manifest.wizardPicture, compress, level);
  if (!manifest.backgroundPicture.empty()) {
    writer.AddPicture(BLOCK_BACKGROUND_IMAGE, manifest.backgroundPicture, compress, level);
  }
  BuiltSetup built;
  if (manifest.builtUninstaller) {
    std::vector<FileInput> files = manifest.files;
    files.front().content = BuildUninstallProgram(options.uninstallImage, UninstallTexts(manifest));
    built.records = writer.AddFiles(files, manifest.defaultDir, compress, level, options.progress);
  } else {
    built.records = writer.AddFiles(manifest.files, manifest.defaultDir, compress, level, options.progress);
  }
  for (const FileRecord& record : built.records) {
    built.contentBytes += record.size;
    built.packedBytes += record.packedSize;
  }
  built.files = options.volumeSize == 0 ? std::vector<std::vector<uint8_t>>{writer.Finish()}
                                        : writer.FinishVolumes(options.volumeSize);
  return built;
}

std::vector<std::string> SetupFileNames(const std::string& output, size_t count) {
  std::vector<std::string> names = {output};
  for (size_t n = 1; n < count; ++n) names.push_back(VolumeFileName(output, uint32_t(n)));
  return names;
}

void WriteFilesInPlace(const std::vector<std::string>& names,
                       const std::vector<std::vector<uint8_t>>& contents) {
  std::vector<std::string> temporaries;
  auto removeAll = [&] {
    for (const std::string& temporary : temporaries) std::remove(temporary.c_str());
  };
  for (size_t i = 0; i < names.size(); ++i) {
    temporaries.push_back(TemporaryName(names[i], i));
    FILE* file = std::fopen(temporaries.back().c_str(), "wb");
    const std::vector<uint8_t>& bytes = contents.at(i);
    const bool written = file != nullptr &&
                         std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int error = errno;
    const bool closed = file != nullptr && std::fclose(file) == 0;
    if (!written || !closed) {
      removeAll();
      throw std::runtime_error("cannot write " + names[i] + ": " + std::strerror(error));
    }
  }
  for (size_t i = 0; i < names.size(); ++i) {
    if (std::rename(temporaries[i].c_str(), names[i].c_str()) != 0) {
      const int error = errno;
      removeAll();
      throw std::runtime_error("cannot rename into " + names[i] + ": " + std::strerror(error));
    }
  }
  // The volumes follow each other without a gap: the first one missing ends the old set.
  for (uint32_t n = uint32_t(names.size());; ++n) {
    const std::string stale = VolumeFileName(names.front(), n);
    if (std::remove(stale.c_str()) != 0) break;
  }
}
