// What a build tells as it goes: on a terminal a progress line rewritten in place with the
// current file, the bytes done of all and the time left; off one only the result line;
// quiet nothing; verbose a line per file. Unit by unit, then the tool on a pipe and a pty.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>

#include "builder/io/code_page.h"
#include "builder/tool/build_progress.h"
#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

// What a BuildProgress wrote, through a memory stream.
class Written {
 public:
  Written() : file(open_memstream(&buffer, &size)) {}
  ~Written() {
    if (file != nullptr) std::fclose(file);
    std::free(buffer);
  }
  std::string Text() {
    std::fflush(file);
    return std::string(buffer, size);
  }
  FILE* file;

 private:
  char* buffer = nullptr;
  size_t size = 0;
};

TEST(BuildProgress, LineTellsFilesBytesAndTimeLeftAtThePaceSoFar) {
  EXPECT_EQ(ProgressText(3, 10, 1500000, 3000000, 2.0, "app.exe", 79), "3/10 files, 1.5 of 3.0 MB, 0:02 left: app.exe");
  EXPECT_EQ(ProgressText(0, 10, 0, 3000000, 0.5, "a", 79), "0/10 files, 0.0 of 3.0 MB, -:-- left: a");
  const std::string cut = ProgressText(1, 2, 1, 2, 1.0, std::string(100, 'n') + "\\tail.exe", 60);
  EXPECT_EQ(Utf8Length(cut), 60u);
  EXPECT_EQ(cut.substr(cut.size() - 9), "\\tail.exe");
  EXPECT_NE(cut.find(": ..."), std::string::npos) << cut;
}

TEST(BuildProgress, TimeIsRoundedUpToSecondsAndHoursShowWhenThereAreAny) {
  EXPECT_EQ(TimeText(0.2), "0:01");
  EXPECT_EQ(TimeText(59.5), "1:00");
  EXPECT_EQ(TimeText(3723), "1:02:03");
  EXPECT_EQ(TimeText(-1), "-:--");
}

// What a build of two files (the first named first) tells, on a terminal or off one.
std::string TwoFilesTold(bool terminal, const std::string& first) {
  Written out;
  BuildProgress progress(out.file, terminal, Verbosity::NORMAL, 2, 10);
  progress.FileDone(1, first, 4, 3);
  progress.FileDone(2, "b.txt", 6, 5);
  progress.Finish("wrote setup.exe");
  return out.Text();
}

TEST(BuildProgress, OffATerminalOnlyTheResultLine) {
  EXPECT_EQ(TwoFilesTold(false, "a.txt"), "lodrun: wrote setup.exe\n");
}

TEST(BuildProgress, QuietTellsNothingAndVerboseALinePerFile) {
  Written quiet, verbose;
  BuildProgress silent(quiet.file, true, Verbosity::QUIET, 1, 4);
  silent.FileDone(1, "a.txt", 4, 2);
  silent.Finish("wrote setup.exe");
  EXPECT_EQ(quiet.Text(), "");
  BuildProgress told(verbose.file, false, Verbosity::VERBOSE, 1, 4);
  told.FileDone(1, "a.txt", 4, 2);
  told.Finish("wrote setup.exe");
  EXPECT_EQ(verbose.Text(), "lodrun: a.txt: 4 bytes packed into 2 (50.0%)\nlodrun: wrote setup.exe\n");
}

TEST(BuildProgress, OnATerminalTheLineIsRewrittenAndClearedForTheResult) {
  const std::string text = TwoFilesTold(true, "a-rather-long-name.txt");
  EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line: " << text;
  EXPECT_NE(text.find("\rlodrun: 1/2 files, 0.0 of 0.0 MB, "), std::string::npos) << text;
  EXPECT_NE(text.find(" left: a-rather-long-name.txt\r"), std::string::npos) << text;
  // The second line covers what the first had beyond it.
  const size_t second = text.find("\rlodrun: 2/2 files");
  ASSERT_NE(second, std::string::npos) << text;
  EXPECT_EQ(text.find('\r', second + 1) - second, text.find('\r', 1)) << text;
  EXPECT_EQ(text.substr(text.rfind('\r') + 1), "lodrun: wrote setup.exe\n");
}

class BuildTelling : public testing::Test {
 protected:
  BuildTelling() {
    folder.Write("files/a.txt", Content(20000, 1));
    folder.Write("files/b.txt", Content(20000, 2));
    folder.Write("setup.toml", "[[files]]\nsource = \"files/a.txt\"\n[[files]]\nsource = \"files/b.txt\"\n");
  }
  std::vector<std::string> Arguments(const std::string& more) {
    std::vector<std::string> arguments = {"build", folder.Path("setup.toml"), "--stub", folder.Path("stub.exe")};
    if (!more.empty()) arguments.push_back(more);
    return arguments;
  }
  ManifestFolder folder;
};

TEST_F(BuildTelling, OnAPipeQuietVerboseAndNeither) {
  const ToolRun plain = RunTool(Arguments(""));
  ASSERT_EQ(plain.code, 0) << plain.output;
  EXPECT_EQ(plain.output.rfind("lodrun: wrote ", 0), 0u) << plain.output;
  EXPECT_EQ(plain.output.find('\n'), plain.output.size() - 1) << plain.output;
  for (const char* quiet : {"-q", "--quiet"}) {
    const ToolRun run = RunTool(Arguments(quiet));
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.output, "") << quiet;
  }
  for (const char* verbose : {"-v", "--verbose"}) {
    const ToolRun run = RunTool(Arguments(verbose));
    EXPECT_EQ(run.output.rfind("lodrun: a.txt: 20000 bytes packed into ", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("\nlodrun: b.txt: 20000 bytes packed into "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\nlodrun: wrote "), std::string::npos) << run.output;
  }
}

TEST_F(BuildTelling, OnATerminalTheProgressLineShowsTheFileAndTheTimeLeft) {
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_NE(child, -1) << "no pseudo-terminal";
  if (child == 0) {
    const std::vector<std::string> arguments = Arguments("");
    std::vector<char*> argv = {const_cast<char*>(LODRUN_TOOL)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(LODRUN_TOOL, argv.data());
    _exit(127);
  }
  std::string output;
  char buffer[4096];
  for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) output.append(buffer, size_t(got));
  int status = 0;
  waitpid(child, &status, 0);
  close(terminal);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_NE(output.find("\rlodrun: 1/2 files, 0.0 of 0.0 MB, "), std::string::npos) << output;
  EXPECT_NE(output.find(" left: a.txt"), std::string::npos) << output;
  EXPECT_NE(output.find("\rlodrun: wrote "), std::string::npos) << output;
}

}  // namespace
