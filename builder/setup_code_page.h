// The code page a setup's texts and names are written in, as the builder notes it in a block
// that the program itself skips.
#pragma once

#include <cstdint>
#include <string>

// The value of the setup's BLOCK_CODE_PAGE, walking the header blocks of the setup file at
// path from imageSize on; the default code page when the setup has none (one made by another
// writer), when the walk leaves the file, or when the noted code page is not one of
// SetupCodePages().
uint16_t SetupCodePage(const std::string& path, uint32_t imageSize);
