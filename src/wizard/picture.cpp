// Pictures: the BMP layout the program reads, palettes for 8-bit pictures, 1:1 drawing.
#include "wizard/picture.h"

#include "base/byte_order.h"
#include "base/memory.h"
#include "wizard/drawing.h"

namespace {

// The BMP file image: a 14-byte file header (not read), the 40-byte info header, the colour
// table, the rows. The rows are found by counting, not through the file header's offset.
constexpr uint32_t FILE_HEADER_SIZE = 14;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t PIXELS_OFFSET = FILE_HEADER_SIZE + INFO_HEADER_SIZE;  // with no colour table
constexpr uint32_t INFO_SIZE_AT = 14;
constexpr uint32_t WIDTH_AT = 18;
constexpr uint32_t HEIGHT_AT = 22;
constexpr uint32_t BITS_AT = 28;
constexpr uint32_t COMPRESSION_AT = 30;
constexpr uint32_t COLOURS_USED_AT = 46;
constexpr uint32_t COLOUR_ENTRY_SIZE = 4;  // blue, green, red, reserved
static_assert(COLOURS_USED_AT + 8 == PIXELS_OFFSET, "colours used and important end the header");

// An 8-bit picture's palette is built from 256 entries; the static colours of a palette
// display are its first and last ten.
constexpr uint32_t PALETTE_ENTRIES = 256;
constexpr uint32_t STATIC_COLOURS = 10;
constexpr WORD LOG_PALETTE_VERSION = 0x300;
constexpr uint32_t LOG_PALETTE_SIZE = 4 + PALETTE_ENTRIES * sizeof(PALETTEENTRY);
static_assert(LOG_PALETTE_SIZE == 1028, "version, count and 256 entries");

// The largest picture drawn: the byte counts below stay within 32 bits.
constexpr int32_t MAX_PICTURE_SIDE = 16384;

uint32_t ColourTableSize(uint16_t bits, uint32_t coloursUsed) {
  if (coloursUsed != 0) return coloursUsed * COLOUR_ENTRY_SIZE;
  return bits <= 8 ? (uint32_t(1) << bits) * COLOUR_ENTRY_SIZE : 0;
}

}  // namespace

bool ReadPicture(const uint8_t* block, Picture* picture) {
  if (block == nullptr) return false;
  const uint32_t size = MemSize(block);
  if (size < PIXELS_OFFSET || LoadU32LE(block + INFO_SIZE_AT) != INFO_HEADER_SIZE) return false;
  const int32_t width = static_cast<int32_t>(LoadU32LE(block + WIDTH_AT));
  const int32_t height = static_cast<int32_t>(LoadU32LE(block + HEIGHT_AT));
  const uint16_t bits = LoadU16LE(block + BITS_AT);
  const uint32_t coloursUsed = LoadU32LE(block + COLOURS_USED_AT);
  if (width <= 0 || height <= 0 || width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
  if (LoadU32LE(block + COMPRESSION_AT) != BI_RGB) return false;
  if (coloursUsed > PALETTE_ENTRIES) return false;
  if (bits == 8 && coloursUsed != 0 && coloursUsed != PALETTE_ENTRIES) return false;
  const uint32_t table = ColourTableSize(bits, coloursUsed);
  const uint32_t stride = (uint32_t(width) * bits + 31) / 32 * 4;
  const uint32_t rows = stride * uint32_t(height);
  if (table > size - PIXELS_OFFSET || rows > size - PIXELS_OFFSET - table) return false;
  picture->info = reinterpret_cast<const BITMAPINFO*>(block + FILE_HEADER_SIZE);
  picture->pixels = block + PIXELS_OFFSET + table;
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
      reinterpret_cast<const uint8_t*>(header) + INFO_HEADER_SIZE);
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
