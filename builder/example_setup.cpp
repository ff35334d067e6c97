// lodrun-example-setup: writes a setup file from a stub and an example folder, and lists
// what it wrote. The folder holds app_name.txt, default_dir.txt, information.txt (the text of
// the information page) and files/, whose files
// (subfolders included) the setup installs into the default directory; the wizard has the
// builder's default templates and English texts.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "builder/archive_writer.h"
#include "builder/data_area_writer.h"
#include "builder/default_texts.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> ReadLines(const fs::path& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Every file below folder, in name order, as a record installed into the default directory
// (its path below folder, with backslashes) and removed again at uninstallation.
std::vector<FileInput> Files(const fs::path& folder) {
  std::vector<fs::path> paths;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    if (item.is_regular_file()) paths.push_back(item.path());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<FileInput> files;
  for (const fs::path& path : paths) {
    FileInput file;
    std::string name = fs::relative(path, folder).generic_string();
    std::replace(name.begin(), name.end(), '/', '\\');
    file.record.name = name;
    file.record.installMode = MODE_REMOVE;
    file.content = ReadFile(path);
    files.push_back(std::move(file));
  }
  return files;
}

std::string FirstLine(const fs::path& path) {
  std::vector<std::string> lines = ReadLines(path);
  return lines.empty() ? std::string() : lines.front();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s STUB EXAMPLE_DIR OUTPUT\n", argv[0]);
    return 2;
  }
  try {
    fs::path folder = argv[2];
    std::vector<uint8_t> stub = ReadFile(argv[1]);
    size_t imageSize = stub.size();
    ArchiveWriter writer(std::move(stub));
    std::string appName = FirstLine(folder / "app_name.txt");
    std::string defaultDir = FirstLine(folder / "default_dir.txt");
    if (defaultDir.size() >= PATH_BUFFER_SIZE) throw std::runtime_error("default_dir.txt: path too long");
    writer.AddU32Block(BLOCK_SETUP_FLAGS, SETUP_FLAG_CHANGE_DIR);
    writer.AddStringBlock(BLOCK_DEFAULT_DIR, defaultDir, true);
    writer.AddStringBlock(BLOCK_APP_NAME, appName, true);
    writer.AddDefaultTemplates(true);
    // The default English texts, with the information page's text from information.txt.
    std::vector<std::vector<std::string>> texts = DefaultPageTexts(appName);
    // Lines of a paragraph are joined (the edit box wraps them); a blank line parts paragraphs.
    std::string information;
    for (const std::string& line : ReadLines(folder / "information.txt")) {
      if (line.empty()) {
        information += "\r\n\r\n";
      } else {
        if (!information.empty() && information.back() != '\n') information += ' ';
        information += line;
      }
    }
    texts.at(INFORMATION_TEXTS).at(INFORMATION_TEXT) = information;
    writer.AddPageTexts(texts);
    const std::vector<FileRecord> records = writer.AddFiles(Files(folder / "files"), defaultDir, true);
    std::vector<uint8_t> file = writer.Finish();
    std::ofstream out(argv[3], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out.flush()) throw std::runtime_error(std::string("cannot write ") + argv[3]);
    std::printf("wrote %s: %zu bytes (image %zu, archive %zu)\n", argv[3], file.size(), imageSize,
                file.size() - imageSize);
    std::printf("  setup flags 0x%X, default directory \"%s\", application \"%s\", %zu files\n",
                SETUP_FLAG_CHANGE_DIR, defaultDir.c_str(), appName.c_str(), records.size());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lodrun-example-setup: %s\n", e.what());
    return 1;
  }
  return 0;
}
