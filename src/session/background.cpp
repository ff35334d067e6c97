// Painting the full-screen background. Nothing is cached: every WM_PAINT paints anew, and
// every brush, palette, font and block made here is released before it returns.
#include "session/background.h"

#include <cstring>

#include "wizard/picture.h"

const uint8_t DITHER_8X8[64] = {
    0, 3, 1, 4, 2, 5, 3, 6,  //
    7, 4, 6, 3, 5, 2, 4, 1,  //
    2, 5, 3, 6, 4, 7, 5, 0,  //
    1, 6, 0, 5, 7, 4, 6, 3,  //
    4, 7, 5, 0, 6, 1, 7, 2,  //
    3, 0, 2, 7, 1, 6, 0, 5,  //
    6, 1, 7, 2, 0, 3, 1, 4,  //
    5, 2, 4, 1, 3, 0, 2, 7,  //
};

namespace {

// One band of the dithered gradient: an 8x8 24-bit pattern, packed behind its header.
constexpr int BAND_HEIGHT = 8;
constexpr int BAND_LEVELS = 8;
constexpr uint32_t PATTERN_PIXEL_BYTES = 8 * 8 * 3;
constexpr uint32_t PATTERN_BLOCK_SIZE = sizeof(BITMAPINFOHEADER) + PATTERN_PIXEL_BYTES;
static_assert(sizeof DITHER_8X8 == BAND_LEVELS * BAND_HEIGHT, "one level per pattern pixel");

// The title: Arial, 56 units high, black, italic, drawn twice as a shadowed text.
constexpr int TITLE_HEIGHT = 56;
constexpr int TITLE_WEIGHT = FW_BLACK;
constexpr int TITLE_SHADOW_AT = 14;
constexpr int TITLE_AT = 10;

// The tallest gradient computed exactly in 32 bits: its square fits.
constexpr int32_t GRADIENT_MAX_HEIGHT = 0xFFFF;
static_assert(uint64_t(GRADIENT_MAX_HEIGHT) * GRADIENT_MAX_HEIGHT <= 0xFFFFFFFFu,
              "the square of the height, above every remainder times a row, fits 32 bits");

void TilePicture(HDC dc, const RECT& client, const Picture& picture) {
  HPALETTE previous;
  HPALETTE palette = SelectPicturePalette(dc, picture, &previous);
  // Width and height are positive (ReadPicture), so both loops advance.
  for (int y = client.top; y < client.bottom; y += picture.height) {
    for (int x = client.left; x < client.right; x += picture.width) DrawPicture(dc, picture, x, y);
  }
  RestorePicturePalette(dc, palette, previous);
}

void PaintDitheredBands(HDC dc, const RECT& client) {
  const int height = client.bottom;
  if (height <= 0) return;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, PATTERN_BLOCK_SIZE);
  if (memory == nullptr) return;
  uint8_t* block = static_cast<uint8_t*>(GlobalLock(memory));
  if (block != nullptr) {
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(block);
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = 8;
    header->biHeight = 8;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = PATTERN_PIXEL_BYTES;
    uint8_t* pixels = block + sizeof(BITMAPINFOHEADER);
    for (int e = 0; e < height; e += BAND_HEIGHT) {
      uint8_t levels[BAND_LEVELS];
      for (int i = 0; i < BAND_LEVELS; ++i) {
        const int m = e + BAND_HEIGHT * i < height ? e + BAND_HEIGHT * i : height;
        levels[i] = GradientBlue(m, height);
      }
      for (int k = 0; k < 64; ++k) {
        pixels[3 * k] = levels[DITHER_8X8[k]];  // blue; green and red stay 0
      }
      HBRUSH brush = CreateDIBPatternBrush(memory, DIB_RGB_COLORS);
      if (brush == nullptr) continue;
      HGDIOBJ old = SelectObject(dc, brush);
      PatBlt(dc, client.left, client.top + e, client.right - client.left, BAND_HEIGHT, PATCOPY);
      SelectObject(dc, old);
      DeleteObject(brush);
    }
    GlobalUnlock(memory);
  }
  GlobalFree(memory);
}

void PaintSolidRows(HDC dc, const RECT& client, const RECT& paint) {
  const int height = client.bottom;
  HGDIOBJ original = nullptr;
  HBRUSH brush = nullptr;
  int previousBlue = -1;
  for (int y = paint.top; y <= paint.bottom; ++y) {
    const int blue = GradientBlue(y, height);
    if (blue != previousBlue || brush == nullptr) {
      HBRUSH next = CreateSolidBrush(RGB(0, 0, blue));
      if (next == nullptr) continue;
      HGDIOBJ old = SelectObject(dc, next);
      if (original == nullptr) original = old;
      if (brush != nullptr) DeleteObject(brush);
      brush = next;
      previousBlue = blue;
    }
    PatBlt(dc, paint.left, client.top + y, paint.right - paint.left, 1, PATCOPY);
  }
  if (original != nullptr) SelectObject(dc, original);
  if (brush != nullptr) DeleteObject(brush);
}

void DrawTitle(HDC dc, const char* title) {
  HFONT font = CreateFontA(TITLE_HEIGHT, 0, 0, 0, TITLE_WEIGHT, TRUE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
  HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  const int length = static_cast<int>(std::strlen(title));
  SetTextColor(dc, RGB(0, 0, 0));
  TextOutA(dc, TITLE_SHADOW_AT, TITLE_SHADOW_AT, title, length);
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutA(dc, TITLE_AT, TITLE_AT, title, length);
  if (font != nullptr) {
    SelectObject(dc, old);
    DeleteObject(font);
  }
}

}  // namespace

uint8_t GradientBlue(int32_t y, int32_t height) {
  if (height <= 0 || y >= height) return 0;
  if (y <= 0) return 255;
  // No display is this tall; halving both keeps the products below within 32 bits.
  while (height > GRADIENT_MAX_HEIGHT) {
    height >>= 1;
    y >>= 1;
  }
  const uint32_t row = uint32_t(y);
  const uint32_t rows = uint32_t(height);
  // floor(255 y^2 / h^2) as floor(floor(255 y^2 / h) / h). With 255 y = q h + r (q < 255,
  // r < h): floor(255 y^2 / h) = q y + floor(r y / h), where r y < h^2 <= 2^32 - 2^17 + 1.
  const uint32_t scaled = 255 * row;
  const uint32_t once = scaled / rows * row + scaled % rows * row / rows;
  return static_cast<uint8_t>(255 - once / rows);
}

void PaintBackground(HWND window, const uint8_t* picture, const char* title) {
  RECT client;
  GetClientRect(window, &client);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc == nullptr) {
    EndPaint(window, &paint);
    return;
  }
  Picture tiles;
  if (ReadPicture(picture, &tiles)) {
    TilePicture(dc, client, tiles);
  } else if (GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL) > 8) {
    PaintDitheredBands(dc, client);
  } else {
    PaintSolidRows(dc, client, paint.rcPaint);
  }
  if (title != nullptr && title[0] != '\0') DrawTitle(dc, title);
  EndPaint(window, &paint);
}
