// The setup's code page: a manifest is UTF-8, the program's texts and names are bytes of one
// Windows ANSI code page, and its dialog templates are UTF-16. Conversions go through iconv.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The code page a setup's texts are written in when its manifest names none.
constexpr uint16_t DEFAULT_CODE_PAGE = 1252;

// The single-byte Windows code pages a setup may be written in, in order. The double-byte
// ones (932, 936, 949, 950) are left out: the program walks its paths byte by byte, and their
// trail bytes include '\\'.
const std::vector<uint16_t>& SetupCodePages();

// Whether codePage is one of SetupCodePages().
bool IsSetupCodePage(uint32_t codePage);

// What a conversion from UTF-8 found wrong: the first character it could not write.
struct TextFault {
  bool invalidUtf8 = false;  // the input is no UTF-8 at all
  std::string character;     // the character as UTF-8, when one could not be written
  uint32_t index = 0;        // its place in the text, counted in characters from 0
};

// UTF-8 text in a setup code page. Throws std::invalid_argument for another code page.
struct CodePageTables;

class CodePageText {
 public:
  explicit CodePageText(uint16_t codePage = DEFAULT_CODE_PAGE);
  uint16_t CodePage() const { return codePage_; }

  // The text's bytes in the code page, one per character; false with the fault when a
  // character has no byte there (nothing is approximated) or the input is no UTF-8.
  bool Encode(const std::string& utf8, std::string* out, TextFault* fault) const;

  // Bytes of the code page as UTF-8 (for the tool's own output and the files it extracts). A
  // byte the code page leaves undefined becomes U+FFFD.
  std::string Decode(const std::string& bytes) const;

  // The text's bytes in the code page, each character compared as Windows compares names: in
  // upper case (the letters of every script the code page holds, not ASCII alone).
  std::string UpperName(const std::string& bytes) const;

 private:
  uint16_t codePage_;
  const CodePageTables* tables_;  // made once per code page, kept for the process
};

// The texts of DEFAULT_CODE_PAGE, made once.
const CodePageText& DefaultCodePageText();

// The number of UTF-8 characters in text (bytes that start a character).
uint32_t Utf8Length(const std::string& text);

// UTF-8 text as UTF-16 code units (for the dialog templates). Throws std::invalid_argument
// for text that is no UTF-8.
std::vector<uint16_t> Utf16Units(const std::string& utf8);
