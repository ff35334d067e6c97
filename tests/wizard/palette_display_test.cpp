// The gradient on a display of 8 bits per pixel (run on such a display: label display8):
// solid rows, one colour each, falling from bright blue at the top to black at the bottom.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/wizard_driver.h"
#include "support/wizard_setups.h"

using namespace test_setups;

namespace {

TEST(PaletteDisplay, GradientIsPaintedInSolidRows) {
  HDC screen = GetDC(nullptr);
  const int depth = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(depth, 8) << "this test runs on an 8-bit display";
  WizardOptions options;
  options.setupFlags |= SETUP_FLAG_FULL_SCREEN;
  RunningSetup setup;
  ASSERT_TRUE(StartSetup(WriteTestFile("palette.exe", WizardSetup(options)), &setup));
  Capture client = Capture::OfClient(setup.mainWindow);
  client.Save("background-gradient-8bit");
  RECT frame;
  GetWindowRect(setup.frame, &frame);
  MapWindowPoints(nullptr, setup.mainWindow, reinterpret_cast<POINT*>(&frame), 2);
  // The expected rows, one solid brush per row, blue 255 - 255 y^2 / H^2: the display driver
  // renders them as it renders the program's (Wine mixes the nearest static colours), while
  // dithered bands or a wrong formula give other pixels.
  const int64_t h = client.Height();
  Capture expected = Capture::OfPainting(frame.left, client.Height(), [&](HDC dc) {
    for (int y = 0; y < h; ++y) {
      HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255 - 255 * y * y / (h * h)));
      RECT row = {0, y, frame.left, y + 1};
      FillRect(dc, &row, brush);
      DeleteObject(brush);
    }
  });
  expected.Save("background-gradient-8bit-expected");
  // A colour that Wine's palette holds exactly is drawn as such into a bitmap but as the
  // nearest static colour on a window: such a row differs, yet both are solid.
  const auto solidRow = [&](const Capture& capture, int y) {
    for (int x = 1; x < frame.left; ++x) {
      if (capture.Pixel(x, y) != capture.Pixel(0, y)) return false;
    }
    return true;
  };
  int wrongRows = 0;
  for (int y = 0; y < client.Height() && wrongRows <= 5; ++y) {
    for (int x = 0; x < frame.left; ++x) {
      if (client.Pixel(x, y) == expected.Pixel(x, y)) continue;
      if (solidRow(client, y) && solidRow(expected, y)) break;
      ADD_FAILURE() << "row " << y << " differs first at x " << x;
      ++wrongRows;
      break;
    }
  }
  EXPECT_EQ(client.Pixel(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(client.Pixel(0, client.Height() - 1), RGB(0, 0, 0));
  EXPECT_EQ(CloseWizard(setup), 0u);
}

}  // namespace
