// The file installation step on real files: progress, temporary names, failures that leave
// nothing half-written, external files, the order of the data area.
#include <gtest/gtest.h>

#include "engine/file_table.h"
#include "engine/replace_target.h"
#include "install_run.h"

using namespace engine_test;

namespace {

class InstallFile : public testing::Test {
 protected:
  EngineSession session_;
  ScratchDirectory directory_{"install"};
  InstallRun run_{directory_};
};

TEST_F(InstallFile, ThreeFilesAreWrittenWithProgressAfterEachStep) {
  run_.Load({Input("readme.txt", Content(100, 1)), Input("Help\\guide.hlp", Content(70000, 2)),
             Input("LICENSE", Content(0, 3))});
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(run_.progress, (std::vector<uint32_t>{33, 66, 100}));
  EXPECT_EQ(ReadBytes(run_.Target("readme.txt")), Content(100, 1));
  EXPECT_EQ(ReadBytes(run_.Target("Help\\guide.hlp")), Content(70000, 2));
  EXPECT_TRUE(Exists(run_.Target("LICENSE")));
  EXPECT_EQ(run_.shownFiles.back(), run_.Target("LICENSE"));
  EXPECT_EQ(+run_.Entry(1)->status, STATUS_CREATED);
  EXPECT_TRUE(TemporaryFiles(run_.Target("")).empty());
  EXPECT_TRUE(TemporaryFiles(run_.Target("Help")).empty());
  EXPECT_EQ(run_.finished, 1);
}

TEST_F(InstallFile, ExistingFileIsReplacedAndCountedAsSuch) {
  directory_.MakeDirectories("target");
  directory_.MakeFile("target\\readme.txt", 5000);
  run_.Load({Input("readme.txt", Content(10, 4))});
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(ReadBytes(run_.Target("readme.txt")), Content(10, 4));
  EXPECT_EQ(+run_.Entry(0)->status, STATUS_REPLACED);
}

TEST_F(InstallFile, TakenTemporaryNameIsPassedOverThenRemovedAsLeftByAStoppedRun) {
  directory_.MakeDirectories("target");
  directory_.MakeFile("target\\readme.$$A", 3);
  directory_.MakeFile("target\\readme.$$B", 3);
  directory_.MakeFile("target\\other.$$A", 3);  // not a name of this run's targets
  run_.Load({Input("readme.txt", Content(10, 5))});
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(ReadBytes(run_.Target("readme.txt")), Content(10, 5));
  EXPECT_EQ(TemporaryFiles(run_.Target("")), (std::vector<std::string>{"other.$$A"}));
}

TEST_F(InstallFile, EveryTemporaryNameTakenEndsTheRunWithError17) {
  directory_.MakeDirectories("target");
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    directory_.MakeFile(std::string("target\\LICENSE.$$") + letter, 1);
  }
  run_.Load({Input("LICENSE", Content(10, 6))});
  EXPECT_EQ(run_.RunAll(), INSTALL_ERROR_CREATE);
  EXPECT_FALSE(Exists(run_.Target("LICENSE")));
  EXPECT_EQ(TemporaryFiles(run_.Target("")).size(), 26u);  // none added, none taken away
}

TEST_F(InstallFile, CorruptStreamStopsTheRunWithError21AndLeavesNoTemporaryFile) {
  run_.CorruptStream(2, 20);  // a byte of the third file's stored content
  run_.Load({Input("one.txt", Content(300, 7)), Input("two.txt", Content(300, 8)),
             Input("three.txt", Content(300, 9))});
  EXPECT_EQ(run_.RunAll(), INSTALL_ERROR_CHECKSUM);
  EXPECT_EQ(std::string(ErrorPath), run_.Target("three.txt"));
  EXPECT_EQ(ReadBytes(run_.Target("one.txt")), Content(300, 7));
  EXPECT_EQ(ReadBytes(run_.Target("two.txt")), Content(300, 8));
  EXPECT_FALSE(Exists(run_.Target("three.txt")));
  EXPECT_TRUE(TemporaryFiles(run_.Target("")).empty());
  EXPECT_EQ(run_.progress, (std::vector<uint32_t>{33, 66}));
}

TEST_F(InstallFile, ExternalFileTakesItsRoleWithoutTouchingTheDataArea) {
  FileInput external = Input("Extras\\Video.avi", Content(50, 10));
  external.record.installMode = MODE_EXTERNAL;
  external.record.endAction = END_RUN;
  run_.Load({external, Input("after.txt", Content(500, 11))});
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(RunAtEndEntry, run_.Entry(0));
  EXPECT_EQ(run_.shownFiles[0], directory_.Sub("Extras\\Video.avi"));  // beside the setup
  EXPECT_FALSE(Exists(directory_.Sub("Extras")));
  EXPECT_EQ(ReadBytes(run_.Target("after.txt")), Content(500, 11));  // its stream came next
  RunAtEndEntry = nullptr;
}

TEST_F(InstallFile, OpenRoleIsTakenByItsFile) {
  FileInput document = Input("readme.txt", Content(10, 12));
  document.record.endAction = END_OPEN;
  run_.Load({Input("a.txt", Content(1, 1)), document});
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(OpenAtEndEntry, run_.Entry(1));
  OpenAtEndEntry = nullptr;
}

TEST_F(InstallFile, FixedStartPageLeavesTheWizardWhereItIs) {
  run_.Load({Input("a.txt", Content(1, 1))}, "", 4);
  EXPECT_EQ(run_.RunAll(), INSTALL_OK);
  EXPECT_EQ(run_.finished, 0);
}

TEST_F(InstallFile, RenameThatFailsLeavesTheFileNotPlacedAndNoTemporaryFile) {
  run_.Load({Input("a.txt", Content(1, 1))});
  const std::string temporary = directory_.MakeFile("moved.$$A", 4);
  CopyPath(TargetPath, directory_.Sub("no such directory\\a.txt").c_str());
  ReplaceTarget(run_.Entry(0), temporary.c_str());
  EXPECT_EQ(+run_.Entry(0)->status, STATUS_NOT_PLACED);
  EXPECT_FALSE(Exists(temporary));
}

}  // namespace
