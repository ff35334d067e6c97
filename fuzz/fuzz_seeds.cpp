// Writes the fuzzers' seed corpora with the builder's encoder and archive writer:
// <dir>/decoder holds streams of every block type, <dir>/archive the part of setup files
// behind the program image (fuzz_archive puts its own image in front), <dir>/version_resource
// minimal PE32 and PE32+ files with version resources of each shape the reader walks,
// <dir>/removal_list the uninstall program's data of one and of two setup runs.
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "builder/encoder/stream_encoder.h"
#include "builder/setup/archive_writer.h"
#include "builder/setup/data_area_writer.h"
#include "support/deflate_peers.h"
#include "support/fake_image.h"
#include "support/minimal_pe.h"
#include "support/uninstall_archive.h"

namespace {

using Bytes = std::vector<uint8_t>;

void WriteSeed(const std::string& dir, const std::string& name, const Bytes& bytes) {
  std::string path = dir + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::fclose(file);
}

// Deterministic text of words, so that seeds do not depend on the machine.
Bytes Text(size_t size) {
  static const char* const kWords[] = {"setup ", "file ", "the ", "directory ", "install ",
                                       "of ", "window\r\n", "program ", "a ", "data "};
  Bytes text;
  for (uint32_t state = 1; text.size() < size;) {
    state = state * 1103515245u + 12345u;
    for (const char* c = kWords[(state >> 16) % 10]; *c != 0 && text.size() < size; ++c) text.push_back(*c);
  }
  return text;
}

Bytes Noise(size_t size) {
  Bytes bytes(size);
  uint32_t state = 99;
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
  return bytes;
}

Bytes Encode(const Bytes& data, int level) { return EncodeStream(data.data(), data.size(), level); }

// zlib's raw deflate with a strategy, rewritten: fixed-only and Huffman-only streams.
Bytes EncodeWithZlib(const Bytes& data, int strategy) {
  const Bytes standard = ZlibCompress(data, 6, strategy);
  Bytes stream;
  if (!RewriteDeflateStream(standard.data(), standard.size(), stream)) std::exit(1);
  return stream;
}

void WriteDecoderSeeds(const std::string& dir) {
  WriteSeed(dir, "stored-abc", {0x0F, 0x03, 0x00, 'a', 'b', 'c'});
  WriteSeed(dir, "fixed-abc", {0x9D, 0x98, 0x94, 0x0C, 0x00});
  for (size_t size : {0, 1, 3, 100, 1000, 5000}) {
    for (int level : {0, 1, 6, 12}) {
      WriteSeed(dir, "text-" + std::to_string(size) + "-level" + std::to_string(level), Encode(Text(size), level));
    }
  }
  WriteSeed(dir, "noise-300", Encode(Noise(300), 6));
  WriteSeed(dir, "zeros-65536", Encode(Bytes(65536, 0), 6));  // exactly the fixed block
  WriteSeed(dir, "zeros-65537", Encode(Bytes(65537, 0), 6));
  WriteSeed(dir, "zlib-fixed", EncodeWithZlib(Text(2000), Z_FIXED));
  WriteSeed(dir, "zlib-huffman", EncodeWithZlib(Text(2000), Z_HUFFMAN_ONLY));
  WriteSeed(dir, "zlib-rle", EncodeWithZlib(Text(2000), Z_RLE));
}

Bytes FakeImage() { return test_support::FakeImage(test_support::FAKE_IMAGE_MIN_SIZE, 32); }

// The setup file behind the image.
Bytes Archive(const ArchiveWriter& writer) {
  Bytes file = writer.Finish();
  return Bytes(file.begin() + static_cast<ptrdiff_t>(FakeImage().size()), file.end());
}

std::vector<std::vector<std::string>> PageTexts(size_t lists) {
  std::vector<std::vector<std::string>> texts;
  for (size_t i = 0; i < lists; ++i) texts.push_back({"Page " + std::to_string(i), "Next >", "%s"});
  return texts;
}

// Files with every kind of record: a version block, shortcuts, an external file.
std::vector<FileInput> SampleFiles() {
  std::vector<FileInput> files(3);
  files[0].record.name = "Example.exe";
  files[0].record.flags = FE_VERSION_CHECK | FE_LANGUAGE_CHECK;
  files[0].record.groupShortcut = "Example";
  files[0].record.desktopShortcut = "Example";
  files[0].content = Text(200);
  files[1].record.name = "Help\\Guide.txt";
  files[1].record.installMode = MODE_REMOVE;
  files[1].content = Text(900);
  files[2].record.name = "Extras\\Video.avi";
  files[2].record.installMode = MODE_EXTERNAL;
  files[2].content = Text(10);
  return files;
}

void WriteArchiveSeeds(const std::string& dir) {
  WriteSeed(dir, "end-only", Archive(ArchiveWriter(FakeImage())));

  ArchiveWriter full(FakeImage());
  full.AddLoadedBlock(BLOCK_DIALOG_TEMPLATES, Noise(120), true);
  full.AddU32Block(BLOCK_SETUP_FLAGS, SETUP_FLAG_FULL_SCREEN | SETUP_FLAG_CHANGE_DIR);
  full.AddStringBlock(BLOCK_DEFAULT_DIR, "C:\\Program Files\\Example", true);
  full.AddU32Block(BLOCK_DIR_REG_ROOT, 2);
  full.AddStringBlock(BLOCK_DIR_REG_KEY, "Software\\Example", false);
  full.AddStringBlock(BLOCK_APP_NAME, "Example", true);
  full.AddStringBlock(BLOCK_BACKGROUND_TITLE, "Example Setup", false);
  full.AddLoadedBlock(BLOCK_WIZARD_IMAGE, Text(300), true);
  full.AddPageTexts(PageTexts(PAGE_TEXT_LISTS));
  full.AddFiles(SampleFiles(), "C:\\Program Files\\Example", true);
  WriteSeed(dir, "full", Archive(full));

  ArchiveWriter raw(FakeImage());  // the same table stored, so that mutations hit its fields
  raw.AddFiles(SampleFiles(), "C:\\Example", false);
  WriteSeed(dir, "file-table", Archive(raw));

  ArchiveWriter odd(FakeImage());
  odd.AddRawBlock(BLOCK_UNUSED, 0, Text(10));
  odd.AddRawBlock(0x5555, BLOCK_FLAG_COMPRESSED, Text(10));
  odd.AddU16Block(BLOCK_START_PAGE, 3);
  odd.AddStringBlock(BLOCK_DIR_INI_FILE, "example.ini", true);
  odd.AddStringBlock(BLOCK_DIR_INI_SECTION, "Paths", true);
  odd.AddStringBlock(BLOCK_DIR_INI_KEY, "Dir", false);
  odd.AddStringBlock(BLOCK_DIR_REG_VALUE, "InstallDir", true);
  odd.AddLoadedBlock(BLOCK_SPARE, Noise(40), false);
  odd.AddPageTexts(PageTexts(12), 0);
  WriteSeed(dir, "odd-blocks", Archive(odd));
}

void WriteVersionSeeds(const std::string& dir) {
  using namespace minimal_pe;
  WriteSeed(dir, "pe32", MinimalPe(false));
  WriteSeed(dir, "pe32plus", MinimalPe(true));
  WriteSeed(dir, "no-translation", MinimalPe(false, Block("VS_VERSION_INFO", FixedInfo(), {Block("VarFileInfo", {})})));
  WriteSeed(dir, "fixed-info-only", MinimalPe(true, Block("VS_VERSION_INFO", FixedInfo())));
  WriteSeed(dir, "strings-first",
            MinimalPe(false, Block("VS_VERSION_INFO", FixedInfo(),
                                   {Block("StringFileInfo", {}, {Block("040904b0", {})}),
                                    Block("VarFileInfo", {}, {Block("Translation", Dwords({ENGLISH_1200}))})})));
}

// The uninstall program's data as setups append it: one run, and a second run over it.
void WriteRemovalSeeds(const std::string& dir) {
  test_support::UninstallArchive one;
  one.Texts({"Example Uninstall", "Remove Example?"})
      .Files({{".", "example.exe", 0}, {".\\Help", "guide.txt", 0},
              {"C:\\Windows\\System32", "shared.dll", UNINSTALL_SHARED | UNINSTALL_SELF_REGISTERED}})
      .Created({0, 1})
      .Shortcuts({{"C:\\Programs\\Example", "Example.lnk"}})
      .Counts({"C:\\Windows\\System32\\shared.dll"})
      .AppKey("Example");
  WriteSeed(dir, "one-run", test_support::UninstallArchive(one).End().bytes);
  one.Files({{"\\\\server\\share", "added.txt", 0}}).AppKey("Example 2").End();
  WriteSeed(dir, "two-runs", one.bytes);
  WriteSeed(dir, "texts-only", test_support::UninstallArchive().Texts({"Example Uninstall"}).End().bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds <corpus dir>  (writes <dir>/decoder, archive, version_resource, removal_list)\n");
    return 2;
  }
  std::string root = argv[1];
  WriteDecoderSeeds(root + "/decoder");
  WriteArchiveSeeds(root + "/archive");
  WriteVersionSeeds(root + "/version_resource");
  WriteRemovalSeeds(root + "/removal_list");
  return 0;
}
