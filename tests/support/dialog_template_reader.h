// Test support: reads a classic dialog template back, field by field, as the dialog manager
// walks it, independently of the builder's writer. Throws std::runtime_error at the first
// field that is cut off or of a form the builder never writes (a menu, a named class).
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/byte_order.h"

namespace test_support {

struct ReadItem {
  size_t offset;  // of the item's style field, from the template's start
  uint32_t style, extendedStyle;
  int16_t x, y, cx, cy;
  uint16_t id;
  uint16_t classOrdinal;
  bool titleIsOrdinal;
  uint16_t titleOrdinal;
  std::string title;
  uint16_t creationDataSize;
};

struct ReadDialog {
  uint32_t style, extendedStyle;
  int16_t x, y, cx, cy;
  uint16_t menu, windowClass;
  std::string title;
  uint16_t pointSize;
  std::string face;
  std::vector<ReadItem> items;
  size_t length;  // bytes up to the last item's end
};

class DialogTemplateReader {
 public:
  DialogTemplateReader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

  ReadDialog Read() {
    ReadDialog d{};
    d.style = Dword();
    d.extendedStyle = Dword();
    const uint16_t count = Word();
    d.x = Short(); d.y = Short(); d.cx = Short(); d.cy = Short();
    d.menu = Word();
    d.windowClass = Word();
    if (d.menu != 0 || d.windowClass != 0) throw std::runtime_error("menu or class present");
    d.title = String();
    if (d.style & FONT_STYLE) {
      d.pointSize = Word();
      d.face = String();
    }
    for (uint16_t i = 0; i < count; ++i) d.items.push_back(Item());
    d.length = at_;
    return d;
  }

 private:
  static constexpr uint32_t FONT_STYLE = 0x40;  // DS_SETFONT
  static constexpr uint16_t ORDINAL = 0xFFFF;

  void Need(size_t n) const {
    if (n > size_ - at_) throw std::runtime_error("template cut off at " + std::to_string(at_));
  }
  uint16_t Word() { Need(2); at_ += 2; return LoadU16LE(bytes_ + at_ - 2); }
  int16_t Short() { return static_cast<int16_t>(Word()); }
  uint32_t Dword() { Need(4); at_ += 4; return LoadU32LE(bytes_ + at_ - 4); }

  // UTF-16 up to its terminator, as UTF-8; the builder's texts lie in the Basic
  // Multilingual Plane, so a surrogate is a fault.
  std::string String() {
    std::string s;
    for (uint16_t unit = Word(); unit != 0; unit = Word()) {
      if (unit >= 0xD800 && unit < 0xE000) throw std::runtime_error("a surrogate in a dialog text");
      if (unit < 0x80) {
        s += static_cast<char>(unit);
      } else if (unit < 0x800) {
        s += static_cast<char>(0xC0 | unit >> 6);
        s += static_cast<char>(0x80 | (unit & 0x3F));
      } else {
        s += static_cast<char>(0xE0 | unit >> 12);
        s += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (unit & 0x3F));
      }
    }
    return s;
  }

  ReadItem Item() {
    while (at_ % 4 != 0) {
      Need(1);
      if (bytes_[at_++] != 0) throw std::runtime_error("padding that is not zero");
    }
    ReadItem item{};
    item.offset = at_;
    item.style = Dword();
    item.extendedStyle = Dword();
    item.x = Short(); item.y = Short(); item.cx = Short(); item.cy = Short();
    item.id = Word();
    if (Word() != ORDINAL) throw std::runtime_error("a class given by name");
    item.classOrdinal = Word();
    Need(2);
    item.titleIsOrdinal = LoadU16LE(bytes_ + at_) == ORDINAL;
    if (item.titleIsOrdinal) {
      Word();
      item.titleOrdinal = Word();
    } else {
      item.title = String();
    }
    item.creationDataSize = Word();
    Need(item.creationDataSize);
    at_ += item.creationDataSize;
    return item;
  }

  const uint8_t* bytes_;
  size_t size_;
  size_t at_ = 0;
};

inline ReadDialog ReadDialogTemplate(const std::vector<uint8_t>& bytes) {
  return DialogTemplateReader(bytes.data(), bytes.size()).Read();
}

// The item with the given id; throws when there is none or more than one.
inline const ReadItem& ItemById(const ReadDialog& dialog, uint16_t id) {
  const ReadItem* found = nullptr;
  for (const ReadItem& item : dialog.items) {
    if (item.id != id) continue;
    if (found != nullptr) throw std::runtime_error("id " + std::to_string(id) + " twice");
    found = &item;
  }
  if (found == nullptr) throw std::runtime_error("no item " + std::to_string(id));
  return *found;
}

}  // namespace test_support
