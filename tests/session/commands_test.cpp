// The command lines that the session starts: the relaunched copy, the screen saver
// installer and the run-at-end program.
#include <gtest/gtest.h>

#include <string>

#include "session/after_wizard.h"
#include "session/relaunch.h"

namespace {

std::string Relaunch(const char* copy, const char* source, uint32_t room = RELAUNCH_COMMAND_SIZE) {
  char out[RELAUNCH_COMMAND_SIZE + 1] = "unchanged";
  bool fits = BuildRelaunchCommandLine(out, room, copy, source);
  return fits ? std::string(out) : "!" + std::string(out);
}

TEST(RelaunchCommand, NamesCopySourceAndDeletion) {
  EXPECT_EQ(Relaunch("C:\\users\\root\\Temp\\_inst1.exe", "A:\\setup.exe"),
            "C:\\users\\root\\Temp\\_inst1.exe /S \"A:\\setup.exe\" /DEL");
  EXPECT_EQ(Relaunch("C:\\My Temp\\_inst0.exe", "A:\\my setup.exe"),
            "\"C:\\My Temp\\_inst0.exe\" /S \"A:\\my setup.exe\" /DEL");
}

TEST(RelaunchCommand, LongestPathsFitAndLongerAreRefused) {
  const std::string copy(PATH_BUFFER_SIZE - 1, 'c');
  const std::string source(PATH_BUFFER_SIZE - 1, 's');
  EXPECT_EQ(Relaunch(copy.c_str(), source.c_str()), copy + " /S \"" + source + "\" /DEL");
  const std::string expected = "a /S \"b\" /DEL";
  EXPECT_EQ(Relaunch("a", "b", static_cast<uint32_t>(expected.size() + 1)), expected);
  EXPECT_EQ(Relaunch("a", "b", static_cast<uint32_t>(expected.size())), "!");
}

TEST(RelaunchCommand, OnlyDriveLettersCanBeRemovable) {
  EXPECT_FALSE(IsOnRemovableDrive(""));
  EXPECT_FALSE(IsOnRemovableDrive("\\\\server\\share\\setup.exe"));
  EXPECT_FALSE(IsOnRemovableDrive("C:\\windows\\notepad.exe"));  // a fixed disk
}

TEST(AfterWizardCommand, ScreenSaverPathIsAppendedUnquoted) {
  char out[SCREEN_SAVER_COMMAND_SIZE];
  ASSERT_TRUE(BuildScreenSaverCommand(out, sizeof out, "C:\\Program Files\\App\\x.scr"));
  EXPECT_STREQ(out, "rundll32 desk.cpl,InstallScreenSaver C:\\Program Files\\App\\x.scr");
  const std::string longest(PATH_BUFFER_SIZE - 1, 'p');
  EXPECT_TRUE(BuildScreenSaverCommand(out, sizeof out, longest.c_str()));
  EXPECT_FALSE(BuildScreenSaverCommand(out, 10, "C:\\x.scr"));
  EXPECT_STREQ(out, "");
}

TEST(AfterWizardCommand, ProgramIsQuotedOnlyWithSpaces) {
  char out[PROGRAM_COMMAND_SIZE];
  ASSERT_TRUE(BuildProgramCommand(out, sizeof out, "C:\\App\\app.exe"));
  EXPECT_STREQ(out, "C:\\App\\app.exe");
  ASSERT_TRUE(BuildProgramCommand(out, sizeof out, "C:\\Program Files\\app.exe"));
  EXPECT_STREQ(out, "\"C:\\Program Files\\app.exe\"");
  const std::string longest(PATH_BUFFER_SIZE - 2, ' ');
  EXPECT_TRUE(BuildProgramCommand(out, sizeof out, longest.c_str()));
  EXPECT_FALSE(BuildProgramCommand(out, 5, "C:\\a b"));
}

}  // namespace
