// The manifest read into records and settings: every field of a file record in words,
// folders and patterns expanded in a stable order, texts by name, and each kind of problem
// reported at its line and column with its key, all of them at once.
#include <gtest/gtest.h>

#include "archive/picture_format.h"
#include "base/byte_order.h"
#include "builder/manifest/text_names.h"
#include "builder/setup/default_texts.h"
#include "builder/win32/picture_check.h"
#include "support/manifest_folder.h"
#include "support/sample_pictures.h"
#include "support/sample_png.h"

using namespace manifest_test;

namespace {

using ManifestRead = ManifestReading;

TEST_F(ManifestRead, EveryFieldOfAFileRecordIsReadFromItsWords) {
  folder.Write("bin/tool.exe", Content(300, 1));
  const Manifest m = Good(R"(
[[files]]
source = "bin/tool.exe"
name = "Tools\\tool.exe"
destination = "windows"
mode = "keep"
shared = true
register = "com-server"
at_end = "run"
check_language = false
icon_index = 3
program_group = { folder = "Tools", shortcut = "Tool", arguments = "/g" }
desktop = { shortcut = "Tool on desktop", arguments = "/d" }
)");
  ASSERT_EQ(m.files.size(), 1u);
  const FileRecord& r = m.files[0].record;
  EXPECT_EQ(r.name, "Tools\\tool.exe");
  EXPECT_EQ(r.dirCode, DIR_WINDOWS);
  EXPECT_EQ(r.installMode, MODE_KEEP);
  EXPECT_EQ(r.shared, 1);
  EXPECT_EQ(r.registration, REGISTER_COM_SERVER);
  EXPECT_EQ(r.endAction, END_RUN);
  EXPECT_EQ(r.flags, 0);
  EXPECT_EQ(r.iconIndex, 3);
  EXPECT_EQ(r.groupFolder + "|" + r.groupShortcut + "|" + r.groupArguments, "Tools|Tool|/g");
  EXPECT_EQ(r.desktopShortcut + "|" + r.desktopArguments, "Tool on desktop|/d");
  EXPECT_EQ(m.files[0].source, folder.Path("bin/tool.exe"));
  EXPECT_EQ(m.files[0].sourceSize, 300u);
}

TEST_F(ManifestRead, DefaultsAreARemovedFileOfItsOwnNameInTheInstallationFolder) {
  folder.Write("docs/readme.txt", "read me");
  const Manifest m = Good("[[files]]\nsource = \"docs/readme.txt\"\n");
  ASSERT_EQ(m.files.size(), 1u);
  EXPECT_EQ(m.files[0].record.name, "readme.txt");
  EXPECT_EQ(m.files[0].record.dirCode, DIR_INSTALL);
  EXPECT_EQ(m.files[0].record.installMode, MODE_REMOVE);
  EXPECT_EQ(m.setupFlags, SETUP_FLAG_CHANGE_DIR);
  EXPECT_EQ(m.startPage, START_PAGE_ALL);
}

TEST_F(ManifestRead, FolderGivesOneRecordPerFileInByteOrderKeepingSubfolders) {
  for (const char* name : {"Help/b.txt", "Help/a.txt", "Help/Zed/c.txt", "Help/sub/d.txt"}) folder.Write(name, name);
  const Manifest m = Good("[[files]]\nsource = \"Help\"\nname = \"Docs\"\nmode = \"keep\"\n");
  std::vector<std::string> names;
  for (const FileInput& file : m.files) {
    names.push_back(file.record.name);
    EXPECT_EQ(file.record.installMode, MODE_KEEP);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Docs\\Zed\\c.txt", "Docs\\a.txt", "Docs\\b.txt", "Docs\\sub\\d.txt"}));
  EXPECT_EQ(m.files[1].source, folder.Path("Help/a.txt"));
  EXPECT_EQ(m.files[1].sourceSize, 10u);
}

TEST_F(ManifestRead, PatternMatchesWithinOnePartBelowItsFixedFolders) {
  for (const char* name : {"art/one.bmp", "art/two.bmp", "art/notes.txt", "art/old/three.bmp"}) folder.Write(name, name);
  Manifest m = Good("[[files]]\nsource = \"art/*.bmp\"\n");
  ASSERT_EQ(m.files.size(), 2u);
  EXPECT_EQ(m.files[0].record.name, "one.bmp");
  EXPECT_EQ(m.files[1].record.name, "two.bmp");
  m = Good("[[files]]\nsource = \"art/*/*.bmp\"\nname = \"Pictures\"\n");
  ASSERT_EQ(m.files.size(), 1u);
  EXPECT_EQ(m.files[0].record.name, "Pictures\\old\\three.bmp");
}

TEST_F(ManifestRead, SettingsBecomeFlagsLookupsPicturesAndStartPage) {
  folder.Write("wizard.bmp", test_support::SampleBmp());
  const Manifest m = Good(R"(
[setup]
app_name = "Tool"
default_dir = "#Program Files#\\Tool"
change_dir = false
full_screen = true
background_title = "Tool 1.0"
wizard_picture = "wizard.bmp"
start_page = "progress"
directory_from_registry = { root = "HKCU", key = "Software\\Tool", value = "Path" }
directory_from_ini = { file = "tool.ini", section = "Setup", key = "Dir" }
)");
  EXPECT_EQ(m.setupFlags, SETUP_FLAG_FULL_SCREEN);
  EXPECT_EQ(m.appName + "|" + m.defaultDir + "|" + m.backgroundTitle, "Tool|#Program Files#\\Tool|Tool 1.0");
  EXPECT_EQ(m.wizardPicture, test_support::SampleBmp());
  EXPECT_EQ(m.startPage, 4);
  EXPECT_EQ(m.registryLookup.root, DIR_REG_CURRENT_USER);  // an index, not the HKEY value
  EXPECT_EQ(m.registryLookup.key + "|" + m.registryLookup.value, "Software\\Tool|Path");
  EXPECT_EQ(m.iniLookup.file + "|" + m.iniLookup.section + "|" + m.iniLookup.key, "tool.ini|Setup|Dir");
}

TEST_F(ManifestRead, PngPicturesBecomeTheBmpFilesTheProgramShows) {
  folder.Write("wizard.png", test_support::SamplePng(2, 1, PNG_FORMAT_RGB, {1, 2, 3, 4, 5, 6}));
  folder.Write("back.png", test_support::SamplePng(1, 1, PNG_FORMAT_GRAY, {7}));
  const Manifest m = Good("[setup]\nwizard_picture = \"wizard.png\"\nbackground_picture = \"back.png\"\n");
  EXPECT_EQ(ValidatePicture(m.wizardPicture), "");
  EXPECT_EQ(LoadU16LE(&m.wizardPicture[PICTURE_BITS_OFFSET]), 24);
  EXPECT_EQ(ValidatePicture(m.backgroundPicture), "");
  EXPECT_EQ(LoadU16LE(&m.backgroundPicture[PICTURE_BITS_OFFSET]), 8);
  std::vector<uint8_t> cut = test_support::SamplePng(1, 1, PNG_FORMAT_GRAY, {7});
  cut.resize(30);
  folder.Write("cut.png", cut);
  EXPECT_NE(Bad("[setup]\nwizard_picture = \"cut.png\"\n").find("setup.toml:2:18: setup.wizard_picture: not a PNG file libpng can read"),
            std::string::npos);
}

TEST_F(ManifestRead, UninstallerKeyAddsTheProgramFirstUnderItsName) {
  folder.Write("a.txt", "a");
  Manifest m = Good("[setup]\nuninstaller = true\n[[files]]\nsource = \"a.txt\"\n");
  ASSERT_TRUE(m.builtUninstaller);
  ASSERT_EQ(m.files.size(), 2u);
  EXPECT_EQ(m.files[0].record.name, DEFAULT_UNINSTALLER_NAME);
  EXPECT_EQ(m.files[0].record.flags, FE_UNINSTALLER);
  EXPECT_EQ(m.files[0].record.dirCode, DIR_INSTALL);
  EXPECT_EQ(m.fileOrigins.size(), m.files.size());
  EXPECT_TRUE(m.files[0].source.empty());
  m = Good("[setup]\nuninstaller = \"Remove Demo.exe\"\n[texts.uninstall]\nconfirm = \"Sure?\"\n");
  ASSERT_EQ(m.files.size(), 1u);
  EXPECT_EQ(m.files[0].record.name, "Remove Demo.exe");
  ASSERT_EQ(m.texts.size(), 1u);
  EXPECT_EQ(m.texts[0].list * 100 + m.texts[0].index, UNINSTALL_TEXT_LIST * 100 + UNINSTALL_CONFIRM);
  EXPECT_FALSE(Good("[setup]\nuninstaller = false\n").builtUninstaller);
  m = Good("[setup]\nuninstaller = { name = \"Remove.exe\", program_group = { folder = \"Demo\", shortcut = \"Remove Demo\" } }\n");
  ASSERT_EQ(m.files.size(), 1u);
  EXPECT_EQ(m.files[0].record.name + "|" + m.files[0].record.groupFolder + "|" + m.files[0].record.groupShortcut,
            "Remove.exe|Demo|Remove Demo");
}

TEST_F(ManifestRead, UninstallerKeyProblems) {
  folder.Write("a.txt", "a");
  EXPECT_NE(Bad("[setup]\nuninstaller = \"bin\\\\u.exe\"\n").find("setup.toml:2:15: setup.uninstaller: \"bin\\u.exe\" is no plain file name"),
            std::string::npos);
  EXPECT_NE(Bad("[setup]\nuninstaller = 1\n").find("setup.uninstaller: is not a boolean, a string or a table"), std::string::npos);
  EXPECT_NE(Bad("[setup]\nuninstaller = { nmae = \"x.exe\" }\n").find("setup.uninstaller.nmae: unknown key; did you mean \"name\"?"),
            std::string::npos);
  const std::string twice = Bad("[setup]\nuninstaller = true\n[[files]]\nsource = \"a.txt\"\nuninstaller = true\n");
  EXPECT_NE(twice.find("setup.toml:3:1: files[0]: a second uninstall program"), std::string::npos) << twice;
  const std::string clash = Bad("[setup]\nuninstaller = \"A.TXT\"\n[[files]]\nsource = \"a.txt\"\n");
  EXPECT_NE(clash.find("\"a.txt\" is installed by setup.uninstaller already"), std::string::npos) << clash;
}

TEST_F(ManifestRead, TextsByNameLandInTheirListsAndInformationParagraphsAreJoined) {
  folder.Write("info.txt", "First line\nsame paragraph.\n\nSecond one.\n");
  const Manifest m = Good(R"(
[setup]
information = "info.txt"
[texts.finish]
success = "All done."
[texts.confirmation]
folder = "Into %s, 100%% sure."
[texts.buttons]
next = "&Onward >"
)");
  ASSERT_EQ(m.texts.size(), 4u);
  EXPECT_EQ(m.texts[0].list, INFORMATION_TEXTS);
  EXPECT_EQ(m.texts[0].text, "First line same paragraph.\r\n\r\nSecond one.");
  EXPECT_EQ(m.texts[1].list, CONFIRMATION_TEXTS);  // sections are read in their order
  EXPECT_EQ(m.texts[1].index, CONFIRMATION_FOLDER_FORMAT);
  EXPECT_EQ(m.texts[2].list * 100 + m.texts[2].index, FINISH_TEXTS * 100 + FINISH_SUCCESS);
  EXPECT_EQ(m.texts[3].list * 100 + m.texts[3].index, BUTTON_TEXTS * 100 + BUTTON_TEXT_NEXT);
}

TEST_F(ManifestRead, EachKindOfProblemIsReportedAtItsPlaceWithItsKey) {
  folder.Write("a.txt", "a");
  folder.Write("bad.bmp", "BM not a picture");
  const std::pair<std::string, std::string> cases[] = {
      {"[setup]\napp_nmae = \"X\"\n", "setup.toml:2:1: setup.app_nmae: unknown key; did you mean \"app_name\"?"},
      {"[setup]\nchange_dir = \"yes\"\n", "setup.toml:2:14: setup.change_dir: is not a boolean"},
      {"[setup]\nstart_page = 7\n", "setup.toml:2:14: setup.start_page: 7 is out of range"},
      {"[setup]\napp_name = \"" + std::string(256, 'a') + "\"\n", "setup.toml:2:12: setup.app_name: is 256 characters long; expected at most 255"},
      {"[setup]\napp_name = \"Vendor\\\\Tool\"\n", "setup.app_name: holds a backslash"},
      {"[setup]\ndefault_dir = \"#ProgramFiles#\\\\Tool\"\n",
       "setup.toml:2:15: setup.default_dir: \"#ProgramFiles#\" is not a directory macro; expected \"#Windows#\", \"#System#\" or \"#Program Files#\" (did you mean \"#Program Files#\"?)"},
      {"[setup]\nwizard_picture = \"bad.bmp\"\n", "setup.toml:2:18: setup.wizard_picture: "},
      {"[[files]]\nsource = \"gone.txt\"\n", "setup.toml:2:10: files[0].source: \""},
      {"[[files]]\nsource = \"a.txt\"\nat_end = \"start\"\n", "files[0].at_end: \"start\" is not known; expected \"none\", \"open\" or \"run\""},
      {"[[files]]\nsource = \"a.txt\"\ncheck_version = true\n", "files[0]: \"" + folder.Path("a.txt") + "\": "},
      {"[[files]]\nsource = \"a.txt\"\nname = \"" + std::string(300, 'n') + "\"\n", "setup.toml:3:8: files[0]: "},
      {"[[files]]\nsource = \"a.txt\"\nuninstaller = true\n[[files]]\nsource = \"a.txt\"\nname = \"b\"\nuninstaller = true\n",
       "setup.toml:4:1: files[1]: a second uninstall program"},
      {"[[files]]\nsource = \"a.txt\"\n[[files]]\nsource = \"a.txt\"\n", "files[1]: \"a.txt\" is installed by files[0] already"},
      {"[texts.finish]\nfailure = \"Failed.\"\n", "texts.finish.failure: needs exactly one %s, has 0"},
      {"[[files]]\nsource = \"a.txt\"\nname = \"Docs\\\\..\\\\a.txt\"\n", "files[0]: \"Docs\\..\\a.txt\" has a \"..\" part"},
      {"[texts.welcome]\ntitel = \"Hi\"\n", "texts.welcome.titel: unknown key; did you mean \"title\"?"},
      {"[setup\n", "setup.toml:1:"},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_NE(Bad(text).find(expected), std::string::npos) << text << "\n--- got:\n" << Bad(text);
  }
}

TEST_F(ManifestRead, ThreeFaultsAreAllReportedInLineOrder) {
  const std::string problems = Bad("[[files]]\nsource = \"none.txt\"\n[setup]\nfull_screen = 1\nstart_page = \"last\"\n");
  EXPECT_EQ(std::count(problems.begin(), problems.end(), '\n'), 3) << problems;
  const size_t source = problems.find("setup.toml:2:"), screen = problems.find("setup.toml:4:"),
               page = problems.find("setup.toml:5:");
  EXPECT_LT(source, screen);
  EXPECT_LT(screen, page);
  EXPECT_NE(page, std::string::npos) << problems;
}

TEST_F(ManifestRead, ShortcutsOnARecordOfManyFilesAreRefused) {
  folder.Write("Help/a.txt", "a");
  folder.Write("Help/b.txt", "b");
  EXPECT_NE(Bad("[[files]]\nsource = \"Help\"\ndesktop = { shortcut = \"Help\" }\n").find("which would all make the same shortcuts"),
            std::string::npos);
}

TEST_F(ManifestRead, ExternalFileNeedsOnlyItsName) {
  const Manifest m = Good("[[files]]\nname = \"big.dat\"\nmode = \"external\"\nat_end = \"open\"\n");
  ASSERT_EQ(m.files.size(), 1u);
  EXPECT_EQ(m.files[0].record.installMode, MODE_EXTERNAL);
  EXPECT_TRUE(m.files[0].content.empty() && m.files[0].source.empty());
  EXPECT_NE(Bad("[[files]]\nmode = \"external\"\n").find("files[0].name: is missing"), std::string::npos);
}

TEST(NearestWord, SuggestsOnlyWordsCloseEnough) {
  const std::vector<std::string> known = {"source", "name", "destination", "mode"};
  EXPECT_EQ(NearestWord("sourse", known), "source");
  EXPECT_EQ(NearestWord("destinaton", known), "destination");
  EXPECT_EQ(NearestWord("colour", known), "");
}

TEST(TextNames, EveryNameAddressesADefaultTextOfTheSameConversion) {
  const std::vector<std::vector<std::string>> defaults = DefaultPageTexts("Tool");
  for (const TextName& entry : TextNames()) {
    if (entry.list == UNINSTALL_TEXT_LIST) continue;  // the uninstall program's own texts
    ASSERT_LT(entry.list, defaults.size()) << entry.name;
    ASSERT_LT(entry.index, defaults[entry.list].size()) << entry.section << "." << entry.name;
    EXPECT_EQ(CheckTextConversion(entry, defaults[entry.list][entry.index]), "") << entry.section << "." << entry.name;
  }
}

}  // namespace
