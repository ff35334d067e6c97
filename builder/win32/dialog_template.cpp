// The dialog template writer. Every field is written explicitly, little-endian, in the order
// the dialog manager reads it.
#include "builder/win32/dialog_template.h"

#include <stdexcept>

#include "builder/io/code_page.h"
#include "builder/io/put_fields.h"
#include "builder/win32/win32_constants.h"

namespace {

constexpr uint32_t NO_EXTENDED_STYLE = 0;
constexpr uint16_t NO_MENU = 0;
constexpr uint16_t STANDARD_DIALOG_CLASS = 0;
constexpr uint16_t NO_CREATION_DATA = 0;
constexpr uint16_t STRING_END = 0;

// The dialog manager reads UTF-16: the UTF-8 text converted, not widened byte by byte.
void PutText(std::vector<uint8_t>& out, const std::string& text) {
  if (text.find('\0') != std::string::npos) throw std::runtime_error("a dialog text holds a NUL");
  for (uint16_t unit : Utf16Units(text)) PutU16(out, unit);
  PutU16(out, STRING_END);
}

void PutOrdinal(std::vector<uint8_t>& out, uint16_t ordinal) {
  PutU16(out, ORDINAL_MARKER);
  PutU16(out, ordinal);
}

// Coordinates are signed words; the cast keeps their two's-complement bits.
void PutRectangle(std::vector<uint8_t>& out, int16_t x, int16_t y, int16_t cx, int16_t cy) {
  PutU16(out, static_cast<uint16_t>(x));
  PutU16(out, static_cast<uint16_t>(y));
  PutU16(out, static_cast<uint16_t>(cx));
  PutU16(out, static_cast<uint16_t>(cy));
}

void PutItem(std::vector<uint8_t>& out, const DialogItem& item) {
  while (out.size() % DIALOG_ITEM_ALIGNMENT != 0) out.push_back(0);
  PutU32(out, item.style);
  PutU32(out, NO_EXTENDED_STYLE);
  PutRectangle(out, item.x, item.y, item.cx, item.cy);
  PutU16(out, item.id);
  PutOrdinal(out, item.controlClass);
  if (item.titleResource != 0) {
    PutOrdinal(out, item.titleResource);
  } else {
    PutText(out, item.title);
  }
  PutU16(out, NO_CREATION_DATA);
}

}  // namespace

std::vector<uint8_t> BuildDialogTemplate(const DialogLayout& dialog) {
  if (dialog.items.size() > 0xFFFF) throw std::runtime_error("a dialog holds too many items");
  std::vector<uint8_t> out;
  PutU32(out, dialog.style | DS_SETFONT);
  PutU32(out, NO_EXTENDED_STYLE);
  PutU16(out, static_cast<uint16_t>(dialog.items.size()));
  PutRectangle(out, dialog.x, dialog.y, dialog.cx, dialog.cy);
  PutU16(out, NO_MENU);
  PutU16(out, STANDARD_DIALOG_CLASS);
  PutText(out, dialog.title);
  PutU16(out, DIALOG_FONT_POINTS);
  PutText(out, DIALOG_FONT_FACE);
  for (const DialogItem& item : dialog.items) PutItem(out, item);
  if (out.size() > TEMPLATE_COPY_SIZE) {
    throw std::runtime_error("a dialog template is longer than the program's copy of it");
  }
  return out;
}

std::vector<uint8_t> BuildTemplateBlock(const std::vector<std::vector<uint8_t>>& templates) {
  if (templates.size() != TEMPLATE_COUNT) {
    throw std::invalid_argument("a template block holds one entry per template number");
  }
  std::vector<uint8_t> block;
  uint64_t offset = TEMPLATE_TABLE_SIZE;
  for (const std::vector<uint8_t>& t : templates) {
    if (offset + t.size() >= TEMPLATE_ABSENT) throw std::runtime_error("template block too large");
    PutU32(block, t.empty() ? TEMPLATE_ABSENT : static_cast<uint32_t>(offset));
    offset += t.size();
  }
  for (const std::vector<uint8_t>& t : templates) block.insert(block.end(), t.begin(), t.end());
  return block;
}
