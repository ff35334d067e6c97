// Pictures of the setup archive (the wizard picture and the background picture): the image of
// a BMP file in one memory block, drawn 1:1 with its own palette on palette displays.
#pragma once

#include <windows.h>

#include <cstdint>

// A picture that can be drawn: every byte that drawing reads lies inside its block.
struct Picture {
  const BITMAPINFO* info;  // header and colour table, as the system takes them
  const uint8_t* pixels;   // the rows, bottom row first, each padded to 4 bytes
  int32_t width;           // positive: tiling steps by it
  int32_t height;          // positive: rows are stored bottom-up
  uint16_t bitsPerPixel;   // 1, 4, 8, 16 or 24
};

// Reads the picture in block (a memory block of the heap, or null). False for a layout that
// the program does not draw (32 bits per pixel, compression other than the 5-5-5 and 5-6-5
// bit fields of a 16-bit picture, a size that is not positive, an 8-bit picture without 256
// colours, a header or rows running past the block): such a picture is treated as absent.
bool ReadPicture(const uint8_t* block, Picture* picture);

// The palette for an 8-bit picture (its 256 colours; on an 8-bit palette display the twenty
// static colours of the system in entries 0-9 and 246-255), or null for other pictures or
// when none can be made. The caller deletes it.
HPALETTE CreatePicturePalette(HDC dc, const BITMAPINFOHEADER* header);

// Copies the whole picture 1:1 to (x, y).
void DrawPicture(HDC dc, const Picture& picture, int x, int y);

// Selects and realises the picture's palette, when it has one, and undoes that.
HPALETTE SelectPicturePalette(HDC dc, const Picture& picture, HPALETTE* previous);
void RestorePicturePalette(HDC dc, HPALETTE palette, HPALETTE previous);

// Draws picture (a block, or null) centred in the rectangle of the dialog's control id, cut
// at the control's edges (the clipping of dc stays narrowed to it), with a one-pixel sunken
// edge over the picture's outermost pixels. Nothing without the control; without a picture
// only the clipping is narrowed.
void PaintWizardImage(HWND dialog, HDC dc, int id, const uint8_t* picture);
