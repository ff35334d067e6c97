// Lodrun Demo: the small program that the demo setup installs. Its window says where it came
// from and shows the greeting of the shared library. "/mark PATH" only writes a file at PATH
// and exits 0, so that a test can see that a setup started it.
#include <windows.h>

namespace {

const char WINDOW_CLASS[] = "LodrunDemoWindow";
const char WINDOW_TITLE[] = "Lodrun Demo";
const char SHARED_LIBRARY[] = "lodrun_demo_shared.dll";
const char MARK_SWITCH[] = "/mark";
const char MARK_TEXT[] = "Lodrun Demo was started.\r\n";
const int EXIT_OK = 0;
const int EXIT_FAILED = 1;
const int MARGIN = 12;

typedef const char*(__cdecl* GreetingFunction)();

char WindowText[512];

const char* SkipSpaces(const char* text) {
  while (*text == ' ' || *text == '\t') ++text;
  return text;
}

// The argument after "/mark" (quotes removed), or nullptr when the command line has no "/mark".
// Writes into path, which holds MAX_PATH characters.
const char* MarkPath(const char* commandLine, char* path) {
  const char* text = SkipSpaces(commandLine);
  // Character by character, so that a shorter command line is never read past its end.
  for (const char* expected = MARK_SWITCH; *expected; ++expected, ++text) {
    char c = *text;
    if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
    if (c != *expected) return nullptr;
  }
  if (*text != ' ' && *text != '\t') return nullptr;
  text = SkipSpaces(text);
  char end = ' ';
  if (*text == '"') {
    end = '"';
    ++text;
  }
  int count = 0;
  while (text[count] && text[count] != end && count < MAX_PATH - 1) {
    path[count] = text[count];
    ++count;
  }
  path[count] = '\0';
  return count ? path : nullptr;
}

bool WriteMark(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL wrote = WriteFile(file, MARK_TEXT, sizeof(MARK_TEXT) - 1, &written, nullptr);
  CloseHandle(file);
  return wrote && written == sizeof(MARK_TEXT) - 1;
}

// The window's text, with the library's greeting or, when the library is missing, a note.
void ComposeText() {
  const char* greeting = nullptr;
  HMODULE library = LoadLibraryA(SHARED_LIBRARY);
  if (library) {
    GreetingFunction function = reinterpret_cast<GreetingFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "DemoGreeting")));
    if (function) greeting = function();
  }
  if (greeting)
    wsprintfA(WindowText, "Lodrun Demo was installed by a lodrun setup.\r\n\r\n%.300s", greeting);
  else
    wsprintfA(WindowText,
              "Lodrun Demo was installed by a lodrun setup.\r\n\r\n"
              "Its shared library %s was not found, so there is no greeting.",
              SHARED_LIBRARY);
  // The text was copied: the library is no longer needed.
  if (library) FreeLibrary(library);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT area;
      GetClientRect(window, &area);
      InflateRect(&area, -MARGIN, -MARGIN);
      HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      DrawTextA(dc, WindowText, -1, &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
      SelectObject(dc, oldFont);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(EXIT_OK);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  char path[MAX_PATH];
  if (MarkPath(commandLine, path)) return WriteMark(path) ? EXIT_OK : EXIT_FAILED;

  ComposeText();
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;  // the text wraps to the new width
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "LODRUN_DEMO");
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = WINDOW_CLASS;
  if (!RegisterClassA(&windowClass)) return EXIT_FAILED;
  HWND window = CreateWindowA(WINDOW_CLASS, WINDOW_TITLE, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 420, 180, nullptr, nullptr, instance, nullptr);
  if (!window) return EXIT_FAILED;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
