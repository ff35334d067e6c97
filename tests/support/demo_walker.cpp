// demo_walker SETUP [FOLDER]: walks a setup's wizard from the first page to the last as a user
// would (Next on every page, Yes to creating the new directory, Cancel on the closing page),
// saving a screenshot of every page as build/screenshots/FOLDER/<n>.bmp (FOLDER "demo" unless
// given), then lists the files in the directory that the directory page showed. Exits 0 when
// the setup went through all of its pages and ended with 0.
#include <windows.h>

#include <cstdio>
#include <string>

#include "resources/dialog_ids.h"
#include "support/wizard_driver.h"

using namespace test_setups;

namespace {

constexpr int MOST_PAGES = 10;           // the wizard has seven; the walk gives up beyond
constexpr DWORD PAGE_WAIT_MS = 60000;     // the progress page may take a while

constexpr DWORD QUICK_POLL_MS = 10;       // the progress page of a small setup shows briefly
constexpr DWORD PAINT_WAIT_MS = 120;      // time for a page that just appeared to paint

bool IsClosingPage(HWND page) { return page != nullptr && GetDlgItem(page, ID_WEB_BUTTON) != nullptr; }

// Waits for a page other than `shown` in the frame, answering Yes to each question asked
// meanwhile (such as whether to create the new directory).
HWND NextPage(const RunningSetup& setup, HWND shown) {
  for (DWORD waited = 0; waited < PAGE_WAIT_MS; waited += QUICK_POLL_MS) {
    const HWND page = CurrentPageOf(setup.frame);
    if (page != nullptr && page != shown) return page;
    if (WaitForMessageBox(setup.process, 0) != nullptr) {
      std::printf("demo_walker:   asked \"%s\": Yes\n", AnswerMessageBox(setup.process, IDYES).c_str());
    }
    Sleep(QUICK_POLL_MS);
  }
  return nullptr;
}

// Prints every file below folder with its size, one per line.
void ListFiles(const std::string& folder) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ListFiles(folder + "\\" + name);
    } else {
      std::printf("demo_walker:   %s\\%s (%lu bytes)\n", folder.c_str(), name.c_str(), found.nFileSizeLow);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// A setup that cannot load tells the user in a box; what it said, and its exit code.
int ReadRefusal(const char* path) {
  Process program = StartProgram(path);
  if (program.handle == nullptr) return 1;
  const std::string text = AnswerMessageBox(program, IDOK);
  std::printf("demo_walker: it said \"%s\"\n", text.c_str());
  return int(FinishProgram(program));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--refusal") return ReadRefusal(argv[2]);
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: demo_walker SETUP [SCREENSHOT-FOLDER] | demo_walker --refusal SETUP\n");
    return 2;
  }
  const std::string folder = argc == 3 ? argv[2] : "demo";
  RunningSetup setup;
  if (!StartSetup(argv[1], &setup)) {
    std::printf("demo_walker: the setup showed no page\n");
    return 1;
  }
  HWND page = CurrentPageOf(setup.frame);
  int pages = 0;
  std::string directory;  // as the directory page shows it
  for (; page != nullptr && pages < MOST_PAGES; ++pages) {
    const std::string name = folder + "/" + std::to_string(pages);
    if (GetDlgItem(page, ID_PROGRESS_GROUP) != nullptr) {
      Sleep(PAINT_WAIT_MS);
      Capture::OfWindowAsShown(setup.mainWindow).Save(name);
    } else {
      Capture::OfWindow(setup.mainWindow).Save(name);
    }
    std::printf("demo_walker: page %d \"%s\" (%s.png)\n", pages, TextOf(setup.mainWindow).c_str(),
                name.c_str());
    if (IsClosingPage(page)) {
      Click(setup.frame, ID_CANCEL);
      break;
    }
    if (GetDlgItem(page, ID_DIRECTORY_EDIT) != nullptr) directory = ControlText(page, ID_DIRECTORY_EDIT);
    // The progress page moves on by itself once the files are installed.
    if (GetDlgItem(page, ID_PROGRESS_GROUP) == nullptr) Click(setup.frame, ID_NEXT);
    page = NextPage(setup, page);
  }
  const DWORD code = FinishProgram(setup.process);
  std::printf("demo_walker: %d pages, the setup ended with %lu\n", pages + 1, code);
  if (!directory.empty()) {
    std::printf("demo_walker: installed into %s:\n", directory.c_str());
    ListFiles(directory);
  }
  return code == 0 && page != nullptr ? 0 : 1;
}
