// The uninstall program as the builder makes it: the program image with its ImageSize
// patched, its texts in the block the program reads, closed by the end header that a setup
// replaces; read back by the program's own reader.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "base/byte_order.h"
#include "builder/manifest/text_names.h"
#include "builder/setup/default_texts.h"
#include "builder/setup/uninstall_program.h"
#include "support/fake_image.h"
#include "uninstall/removal_list.h"

using test_support::FAKE_IMAGE_MARKER_OFFSET;
using test_support::FAKE_IMAGE_SIZE;
using test_support::FakeImage;

namespace {

TEST(UninstallProgram, TextsFollowThePatchedImageAndTheEndHeaderCloses) {
  const std::vector<std::string> texts = DefaultUninstallTexts("Demo");
  const std::vector<uint8_t> program = BuildUninstallProgram(FakeImage(), texts);
  EXPECT_EQ(LoadU32LE(&program[FAKE_IMAGE_MARKER_OFFSET + IMAGE_SIZE_MARKER_LENGTH]), FAKE_IMAGE_SIZE);
  // The last 8 bytes are the header that the setup overwrites with its first block.
  const uint8_t* end = program.data() + program.size() - BLOCK_HEADER_SIZE;
  EXPECT_EQ(LoadU16LE(end), BLOCK_END);
  EXPECT_EQ(LoadU16LE(end + 2) + LoadU32LE(end + 4), 0u);
  RemovalList list;
  ASSERT_EQ(ReadRemovalList(program.data() + FAKE_IMAGE_SIZE, uint32_t(program.size() - FAKE_IMAGE_SIZE), &list),
            REMOVAL_LIST_EMPTY);
  for (uint32_t n = 0; n < UNINSTALL_TEXTS_KNOWN; ++n) {
    EXPECT_EQ(std::string(list.texts[n].text, list.texts[n].length), texts[n]) << n;
  }
}

TEST(UninstallProgram, RefusesAnImageWithoutItsRecordAndOverlongTexts) {
  EXPECT_THROW(BuildUninstallProgram(std::vector<uint8_t>(300, 0xCC), {"x"}), std::runtime_error);
  EXPECT_THROW(BuildUninstallProgram(FakeImage(), {std::string(70000, 'x')}), std::runtime_error);
}

TEST(DefaultUninstallTexts, FormatsHoldTheirOnePathAndEveryTextIsNamed) {
  const std::vector<std::string> texts = DefaultUninstallTexts("100% Pure");
  ASSERT_EQ(texts.size(), size_t{UNINSTALL_TEXTS_KNOWN});
  std::set<uint32_t> named;
  for (const TextName& entry : TextNames()) {
    if (entry.list != UNINSTALL_TEXT_LIST) continue;
    named.insert(entry.index);
    EXPECT_EQ(CheckTextConversion(entry, texts.at(entry.index)), "") << entry.name;
    EXPECT_FALSE(texts[entry.index].empty()) << entry.name;
  }
  EXPECT_EQ(named.size(), size_t{UNINSTALL_TEXTS_KNOWN});
  EXPECT_NE(texts[UNINSTALL_NOT_REMOVED].find("100%% Pure"), std::string::npos);  // formatted
  EXPECT_EQ(texts[UNINSTALL_TITLE], "100% Pure Uninstall");                         // as it stands
}

}  // namespace
