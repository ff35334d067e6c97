// PNG pictures for the manifest: converted by libpng into the BMP files that the program
// shows (archive/picture_format.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whether the bytes begin with the PNG signature.
bool IsPng(const std::vector<uint8_t>& bytes);

// The PNG as an uncompressed BMP: a picture of at most 256 colours (a palette or 8-bit grey
// PNG) as 8 bits through a table of all 256 entries, any other as 24 bits. Transparency is
// laid over the dialogs' classic button face. False, with the reason in *error, for a file
// libpng cannot read or a picture too large for a BMP.
bool ConvertPngToBmp(const std::vector<uint8_t>& png, std::vector<uint8_t>* bmp, std::string* error);
