// Driving a running setup's wizard from a test, as a user would: wait for its windows, read
// their texts, click by posting commands (never a blocking send: a click may open a modal
// box), answer its message boxes, and capture the screen to read pixels and keep screenshots.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/test_setups.h"

namespace test_setups {

// A setup started and showing its first page.
struct RunningSetup {
  Process process;
  HWND mainWindow = nullptr;
  HWND frame = nullptr;
};

// Starts the setup at path and waits for its main window and a page in the frame; false
// (with the process ended) when they did not appear.
bool StartSetup(const std::string& path, RunningSetup* setup, const std::string& arguments = "");
// Closes the wizard as a user closing its window would, page after page (the current page
// ends as cancelled, then the closing page), and returns the process's exit code.
DWORD CloseWizard(RunningSetup& setup);

// The page shown in the frame (the frame's dialog child), or null.
HWND CurrentPageOf(HWND frame);

// A window's text, read with a bounded send.
std::string TextOf(HWND window);
std::string ControlText(HWND dialog, int id);

// Waits until the window's text is `text`; false on timeout.
bool WaitForText(HWND window, const std::string& text, DWORD timeoutMs = WINDOW_TIMEOUT_MS);

// Presses a button of a dialog: a posted WM_COMMAND, as the button itself sends it.
void Click(HWND dialog, int id);

// Presses Enter in the window: the dialog managers of the setup's loop turn it into the
// default button's command.
void PressEnter(HWND window);

// A message box of the process (a visible top-level dialog with a message text), or null
// when none appeared in time.
HWND WaitForMessageBox(const Process& process, DWORD timeoutMs = WINDOW_TIMEOUT_MS);
std::string MessageBoxText(HWND box);
// Waits for the process's message box, presses button on it and waits until it has gone;
// the box's text, or "(no box)".
std::string AnswerMessageBox(const Process& process, int button);
// Waits until no message box of the process is open.
bool WaitForNoMessageBox(const Process& process, DWORD timeoutMs = WINDOW_TIMEOUT_MS);

// Pixels of a part of the screen, 24 bits, row 0 at the top.
class Capture {
 public:
  // The window's whole rectangle once it has painted.
  static Capture OfWindow(HWND window);
  // The window's rectangle as it is on screen now, without waiting for it to settle: for a
  // page that shows only briefly, such as the progress page of a small setup.
  static Capture OfWindowAsShown(HWND window);
  // The client area of the window.
  static Capture OfClient(HWND window);
  // What paint draws into a bitmap of the screen's format: the reference for a check on
  // what the display driver makes of GDI calls (it dithers solid colours on 8-bit displays).
  static Capture OfPainting(int width, int height, const std::function<void(HDC)>& paint);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The pixel at (x, y) of the captured area; (0, 0) is its top-left corner.
  COLORREF Pixel(int x, int y) const;
  // Writes the capture as build/screenshots/<name>.bmp (turned into a PNG after the run).
  void Save(const std::string& name) const;

 private:
  static Capture OfScreenRect(const RECT& rect);
  static Capture FromDc(HDC source, int left, int top, int width, int height);
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> bgr_;
};

}  // namespace test_setups
