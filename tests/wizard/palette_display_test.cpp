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
  int previousBlue = 256;
  int mixedRows = 0;
  for (int y = 0; y < client.Height(); ++y) {
    const COLORREF first = client.Pixel(0, y);
    EXPECT_EQ(GetRValue(first) | GetGValue(first), 0) << "row " << y;
    for (int x = 1; x < frame.left; x += 7) {
      if (client.Pixel(x, y) != first) {
        ++mixedRows;  // a dithered fill would mix colours within a row
        break;
      }
    }
    EXPECT_LE(GetBValue(first), previousBlue) << "row " << y;
    previousBlue = GetBValue(first);
  }
  EXPECT_EQ(mixedRows, 0);
  EXPECT_GE(GetBValue(client.Pixel(0, 0)), 192);
  EXPECT_EQ(client.Pixel(0, client.Height() - 1), RGB(0, 0, 0));
  CloseSetup(setup.mainWindow);
  EXPECT_EQ(FinishProgram(setup.process), 0u);
}

}  // namespace
