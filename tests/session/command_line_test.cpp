// Command-line parsing: /S <path>, /DEL, /Q and /D=<folder>, either switch character,
// either case.
#include <gtest/gtest.h>

#include <string>

#include "archive/archive_format.h"
#include "session/command_line.h"
#include "system/switches.h"
#include "base/session_paths.h"
#include "session/session.h"

namespace {

class CommandLine : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AllocateSessionPaths());
    CopyPath(SourcePath, "C:\\own\\setup.exe");
    CopyPath(InstallDir, "C:\\Default");
    DeleteSelfFlag = false;
    QuietInstall = false;
    InstallDirSwitch = nullptr;
  }
  void TearDown() override { FreeSessionPaths(); }
};

TEST_F(CommandLine, LowerCaseSwitchesWithQuotedPathContainingSpaces) {
  ParseCommandLine("/s \"A:\\My Setup\\setup.exe\" /del");
  EXPECT_STREQ(SourcePath, "A:\\My Setup\\setup.exe");
  EXPECT_TRUE(DeleteSelfFlag);
}

TEST_F(CommandLine, DashWorksLikeSlash) {
  ParseCommandLine("  -S\"x.exe\" -DEL");
  EXPECT_STREQ(SourcePath, "x.exe");
  EXPECT_TRUE(DeleteSelfFlag);
}

TEST_F(CommandLine, UnquotedPathEndsAtSpaceAndMayFollowSpaces) {
  ParseCommandLine("/S    A:\\setup.exe /DEL");
  EXPECT_STREQ(SourcePath, "A:\\setup.exe");
  EXPECT_TRUE(DeleteSelfFlag);
}

TEST_F(CommandLine, DNotFollowedByELIsIgnored) {
  for (const char* text : {"/D", "/DE", "/DX", "/DLE", "-dEx", "/D EL"}) {
    DeleteSelfFlag = false;
    ParseCommandLine(text);
    EXPECT_FALSE(DeleteSelfFlag) << text;
  }
  ParseCommandLine("/dElete");  // anything after DEL up to the next space is passed over
  EXPECT_TRUE(DeleteSelfFlag);
}

TEST_F(CommandLine, UnknownLettersAreIgnoredAndParsingGoesOn) {
  ParseCommandLine("/X /q-S\"y.exe\" /DEL");
  EXPECT_STREQ(SourcePath, "y.exe");
  EXPECT_TRUE(DeleteSelfFlag);
}

TEST_F(CommandLine, StopsAtFirstWordThatIsNoSwitch) {
  ParseCommandLine("word /DEL /S z.exe");
  EXPECT_FALSE(DeleteSelfFlag);
  EXPECT_STREQ(SourcePath, "C:\\own\\setup.exe");
}

TEST_F(CommandLine, EmptyTextAndLoneSwitchCharacterChangeNothing) {
  ParseCommandLine("");
  ParseCommandLine("   ");
  ParseCommandLine("/");
  ParseCommandLine(nullptr);
  EXPECT_FALSE(DeleteSelfFlag);
  EXPECT_STREQ(SourcePath, "C:\\own\\setup.exe");
}

TEST_F(CommandLine, UnterminatedQuoteTakesTheRestOfTheText) {
  ParseCommandLine("/S\"A:\\open quote.exe");
  EXPECT_STREQ(SourcePath, "A:\\open quote.exe");
}

TEST_F(CommandLine, OverlongPathIsCutAndStaysTerminated) {
  std::string longPath(400, 'p');
  ParseCommandLine(("/S\"" + longPath + "\" /DEL").c_str());
  EXPECT_EQ(std::string(SourcePath), longPath.substr(0, PATH_BUFFER_SIZE - 1));
  EXPECT_TRUE(DeleteSelfFlag);  // the switches behind the long path are still read
}

TEST_F(CommandLine, QuietSwitchInEitherCaseBesideTheOthers) {
  ParseCommandLine("-q /S x.exe");
  EXPECT_TRUE(QuietInstall);
  EXPECT_STREQ(SourcePath, "x.exe");
  EXPECT_FALSE(DeleteSelfFlag);
}

TEST_F(CommandLine, FolderSwitchTakesTheRestOfTheLineWithItsSpaces) {
  ParseCommandLine("/Q /d=C:\\Some Folder\\My App \t ");
  EXPECT_TRUE(QuietInstall);
  EXPECT_FALSE(DeleteSelfFlag);  // /D= is not /DEL
  ASSERT_TRUE(ApplyInstallDirSwitch());
  EXPECT_STREQ(InstallDir, "C:\\Some Folder\\My App");
  ParseCommandLine("/D=\"D:\\Quoted Folder\" /DEL");  // quotes around it are removed
  ASSERT_TRUE(ApplyInstallDirSwitch());
  EXPECT_STREQ(InstallDir, "D:\\Quoted Folder");
  EXPECT_FALSE(DeleteSelfFlag);  // behind /D= everything is the folder's
}

TEST_F(CommandLine, FolderThatIsEmptyOrTooLongLeavesTheDefault) {
  EXPECT_TRUE(ApplyInstallDirSwitch());  // no switch: the default stays
  EXPECT_STREQ(InstallDir, "C:\\Default");
  const std::string longest(PATH_BUFFER_SIZE - 2, 'f');
  for (const std::string& folder : {std::string("   "), std::string("\"\""), longest + "f"}) {
    const std::string line = "/D=" + folder;  // the switch points into the line
    ParseCommandLine(line.c_str());
    EXPECT_FALSE(ApplyInstallDirSwitch()) << folder;
    EXPECT_STREQ(InstallDir, "C:\\Default") << folder;
  }
  const std::string line = "/D=" + longest;  // room is left for the trailing backslash
  ParseCommandLine(line.c_str());
  ASSERT_TRUE(ApplyInstallDirSwitch());
  EXPECT_EQ(std::string(InstallDir), longest);
}

}  // namespace

namespace {

TEST(CommandTail, ArgumentsBehindTheProgramsNameQuotedOrNot) {
  EXPECT_STREQ(CommandTail("setup.exe /S \"A:\\x.exe\" /DEL"), "/S \"A:\\x.exe\" /DEL");
  EXPECT_STREQ(CommandTail("\"C:\\Program Files\\Demo\\uninst.exe\"  /S"), "/S");
  EXPECT_STREQ(CommandTail("\"C:\\Program Files\\Demo\\uninst.exe\"/S"), "/S");
  EXPECT_STREQ(CommandTail("C:\\setup.exe"), "");
  EXPECT_STREQ(CommandTail("\"C:\\unterminated quote"), "");
  EXPECT_STREQ(CommandTail(""), "");
  EXPECT_STREQ(CommandTail("setup.exe\t/S"), "/S");
}

}  // namespace
