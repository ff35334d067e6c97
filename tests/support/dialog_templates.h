// Dialog templates for the Windows tests, made by the builder's template writer: a frame
// and a one-label page that are smaller than the defaults, and the template block of a
// setup archive that holds any bytes as templates. Field writers for hand-made odd templates.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "builder/setup/archive_writer.h"
#include "builder/win32/dialog_template.h"
#include "resources/dialog_ids.h"

namespace test_templates {

constexpr uint16_t BUTTON_CLASS = CLASS_BUTTON;
constexpr uint16_t STATIC_CLASS = CLASS_STATIC;
constexpr uint32_t ABSENT_TEMPLATE = TEMPLATE_ABSENT;  // table entry of a template not in the block

inline void PutWord(std::vector<uint8_t>& out, uint16_t value) { PutU16(out, value); }
inline void PutDword(std::vector<uint8_t>& out, uint32_t value) { PutU32(out, value); }

// A UTF-16 string of ASCII text with its terminator.
inline void PutString(std::vector<uint8_t>& out, const std::string& text) {
  for (char c : text) PutWord(out, static_cast<uint8_t>(c));
  PutWord(out, 0);
}

// Template 0: the windowed frame with its page area and the Back, Next and Cancel buttons.
inline std::vector<uint8_t> FrameTemplate() {
  const uint32_t button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  return BuildDialogTemplate(
      {WS_CHILD | WS_VISIBLE, 0, 0, 288, 214, "",
       {{WS_CHILD, 97, 4, 182, 172, ID_PAGE_AREA, CLASS_STATIC, ""},
        {button | BS_PUSHBUTTON, 129, 190, 50, 14, ID_BACK, CLASS_BUTTON, "< Back"},
        {button | BS_DEFPUSHBUTTON, 179, 190, 50, 14, ID_NEXT, CLASS_BUTTON, "Next >"},
        {button | BS_PUSHBUTTON, 229, 190, 50, 14, ID_CANCEL, CLASS_BUTTON, "Cancel"}}});
}

// A page: one label, control 1000.
inline std::vector<uint8_t> PageTemplate() {
  return BuildDialogTemplate({WS_CHILD | WS_VISIBLE | DS_CONTROL, 0, 0, 182, 172, "",
                              {{WS_CHILD | WS_VISIBLE, 0, 0, 182, 20, ID_PAGE_TEXT_1, CLASS_STATIC, "Page"}}});
}

// A template block with the given templates by number; the others are absent.
inline std::vector<uint8_t> TemplateBlock(const std::map<uint32_t, std::vector<uint8_t>>& templates) {
  std::vector<std::vector<uint8_t>> entries(TEMPLATE_COUNT);
  for (const auto& [n, bytes] : templates) entries.at(n) = bytes;
  return BuildTemplateBlock(entries);
}

}  // namespace test_templates
