// The full-screen background: the background picture tiled, or a blue-to-black gradient,
// with the background title over it in large type.
#pragma once

#include <windows.h>

#include <cstdint>

// Blue of row y (0 = top) of a gradient over height rows: 255 - floor(255 y^2 / height^2),
// exact in 32-bit arithmetic (the program carries no 64-bit division) for heights up to
// 65,535. 0 for a height of 0 or less, 255 for a row above the top.
uint8_t GradientBlue(int32_t y, int32_t height);

// The level index (0 to 7) of each pixel of the 8x8 gradient pattern, in the pattern's
// memory order (a bottom-up bitmap: the first row listed is the pattern's bottom row).
extern const uint8_t DITHER_8X8[64];

// Paints the main window's client area: picture (a block, or null) tiled from the top-left
// corner, else the gradient (dithered bands on displays of more than 8 bits per pixel, solid
// rows otherwise); then the title (or null) in black at (14, 14) and white at (10, 10).
void PaintBackground(HWND window, const uint8_t* picture, const char* title);
