// demo_walker SETUP: walks a setup's wizard from the first page to the last as a user would
// (Next on every page, Yes to creating the new directory, Cancel on the closing page), saving
// a screenshot of every page as build/screenshots/demo-<n>.bmp. Exits 0 when the setup went
// through all of its pages and ended with 0.
#include <windows.h>

#include <cstdio>
#include <string>

#include "resources/dialog_ids.h"
#include "support/wizard_driver.h"

using namespace test_setups;

namespace {

constexpr int MOST_PAGES = 10;           // the wizard has seven; the walk gives up beyond
constexpr DWORD QUESTION_WAIT_MS = 1500;  // a question that follows Next comes within this
constexpr DWORD PAGE_WAIT_MS = 60000;     // the progress page may take a while

bool IsClosingPage(HWND page) { return page != nullptr && GetDlgItem(page, ID_WEB_BUTTON) != nullptr; }

// Waits for a page other than `shown` in the frame.
HWND NextPage(HWND frame, HWND shown) {
  HWND page = nullptr;
  WaitUntil([&] {
    page = CurrentPageOf(frame);
    return page != nullptr && page != shown;
  }, PAGE_WAIT_MS);
  return page != shown ? page : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_walker SETUP\n");
    return 2;
  }
  RunningSetup setup;
  if (!StartSetup(argv[1], &setup)) {
    std::printf("demo_walker: the setup showed no page\n");
    return 1;
  }
  HWND page = CurrentPageOf(setup.frame);
  int pages = 0;
  for (; page != nullptr && pages < MOST_PAGES; ++pages) {
    const std::string name = "demo-" + std::to_string(pages);
    Capture::OfWindow(setup.mainWindow).Save(name);
    std::printf("demo_walker: page %d \"%s\" (%s.png)\n", pages, TextOf(setup.mainWindow).c_str(),
                name.c_str());
    if (IsClosingPage(page)) {
      Click(setup.frame, ID_CANCEL);
      break;
    }
    Click(setup.frame, ID_NEXT);
    if (WaitForMessageBox(setup.process, QUESTION_WAIT_MS) != nullptr) {
      std::printf("demo_walker:   asked \"%s\": Yes\n",
                  AnswerMessageBox(setup.process, IDYES).c_str());
    }
    page = NextPage(setup.frame, page);
  }
  const DWORD code = FinishProgram(setup.process);
  std::printf("demo_walker: %d pages, the setup ended with %lu\n", pages + 1, code);
  return code == 0 && page != nullptr ? 0 : 1;
}
