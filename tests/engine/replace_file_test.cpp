// Replacing existing targets: the version and language questions on real version
// resources, read-only targets, and targets locked by another process.
#include <gtest/gtest.h>

#include <memory>

#include "engine/file_table.h"
#include "engine/replace_target.h"
#include "install_run.h"
#include "support/fixtures/fixtures.h"

using namespace engine_test;

namespace {

constexpr uint32_t NEWER_EXISTS = 29;
constexpr uint32_t OTHER_LANGUAGE = 30;
constexpr uint32_t CANNOT_REPLACE = 22;
constexpr uint32_t V1_5 = 0x00010005;
constexpr uint32_t V2_0 = 0x00020000;
constexpr uint32_t US_ENGLISH = 0x0409;

class ReplacingFiles : public testing::Test {
 protected:
  // target\lib.dll holds the fixture; the setup brings new bytes with these versions.
  void Existing(const char* fixture) {
    directory_.MakeDirectories("target");
    ASSERT_TRUE(CopyFileA(FixturePath(fixture).c_str(), run_.Target("lib.dll").c_str(), FALSE));
    existing_ = ReadBytes(run_.Target("lib.dll"));
  }
  FileInput Versioned(uint32_t product, uint32_t file, uint8_t flags = FE_VERSION_CHECK,
                      uint32_t language = US_ENGLISH) {
    FileInput input = Input("lib.dll", Content(3000, 40));
    input.record.flags = flags;
    input.record.productVersionMS = product;
    input.record.fileVersionMS = file;
    input.record.language = language;
    return input;
  }
  EngineSession session_;
  ScratchDirectory directory_{"replace"};
  InstallRun run_{directory_};
  std::vector<uint8_t> existing_;
};

TEST_F(ReplacingFiles, NewerExistingVersionIsKeptWhenTheAnswerIsNo) {
  Existing("fixture_v2_0.dll");
  run_.Load({Versioned(V1_5, V1_5), Input("next.txt", Content(100, 41))});
  run_.answers = {IDNO};
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(run_.asked, (std::vector<uint32_t>{NEWER_EXISTS}));
  EXPECT_EQ(ReadBytes(run_.Target("lib.dll")), existing_);
  EXPECT_EQ(+run_.Entry(0)->status, STATUS_NONE);
  EXPECT_EQ(ReadBytes(run_.Target("next.txt")), Content(100, 41));  // the stream was consumed
}

TEST_F(ReplacingFiles, NewerExistingVersionIsReplacedWhenTheAnswerIsYes) {
  Existing("fixture_v2_0.dll");
  run_.Load({Versioned(V1_5, V1_5)});
  run_.answers = {IDYES};
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(ReadBytes(run_.Target("lib.dll")), Content(3000, 40));
  EXPECT_EQ(+run_.Entry(0)->status, STATUS_REPLACED);
}

TEST_F(ReplacingFiles, EqualProductAndNewerFileVersionAsks) {
  Existing("fixture_v2_0_file_2_1.dll");
  run_.Load({Versioned(V2_0, V2_0)});
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(run_.asked, (std::vector<uint32_t>{NEWER_EXISTS}));
  EXPECT_EQ(ReadBytes(run_.Target("lib.dll")), existing_);
}

TEST_F(ReplacingFiles, EqualAndOlderVersionsAreReplacedWithoutAQuestion) {
  Existing("fixture_v2_0.dll");
  run_.Load({Versioned(V2_0, V2_0)});
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_TRUE(run_.asked.empty());
  EXPECT_EQ(ReadBytes(run_.Target("lib.dll")), Content(3000, 40));
}

TEST_F(ReplacingFiles, OtherLanguageAsksAndNoKeepsTheFile) {
  Existing("fixture_v2_0_german.dll");
  run_.Load({Versioned(V2_0, V2_0, FE_LANGUAGE_CHECK)});
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(run_.asked, (std::vector<uint32_t>{OTHER_LANGUAGE}));
  EXPECT_EQ(ReadBytes(run_.Target("lib.dll")), existing_);
}

TEST_F(ReplacingFiles, SameLanguageIsReplacedWithoutAQuestion) {
  Existing("fixture_v2_0.dll");
  run_.Load({Versioned(V2_0, V2_0, FE_VERSION_CHECK | FE_LANGUAGE_CHECK)});
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_TRUE(run_.asked.empty());
}

TEST_F(ReplacingFiles, ReadOnlyTargetIsReplacedAndReadOnlyAgain) {
  directory_.MakeDirectories("target");
  directory_.MakeFile("target\\lib.dll", 10, FILE_ATTRIBUTE_READONLY);
  run_.Load({Input("lib.dll", Content(20, 42))});
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(ReadBytes(run_.Target("lib.dll")), Content(20, 42));
  EXPECT_NE(GetFileAttributesA(run_.Target("lib.dll").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(+run_.Entry(0)->status, STATUS_REPLACED);
}

class LockedTarget : public ReplacingFiles {
 protected:
  void Lock(const std::vector<uint8_t>& bytes) {
    directory_.MakeDirectories("target");
    FILE* file = std::fopen(run_.Target("lib.dll").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    locker_.reset(new FileLocker(run_.Target("lib.dll")));
    ASSERT_TRUE(locker_->Locked());
  }

 public:
  std::unique_ptr<FileLocker> locker_;  // reset when the user frees the file
};

TEST_F(ReplacingFiles, IdenticalTargetInUseIsPassedAsReplacedWithoutAQuestion) {
  // In use as a loaded program is: readable by others, but not to be deleted.
  directory_.MakeDirectories("target");
  const std::vector<uint8_t> same = Content(3000, 40);
  FILE* file = std::fopen(run_.Target("lib.dll").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(same.data(), 1, same.size(), file);
  std::fclose(file);
  // Marks the old file: a file put in its place would not carry the mark.
  SetFileAttributesA(run_.Target("lib.dll").c_str(), FILE_ATTRIBUTE_HIDDEN);
  HANDLE inUse = CreateFileA(run_.Target("lib.dll").c_str(), GENERIC_READ, FILE_SHARE_READ,
                             nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
  run_.Load({Input("lib.dll", same)});
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_TRUE(run_.asked.empty());
  EXPECT_EQ(+run_.Entry(0)->status, STATUS_REPLACED);
  EXPECT_TRUE(TemporaryFiles(run_.Target("")).empty());
  EXPECT_NE(GetFileAttributesA(run_.Target("lib.dll").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  CloseHandle(inUse);
}

TEST_F(LockedTarget, AbortEndsTheRunWithError22) {
  Lock(Content(100, 43));
  run_.Load({Input("lib.dll", Content(3000, 40)), Input("next.txt", Content(5, 1))});
  run_.answers = {IDABORT};
  EXPECT_EQ(run_.RunAll(), INSTALL_ERROR_NOT_PLACED);
  EXPECT_EQ(run_.asked, (std::vector<uint32_t>{CANNOT_REPLACE}));
  EXPECT_FALSE(Exists(run_.Target("next.txt")));
  EXPECT_TRUE(TemporaryFiles(run_.Target("")).empty());
  locker_.reset();
  EXPECT_EQ(ReadBytes(run_.Target("lib.dll")), Content(100, 43));
}

TEST_F(LockedTarget, IgnoreKeepsTheOldFileAsTheUsersNotAsInstalled) {
  Lock(Content(100, 43));
  run_.Load({Input("lib.dll", Content(3000, 40))});
  run_.answers = {IDIGNORE};
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(+run_.Entry(0)->status, STATUS_NONE);  // so it is not listed for removal
  EXPECT_TRUE(TemporaryFiles(run_.Target("")).empty());
  locker_.reset();
  EXPECT_EQ(ReadBytes(run_.Target("lib.dll")), Content(100, 43));
}

LockedTarget* lockedTest = nullptr;

TEST_F(LockedTarget, RetryTriesAgainOnceTheFileIsFree) {
  Lock(Content(100, 43));
  run_.Load({Input("lib.dll", Content(3000, 40))});
  run_.answers = {IDRETRY};
  lockedTest = this;
  run_.beforeAnswer = [](InstallRun&) { lockedTest->locker_.reset(); };  // the user closes it
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(run_.asked.size(), 1u);
  EXPECT_EQ(ReadBytes(run_.Target("lib.dll")), Content(3000, 40));
  EXPECT_EQ(+run_.Entry(0)->status, STATUS_REPLACED);
}

// The old file may be deleted by others (as an open log is), so a delete would succeed;
// the new one cannot take its name while it is open: the old one stays under it.
TEST_F(ReplacingFiles, ReplaceThatCannotPutTheNewFileInPlaceLeavesTheOld) {
  directory_.MakeDirectories("target");
  const std::vector<uint8_t> old = Content(100, 44);
  FILE* file = std::fopen(run_.Target("lib.dll").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(old.data(), 1, old.size(), file);
  std::fclose(file);
  HANDLE open = CreateFileA(run_.Target("lib.dll").c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  run_.Load({Input("lib.dll", Content(3000, 40))});
  run_.answers = {IDABORT};
  run_.RunAll();
  CloseHandle(open);
  EXPECT_EQ(ReadBytes(run_.Target("lib.dll")), old);
  EXPECT_TRUE(TemporaryFiles(run_.Target("")).empty());
}

// The replacing move of a system without one: the old file aside, the new one in, the old
// one gone; a file held by another program is not moved at all.
TEST_F(ReplacingFiles, MovingAsideReplacesAndLeavesNothingBeside) {
  directory_.MakeDirectories("target");
  const std::string target = run_.Target("lib.dll"), temporary = run_.Target("lib.$$A");
  for (const auto& name : {target, temporary}) {
    FILE* file = std::fopen(name.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(name == target ? "old" : "new", file);
    std::fclose(file);
  }
  CopyPath(TargetPath, target.c_str());
  DWORD error = 0;
  {
    FileLocker locker(target);
    ASSERT_TRUE(locker.Locked());
    EXPECT_FALSE(ReplaceByMovingAside(temporary.c_str(), &error));
    EXPECT_NE(error, 0u);  // Windows 95, where this runs, says access denied
    EXPECT_EQ(TemporaryFiles(run_.Target("")), std::vector<std::string>{"lib.$$A"});
  }
  EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_TRUE(ReplaceByMovingAside(temporary.c_str(), &error));
  EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'n', 'e', 'w'}));
  EXPECT_TRUE(TemporaryFiles(run_.Target("")).empty());
}

}  // namespace
