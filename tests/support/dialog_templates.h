// Minimal in-memory dialog templates for the Windows tests, and the template block of a
// setup archive that holds them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "base/byte_order.h"
#include "builder/archive_writer.h"
#include "resources/dialog_ids.h"

namespace test_templates {

constexpr uint16_t BUTTON_CLASS = 0x0080;
constexpr uint16_t STATIC_CLASS = 0x0082;
constexpr uint32_t ABSENT_TEMPLATE = 0xFFFFFFFFu;  // table entry of a template not in the block

struct Item {
  uint32_t style;
  int16_t x, y, cx, cy;
  uint16_t id;
  uint16_t classAtom;
  std::string title;
};

inline void PutWord(std::vector<uint8_t>& out, uint16_t value) { PutU16(out, value); }
inline void PutDword(std::vector<uint8_t>& out, uint32_t value) { PutU32(out, value); }

inline void PutString(std::vector<uint8_t>& out, const std::string& text) {
  for (char c : text) PutWord(out, static_cast<uint8_t>(c));
  PutWord(out, 0);
}

// A classic DLGTEMPLATE with "MS Sans Serif" 8 and the given items.
inline std::vector<uint8_t> DialogTemplate(uint32_t style, int16_t cx, int16_t cy,
                                           const std::vector<Item>& items,
                                           const std::string& title = "") {
  std::vector<uint8_t> out;
  PutDword(out, style | DS_SETFONT);
  PutDword(out, 0);
  PutWord(out, static_cast<uint16_t>(items.size()));
  PutWord(out, 0);
  PutWord(out, 0);
  PutWord(out, static_cast<uint16_t>(cx));
  PutWord(out, static_cast<uint16_t>(cy));
  PutWord(out, 0);  // no menu
  PutWord(out, 0);  // standard dialog class
  PutString(out, title);
  PutWord(out, 8);
  PutString(out, "MS Sans Serif");
  for (const Item& item : items) {
    while (out.size() % 4 != 0) out.push_back(0);
    PutDword(out, item.style);
    PutDword(out, 0);
    PutWord(out, static_cast<uint16_t>(item.x));
    PutWord(out, static_cast<uint16_t>(item.y));
    PutWord(out, static_cast<uint16_t>(item.cx));
    PutWord(out, static_cast<uint16_t>(item.cy));
    PutWord(out, item.id);
    PutWord(out, 0xFFFF);
    PutWord(out, item.classAtom);
    PutString(out, item.title);
    PutWord(out, 0);  // no creation data
  }
  return out;
}

// Template 0: the windowed frame with its page area and the Back, Next and Cancel buttons.
inline std::vector<uint8_t> FrameTemplate() {
  const uint32_t button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  return DialogTemplate(WS_CHILD | WS_VISIBLE, 288, 214,
                        {{WS_CHILD, 97, 4, 182, 172, ID_PAGE_AREA, STATIC_CLASS, ""},
                         {button | BS_PUSHBUTTON, 129, 190, 50, 14, ID_BACK, BUTTON_CLASS, "< Back"},
                         {button | BS_DEFPUSHBUTTON, 179, 190, 50, 14, ID_NEXT, BUTTON_CLASS, "Next >"},
                         {button | BS_PUSHBUTTON, 229, 190, 50, 14, ID_CANCEL, BUTTON_CLASS, "Cancel"}});
}

// A page: one label, control 1000.
inline std::vector<uint8_t> PageTemplate() {
  return DialogTemplate(WS_CHILD | WS_VISIBLE | DS_CONTROL, 182, 172,
                        {{WS_CHILD | WS_VISIBLE, 0, 0, 182, 20, ID_PAGE_TEXT_1, STATIC_CLASS, "Page"}});
}

// A template block: the offset table for templates 0 to 8, then the given templates back to
// back in number order (so a template may start at an unaligned offset).
inline std::vector<uint8_t> TemplateBlock(const std::map<uint32_t, std::vector<uint8_t>>& templates) {
  std::vector<uint8_t> block(TEMPLATE_TABLE_SIZE, 0);
  for (uint32_t n = 0; n < TEMPLATE_COUNT; ++n) {
    uint32_t offset = ABSENT_TEMPLATE;
    auto it = templates.find(n);
    if (it != templates.end()) {
      offset = static_cast<uint32_t>(block.size());
      block.insert(block.end(), it->second.begin(), it->second.end());
    }
    StoreU32LE(block.data() + 4 * n, offset);
  }
  return block;
}

}  // namespace test_templates
