// A manifest is UTF-8; the setup's texts and names are bytes of its code page. Every text is
// converted, what the code page cannot hold is a problem at its column, limits count
// characters, and names are compared in the code page's upper case.
#include <gtest/gtest.h>

#include "builder/io/code_page.h"
#include "support/manifest_folder.h"

using namespace manifest_test;

namespace {

class ManifestCodePage : public ManifestReading {
 protected:
  void SetUp() override { folder.Write("a.txt", std::string("a")); }
};

TEST_F(ManifestCodePage, TextsAreWrittenInTheCodePageTheManifestNames) {
  // "Café €" is 43 61 66 C3 A9 20 E2 82 AC in UTF-8.
  EXPECT_EQ(Good("[setup]\napp_name = \"Caf\xC3\xA9 \xE2\x82\xAC\"\n").appName, "Caf\xE9 \x80");
  const Manifest czech = Good("[setup]\ncode_page = 1250\napp_name = \"\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88\"\n");
  EXPECT_EQ(czech.codePage, 1250);
  EXPECT_EQ(czech.appName, "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2");  // "Žluťoučký kůň"
  const Manifest russian = Good("[setup]\ncode_page = 1251\n[texts.welcome]\ntitle = \"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\"\n");
  ASSERT_EQ(russian.texts.size(), 1u);
  EXPECT_EQ(russian.texts[0].text, "\xCF\xF0\xE8\xE2\xE5\xF2");  // "Привет"
  EXPECT_EQ(Good("").codePage, DEFAULT_CODE_PAGE);
}

TEST_F(ManifestCodePage, CharacterTheCodePageCannotHoldIsAProblemAtItsColumn) {
  // 'Ω' stands at column 17 of line 3.
  const std::string problems = Bad("[setup]\ncode_page = 1252\napp_name = \"Ohm \xCE\xA9\"\n");
  EXPECT_NE(problems.find("setup.toml:3:17: setup.app_name: '\xCE\xA9' at column 17 cannot be written in code page 1252"),
            std::string::npos) << problems;
  // Written as an escape, it has no column of its own: the text's place and its index.
  const std::string escaped = Bad("[setup]\napp_name = \"Ohm \\u03A9\"\n");
  EXPECT_NE(escaped.find("setup.toml:2:12: setup.app_name: '\xCE\xA9' (character 5 of \"Ohm \xCE\xA9\") cannot be written"),
            std::string::npos) << escaped;
  // A file's name and a registry lookup are texts too.
  EXPECT_NE(Bad("[setup]\ncode_page = 1251\n[[files]]\nsource = \"a.txt\"\nname = \"caf\xC3\xA9.txt\"\n")
                .find("setup.toml:5:12: files[0].name: '\xC3\xA9' at column 12"), std::string::npos);
  EXPECT_NE(Bad("[setup]\ndirectory_from_registry = { key = \"Software\\\\\xCE\xA9\" }\n")
                .find("setup.directory_from_registry.key: '\xCE\xA9' at column"), std::string::npos);
}

TEST_F(ManifestCodePage, OnlySingleByteWindowsCodePagesAreTaken) {
  EXPECT_NE(Bad("[setup]\ncode_page = 932\n").find("setup.code_page: 932 is a double-byte code page"), std::string::npos);
  EXPECT_NE(Bad("[setup]\ncode_page = 65001\n").find("is not a Windows code page a setup can be written in"),
            std::string::npos);
  EXPECT_NE(Bad("[setup]\ncode_page = \"1252\"\n").find("setup.code_page:"), std::string::npos);
  for (uint16_t page : SetupCodePages()) EXPECT_EQ(Good("[setup]\ncode_page = " + std::to_string(page)).codePage, page);
}

TEST_F(ManifestCodePage, LimitsCountCharactersNotUtf8Bytes) {
  std::string name;  // 255 'é': 510 bytes of UTF-8, 255 characters in code page 1252
  for (int i = 0; i < 255; ++i) name += "\xC3\xA9";
  EXPECT_EQ(Good("[setup]\napp_name = \"" + name + "\"\n").appName.size(), 255u);
  const std::string problems = Bad("[setup]\napp_name = \"" + name + "\xC3\xA9\"\n");
  EXPECT_NE(problems.find("is 256 characters long"), std::string::npos) << problems;
}

TEST_F(ManifestCodePage, NamesFromTheFileSystemAreConvertedAtTheirSource) {
  folder.Write("docs/\xC3\x9C" "ber.txt", std::string("u"));            // "Über.txt"
  folder.Write("ru/\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB.txt", std::string("f"));  // "Файл.txt"
  const Manifest m = Good("[[files]]\nsource = \"docs\"\n");
  ASSERT_EQ(m.files.size(), 1u);
  EXPECT_EQ(m.files[0].record.name, "\xDC" "ber.txt");
  EXPECT_NE(Bad("[[files]]\nsource = \"ru\"\n").find("setup.toml:2:10: files[0].source: '\xD0\xA4' (character 1 of \"\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB.txt\")"),
            std::string::npos);
  EXPECT_EQ(Good("[setup]\ncode_page = 1251\n[[files]]\nsource = \"ru\"\n").files[0].record.name,
            "\xD4\xE0\xE9\xEB.txt");
}

TEST_F(ManifestCodePage, TargetsAreComparedAsWindowsComparesThem) {
  // Dot parts and separators, and case beyond ASCII in the setup's code page.
  EXPECT_NE(Bad("[[files]]\nsource = \"a.txt\"\nname = \"x/./y.txt\"\n[[files]]\nsource = \"a.txt\"\nname = \"x\\\\y.txt\"\n")
                .find("files[1]: \"x\\y.txt\" is installed by files[0] already"), std::string::npos);
  EXPECT_NE(Bad("[[files]]\nsource = \"a.txt\"\nname = \"\xC3\xA9t\xC3\xA9.txt\"\n[[files]]\nsource = \"a.txt\"\nname = \"\xC3\x89T\xC3\x89.TXT\"\n")
                .find("files[1]: \"\xC3\x89T\xC3\x89.TXT\" is installed by files[0] already"), std::string::npos);
  EXPECT_NE(Bad("[setup]\ncode_page = 1251\n[[files]]\nsource = \"a.txt\"\nname = \"\xD1\x84.txt\"\n"
                "[[files]]\nsource = \"a.txt\"\nname = \"\xD0\xA4.txt\"\n").find("is installed by files[0] already"),
            std::string::npos);
  // Different destinations are different targets.
  Good("[[files]]\nsource = \"a.txt\"\n[[files]]\nsource = \"a.txt\"\ndestination = \"system\"\n");
}

TEST_F(ManifestCodePage, InformationFileIsUtf8Text) {
  folder.Write("info.txt", std::string("Gr\xC3\xBC\xC3\x9F" "e\n"));
  const Manifest m = Good("[setup]\ninformation = \"info.txt\"\n");
  ASSERT_EQ(m.texts.size(), 1u);
  EXPECT_EQ(m.texts[0].text, "Gr\xFC\xDF" "e");
  folder.Write("latin1.txt", std::string("Gr\xFC\xDF" "e\n"));
  EXPECT_NE(Bad("[setup]\ninformation = \"latin1.txt\"\n").find("setup.information: is not UTF-8 text"),
            std::string::npos);
}

TEST(CodePageText, DecodesAndUppercasesItsOwnBytes) {
  const CodePageText russian(1251);
  EXPECT_EQ(russian.Decode("\xCF\xF0\xE8"), "\xD0\x9F\xD1\x80\xD0\xB8");
  EXPECT_EQ(russian.UpperName("\xF4\xE0\xe9\xeb.txt"), "\xD4\xC0\xC9\xCB.TXT");
  EXPECT_EQ(CodePageText(1252).UpperName("\xFF\xE9"), "\x9F\xC9");  // 'ÿ' to 'Ÿ' at 0x9F
  EXPECT_EQ(CodePageText(1252).Decode("\x81"), "\xEF\xBF\xBD");     // undefined in 1252
  EXPECT_THROW(CodePageText(932), std::invalid_argument);
}

}  // namespace
