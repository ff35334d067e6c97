// Code page conversions with glibc's iconv. Encoding refuses what the code page cannot hold
// (no //TRANSLIT: a setup shows exactly what its author wrote, or the build says why not);
// decoding and case go through tables of the code page's 256 bytes, made once.
#include "builder/io/code_page.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <stdexcept>

namespace {

constexpr char REPLACEMENT_CHARACTER[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8
constexpr uint32_t BYTE_VALUES = 256;

// The code pages glibc's iconv knows by these names, all single-byte.
const std::vector<uint16_t> SETUP_CODE_PAGES = {874,  1250, 1251, 1252, 1253,
                                                1254, 1255, 1256, 1257, 1258};

std::string IconvName(uint16_t codePage) { return "CP" + std::to_string(codePage); }

// One iconv conversion, closed however the scope ends.
class Converter {
 public:
  Converter(const std::string& to, const std::string& from) : handle(iconv_open(to.c_str(), from.c_str())) {
    if (handle == reinterpret_cast<iconv_t>(-1)) {
      throw std::invalid_argument("iconv cannot convert from " + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(handle); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of in; false with *stop at the input byte where it stopped (EILSEQ, or an
  // incomplete character at the end).
  bool Convert(const std::string& in, std::string* out, size_t* stop) {
    out->clear();
    char* input = const_cast<char*>(in.data());
    size_t inputLeft = in.size();
    char buffer[256];
    for (;;) {
      char* output = buffer;
      size_t outputLeft = sizeof buffer;
      const size_t result = iconv(handle, &input, &inputLeft, &output, &outputLeft);
      out->append(buffer, size_t(output - buffer));
      if (result != size_t(-1) && inputLeft == 0) break;
      if (result == size_t(-1) && errno == E2BIG) continue;
      if (result != size_t(-1)) continue;
      *stop = size_t(input - in.data());
      return false;
    }
    // Flush the shift state (none for these encodings, but iconv asks for it).
    char* output = buffer;
    size_t outputLeft = sizeof buffer;
    iconv(handle, nullptr, nullptr, &output, &outputLeft);
    out->append(buffer, size_t(output - buffer));
    return true;
  }

 private:
  iconv_t handle;
};

// The length of the UTF-8 sequence that starts with lead (1 for a byte that starts none).
size_t SequenceLength(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

bool ValidUtf8(const std::string& text) {
  std::string ignored;
  size_t stop = 0;
  return Converter("UTF-32LE", "UTF-8").Convert(text, &ignored, &stop);
}

std::string Utf32Character(uint32_t point) {
  const char units[4] = {char(point & 0xFF), char(point >> 8 & 0xFF), char(point >> 16 & 0xFF),
                         char(point >> 24 & 0xFF)};
  return std::string(units, 4);
}

}  // namespace

// The code page's 256 bytes, each in UTF-8 and in upper case.
struct CodePageTables {
  std::string utf8[BYTE_VALUES];  // U+FFFD for a byte the code page leaves undefined
  std::string upper;              // upper[b]: byte b in upper case
};

namespace {

// Case as Unicode has it (C.UTF-8 holds glibc's full case tables), kept where the upper case
// letter has no byte of its own in this code page.
CodePageTables MakeTables(uint16_t codePage) {
  CodePageTables tables;
  tables.upper.assign(BYTE_VALUES, '\0');
  const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
  Converter toUtf8("UTF-8", IconvName(codePage));
  Converter toUtf32("UTF-32LE", IconvName(codePage));
  Converter fromUtf32(IconvName(codePage), "UTF-32LE");
  for (uint32_t b = 0; b < BYTE_VALUES; ++b) {
    const std::string byte(1, char(b));
    std::string units, upper;
    size_t stop = 0;
    if (!toUtf8.Convert(byte, &tables.utf8[b], &stop)) tables.utf8[b] = REPLACEMENT_CHARACTER;
    tables.upper[b] = char(b);
    if (unicode == locale_t(0) || !toUtf32.Convert(byte, &units, &stop) || units.size() != 4) continue;
    const uint32_t point = uint8_t(units[0]) | uint8_t(units[1]) << 8 | uint8_t(units[2]) << 16;
    const wint_t upperPoint = towupper_l(wint_t(point), unicode);
    if (fromUtf32.Convert(Utf32Character(uint32_t(upperPoint)), &upper, &stop) && upper.size() == 1) {
      tables.upper[b] = upper[0];
    }
  }
  if (unicode != locale_t(0)) freelocale(unicode);
  return tables;
}

// The code page's tables, made once per process (768 conversions each).
const CodePageTables& TablesOf(uint16_t codePage) {
  static std::mutex made;
  static std::map<uint16_t, CodePageTables> tables;
  const std::lock_guard<std::mutex> lock(made);
  auto found = tables.find(codePage);
  if (found == tables.end()) found = tables.emplace(codePage, MakeTables(codePage)).first;
  return found->second;
}

}  // namespace

const std::vector<uint16_t>& SetupCodePages() { return SETUP_CODE_PAGES; }

bool IsSetupCodePage(uint32_t codePage) {
  return std::find(SETUP_CODE_PAGES.begin(), SETUP_CODE_PAGES.end(), codePage) != SETUP_CODE_PAGES.end();
}

const CodePageText& DefaultCodePageText() {
  static const CodePageText text(DEFAULT_CODE_PAGE);
  return text;
}

uint32_t Utf8Length(const std::string& text) {
  return uint32_t(std::count_if(text.begin(), text.end(), [](char c) { return (uint8_t(c) & 0xC0) != 0x80; }));
}

CodePageText::CodePageText(uint16_t codePage) : codePage_(codePage) {
  if (!IsSetupCodePage(codePage)) {
    throw std::invalid_argument("code page " + std::to_string(codePage) + " is not one a setup can be written in");
  }
  tables_ = &TablesOf(codePage);
}

bool CodePageText::Encode(const std::string& utf8, std::string* out, TextFault* fault) const {
  *fault = TextFault{};
  if (!ValidUtf8(utf8)) {
    fault->invalidUtf8 = true;
    return false;
  }
  size_t stop = 0;
  if (Converter(IconvName(codePage_), "UTF-8").Convert(utf8, out, &stop)) return true;
  fault->character = utf8.substr(stop, SequenceLength(uint8_t(utf8[stop])));
  fault->index = Utf8Length(utf8.substr(0, stop));
  return false;
}

std::string CodePageText::Decode(const std::string& bytes) const {
  std::string text;
  for (char b : bytes) text += tables_->utf8[uint8_t(b)];
  return text;
}

std::string CodePageText::UpperName(const std::string& bytes) const {
  std::string upper = bytes;
  for (char& c : upper) c = tables_->upper[uint8_t(c)];
  return upper;
}

std::vector<uint16_t> Utf16Units(const std::string& utf8) {
  std::string bytes;
  size_t stop = 0;
  if (!ValidUtf8(utf8) || !Converter("UTF-16LE", "UTF-8").Convert(utf8, &bytes, &stop)) {
    throw std::invalid_argument("the text is no UTF-8");
  }
  std::vector<uint16_t> units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) units.push_back(uint16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8));
  return units;
}
