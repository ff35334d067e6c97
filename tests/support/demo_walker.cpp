// demo_walker [--welcome-line HEX] SETUP [FOLDER]: walks a setup's wizard from the first page
// to the last as a user would (Next on every page, Yes to creating the new directory, Cancel
// on the closing page), saving a screenshot of every page as build/screenshots/FOLDER/<n>.bmp
// (FOLDER "demo" unless given), then lists the files in the directory that the directory page
// showed. With --welcome-line, the welcome page's first line must show the text whose UTF-8
// bytes HEX gives. Exits 0 when the setup went through all of its pages and ended with 0.
// For the install-time benchmark: --timed SETUP walks it the same way without screenshots and
// prints the milliseconds from its start until the page after the progress page showed (every
// file in place); --timed-silent PROGRAM ARGUMENTS runs another setup and prints the
// milliseconds until it ended.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "builder/win32/dialog_template.h"
#include "resources/dialog_ids.h"
#include "support/wizard_driver.h"

using namespace test_setups;

namespace {

constexpr int MOST_PAGES = 10;           // the wizard has seven; the walk gives up beyond
constexpr DWORD PAGE_WAIT_MS = 60000;     // the progress page may take a while

constexpr DWORD QUICK_POLL_MS = 10;       // the progress page of a small setup shows briefly
constexpr DWORD PAINT_WAIT_MS = 120;      // time for a page that just appeared to paint

// The closing page is the one page with a hidden control 1005, its caption (the directory
// page's Browse button has the number too, and shows; the closing page's web button is there
// only when the setup names a web address).
bool IsClosingPage(HWND page) {
  const HWND caption = page != nullptr ? GetDlgItem(page, ID_CLOSING_CAPTION) : nullptr;
  // Its own style, not IsWindowVisible: a page not shown yet hides all of its controls.
  return caption != nullptr && (GetWindowLongA(caption, GWL_STYLE) & WS_VISIBLE) == 0;
}

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

std::wstring Wide(const std::string& text, UINT codePage) {
  std::wstring wide(text.size() + 1, L'\0');
  wide.resize(size_t(MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &wide[0], int(wide.size()))));
  return wide;
}

// The text's width in the pages' font: the templates' face and size at normal weight, made
// here, since the setup's own font handle means nothing in this process.
int TextWidth(const std::wstring& text) {
  const HDC dc = GetDC(nullptr);
  const HFONT font = CreateFontA(-MulDiv(DIALOG_FONT_POINTS, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                                 FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH, DIALOG_FONT_FACE);
  const HGDIOBJ old = SelectObject(dc, font);
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

// The welcome page's first line shows utf8 as written: its text read back as UTF-16 is the
// text, and its ink on screen is as wide as the text in the control's font, not as wide as
// the UTF-8 bytes shown one character each (the mojibake of a setup written without its
// code page).
bool ShowsWelcomeLine(HWND page, const std::string& hex, const std::string& folder) {
  std::string utf8;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) utf8 += char(std::stoi(hex.substr(i, 2), nullptr, 16));
  const std::wstring expected = Wide(utf8, CP_UTF8), mojibake = Wide(utf8, CP_ACP);
  const HWND line = GetDlgItem(page, ID_PAGE_TEXT_1);
  wchar_t shown[256] = {};
  // Read until it is the text (a cross-process read may come before the page has set it).
  for (DWORD waited = 0; waited < WINDOW_TIMEOUT_MS && expected != shown; waited += QUICK_POLL_MS) {
    GetWindowTextW(line, shown, 256);
    Sleep(QUICK_POLL_MS);
  }
  const int expectedWidth = TextWidth(expected), mojibakeWidth = TextWidth(mojibake);
  const Capture capture = Capture::OfClient(line);
  capture.Save(std::string(folder) + "/welcome-line");
  const COLORREF background = capture.Pixel(capture.Width() - 1, capture.Height() - 1);
  // The line may be centred: its ink spans from the first column that is not background to
  // the last.
  int first = capture.Width(), last = -1;
  for (int x = 0; x < capture.Width(); ++x) {
    for (int y = 0; y < capture.Height(); ++y) {
      if (capture.Pixel(x, y) == background) continue;
      first = std::min(first, x);
      last = x;
    }
  }
  const int ink = last - first + 1;
  std::printf("demo_walker: welcome line %s; ink %d px wide, the text %d px, its mojibake %d px (code page %u)\n",
              expected == shown ? "as written" : "NOT as written", ink, expectedWidth, mojibakeWidth, GetACP());
  return expected == shown && std::abs(ink - expectedWidth) <= 3 && std::abs(ink - mojibakeWidth) > 3;
}

// The --timed-silent run: PROGRAM with ARGUMENTS from its start to its end.
int TimeSilentRun(const char* path, const char* arguments) {
  const DWORD start = GetTickCount();
  Process program = StartProgram(path, arguments);
  if (program.handle == nullptr) return 1;
  const DWORD code = FinishProgram(program);
  std::printf("demo_walker: ran in %lu ms, exit code %lu\n", GetTickCount() - start, code);
  return int(code);
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
  if (argc == 4 && std::string(argv[1]) == "--timed-silent") return TimeSilentRun(argv[2], argv[3]);
  const DWORD start = GetTickCount();
  const bool timed = argc == 3 && std::string(argv[1]) == "--timed";
  if (timed) {
    --argc;
    ++argv;
  }
  std::string welcomeLine;
  if (argc >= 3 && std::string(argv[1]) == "--welcome-line") {
    welcomeLine = argv[2];
    argc -= 2;
    argv += 2;
  }
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: demo_walker [--welcome-line HEX] SETUP [SCREENSHOT-FOLDER] | "
                         "demo_walker --refusal SETUP | demo_walker --timed SETUP | "
                         "demo_walker --timed-silent PROGRAM ARGUMENTS\n");
    return 2;
  }
  const std::string folder = argc == 3 ? argv[2] : "demo";
  RunningSetup setup;
  if (!StartSetup(argv[1], &setup)) {
    std::printf("demo_walker: the setup showed no page\n");
    return 1;
  }
  HWND page = CurrentPageOf(setup.frame);
  if (!welcomeLine.empty() && !ShowsWelcomeLine(page, welcomeLine, folder)) {
    CloseWizard(setup);
    return 1;
  }
  int pages = 0;
  std::string directory;  // as the directory page shows it
  for (; page != nullptr && pages < MOST_PAGES; ++pages) {
    const std::string name = folder + "/" + std::to_string(pages);
    const bool progress = GetDlgItem(page, ID_PROGRESS_GROUP) != nullptr;
    if (timed) {
      std::printf("demo_walker: page %d shown at %lu ms\n", pages, GetTickCount() - start);
      if (progress) {
        page = NextPage(setup, page);
        std::printf("demo_walker: installed in %lu ms\n", GetTickCount() - start);
        continue;
      }
    } else if (progress) {
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
    // The progress page moves on by itself once the files are installed (by now it may be
    // gone, so that asking it again would find no bar and click Next on the page after it).
    if (!progress) Click(setup.frame, ID_NEXT);
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
