// The wizard driver.
#include "support/wizard_driver.h"

#include <cstdio>
#include <stdexcept>

namespace test_setups {

namespace {

constexpr UINT SEND_TIMEOUT_MS = 2000;
constexpr int MESSAGE_TEXT_ID = 0xFFFF;  // the text of a message box is this static
// Painting under Wine + Xvfb lags behind the messages: settle before reading the screen.
constexpr DWORD SETTLE_MS = 300;

struct BoxSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[16];
  if (owner == search->processId && IsWindowVisible(window) &&
      GetClassNameA(window, className, sizeof className) && lstrcmpA(className, "#32770") == 0 &&
      GetDlgItem(window, MESSAGE_TEXT_ID) != nullptr) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindMessageBox(const Process& process) {
  BoxSearch search = {process.id, nullptr};
  EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Settle(HWND window) {
  HWND top = GetAncestor(window, GA_ROOT);
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  DWORD_PTR ignored;
  SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &ignored);
  Sleep(SETTLE_MS);
}

std::string ScreenshotDirectory() {
  std::string directory = LODRUN_SCREENSHOT_DIR;
  CreateDirectoryA(directory.c_str(), nullptr);
  return directory + "/";
}

}  // namespace

bool StartSetup(const std::string& path, RunningSetup* setup, const std::string& arguments) {
  setup->process = StartProgram(path, arguments);
  if (setup->process.handle == nullptr) return false;
  setup->mainWindow = WaitForMainWindow(setup->process);
  if (setup->mainWindow != nullptr) setup->frame = WaitForFrameWithPage(setup->mainWindow);
  if (setup->frame != nullptr) return true;
  FinishProgram(setup->process, 0);
  return false;
}

DWORD CloseWizard(RunningSetup& setup) {
  constexpr int PAGES_TO_CLOSE = 2;  // the page showing, then the closing page
  constexpr DWORD PAGE_CLOSE_MS = 3000;
  for (int i = 0; i < PAGES_TO_CLOSE && setup.process.handle != nullptr; ++i) {
    PostMessageA(setup.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (WaitForSingleObject(setup.process.handle, PAGE_CLOSE_MS) == WAIT_OBJECT_0) break;
  }
  return FinishProgram(setup.process);
}

HWND CurrentPageOf(HWND frame) { return FindWindowExA(frame, nullptr, "#32770", nullptr); }

std::string TextOf(HWND window) {
  char text[1024] = "";
  DWORD_PTR ignored;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &ignored);
  return text;
}

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr ? TextOf(control) : std::string();
}

bool WaitForText(HWND window, const std::string& text, DWORD timeoutMs) {
  return WaitUntil([&] { return TextOf(window) == text; }, timeoutMs);
}

void Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PressEnter(HWND window) {
  PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PostMessageA(window, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

HWND WaitForMessageBox(const Process& process, DWORD timeoutMs) {
  HWND box = nullptr;
  WaitUntil([&] {
    box = FindMessageBox(process);
    return box != nullptr || WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0;
  }, timeoutMs);
  return box;
}

std::string MessageBoxText(HWND box) { return ControlText(box, MESSAGE_TEXT_ID); }

std::string AnswerMessageBox(const Process& process, int button) {
  HWND box = WaitForMessageBox(process);
  if (box == nullptr) return "(no box)";
  const std::string text = MessageBoxText(box);
  Click(box, button);
  // This box closes; the next one (a notice after a question) may open at once.
  WaitUntil([&] { return !IsWindow(box); });
  return text;
}

bool WaitForNoMessageBox(const Process& process, DWORD timeoutMs) {
  return WaitUntil([&] { return FindMessageBox(process) == nullptr; }, timeoutMs);
}

Capture Capture::OfWindow(HWND window) {
  Settle(window);
  RECT rect;
  GetWindowRect(window, &rect);
  return OfScreenRect(rect);
}

Capture Capture::OfWindowAsShown(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return OfScreenRect(rect);
}

Capture Capture::OfClient(HWND window) {
  Settle(window);
  RECT rect;
  GetClientRect(window, &rect);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return OfScreenRect(rect);
}

Capture Capture::OfScreenRect(const RECT& rect) {
  HDC screen = GetDC(nullptr);
  Capture capture = FromDc(screen, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top);
  ReleaseDC(nullptr, screen);
  return capture;
}

Capture Capture::OfPainting(int width, int height, const std::function<void(HDC)>& paint) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  paint(memory);
  Capture capture = FromDc(memory, 0, 0, width, height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

Capture Capture::FromDc(HDC source, int left, int top, int width, int height) {
  Capture capture;
  if (width <= 0 || height <= 0) return capture;
  capture.width_ = width;
  capture.height_ = height;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
  GdiFlush();
  const int stride = (width * 3 + 3) & ~3;
  const uint8_t* rows = static_cast<const uint8_t*>(bits);
  capture.bgr_.resize(size_t(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    std::copy(rows + size_t(y) * stride, rows + size_t(y) * stride + width * 3,
              capture.bgr_.begin() + size_t(y) * width * 3);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return capture;
}

COLORREF Capture::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) throw std::out_of_range("pixel outside the capture");
  const uint8_t* p = &bgr_[(size_t(y) * width_ + x) * 3];
  return RGB(p[2], p[1], p[0]);
}

void Capture::Save(const std::string& name) const {
  const std::string path = ScreenshotDirectory() + name + ".bmp";
  const int stride = (width_ * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width_;
  header.biHeight = -height_;
  header.biPlanes = 1;
  header.biBitCount = 24;
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + DWORD(stride) * height_;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) throw std::runtime_error("cannot write " + path);
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&header, sizeof header, 1, out);
  std::vector<uint8_t> row(stride, 0);
  for (int y = 0; y < height_; ++y) {
    std::copy(bgr_.begin() + size_t(y) * width_ * 3, bgr_.begin() + size_t(y + 1) * width_ * 3,
              row.begin());
    std::fwrite(row.data(), 1, row.size(), out);
  }
  std::fclose(out);
}

}  // namespace test_setups
