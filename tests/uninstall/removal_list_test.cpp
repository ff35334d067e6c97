// The uninstall program's archive read into what it removes: texts, files, shortcuts and
// keys in installation order over every appended set; damaged data refused whole, with the
// texts kept to say so; paths made under the installation directory and never past their
// buffer; and the program's command line.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/path_buffer.h"
#include "base/session_paths.h"
#include "support/uninstall_archive.h"
#include "uninstall/removal_list.h"
#include "uninstall/uninstall.h"

using test_support::UninstallArchive;

namespace {

std::string Text(const CountedText& text) { return std::string(text.text, text.length); }

// A setup's data: its texts, two files, a desktop shortcut, a group shortcut and the key.
UninstallArchive Installed() {
  UninstallArchive archive;
  archive.Texts({"Demo Uninstall", "Remove Demo?"})
      .Files({{".", "demo.exe", 0}, {"C:\\Users\\me\\Desktop", "Demo.lnk", 0}, {".\\Help", "guide.hlp", 0},
              {"C:\\Windows\\System32", "shared.dll", UNINSTALL_SHARED | UNINSTALL_SELF_REGISTERED}})
      .Shortcuts({{"C:\\Programs\\Demo", "Demo.lnk"}})
      .AppKey("Demo");
  return archive;
}

RemovalListStatus Read(const std::vector<uint8_t>& bytes, RemovalList* list) {
  return ReadRemovalList(bytes.data(), static_cast<uint32_t>(bytes.size()), list);
}

TEST(RemovalList, ReadsTextsFilesShortcutsAndKeyInOrder) {
  const std::vector<uint8_t> bytes = Installed().End().bytes;
  RemovalList list;
  ASSERT_EQ(Read(bytes, &list), REMOVAL_LIST_OK);
  EXPECT_EQ(Text(list.texts[UNINSTALL_TITLE]), "Demo Uninstall");
  EXPECT_EQ(Text(list.texts[UNINSTALL_CONFIRM]), "Remove Demo?");
  EXPECT_EQ(list.texts[UNINSTALL_DONE].length, 0u);  // not carried: empty
  ASSERT_EQ(list.fileCount, 4u);
  EXPECT_EQ(Text(list.files[2].directory) + "|" + Text(list.files[2].name), ".\\Help|guide.hlp");
  EXPECT_EQ(list.files[3].flags, UNINSTALL_SHARED | UNINSTALL_SELF_REGISTERED);
  ASSERT_EQ(list.shortcutCount, 1u);
  EXPECT_EQ(Text(list.shortcuts[0].link), "Demo.lnk");
  ASSERT_EQ(list.appKeyCount, 1u);
  EXPECT_EQ(Text(list.appKeys[0]), "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo");
  FreeRemovalList(&list);
}

TEST(RemovalList, SecondRunsDataFollowsTheFirst) {
  UninstallArchive archive = Installed();
  archive.Files({{".", "added.txt", 0}}).AppKey("Demo 2").End();
  RemovalList list;
  ASSERT_EQ(Read(archive.bytes, &list), REMOVAL_LIST_OK);
  ASSERT_EQ(list.fileCount, 5u);
  EXPECT_EQ(Text(list.files[4].name), "added.txt");
  ASSERT_EQ(list.appKeyCount, 2u);
  EXPECT_EQ(Text(list.appKeys[1]), "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo 2");
  FreeRemovalList(&list);
}

TEST(RemovalList, ProgramWithoutDataIsEmptyButKeepsItsTexts) {
  UninstallArchive archive;
  archive.Texts({"Demo Uninstall"}).End();
  RemovalList list;
  EXPECT_EQ(Read(archive.bytes, &list), REMOVAL_LIST_EMPTY);
  EXPECT_EQ(Text(list.texts[UNINSTALL_TITLE]), "Demo Uninstall");
  EXPECT_EQ(list.fileCount + list.shortcutCount + list.appKeyCount, 0u);
}

// Each damage, made to the data of Installed(): the list is refused, no record is taken,
// and the texts read before the fault stay.
TEST(RemovalList, DamagedDataIsRefusedWhole) {
  const std::vector<std::pair<const char*, std::function<UninstallArchive()>>> damages = {
      {"no end header", [] { return Installed(); }},
      {"a count past the block's end", [] {
         UninstallArchive a = Installed();
         return a.Block(UNINSTALL_FILES).U32(3).Counted(".").Counted("a").U8(0).End();
       }},
      {"a count that no block could hold", [] {
         UninstallArchive a = Installed();
         return a.Block(UNINSTALL_FILES).U32(0xFFFFFFFF).End();
       }},
      {"a string past the end", [] {
         UninstallArchive a = Installed();
         a.Block(UNINSTALL_FILES).U32(1).Counted(".").U16(200).U8('x');
         return a;
       }},
      {"a block past the end", [] {
         UninstallArchive a = Installed();
         a.End();
         a.bytes.resize(a.bytes.size() - 8);
         return a.U16(UNINSTALL_FILES).U16(0).U32(1000);
       }},
      {"bytes after the records", [] { return Installed().Block(UNINSTALL_FILES).U32(0).U8(7).End(); }},
      {"a directory that climbs out", [] { return Installed().Files({{".\\..\\..", "x.dll", 0}}).End(); }},
      {"a name with a folder", [] { return Installed().Files({{".", "sub\\x.dll", 0}}).End(); }},
      {"a relative directory without its dot", [] { return Installed().Files({{"Help", "x.dll", 0}}).End(); }},
      {"an empty name", [] { return Installed().Files({{".", "", 0}}).End(); }},
      {"a shortcut that is no link", [] { return Installed().Shortcuts({{"C:\\Programs", "demo.exe"}}).End(); }},
      {"a key outside the Uninstall key", [] {
         return Installed().Block(UNINSTALL_APP_KEY).U32(UNINSTALL_ROOT_LOCAL_MACHINE).Counted("Software\\Demo").End();
       }},
      {"a key under another root", [] {
         UninstallArchive a = Installed();
         return a.Block(UNINSTALL_APP_KEY).U32(0x80000001).Counted("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\D").End();
       }},
  };
  for (const auto& damage : damages) {
    const std::vector<uint8_t> bytes = damage.second().bytes;
    RemovalList list;
    EXPECT_EQ(Read(bytes, &list), REMOVAL_LIST_DAMAGED) << damage.first;
    EXPECT_EQ(list.files, nullptr) << damage.first;
    EXPECT_EQ(list.fileCount + list.shortcutCount + list.appKeyCount, 0u) << damage.first;
    EXPECT_EQ(Text(list.texts[UNINSTALL_TITLE]), "Demo Uninstall") << damage.first;
  }
}

TEST(RemovalList, CreatedBlockMarksTheRecordsOfItsOwnRun) {
  UninstallArchive archive = Installed();
  archive.Created({1, 3}).Files({{".", "added.txt", 0}, {"C:\\Windows", "demo.ini", 0}}).Created({1}).End();
  RemovalList list;
  ASSERT_EQ(Read(archive.bytes, &list), REMOVAL_LIST_OK);
  ASSERT_EQ(list.fileCount, 6u);
  std::string created;
  for (uint32_t i = 0; i < list.fileCount; ++i) created += list.files[i].created ? '1' : '0';
  EXPECT_EQ(created, "010101");
  FreeRemovalList(&list);
}

TEST(RemovalList, CreatedBlockThatPointsAnywhereElseIsDamage) {
  const std::vector<std::pair<const char*, UninstallArchive>> damages = {
      {"past the run's records", Installed().Created({4}).End()},
      {"not rising", Installed().Created({2, 2}).End()},
      {"falling", Installed().Created({3, 1}).End()},
      {"before any files block", UninstallArchive().Created({0}).Files({{".", "a.txt", 0}}).End()},
      {"twice for one run", Installed().Created({0}).Created({1}).End()},
      {"a count past its block", Installed().Block(UNINSTALL_CREATED).U32(3).U32(0).End()},
  };
  for (const auto& damage : damages) {
    RemovalList list;
    EXPECT_EQ(Read(damage.second.bytes, &list), REMOVAL_LIST_DAMAGED) << damage.first;
    EXPECT_EQ(list.fileCount, 0u) << damage.first;
  }
}

TEST(RemovalList, CountsOfKeptFilesAreReadAndMustBeFullPaths) {
  const std::vector<uint8_t> bytes =
      Installed().Counts({"C:\\Windows\\System32\\kept.dll", "\\\\server\\share\\kept.ocx"}).End().bytes;
  RemovalList list;
  ASSERT_EQ(Read(bytes, &list), REMOVAL_LIST_OK);
  ASSERT_EQ(list.countCount, 2u);
  EXPECT_EQ(Text(list.counts[1]), "\\\\server\\share\\kept.ocx");
  FreeRemovalList(&list);
  for (const char* path : {"kept.dll", ".\\kept.dll", "C:\\Windows\\"}) {
    EXPECT_EQ(Read(Installed().Counts({path}).End().bytes, &list), REMOVAL_LIST_DAMAGED) << path;
  }
  EXPECT_EQ(Read(Installed().Block(UNINSTALL_COUNTS).U32(2).Counted("C:\\a.dll").End().bytes, &list),
            REMOVAL_LIST_DAMAGED);
}

TEST(RemovalList, KeyOfTheLongestNameWithAnyCharactersIsRead) {
  for (const std::string& name : {std::string("Demo: Gold Edition? <2>"), std::string(KEY_NAME_MAX, 'k')}) {
    const std::vector<uint8_t> bytes = UninstallArchive().Files({{".", "a.txt", 0}}).AppKey(name).End().bytes;
    RemovalList list;
    ASSERT_EQ(Read(bytes, &list), REMOVAL_LIST_OK) << name;
    EXPECT_EQ(Text(list.appKeys[0]), UNINSTALL_KEY_PREFIX + name);
    FreeRemovalList(&list);
  }
  RemovalList list;
  EXPECT_EQ(Read(UninstallArchive().AppKey("Demo\\Other").End().bytes, &list), REMOVAL_LIST_DAMAGED);
}

TEST(RemovalList, EveryCutOfTheDataIsRefusedWithoutReadingPastIt) {
  const std::vector<uint8_t> bytes = Installed().End().bytes;
  for (size_t size = 0; size < bytes.size(); ++size) {
    // A copy of exactly that size, so that the sanitizer sees any read past it.
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + size);
    RemovalList list;
    const RemovalListStatus status = ReadRemovalList(cut.data(), uint32_t(size), &list);
    EXPECT_EQ(status, REMOVAL_LIST_DAMAGED) << size;
    FreeRemovalList(&list);
  }
}

