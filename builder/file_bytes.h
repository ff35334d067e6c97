// A whole file's bytes, as the builder reads its inputs and the setups it lists.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// The file's bytes; empty when it cannot be read (callers that must tell an empty file from
// a missing one look at the file first).
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);
