// The version resource reader on the fixture DLLs of tests/builder/win32/fixtures, and on a minimal
// PE file (support/minimal_pe.h), whole and broken in each structure it walks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <tuple>

#include "base/byte_order.h"
#include "builder/win32/version_resource.h"
#include "support/minimal_pe.h"

namespace {

using namespace minimal_pe;

std::vector<uint8_t> ReadFixture(const char* path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The reason ReadVersionInfo gives for refusing `file`; it must refuse and leave info alone.
std::string Refusal(const std::vector<uint8_t>& file) {
  FileVersionInfo info;
  info.language = 77;
  std::string error;
  EXPECT_FALSE(ReadVersionInfo(file, &info, &error));
  EXPECT_EQ(info.language, 77u);
  EXPECT_NE(error, "");
  return error;
}

// The numbers of version_pe32.rc and version_pe32plus.rc.
TEST(VersionResource, ReadsFixedInfoAndFirstTranslationOfPe32Dll) {
  FileVersionInfo info;
  std::string error;
  ASSERT_TRUE(ReadVersionInfo(ReadFixture(VERSION_FIXTURE_PE32), &info, &error)) << error;
  EXPECT_EQ(info.fileVersionMS, 0x00010002u);
  EXPECT_EQ(info.fileVersionLS, 0x00030004u);
  EXPECT_EQ(info.productVersionMS, 0x00050006u);
  EXPECT_EQ(info.productVersionLS, 0x00070008u);
  EXPECT_EQ(info.language, GERMAN);
}

TEST(VersionResource, ReadsFixedInfoAndTranslationOfPe32PlusDll) {
  FileVersionInfo info;
  std::string error;
  ASSERT_TRUE(ReadVersionInfo(ReadFixture(VERSION_FIXTURE_PE32_PLUS), &info, &error)) << error;
  EXPECT_EQ(info.fileVersionMS, 0x00020000u);
  EXPECT_EQ(info.fileVersionLS, 0xFFFF0011u);
  EXPECT_EQ(info.productVersionMS, 0x00030001u);
  EXPECT_EQ(info.productVersionLS, 0x00000009u);
  EXPECT_EQ(info.language, ENGLISH);
}

TEST(VersionResource, RefusesDllWithoutResources) {
  const std::string reason = Refusal(ReadFixture(VERSION_FIXTURE_NONE));
  EXPECT_NE(reason.find("no version resource"), std::string::npos) << reason;
}

// Every byte up to the end of the version data is needed, wherever the linker put it.
TEST(VersionResource, RefusesDllsCutBeforeTheEndOfTheirVersionData) {
  const uint8_t key[] = {'V', 0, 'S', 0, '_', 0, 'V', 0, 'E', 0, 'R', 0, 'S', 0, 'I', 0};
  for (const char* path : {VERSION_FIXTURE_PE32, VERSION_FIXTURE_PE32_PLUS}) {
    std::vector<uint8_t> dll = ReadFixture(path);
    const size_t found = std::search(dll.begin(), dll.end(), key, key + sizeof key) - dll.begin();
    ASSERT_LT(found, dll.size()) << path;
    const size_t end = found - 6 + LoadU16LE(&dll[found - 6]);
    FileVersionInfo info;
    std::string error;
    for (size_t size = end; size-- > 0;) {
      dll.resize(size);
      ASSERT_FALSE(ReadVersionInfo(dll, &info, &error)) << path << " cut at " << size;
    }
  }
}

TEST(VersionResource, ReadsMinimalPe32AndPe32Plus) {
  for (bool plus : {false, true}) {
    FileVersionInfo info;
    std::string error;
    ASSERT_TRUE(ReadVersionInfo(MinimalPe(plus), &info, &error)) << plus << ": " << error;
    EXPECT_EQ(info.fileVersionMS, 0x10002u);
    EXPECT_EQ(info.productVersionLS, 0x70008u);
    EXPECT_EQ(info.language, GERMAN);
  }
}

TEST(VersionResource, GivesLanguageZeroWithoutTranslation) {
  const std::vector<uint8_t> children[] = {Block("StringFileInfo", {}),
                                           Block("VarFileInfo", {}, {Block("Other", Dwords({1}))}),
                                           Block("VarFileInfo", {}, {Block("Translation", {})})};
  for (const std::vector<uint8_t>& child : children) {
    const std::vector<uint8_t> version = Block("VS_VERSION_INFO", FixedInfo(), {child});
    FileVersionInfo info;
    info.language = 77;
    std::string error;
    ASSERT_TRUE(ReadVersionInfo(MinimalPe(false, version), &info, &error)) << error;
    EXPECT_EQ(info.fileVersionLS, 0x30004u);
    EXPECT_EQ(info.language, 0u);
  }
}

TEST(VersionResource, RefusesEveryPrefixOfMinimalPe) {
  std::vector<uint8_t> pe = MinimalPe(true);
  while (!pe.empty()) {
    pe.pop_back();
    SCOPED_TRACE(pe.size());
    Refusal(pe);
  }
}

TEST(VersionResource, RefusesFilesThatAreNotPe) {
  EXPECT_NE(Refusal({}).find("not a PE file"), std::string::npos);
  std::vector<uint8_t> pe = MinimalPe(false);
  StoreU32LE(&pe[0x3C], 0xFFFFFFFC);  // e_lfanew past the file, wrapping if added in 32 bits
  EXPECT_NE(Refusal(pe).find("not a PE file"), std::string::npos);
  pe = MinimalPe(false);
  pe[0x42] = 'X';
  EXPECT_NE(Refusal(pe).find("not a PE file"), std::string::npos);
  pe = MinimalPe(false);
  StoreU16LE(&pe[0x58], 0x107);  // a ROM image's magic
  EXPECT_NE(Refusal(pe).find("magic"), std::string::npos);
}

TEST(VersionResource, RefusesResourcesOfOtherTypes) {
  std::vector<uint8_t> pe = MinimalPe(false);
  StoreU32LE(&pe[SECTION_FILE_OFFSET + 16], 3);  // the root's one entry names icons
  EXPECT_EQ(Refusal(pe), "no version resource");
  // A type named by a string whose offset is 16 is not the type of id 16.
  StoreU32LE(&pe[SECTION_FILE_OFFSET + 16], 0x80000010);
  EXPECT_EQ(Refusal(pe), "no version resource");
}

TEST(VersionResource, RefusesEntriesPointingOutsideTheFile) {
  const uint32_t past = uint32_t(MinimalPe(false).size() - SECTION_FILE_OFFSET) - 8;
  for (auto [directory, target] : {std::pair<uint32_t, uint32_t>{0, SUBDIRECTORY | 0x7FFFFFF0},
                                   {0, SUBDIRECTORY | past},  // a directory cut by the end
                                   {NAME_DIRECTORY, SUBDIRECTORY | past},
                                   {LANGUAGE_DIRECTORY, past}}) {  // a data entry cut by the end
    std::vector<uint8_t> pe = MinimalPe(false);
    StoreU32LE(EntryTarget(pe, directory), target);
    EXPECT_NE(Refusal(pe).find("outside the file"), std::string::npos) << std::hex << target;
  }
  for (auto [rva, size] : {std::pair<uint32_t, uint32_t>{0xFFFFFFF0, 0x20}, {0x2000, 16},
                           {SECTION_RVA + VERSION_DATA, 0x10000}}) {
    std::vector<uint8_t> pe = MinimalPe(false);
    StoreU32LE(&pe[SECTION_FILE_OFFSET + DATA_ENTRY], rva);
    StoreU32LE(&pe[SECTION_FILE_OFFSET + DATA_ENTRY + 4], size);
    EXPECT_NE(Refusal(pe).find("outside the file"), std::string::npos) << std::hex << rva;
  }
}

TEST(VersionResource, RefusesSelfReferencingDirectories) {
  for (uint32_t directory : {0u, NAME_DIRECTORY, LANGUAGE_DIRECTORY}) {
    std::vector<uint8_t> pe = MinimalPe(false);
    StoreU32LE(EntryTarget(pe, directory), SUBDIRECTORY | directory);
    EXPECT_NE(Refusal(pe).find("is a directory"), std::string::npos) << directory;
  }
  std::vector<uint8_t> pe = MinimalPe(false);
  StoreU32LE(EntryTarget(pe, NAME_DIRECTORY), 0);  // the root taken for a data entry
  EXPECT_NE(Refusal(pe).find("not a directory"), std::string::npos);
}

TEST(VersionResource, RefusesMalformedVersionBlocks) {
  const std::vector<uint8_t> badSignature = Block("VS_VERSION_INFO", FixedInfo(0xFEEF04BC));
  EXPECT_NE(Refusal(MinimalPe(false, badSignature)).find("signature"), std::string::npos);
  EXPECT_NE(Refusal(MinimalPe(false, Block("VS_VERSION_INFO", Dwords({SIGNATURE})))).find("fixed"),
            std::string::npos);
  EXPECT_NE(Refusal(MinimalPe(false, Block("VS_VERSIONINFO", FixedInfo()))).find("keyed"),
            std::string::npos);
  std::vector<uint8_t> version = SampleVersion();
  const size_t child = 0x28 + 52;  // StringFileInfo, behind the key and the fixed info
  StoreU16LE(&version[child], 0);  // a child of no length must not hold the walk in place
  EXPECT_NE(Refusal(MinimalPe(false, version)).find("length"), std::string::npos);
  StoreU16LE(&version[child], 0xFFF0);
  EXPECT_NE(Refusal(MinimalPe(false, version)).find("outside its parent"), std::string::npos);
  version = Block("VS_VERSION_INFO", {});
  version.resize(6 + 8);  // "VS_V" and no terminator in the block
  StoreU16LE(&version[0], 14);
  EXPECT_NE(Refusal(MinimalPe(false, version)).find("key"), std::string::npos);
}

}  // namespace
