// Opening a document with its associated program, in this process: the open command's
// template cut at its placeholder, with the document appended unquoted, and refused when it
// outgrows its buffer; the registry's default values; the shell first, the registry's open
// command when the shell cannot open the document.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "engine/open_at_end.h"
#include "page_setups.h"

using namespace page_tests;

namespace {

constexpr char TEST_KEY[] = "Software\\LodrunTest\\OpenDocument";

std::string Built(const std::string& commandTemplate, const std::string& document) {
  char command[OPEN_COMMAND_SIZE];
  std::strcpy(command, commandTemplate.c_str());
  if (!BuildOpenCommand(command, document.c_str())) return "(refused: " + std::string(command) + ")";
  return command;
}

TEST(OpenCommand, CutAtTheQuotedPlaceholderWithTheDocumentUnquoted) {
  EXPECT_EQ(Built("\"C:\\Tools\\view.exe\" \"%1\" /readonly", "C:\\My Files\\read me.txt"),
            "\"C:\\Tools\\view.exe\"  C:\\My Files\\read me.txt");
}

TEST(OpenCommand, CutAtABarePlaceholder) {
  EXPECT_EQ(Built("view.exe %1 %2", "C:\\a.txt"), "view.exe  C:\\a.txt");
  EXPECT_EQ(Built("view.exe \"%1 \"%1\"", "C:\\a.txt"), "view.exe \"%1  C:\\a.txt");
}

TEST(OpenCommand, WithoutPlaceholderTheDocumentIsAppended) {
  EXPECT_EQ(Built("C:\\Tools\\view.exe", "C:\\a.txt"), "C:\\Tools\\view.exe C:\\a.txt");
}

TEST(OpenCommand, LongerThanItsBufferIsRefusedNotCut) {
  const std::string program(REGISTRY_VALUE_SIZE - 1, 'p');
  const std::string fits(OPEN_COMMAND_SIZE - 1 - program.size() - 1, 'd');
  EXPECT_EQ(Built(program, fits), program + " " + fits);
  EXPECT_EQ(Built(program, fits + "d"), "(refused: )");
  // The space before the placeholder stays: one character less for the document.
  EXPECT_EQ(Built(program + " \"%1\"", fits), "(refused: )");
  EXPECT_EQ(Built(program + " \"%1\"", fits.substr(1)), program + "  " + fits.substr(1));
}

class RegistryValue : public testing::Test {
 protected:
  void TearDown() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(TEST_KEY) + "\\Long").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, TEST_KEY);
  }
  void SetDefault(const std::string& key, const std::string& value) {
    HKEY handle;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &handle), ERROR_SUCCESS);
    RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD(value.size() + 1));
    RegCloseKey(handle);
  }
};

TEST_F(RegistryValue, DefaultValueIsRead) {
  SetDefault(TEST_KEY, "LodrunTest.Document");
  char buffer[REGISTRY_VALUE_SIZE];
  EXPECT_EQ(ReadDefaultValue(HKEY_CURRENT_USER, TEST_KEY, buffer), ERROR_SUCCESS);
  EXPECT_STREQ(buffer, "LodrunTest.Document");
}

TEST_F(RegistryValue, MissingKeyGivesItsErrorAndAnEmptyBuffer) {
  char buffer[REGISTRY_VALUE_SIZE] = "old";
  EXPECT_EQ(ReadDefaultValue(HKEY_CURRENT_USER, "Software\\LodrunTest\\Missing", buffer),
            ERROR_FILE_NOT_FOUND);
  EXPECT_STREQ(buffer, "");
}

TEST_F(RegistryValue, ValueThatFillsItsRoomIsReadAndALongerOneReadsEmpty) {
  const std::string key = std::string(TEST_KEY) + "\\Long";
  const std::string fills(REGISTRY_VALUE_SIZE - 1, 'x');  // with its terminator
  SetDefault(key, fills);
  char full[REGISTRY_VALUE_SIZE];
  EXPECT_EQ(ReadDefaultValue(HKEY_CURRENT_USER, key.c_str(), full), ERROR_SUCCESS);
  EXPECT_EQ(std::string(full), fills);
  SetDefault(key, fills + "x");
  char buffer[REGISTRY_VALUE_SIZE + 16];
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(ReadDefaultValue(HKEY_CURRENT_USER, key.c_str(), buffer), ERROR_SUCCESS);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(buffer[REGISTRY_VALUE_SIZE], 'z');  // nothing written past the room
}

TEST(OpenDocument, ShellOpensADocumentOfAKnownType) {
  RecorderFileType type(DOCUMENT_EXTENSION);
  DeleteLog(RecorderPath());
  const ScratchDirectory directory("open-document");
  const std::string document = directory.File(std::string("notes") + DOCUMENT_EXTENSION);
  CloseHandle(CreateFileA(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  EXPECT_GT(OpenDocument(document.c_str(), DOCUMENT_EXTENSION), 32);
  ASSERT_TRUE(WaitForLoggedLines(RecorderPath(), 1));
  EXPECT_NE(LoggedLines(RecorderPath())[0].find(document), std::string::npos);
  DeleteLog(RecorderPath());
}

// A document that is not there defeats the shell; the type's open command still starts.
TEST(OpenDocument, WhereTheShellFailsTheOpenCommandGetsTheDocumentUnquoted) {
  RecorderFileType type(DOCUMENT_EXTENSION);
  DeleteLog(RecorderPath());
  const std::string document = std::string("C:\\No Such Folder\\notes") + DOCUMENT_EXTENSION;
  EXPECT_GT(OpenDocument(document.c_str(), DOCUMENT_EXTENSION), 31);
  ASSERT_TRUE(WaitForLoggedLines(RecorderPath(), 1));
  EXPECT_EQ(LoggedLines(RecorderPath())[0], "\"" + RecorderPath() + "\"  " + document);
  DeleteLog(RecorderPath());
}

TEST(OpenDocument, UnknownTypeGivesTheRegistryError) {
  EXPECT_EQ(OpenDocument("C:\\No Such Folder\\notes.lodrunnone", ".lodrunnone"),
            ERROR_FILE_NOT_FOUND);
  // A name without a dot in a folder with one takes the folder's "extension".
  EXPECT_EQ(OpenDocument("C:\\Demo.1\\README", ".1\\README"), ERROR_FILE_NOT_FOUND);
}

}  // namespace
