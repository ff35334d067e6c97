// What the wizard paints, read back from the screen: the wizard picture centred in its area
// with a sunken edge, the separator, the tiled background picture, the dithered gradient on
// a true-colour display, and the title in white over its black shadow.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "resources/dialog_ids.h"
#include "support/wizard_driver.h"
#include "support/wizard_setups.h"

using namespace test_setups;

namespace {

constexpr uint32_t PICTURE_RED = 0xC82828;
constexpr uint32_t TILE_FILL = 0x208040;
constexpr uint32_t TILE_MARK = 0xFF0000;
constexpr int TILE_MARK_SIZE = 4;

// The level index of each pixel of the 8x8 gradient pattern, bottom row of the pattern
// first: an independent copy of the program's table.
constexpr uint8_t EXPECTED_DITHER[8][8] = {
    {0, 3, 1, 4, 2, 5, 3, 6}, {7, 4, 6, 3, 5, 2, 4, 1}, {2, 5, 3, 6, 4, 7, 5, 0},
    {1, 6, 0, 5, 7, 4, 6, 3}, {4, 7, 5, 0, 6, 1, 7, 2}, {3, 0, 2, 7, 1, 6, 0, 5},
    {6, 1, 7, 2, 0, 3, 1, 4}, {5, 2, 4, 1, 3, 0, 2, 7}};

COLORREF Rgb(uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// The blue of the gradient at row m of a client area of height h.
int Blue(long long m, long long h) { return int(255 - 255 * m * m / (h * h)); }

// A control's rectangle in the client coordinates of window.
RECT ControlRect(HWND dialog, int id, HWND window) {
  RECT rect = {};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class Painting : public testing::Test {
 protected:
  void Start(const WizardOptions& options) {
    const std::string path = WriteTestFile("painting.exe", WizardSetup(options));
    ASSERT_TRUE(StartSetup(path, &setup_));
  }
  void TearDown() override {
    if (setup_.process.handle != nullptr) EXPECT_EQ(CloseWizard(setup_), 0u);
  }
  WizardOptions FullScreen() {
    WizardOptions options;
    options.setupFlags |= SETUP_FLAG_FULL_SCREEN;
    return options;
  }
  // The frame's rectangle in the main window's client coordinates.
  RECT FrameRect() {
    RECT rect;
    GetWindowRect(setup_.frame, &rect);
    MapWindowPoints(nullptr, setup_.mainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  RunningSetup setup_;
};

TEST_F(Painting, WizardPictureIsCentredInItsAreaWithASunkenEdge) {
  WizardOptions options;
  options.wizardImage = Bitmap24(60, 100, [](int, int) { return PICTURE_RED; });
  Start(options);
  Capture frame = Capture::OfClient(setup_.frame);
  frame.Save("frame-windowed-picture");
  const RECT area = ControlRect(setup_.frame, ID_PICTURE_AREA, setup_.frame);
  const int x = area.left + (area.right - area.left - 60) / 2;
  const int y = area.top + (area.bottom - area.top - 100) / 2;
  EXPECT_EQ(frame.Pixel(x + 30, y + 50), Rgb(PICTURE_RED));
  EXPECT_EQ(frame.Pixel(x, y + 50), GetSysColor(COLOR_BTNSHADOW));         // left edge
  EXPECT_EQ(frame.Pixel(x + 30, y), GetSysColor(COLOR_BTNSHADOW));         // top edge
  EXPECT_EQ(frame.Pixel(x + 59, y + 50), GetSysColor(COLOR_BTNHIGHLIGHT)); // right edge
  EXPECT_EQ(frame.Pixel(x + 30, y + 99), GetSysColor(COLOR_BTNHIGHLIGHT)); // bottom edge
  EXPECT_EQ(frame.Pixel(x - 1, y + 50), GetSysColor(COLOR_BTNFACE));       // the area around
}

TEST_F(Painting, SeparatorIsAShadowLineOverAHighlightLine) {
  Start(WizardOptions());
  Capture frame = Capture::OfClient(setup_.frame);
  const RECT line = ControlRect(setup_.frame, ID_SEPARATOR, setup_.frame);
  ASSERT_GE(line.bottom - line.top, 2);
  const int middle = (line.left + line.right) / 2;
  EXPECT_EQ(frame.Pixel(middle, line.top), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(frame.Pixel(middle, line.bottom - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(Painting, BackgroundPictureIsTiledFromTheTopLeftCorner) {
  WizardOptions options = FullScreen();
  options.backgroundImage = Bitmap24(100, 80, [](int x, int y) {
    return x < TILE_MARK_SIZE && y < TILE_MARK_SIZE ? TILE_MARK : TILE_FILL;
  });
  Start(options);
  Capture client = Capture::OfClient(setup_.mainWindow);
  client.Save("background-tiled");
  const RECT frame = FrameRect();
  int marks = 0;
  int expected = 0;
  for (int y = 0; y < client.Height(); y += 80) {
    for (int x = 0; x < client.Width(); x += 100) {
      // The tile's mark (x, y) and its middle (x + 50, y + 40) are checked, outside the frame.
      const bool covered = x + 50 >= frame.left && x < frame.right &&
                           y + 40 >= frame.top && y < frame.bottom;
      if (covered || x + 50 >= client.Width() || y + 40 >= client.Height()) continue;
      ++expected;
      if (client.Pixel(x, y) == Rgb(TILE_MARK) && client.Pixel(x + 50, y + 40) == Rgb(TILE_FILL)) ++marks;
    }
  }
  const int columns = (client.Width() + 99) / 100;
  const int rows = (client.Height() + 79) / 80;
  EXPECT_EQ(columns, (GetSystemMetrics(SM_CXSCREEN) + 99) / 100);
  EXPECT_GT(expected, columns);  // more than a row of tiles is in view
  EXPECT_EQ(marks, expected) << columns << " x " << rows << " tiles";
  // The last column and row are cut by the window's edge, not left out.
  EXPECT_EQ(client.Pixel(client.Width() - 1, client.Height() - 1), Rgb(TILE_FILL));
}

TEST_F(Painting, GradientBandsFollowTheDitherPatternOnATrueColourDisplay) {
  Start(FullScreen());
  Capture client = Capture::OfClient(setup_.mainWindow);
  client.Save("background-gradient");
  const int h = client.Height();
  const int columns = std::min<int>(16, FrameRect().left);
  ASSERT_GE(columns, 8) << "the frame covers the left edge";
  int wrong = 0;
  for (int y = 0; y < h; ++y) {
    const int band = y - y % 8;
    const int patternRow = 7 - y % 8;  // the pattern is bottom-up
    for (int x = 0; x < columns; ++x) {
      const int level = EXPECTED_DITHER[patternRow][x % 8];
      const int blue = Blue(std::min(h, band + 8 * level), h);
      if (client.Pixel(x, y) != RGB(0, 0, blue) && ++wrong <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << client.Pixel(x, y)
                      << ", expected blue " << std::dec << blue;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(client.Pixel(0, 7), RGB(0, 0, 255));  // row 7, column 0: level 0, row 0 of the band
}

TEST_F(Painting, TitleIsWhiteOverItsBlackShadowFourPixelsFurther) {
  WizardOptions options = FullScreen();
  options.backgroundTitle = "Lodrun";
  Start(options);
  Capture client = Capture::OfClient(setup_.mainWindow);
  client.Save("background-title");
  int black = 0;
  int white = 0;
  int shadowsUnderWhite = 0;
  const int right = std::min<int>(client.Width(), FrameRect().left);
  for (int y = 4; y < 90; ++y) {
    for (int x = 4; x < right; ++x) {
      const COLORREF pixel = client.Pixel(x, y);
      if (pixel == RGB(255, 255, 255)) ++white;
      if (pixel != RGB(0, 0, 0)) continue;
      ++black;
      // The black copy is the white one moved by (4, 4); where both fall on a glyph pixel,
      // white, drawn last, shows.
      const COLORREF above = client.Pixel(x - 4, y - 4);
      if (GetRValue(above) > 200 && GetGValue(above) > 200) ++shadowsUnderWhite;
    }
  }
  EXPECT_GT(white, 100);
  EXPECT_GT(black, 50);
  EXPECT_GT(shadowsUnderWhite, black * 9 / 10) << black << " black pixels";
}

}  // namespace
