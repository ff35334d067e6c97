// The grammar of stored names: what Windows cannot store or would merge with another name is
// refused, separators and "." parts are normalised, and the uninstall data's directories are
// read as a setup writes them.
#include <gtest/gtest.h>

#include <string>

#include "archive/names.h"

namespace {

NameFault Part(const std::string& text) { return CheckNamePart(text.c_str(), uint32_t(text.size())); }
NameFault Path(const std::string& text) { return CheckNamePath(text.c_str(), uint32_t(text.size())); }
NameFault Key(const std::string& text) { return CheckKeyName(text.c_str(), uint32_t(text.size())); }

std::string Normalised(std::string text) {
  text.resize(NormaliseNamePath(&text[0]));
  return text;
}

TEST(Names, OrdinaryNamesPassWithCodePageCharacters) {
  for (const char* name : {"readme.txt", "Demo Gold Edition", "O'Brien's notes", "caf\xE9.txt", ".profile",
                           "a..b", "CONSOLE.txt", "COM0", "LPT10.log", "nul-a"}) {
    EXPECT_EQ(Part(name), NAME_OK) << name;
  }
  EXPECT_EQ(Part(std::string(NAME_PART_MAX, 'x')), NAME_OK);
}

TEST(Names, WhatWindowsCannotStoreIsRefusedByItsFault) {
  EXPECT_EQ(Part(""), NAME_EMPTY);
  EXPECT_EQ(Part("."), NAME_DOT_PART);
  EXPECT_EQ(Part(".."), NAME_DOT_PART);
  for (const char c : std::string("\\/:*?\"<>|")) {
    EXPECT_EQ(Part(std::string("a") + c + "b"), NAME_BAD_CHARACTER) << c;
  }
  EXPECT_EQ(Part("tab\there"), NAME_CONTROL_CHARACTER);
  EXPECT_EQ(Part("y.txt."), NAME_TRAILING_DOT_OR_SPACE);  // would be y.txt
  EXPECT_EQ(Part("y.txt "), NAME_TRAILING_DOT_OR_SPACE);
  for (const char* device : {"CON", "nul", "Aux.txt", "prn.tar.gz", "COM1", "lpt9.log"}) {
    EXPECT_EQ(Part(device), NAME_RESERVED_DEVICE) << device;
  }
  EXPECT_EQ(Part(std::string(NAME_PART_MAX + 1, 'x')), NAME_TOO_LONG);
}

TEST(Names, PathsArePartsBetweenSingleBackslashes) {
  EXPECT_EQ(Path("Help\\Guide\\intro.hlp"), NAME_OK);
  EXPECT_EQ(Path("docs\\\\two.txt"), NAME_EMPTY);
  EXPECT_EQ(Path("\\docs"), NAME_EMPTY);
  EXPECT_EQ(Path("docs\\"), NAME_EMPTY);
  EXPECT_EQ(Path("docs\\..\\x"), NAME_DOT_PART);
  EXPECT_EQ(Path("Demo/Gold"), NAME_BAD_CHARACTER);
  EXPECT_EQ(Path("docs\\CON\\x"), NAME_RESERVED_DEVICE);
}

TEST(Names, NormalisingDropsDotPartsAndDoubledSeparators) {
  EXPECT_EQ(Normalised("./docs/readme.txt"), "docs\\readme.txt");
  EXPECT_EQ(Normalised("docs//two.txt"), "docs\\two.txt");
  EXPECT_EQ(Normalised(".\\.\\a\\.\\b\\\\c\\"), "a\\b\\c");
  EXPECT_EQ(Normalised("Demo/Gold"), "Demo\\Gold");
  EXPECT_EQ(Normalised("..\\x"), "..\\x");  // refused afterwards, never hidden
  EXPECT_EQ(Normalised("./"), "");
}

TEST(Names, KeyNamesTakeAnythingButBackslashesAndControlCharacters) {
  EXPECT_EQ(Key("Demo: Gold Edition?"), NAME_OK);
  EXPECT_EQ(Key("Demo/Gold"), NAME_OK);
  EXPECT_EQ(Key(std::string(KEY_NAME_MAX, 'k')), NAME_OK);
  EXPECT_EQ(Key(std::string(KEY_NAME_MAX + 1, 'k')), NAME_TOO_LONG);
  EXPECT_EQ(Key("Demo\\Gold"), NAME_BAD_CHARACTER);
  EXPECT_EQ(Key("line\nbreak"), NAME_CONTROL_CHARACTER);
  EXPECT_EQ(Key(""), NAME_EMPTY);
}

TEST(Names, RecordDirectoriesAreRelativeOrAbsoluteWithoutTrailingBackslash) {
  auto relative = [](const std::string& d) { return IsRelativeRecordDirectory(d.c_str(), uint32_t(d.size())); };
  auto absolute = [](const std::string& d) { return IsAbsoluteRecordDirectory(d.c_str(), uint32_t(d.size())); };
  EXPECT_TRUE(relative("."));
  EXPECT_TRUE(relative(".\\Help\\Deep"));
  EXPECT_FALSE(relative(".\\"));
  EXPECT_FALSE(relative(".\\a\\\\b"));
  EXPECT_FALSE(relative("Help"));
  EXPECT_TRUE(absolute("C:"));
  EXPECT_TRUE(absolute("c:\\windows\\system32"));
  EXPECT_TRUE(absolute("\\\\server\\share\\apps"));
  EXPECT_FALSE(absolute("C:\\"));
  EXPECT_FALSE(absolute("C:\\windows\\"));
  EXPECT_FALSE(absolute("1:\\x"));
  EXPECT_FALSE(absolute("\\\\"));
}

TEST(Names, UninstallTakesFileRecordsOfARecordDirectoryAndOneName) {
  auto takes = [](const std::string& directory, const std::string& name) {
    return UninstallTakesFileRecord(directory.c_str(), uint32_t(directory.size()), name.c_str(),
                                    uint32_t(name.size()));
  };
  EXPECT_TRUE(takes(".", "demo.exe"));
  EXPECT_TRUE(takes(".\\Help", "guide.hlp"));
  EXPECT_TRUE(takes("C:\\Windows", "demo.ini"));
  EXPECT_TRUE(takes("\\\\server\\share", "demo.dll"));
  EXPECT_FALSE(takes("Help", "guide.hlp"));         // neither relative nor absolute
  EXPECT_FALSE(takes("C:\\Windows\\", "demo.ini"));  // a trailing backslash
  EXPECT_FALSE(takes(".", "what?.txt"));
  EXPECT_FALSE(takes(".", "Help\\guide.hlp"));     // a path, not one name
  EXPECT_FALSE(takes(".", ""));
}

TEST(Names, UninstallTakesShortcutRecordsOfAnAbsoluteFolderAndALinkName) {
  auto takes = [](const std::string& folder, const std::string& link) {
    return UninstallTakesShortcutRecord(folder.c_str(), uint32_t(folder.size()), link.c_str(),
                                        uint32_t(link.size()));
  };
  EXPECT_TRUE(takes("C:\\Programs\\Demo", "Demo.lnk"));
  EXPECT_TRUE(takes("C:\\Programs", "Demo.LNK"));  // the suffix in any case
  EXPECT_FALSE(takes(".\\Programs", "Demo.lnk"));   // never below the installation folder
  EXPECT_FALSE(takes("C:\\Programs", "Demo.txt"));
  EXPECT_FALSE(takes("C:\\Programs", SHORTCUT_SUFFIX));  // the suffix alone names no link
  EXPECT_FALSE(takes("C:\\Programs", "Tools\\Demo.lnk"));
  EXPECT_FALSE(takes("C:\\Programs\\", "Demo.lnk"));
}

}  // namespace
