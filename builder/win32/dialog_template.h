// Dialog templates in the classic in-memory form that CreateDialogIndirectParamA reads, and
// the template block of a setup archive that carries templates 0 to 8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_format.h"

// Every template's font; its size is in points, and the dialog units follow from it.
constexpr uint16_t DIALOG_FONT_POINTS = 8;
constexpr const char* DIALOG_FONT_FACE = "MS Sans Serif";

// A name field that holds a 16-bit ordinal rather than a string starts with this word.
constexpr uint16_t ORDINAL_MARKER = 0xFFFF;

// Items start on a 4-byte boundary of the template; the program copies each template to an
// aligned block before use, so the boundary is counted from the template's first byte.
constexpr uint32_t DIALOG_ITEM_ALIGNMENT = 4;

// The predefined control classes, as the ordinals that an item names them by.
enum ControlClass : uint16_t {
  CLASS_BUTTON = 0x0080,
  CLASS_EDIT = 0x0081,
  CLASS_STATIC = 0x0082,
  CLASS_LIST_BOX = 0x0083,
  CLASS_COMBO_BOX = 0x0085,
};

// One control, in dialog units relative to the dialog's client area.
struct DialogItem {
  uint32_t style;
  int16_t x, y, cx, cy;
  uint16_t id;
  ControlClass controlClass;
  std::string title;  // UTF-8 text
  // Non-zero: the title is this resource's ordinal instead of a string (an SS_ICON static).
  uint16_t titleResource = 0;
};

struct DialogLayout {
  uint32_t style;  // DS_SETFONT is added: every template names its font
  int16_t x, y, cx, cy;
  std::string title;
  std::vector<DialogItem> items;
};

// The template's bytes: header (extended style 0), no menu, the standard dialog class, the
// title in UTF-16, DIALOG_FONT_POINTS and DIALOG_FONT_FACE, then each item aligned, its
// class as an ordinal and no creation data. Throws std::runtime_error when a text holds a NUL
// or the template would not fit the program's copy of TEMPLATE_COPY_SIZE bytes.
std::vector<uint8_t> BuildDialogTemplate(const DialogLayout& dialog);

// Table entry of a template that the block does not hold; the program reads an offset at or
// beyond the block's end as "no such template".
constexpr uint32_t TEMPLATE_ABSENT = 0xFFFFFFFFu;

// The BLOCK_DIALOG_TEMPLATES content: TEMPLATE_COUNT u32 offsets counted from the block's
// start, then the templates back to back in number order without padding, so a template may
// start at any offset. An empty entry is absent. Throws std::invalid_argument unless exactly
// TEMPLATE_COUNT entries are given, std::runtime_error when the block exceeds 4 GiB.
std::vector<uint8_t> BuildTemplateBlock(const std::vector<std::vector<uint8_t>>& templates);
