// The code page a setup's texts and names are written in, as the builder notes it in a block
// that the program itself skips; and any header block read from the setup file as it lies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The payload and flags of the first block of that tag, walking the header blocks of the
// setup file at path from imageSize on; false when there is none before BLOCK_END or the
// walk leaves the file.
bool ReadSetupBlock(const std::string& path, uint32_t imageSize, uint16_t tag, std::vector<uint8_t>* payload,
                    uint16_t* flags);

// The value of the setup's BLOCK_CODE_PAGE, walking the header blocks of the setup file at
// path from imageSize on; the default code page when the setup has none (one made by another
// writer), when the walk leaves the file, or when the noted code page is not one of
// SetupCodePages().
uint16_t SetupCodePage(const std::string& path, uint32_t imageSize);
