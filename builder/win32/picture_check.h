// The builder's check of a setup's pictures: a BMP file that the program can show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Empty when the program shows bmp as it is; otherwise what it refuses, in a sentence. See
// archive/picture_format.h for the layout.
std::string ValidatePicture(const std::vector<uint8_t>& bmp);
