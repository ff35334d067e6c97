// The uninstall program's archive, written field by field, little-endian.
#include "builder/setup/uninstall_program.h"

#include <stdexcept>

#include "archive/archive_format.h"
#include "builder/io/put_fields.h"
#include "builder/setup/archive_writer.h"

std::vector<uint8_t> BuildUninstallProgram(std::vector<uint8_t> image, const std::vector<std::string>& texts) {
  if (image.size() > 0xFFFFFFFFu) throw std::runtime_error("the uninstall program is too large");
  PatchImageSize(image, static_cast<uint32_t>(image.size()));
  if (texts.size() > 0xFFFF) throw std::runtime_error("too many uninstall texts");
  std::vector<uint8_t> payload;
  PutU16(payload, static_cast<uint16_t>(texts.size()));
  for (const std::string& text : texts) {
    if (text.size() > COUNTED_STRING_MAX) {
      throw std::runtime_error("an uninstall text of " + std::to_string(text.size()) + " characters; at most " +
                               std::to_string(COUNTED_STRING_MAX) + " fit");
    }
    PutU16(payload, static_cast<uint16_t>(text.size()));
    payload.insert(payload.end(), text.begin(), text.end());
  }
  std::vector<uint8_t>& program = image;
  PutU16(program, UNINSTALL_TEXTS);
  PutU16(program, 0);  // flags: stored as it stands
  PutU32(program, static_cast<uint32_t>(payload.size()));
  program.insert(program.end(), payload.begin(), payload.end());
  // The closing header, which the setup overwrites with the uninstall data.
  PutU16(program, BLOCK_END);
  PutU16(program, 0);
  PutU32(program, 0);
  return program;
}
