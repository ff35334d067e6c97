// Pictures: the BMP layout the program reads, palettes for 8-bit pictures, 1:1 drawing.
#include "wizard/picture.h"

#include "archive/picture_format.h"
#include "base/byte_order.h"
#include "base/memory.h"
#include "wizard/drawing.h"

namespace {

// An 8-bit picture's palette is built from 256 entries; the static colours of a palette
// display are its first and last ten.
constexpr uint32_t PALETTE_ENTRIES = PICTURE_PALETTE_COLOURS;
constexpr uint32_t STATIC_COLOURS = 10;
constexpr WORD LOG_PALETTE_VERSION = 0x300;
constexpr uint32_t LOG_PALETTE_SIZE = 4 + PALETTE_ENTRIES * sizeof(PALETTEENTRY);

// The largest picture drawn: the byte counts below stay within 32 bits.
constexpr int32_t MAX_PICTURE_SIDE = 16384;

}  // namespace

bool ReadPicture(const uint8_t* block, Picture* picture) {
  if (block == nullptr) return false;
  const uint32_t size = MemSize(block);
  if (size < PICTURE_HEADERS_SIZE) return false;
  if (LoadU32LE(block + PICTURE_INFO_SIZE_OFFSET) != PICTURE_INFO_HEADER_SIZE) return false;
  const int32_t width = static_cast<int32_t>(LoadU32LE(block + PICTURE_WIDTH_OFFSET));
  const int32_t height = static_cast<int32_t>(LoadU32LE(block + PICTURE_HEIGHT_OFFSET));
  const uint16_t bits = LoadU16LE(block + PICTURE_BITS_OFFSET);
  const uint32_t coloursUsed = LoadU32LE(block + PICTURE_COLOURS_USED_OFFSET);
  if (width <= 0 || height <= 0 || width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE) return false;
  if (!PictureBitsSupported(bits)) return false;
  const uint32_t compression = LoadU32LE(block + PICTURE_COMPRESSION_OFFSET);
  uint64_t table = 0;
  if (!PictureTableSize(bits, compression, coloursUsed, &table)) return false;
  if (coloursUsed > PALETTE_ENTRIES) return false;
  if (bits == PICTURE_PALETTE_BITS && coloursUsed != 0 && coloursUsed != PALETTE_ENTRIES) return false;
  const uint64_t rows = PictureRowStride(uint32_t(width), bits) * uint32_t(height);
  if (table + rows > size - PICTURE_HEADERS_SIZE) return false;
  if (compression == PICTURE_BIT_FIELDS && !PictureMasksSupported(block + PICTURE_HEADERS_SIZE)) return false;
  picture->info = reinterpret_cast<const BITMAPINFO*>(block + PICTURE_FILE_HEADER_SIZE);
  picture->pixels = block + PICTURE_HEADERS_SIZE + table;
  picture->width = width;
  picture->height = height;
  picture->bitsPerPixel = bits;
  return true;
}

HPALETTE CreatePicturePalette(HDC dc, const BITMAPINFOHEADER* header) {
  if (header->biBitCount != 8) return nullptr;
  LOGPALETTE* record = nullptr;
  if (!MemAlloc(LOG_PALETTE_SIZE, &record)) return nullptr;
  record->palVersion = LOG_PALETTE_VERSION;
  record->palNumEntries = PALETTE_ENTRIES;
  const RGBQUAD* colours = reinterpret_cast<const RGBQUAD*>(
      reinterpret_cast<const uint8_t*>(header) + PICTURE_INFO_HEADER_SIZE);
  for (uint32_t i = 0; i < PALETTE_ENTRIES; ++i) {
    PALETTEENTRY& entry = record->palPalEntry[i];
    entry.peRed = colours[i].rgbRed;
    entry.peGreen = colours[i].rgbGreen;
    entry.peBlue = colours[i].rgbBlue;
    const bool isStatic = i < STATIC_COLOURS || i >= PALETTE_ENTRIES - STATIC_COLOURS;
    entry.peFlags = isStatic ? PC_NOCOLLAPSE : 0;
  }
  const bool paletteDevice = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL) == 8 &&
                             (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
  if (paletteDevice) {
    GetSystemPaletteEntries(dc, 0, STATIC_COLOURS, record->palPalEntry);
    GetSystemPaletteEntries(dc, PALETTE_ENTRIES - STATIC_COLOURS, STATIC_COLOURS,
                            record->palPalEntry + PALETTE_ENTRIES - STATIC_COLOURS);
  }
  HPALETTE palette = CreatePalette(record);
  MemFree(record);
  return palette;
}

HPALETTE SelectPicturePalette(HDC dc, const Picture& picture, HPALETTE* previous) {
  *previous = nullptr;
  if (picture.bitsPerPixel != 8) return nullptr;
  HPALETTE palette = CreatePicturePalette(dc, &picture.info->bmiHeader);
  if (palette == nullptr) return nullptr;
  *previous = SelectPalette(dc, palette, FALSE);
  RealizePalette(dc);
  return palette;
}

void RestorePicturePalette(HDC dc, HPALETTE palette, HPALETTE previous) {
  if (palette == nullptr) return;
  SelectPalette(dc, previous, TRUE);
  DeleteObject(palette);
}

void DrawPicture(HDC dc, const Picture& picture, int x, int y) {
  StretchDIBits(dc, x, y, picture.width, picture.height, 0, 0, picture.width, picture.height,
                picture.pixels, picture.info, DIB_RGB_COLORS, SRCCOPY);
}

void PaintWizardImage(HWND dialog, HDC dc, int id, const uint8_t* block) {
  RECT area;
  if (!ControlRectInDialog(dialog, id, &area)) return;
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  Picture picture;
  if (!ReadPicture(block, &picture)) return;
  HPALETTE previous;
  HPALETTE palette = SelectPicturePalette(dc, picture, &previous);
  // Centred, also when larger than the control: the clipping cuts it at the edges.
  const int x = area.left + (area.right - area.left - picture.width) / 2;
  const int y = area.top + (area.bottom - area.top - picture.height) / 2;
  DrawPicture(dc, picture, x, y);
  RestorePicturePalette(dc, palette, previous);
  const RECT edge = {x, y, x + picture.width, y + picture.height};
  DrawSunkenFrame(dc, edge, false);
}
