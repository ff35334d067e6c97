// The uninstall program as a setup carries it: the built program, then its own small archive
// (the texts, by UninstallText) closed by the BLOCK_END header that the setup replaces with
// the uninstall data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The program image with its ImageSize patched, the UNINSTALL_TEXTS block and the end
// header. Throws std::runtime_error when the image holds no ImageSize record or a text is
// longer than a counted string holds.
std::vector<uint8_t> BuildUninstallProgram(std::vector<uint8_t> image, const std::vector<std::string>& texts);
