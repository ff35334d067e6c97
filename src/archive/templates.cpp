// Template copies. The template block starts with a table of TEMPLATE_COUNT u32 offsets;
// the templates follow the table back to back, so a template may start at any offset.
#include "archive/templates.h"

#include <windows.h>

#include <cstring>

#include "archive/archive_format.h"
#include "archive/setup_archive.h"
#include "base/byte_order.h"

namespace {

// Dialog template layouts, as the dialog manager reads them (all fields little-endian).
constexpr uint32_t DIALOG_HEADER_SIZE = 18;       // style, ext. style, count, x, y, cx, cy
constexpr uint32_t DIALOG_EX_HEADER_SIZE = 26;    // version, signature, help id, ext. style,
                                                  // style, count, x, y, cx, cy
constexpr uint32_t ITEM_HEADER_SIZE = 18;         // style, ext. style, x, y, cx, cy, id
constexpr uint32_t ITEM_EX_HEADER_SIZE = 24;      // help id, ext. style, style, x, y, cx, cy, id
constexpr uint32_t FONT_FIELDS_SIZE = 2;          // point size
constexpr uint32_t FONT_EX_FIELDS_SIZE = 6;       // point size, weight, italic, charset
constexpr uint16_t EXTENDED_SIGNATURE = 0xFFFF;   // second word of an extended template
constexpr uint16_t ORDINAL_MARKER = 0xFFFF;       // a name that is a 16-bit ordinal
constexpr uint32_t DIALOG_STYLE_HAS_FONT = DS_SETFONT;  // font size and face follow the title

// Reads the template within [0, available); every read is checked against that end.
struct TemplateReader {
  const uint8_t* bytes;
  uint32_t available;
  uint32_t position;
  bool ok;

  uint16_t Word(uint32_t at) const { return LoadU16LE(bytes + at); }
  uint32_t Dword(uint32_t at) const { return LoadU32LE(bytes + at); }

  bool Has(uint32_t n) const { return ok && n <= available - position; }

  void Skip(uint32_t n) {
    if (Has(n)) position += n; else ok = false;
  }

  // A UTF-16 string up to and including its terminator.
  void SkipString() {
    for (;;) {
      if (!Has(2)) { ok = false; return; }
      uint16_t unit = Word(position);
      position += 2;
      if (unit == 0) return;
    }
  }

  // Menu, class or title field: 0 (none), 0xFFFF with an ordinal, or a string.
  void SkipNameOrOrdinal() {
    if (!Has(2)) { ok = false; return; }
    if (Word(position) == ORDINAL_MARKER) Skip(4); else SkipString();
  }

  // Items start on a 4-byte boundary of the template.
  void AlignToDword() { Skip((4 - position % 4) % 4); }
};

// Reads one item: header, class, title, then a count of creation-data bytes and the bytes.
void SkipItem(TemplateReader& reader, bool extended) {
  reader.AlignToDword();
  reader.Skip(extended ? ITEM_EX_HEADER_SIZE : ITEM_HEADER_SIZE);
  reader.SkipNameOrOrdinal();
  reader.SkipNameOrOrdinal();
  if (!reader.Has(2)) { reader.ok = false; return; }
  uint16_t extra = reader.Word(reader.position);
  reader.Skip(2);
  reader.Skip(extra);
}

}  // namespace

uint32_t DialogTemplateLength(const uint8_t* bytes, uint32_t available) {
  TemplateReader reader{bytes, available, 0, available >= DIALOG_HEADER_SIZE};
  if (!reader.ok) return 0;
  const bool extended = reader.Word(2) == EXTENDED_SIGNATURE;
  if (extended && !reader.Has(DIALOG_EX_HEADER_SIZE)) return 0;
  const uint32_t style = reader.Dword(extended ? 12 : 0);
  const uint16_t items = reader.Word(extended ? 16 : 8);
  reader.Skip(extended ? DIALOG_EX_HEADER_SIZE : DIALOG_HEADER_SIZE);
  reader.SkipNameOrOrdinal();  // menu
  reader.SkipNameOrOrdinal();  // class
  reader.SkipString();         // title
  if (style & DIALOG_STYLE_HAS_FONT) {
    reader.Skip(extended ? FONT_EX_FIELDS_SIZE : FONT_FIELDS_SIZE);
    reader.SkipString();       // face name
  }
  for (uint32_t i = 0; i < items && reader.ok; ++i) SkipItem(reader, extended);
  return reader.ok ? reader.position : 0;
}

void* GetTemplateCopy(uint32_t n) {
  const uint8_t* block = Archive.templates;
  const uint32_t size = Archive.templatesSize;
  if (block == nullptr || n >= TEMPLATE_COUNT || size < TEMPLATE_TABLE_SIZE) return nullptr;
  const uint32_t offset = LoadU32LE(block + 4 * n);
  if (offset < TEMPLATE_TABLE_SIZE || offset >= size) return nullptr;
  // The rest of the block from the offset on, as much of it as the copy holds; the template
  // itself must end within that, so the dialog manager never reads past the copy.
  uint32_t length = size - offset;
  if (length > TEMPLATE_COPY_SIZE) length = TEMPLATE_COPY_SIZE;
  if (DialogTemplateLength(block + offset, length) == 0) return nullptr;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, TEMPLATE_COPY_SIZE);
  if (memory == nullptr) return nullptr;
  void* copy = GlobalLock(memory);
  if (copy == nullptr) {
    GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(copy, block + offset, length);
  return copy;
}

void FreeTemplateCopy(void* copy) {
  if (copy == nullptr) return;
  HGLOBAL memory = GlobalHandle(copy);
  if (memory == nullptr) return;
  GlobalUnlock(memory);
  GlobalFree(memory);
}