TEST(RemovalFilePath, RelativeDirectoriesLieBelowTheInstallationDirectory) {
  const std::vector<uint8_t> bytes = Installed().End().bytes;
  RemovalList list;
  ASSERT_EQ(Read(bytes, &list), REMOVAL_LIST_OK);
  char path[PATH_BUFFER_SIZE];
  ASSERT_TRUE(RemovalFilePath(list.files[0], "D:\\Demo\\", path));
  EXPECT_STREQ(path, "D:\\Demo\\demo.exe");
  ASSERT_TRUE(RemovalFilePath(list.files[2], "D:\\Demo\\", path));
  EXPECT_STREQ(path, "D:\\Demo\\Help\\guide.hlp");
  ASSERT_TRUE(RemovalFilePath(list.files[3], "D:\\Demo\\", path));
  EXPECT_STREQ(path, "C:\\Windows\\System32\\shared.dll");
  EXPECT_TRUE(IsBelowInstallDir(list.files[2]));
  EXPECT_FALSE(IsBelowInstallDir(list.files[1]));
  FreeRemovalList(&list);
}

TEST(RemovalFilePath, PathThatWouldNotFitIsRefused) {
  UninstallArchive archive;
  archive.Files({{".\\" + std::string(200, 'd'), std::string(50, 'n'), 0}}).End();
  RemovalList list;
  ASSERT_EQ(Read(archive.bytes, &list), REMOVAL_LIST_OK);
  struct {
    char path[PATH_BUFFER_SIZE];
    char guard[4];
  } out = {{}, {'G', 'G', 'G', 'G'}};
  EXPECT_TRUE(RemovalFilePath(list.files[0], "C:\\", out.path));
  EXPECT_FALSE(RemovalFilePath(list.files[0], "C:\\Program Files\\Demo\\", out.path));
  EXPECT_EQ(std::string(out.guard, 4), "GGGG");
  FreeRemovalList(&list);
}

TEST(UninstallCommandLine, SilentDeleteWithPathAndProcess) {
  ASSERT_TRUE(AllocateSessionPaths());
  ParseUninstallCommandLine("/DEL \"C:\\Program Files\\Demo\\uninst.exe\" /P4242 /s");
  EXPECT_TRUE(RemovingOriginal);
  EXPECT_STREQ(SourcePath, "C:\\Program Files\\Demo\\uninst.exe");
  EXPECT_EQ(OriginalProcessId, 4242u);
  EXPECT_TRUE(SilentRemoval);
  FreeSessionPaths();
  SilentRemoval = RemovingOriginal = false;
  OriginalProcessId = 0;
}

TEST(UninstallCommandLine, OtherSwitchesAndWordsChangeNothing) {
  ASSERT_TRUE(AllocateSessionPaths());
  ParseUninstallCommandLine("/X /DELAY \"C:\\x.exe\" /P");
  EXPECT_FALSE(SilentRemoval);
  EXPECT_FALSE(RemovingOriginal);  // a longer word is no /DEL
  EXPECT_STREQ(SourcePath, "");
  EXPECT_EQ(OriginalProcessId, 0u);
  ParseUninstallCommandLine(nullptr);
  FreeSessionPaths();
}

}  // namespace
