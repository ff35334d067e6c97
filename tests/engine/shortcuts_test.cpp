// Shortcuts under Wine: links saved through the shell and read back, group folders created
// under the real Programs folder and where the links were saved, the desktop path,
// and paths too long for their buffers.
#include <gtest/gtest.h>

#include <string>

#include "base/file_io.h"
#include "engine/shortcuts.h"
#include "system/shell_folders.h"
#include "links_fixture.h"

using namespace links_test;

namespace {

// A target file that exists, as an installed file does.
std::string MakeTarget(const ScratchFolder& folder) {
  const std::string target = folder.Sub("demo.exe");
  FileClose(FileCreate(target.c_str()));
  return target;
}

// Where CreateGroupShortcut saved the link, as the uninstall data record it: its folder and
// its file name; nothing when it saved none.
std::vector<std::string> SavedAt(const std::string& target, const char* group, const char* name) {
  SavedShortcut saved;
  if (!CreateGroupShortcut(target.c_str(), group, name, "", 0, &saved)) return {};
  return {saved.folder, saved.link};
}

TEST(Shortcut, SavesTargetArgumentsAndIcon) {
  OleApartment ole;
  ScratchFolder folder("saved");
  const std::string target = MakeTarget(folder), link = folder.Sub("Demo.lnk");
  EXPECT_EQ(CreateShortcut(target.c_str(), link.c_str(), "/quiet", 2), S_OK);
  const LinkFields fields = ReadLink(link);
  ASSERT_TRUE(fields.loaded);
  EXPECT_EQ(fields.path, target);
  EXPECT_EQ(fields.arguments, "/quiet");
  EXPECT_EQ(fields.iconPath, target);
  EXPECT_EQ(fields.iconIndex, 2);
}

TEST(Shortcut, IconIndexZeroAndEmptyArgumentsLeaveThemUnset) {
  OleApartment ole;
  ScratchFolder folder("unset");
  const std::string target = MakeTarget(folder);
  const std::string empty = folder.Sub("Empty.lnk"), none = folder.Sub("None.lnk");
  EXPECT_EQ(CreateShortcut(target.c_str(), empty.c_str(), "", 0), S_OK);
  EXPECT_EQ(CreateShortcut(target.c_str(), none.c_str(), nullptr, 0), S_OK);
  for (const std::string& link : {empty, none}) {
    const LinkFields fields = ReadLink(link);
    ASSERT_TRUE(fields.loaded) << link;
    EXPECT_EQ(fields.path, target);
    EXPECT_EQ(fields.arguments, "") << link;
    EXPECT_EQ(fields.iconPath, "") << link;
    EXPECT_EQ(fields.iconIndex, 0) << link;
  }
}

TEST(Shortcut, LinkPathBeyondItsWideBufferIsRefusedAndNothingWritten) {
  OleApartment ole;
  ScratchFolder folder("overlong");
  const std::string target = MakeTarget(folder);
  std::string link = folder.Sub("");
  link += std::string(LINK_PATH_CHARS - link.size() - 4, 'x') + ".lnk";  // no room for a NUL
  ASSERT_EQ(link.size(), LINK_PATH_CHARS);
  EXPECT_EQ(CreateShortcut(target.c_str(), link.c_str(), "", 0), E_INVALIDARG);
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(folder.Sub("x*").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST(Shortcut, WithoutOleNoLinkObjectIsMadeAndNoFileWritten) {
  ScratchFolder folder("no-ole");
  const std::string target = MakeTarget(folder), link = folder.Sub("Demo.lnk");
  EXPECT_EQ(CreateShortcut(target.c_str(), link.c_str(), "", 0), CO_E_NOTINITIALIZED);
  EXPECT_FALSE(Exists(link));
}

TEST(GroupShortcut, NestedGroupFolderIsCreatedUnderProgramsAndRecorded) {
  OleApartment ole;
  ScratchFolder folder("group");
  const std::string programs = ShellFolder(CSIDL_PROGRAMS);
  RemovedAfterwards tools(programs + "\\Lodrun Tools");
  const std::string target = MakeTarget(folder);
  EXPECT_EQ(SavedAt(target, "Lodrun Tools\\Demo", "Demo"),
            (std::vector<std::string>{programs + "\\Lodrun Tools\\Demo", "Demo.lnk"}));
  EXPECT_EQ(ReadLink(programs + "\\Lodrun Tools\\Demo\\Demo.lnk").path, target);
}

TEST(GroupShortcut, EmptyGroupFolderPutsTheLinkDirectlyInPrograms) {
  OleApartment ole;
  ScratchFolder folder("no-group");
  const std::string programs = ShellFolder(CSIDL_PROGRAMS);
  RemovedAfterwards link(programs + "\\Lodrun Demo.lnk");
  const std::string target = MakeTarget(folder);
  EXPECT_EQ(SavedAt(target, "", "Lodrun Demo"), (std::vector<std::string>{programs, "Lodrun Demo.lnk"}));
  EXPECT_EQ(ReadLink(link.path).path, target);
}

// What stands at the link's name is not this setup's: recording it would have it removed.
TEST(GroupShortcut, LinkThatCannotBeSavedIsNotRecorded) {
  OleApartment ole;
  ScratchFolder folder("blocked");
  const std::string programs = ShellFolder(CSIDL_PROGRAMS);
  RemovedAfterwards blocker(programs + "\\Lodrun Blocked.lnk");
  CreateDirectoryA(blocker.path.c_str(), nullptr);  // a folder where the link file would go
  EXPECT_TRUE(SavedAt(MakeTarget(folder), "", "Lodrun Blocked").empty());
  EXPECT_NE(GetFileAttributesA(blocker.path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(GroupShortcut, GroupFolderWithSlashesIsRecordedAsTheSystemMadeIt) {
  OleApartment ole;
  ScratchFolder folder("slashes");
  const std::string programs = ShellFolder(CSIDL_PROGRAMS);
  RemovedAfterwards group(programs + "\\Lodrun Slashes");
  EXPECT_EQ(SavedAt(MakeTarget(folder), "Lodrun Slashes//Gold/", "Demo"),
            (std::vector<std::string>{programs + "\\Lodrun Slashes\\Gold", "Demo.lnk"}));
  EXPECT_TRUE(Exists(programs + "\\Lodrun Slashes\\Gold\\Demo.lnk"));
}

TEST(GroupShortcut, PathBeyondItsBufferMakesNoLinkAndNoRecord) {
  OleApartment ole;
  ScratchFolder folder("group-overlong");
  const std::string programs = ShellFolder(CSIDL_PROGRAMS);
  RemovedAfterwards tools(programs + "\\Lodrun Tools");
  const std::string target = MakeTarget(folder);
  const std::string longName(PATH_BUFFER_SIZE - programs.size(), 'n');
  EXPECT_TRUE(SavedAt(target, longName.c_str(), "Demo").empty());
  EXPECT_TRUE(SavedAt(target, "Lodrun Tools", longName.c_str()).empty());
}

TEST(DesktopShortcut, PathIsTheDesktopFolderAndTheNameWithItsSuffix) {
  char link[PATH_BUFFER_SIZE];
  ASSERT_TRUE(DesktopShortcutPath("Demo", link));
  EXPECT_EQ(std::string(link), ShellFolder(CSIDL_DESKTOP) + "\\Demo.lnk");
}

TEST(DesktopShortcut, NameBeyondTheBufferGivesFalseAndAnEmptyPathWithinItsBytes) {
  std::vector<char> bytes(PATH_BUFFER_SIZE + 64, '\x5A');
  const std::string name(PATH_BUFFER_SIZE - ShellFolder(CSIDL_DESKTOP).size() - 5, 'd');
  EXPECT_FALSE(DesktopShortcutPath(name.c_str(), bytes.data()));
  EXPECT_EQ(bytes[0], '\0');
  EXPECT_EQ(std::string(bytes.begin() + PATH_BUFFER_SIZE, bytes.end()), std::string(64, '\x5A'));
}

}  // namespace
