// PNG to BMP through libpng's simplified reader: it expands every PNG colour type and bit
// depth, and lays transparency over a background, so that only the BMP's fields are ours.
#include "builder/win32/picture_convert.h"

#include <png.h>

#include <cstdint>
#include <cstring>

#include "archive/picture_format.h"
#include "base/byte_order.h"

namespace {

constexpr uint8_t PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Transparent pixels take the classic button face (RGB 192, 192, 192), the colour the
// wizard's dialogs are painted in.
constexpr png_color BUTTON_FACE = {192, 192, 192};

// The file header's fields that the program does not read but other viewers do.
constexpr uint32_t FILE_SIZE_OFFSET = 2;
constexpr uint32_t PIXELS_OFFSET_OFFSET = 10;
constexpr uint32_t IMAGE_SIZE_OFFSET = 34;
constexpr uint32_t RESOLUTION_OFFSET = 38;  // horizontal, then vertical, pixels per metre
constexpr uint32_t PIXELS_PER_METRE = 2835;  // 72 dots per inch
static_assert(RESOLUTION_OFFSET + 8 == PICTURE_COLOURS_USED_OFFSET,
              "the resolutions stand between the image size and the colours used");

// A BMP's sizes are 32-bit fields.
constexpr uint64_t MAX_BMP_SIZE = 0xFFFFFFFFu;

// Frees the reader's state on every way out.
struct PngImage {
  png_image image;
  PngImage() {
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
  }
  ~PngImage() { png_image_free(&image); }
};

// Headers for a picture of the given size and depth whose colour table has `colours`
// entries; the table and rows are left zero.
std::vector<uint8_t> BmpHeaders(uint32_t width, uint32_t height, uint16_t bits, uint32_t colours,
                                uint32_t pixelBytes) {
  const uint32_t pixelsAt = PICTURE_HEADERS_SIZE + colours * PICTURE_COLOUR_ENTRY_SIZE;
  std::vector<uint8_t> bmp(pixelsAt + size_t{pixelBytes}, 0);
  uint8_t* p = bmp.data();
  p[0] = PICTURE_SIGNATURE[0];
  p[1] = PICTURE_SIGNATURE[1];
  StoreU32LE(p + FILE_SIZE_OFFSET, static_cast<uint32_t>(bmp.size()));
  StoreU32LE(p + PIXELS_OFFSET_OFFSET, pixelsAt);
  StoreU32LE(p + PICTURE_INFO_SIZE_OFFSET, PICTURE_INFO_HEADER_SIZE);
  StoreU32LE(p + PICTURE_WIDTH_OFFSET, width);
  StoreU32LE(p + PICTURE_HEIGHT_OFFSET, height);  // positive: bottom row first
  StoreU16LE(p + PICTURE_PLANES_OFFSET, PICTURE_PLANES);
  StoreU16LE(p + PICTURE_BITS_OFFSET, bits);
  StoreU32LE(p + PICTURE_COMPRESSION_OFFSET, PICTURE_UNCOMPRESSED);
  StoreU32LE(p + IMAGE_SIZE_OFFSET, pixelBytes);
  StoreU32LE(p + RESOLUTION_OFFSET, PIXELS_PER_METRE);
  StoreU32LE(p + RESOLUTION_OFFSET + 4, PIXELS_PER_METRE);
  StoreU32LE(p + PICTURE_COLOURS_USED_OFFSET, colours == PICTURE_PALETTE_COLOURS ? 0 : colours);
  return bmp;
}

}  // namespace

bool IsPng(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= sizeof PNG_SIGNATURE &&
         std::memcmp(bytes.data(), PNG_SIGNATURE, sizeof PNG_SIGNATURE) == 0;
}

bool ConvertPngToBmp(const std::vector<uint8_t>& png, std::vector<uint8_t>* bmp, std::string* error) {
  PngImage reader;
  png_image& image = reader.image;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
    *error = std::string("not a PNG file libpng can read (") + image.message + ")";
    return false;
  }
  // A palette or grey picture fits a table of 256 colours: 8 bits keep it exact and small.
  const bool mapped = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0 ||
                      (image.format & PNG_FORMAT_FLAG_COLOR) == 0;
  const uint16_t bits = mapped ? PICTURE_PALETTE_BITS : PICTURE_TRUE_COLOUR_BITS;
  const uint64_t stride = PictureRowStride(image.width, bits);
  const uint64_t colours = mapped ? PICTURE_PALETTE_COLOURS : 0;
  const uint64_t total = PICTURE_HEADERS_SIZE + colours * PICTURE_COLOUR_ENTRY_SIZE + stride * image.height;
  if (total > MAX_BMP_SIZE || stride > uint64_t(INT32_MAX)) {
    *error = "a picture of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
             " pixels is too large for a BMP file";
    return false;
  }
  *bmp = BmpHeaders(image.width, image.height, bits, uint32_t(colours), uint32_t(stride * image.height));
  uint8_t* pixels = bmp->data() + bmp->size() - stride * image.height;
  // libpng's colour map is blue, green, red per entry; the BMP table adds a reserved byte.
  png_byte colourMap[PICTURE_PALETTE_COLOURS * 3] = {};
  image.format = mapped ? PNG_FORMAT_BGR_COLORMAP : PNG_FORMAT_BGR;
  if (mapped) image.colormap_entries = PICTURE_PALETTE_COLOURS;
  // A negative stride asks for the bottom row first, as the BMP stores it.
  if (!png_image_finish_read(&image, &BUTTON_FACE, pixels, -static_cast<png_int_32>(stride),
                             mapped ? colourMap : nullptr)) {
    *error = std::string("libpng could not decode the PNG file (") + image.message + ")";
    return false;
  }
  if (mapped) {
    uint8_t* table = bmp->data() + PICTURE_HEADERS_SIZE;
    for (uint32_t i = 0; i < image.colormap_entries; ++i) {
      std::memcpy(table + i * PICTURE_COLOUR_ENTRY_SIZE, colourMap + i * 3, 3);
    }
  }
  return true;
}
