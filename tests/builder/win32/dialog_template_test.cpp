// The dialog template writer, read back field by field, and the template block's table.
#include <gtest/gtest.h>

#include <stdexcept>

#include "archive/archive_format.h"
#include "base/byte_order.h"
#include "builder/win32/dialog_template.h"
#include "builder/win32/win32_constants.h"
#include "resources/dialog_ids.h"
#include "support/dialog_template_reader.h"

using test_support::ReadDialog;
using test_support::ReadDialogTemplate;
using test_support::ReadItem;

namespace {

DialogLayout SampleLayout() {
  return {WS_CHILD | WS_VISIBLE, 3, 5, 120, 80, "Caf\xC3\xA9 \xE2\x82\xAC",  // "Café €" in UTF-8
          {{WS_CHILD | WS_VISIBLE | SS_CENTER, 4, 6, 100, 8, ID_PAGE_TEXT_1, CLASS_STATIC, "A"},
           {WS_CHILD | WS_TABSTOP, 4, 20, 50, 14, ID_NEXT, CLASS_BUTTON, "&Next >"},
           {WS_CHILD | WS_BORDER, 4, 40, 60, 12, ID_DIRECTORY_EDIT, CLASS_EDIT, ""}}};
}

TEST(DialogTemplate, WritesHeaderTitleAndFont) {
  std::vector<uint8_t> bytes = BuildDialogTemplate(SampleLayout());
  ReadDialog d = ReadDialogTemplate(bytes);
  EXPECT_EQ(d.style, WS_CHILD | WS_VISIBLE | DS_SETFONT);
  EXPECT_EQ(d.extendedStyle, 0u);
  EXPECT_EQ(LoadU16LE(&bytes[8]), 3u);  // the item count
  EXPECT_EQ(d.x, 3);
  EXPECT_EQ(d.y, 5);
  EXPECT_EQ(d.cx, 120);
  EXPECT_EQ(d.cy, 80);
  EXPECT_EQ(d.title, "Caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(LoadU16LE(&bytes[22 + 3 * 2]), 0x00E9u);  // 'e acute'
  EXPECT_EQ(LoadU16LE(&bytes[22 + 5 * 2]), 0x20ACu);  // the euro sign, beyond Latin-1
  EXPECT_EQ(LoadU16LE(&bytes[22 + 6 * 2]), 0u);  // six units, not one per UTF-8 byte
  EXPECT_EQ(d.pointSize, 8);
  EXPECT_EQ(d.face, "MS Sans Serif");
  EXPECT_EQ(d.length, bytes.size());
}

TEST(DialogTemplate, WritesEveryItemFieldAligned) {
  const DialogLayout layout = SampleLayout();
  std::vector<uint8_t> bytes = BuildDialogTemplate(layout);
  ReadDialog d = ReadDialogTemplate(bytes);
  ASSERT_EQ(d.items.size(), layout.items.size());
  for (size_t i = 0; i < d.items.size(); ++i) {
    const ReadItem& got = d.items[i];
    const DialogItem& want = layout.items[i];
    SCOPED_TRACE(want.id);
    EXPECT_EQ(got.offset % 4, 0u);
    EXPECT_EQ(got.style, want.style);
    EXPECT_EQ(got.extendedStyle, 0u);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.classOrdinal, want.controlClass);
    EXPECT_FALSE(got.titleIsOrdinal);
    EXPECT_EQ(got.title, want.title);
    EXPECT_EQ(got.creationDataSize, 0u);
  }
}

TEST(DialogTemplate, ClassOrdinalsAreThePredefinedAtoms) {
  EXPECT_EQ(CLASS_BUTTON, 0x0080);
  EXPECT_EQ(CLASS_EDIT, 0x0081);
  EXPECT_EQ(CLASS_STATIC, 0x0082);
  EXPECT_EQ(CLASS_LIST_BOX, 0x0083);
  EXPECT_EQ(CLASS_COMBO_BOX, 0x0085);
}

TEST(DialogTemplate, IconTitleIsResourceOrdinal) {
  DialogItem icon{WS_CHILD | WS_VISIBLE | SS_ICON, 1, 2, 20, 20, ID_UNADDRESSED, CLASS_STATIC, ""};
  icon.titleResource = PROGRAM_ICON;
  std::vector<uint8_t> bytes = BuildDialogTemplate({WS_CHILD, 0, 0, 50, 50, "", {icon}});
  ReadDialog d = ReadDialogTemplate(bytes);
  ASSERT_EQ(d.items.size(), 1u);
  EXPECT_TRUE(d.items[0].titleIsOrdinal);
  EXPECT_EQ(d.items[0].titleOrdinal, PROGRAM_ICON);
  EXPECT_EQ(d.items[0].id, 0xFFFF);
  EXPECT_EQ(d.length, bytes.size());
}

TEST(DialogTemplate, NegativeCoordinatesKeepTheirSign) {
  DialogItem item{WS_CHILD, -4, -1, 10, 10, ID_PAGE_TEXT_1, CLASS_STATIC, ""};
  ReadDialog d = ReadDialogTemplate(BuildDialogTemplate({WS_POPUP, -20, -30, 50, 50, "", {item}}));
  EXPECT_EQ(d.x, -20);
  EXPECT_EQ(d.y, -30);
  EXPECT_EQ(d.items.at(0).x, -4);
  EXPECT_EQ(d.items.at(0).y, -1);
}

TEST(DialogTemplate, RefusesNulInTextsAndTemplateLongerThanCopy) {
  DialogLayout withNul = SampleLayout();
  withNul.items[0].title = std::string("a\0b", 3);
  EXPECT_THROW(BuildDialogTemplate(withNul), std::runtime_error);
  DialogLayout titled = SampleLayout();
  titled.title = std::string(1, '\0');
  EXPECT_THROW(BuildDialogTemplate(titled), std::runtime_error);
  // Each item of this title takes more than 2 KiB, so eight of them pass the copy's size.
  DialogLayout huge = SampleLayout();
  huge.items.assign(8, {WS_CHILD, 0, 0, 1, 1, ID_PAGE_TEXT_1, CLASS_STATIC, std::string(1100, 'x')});
  EXPECT_THROW(BuildDialogTemplate(huge), std::runtime_error);
  huge.items.resize(7);
  EXPECT_LE(BuildDialogTemplate(huge).size(), TEMPLATE_COPY_SIZE);
}

TEST(TemplateBlock, TablePointsAtTemplatesBackToBack) {
  std::vector<std::vector<uint8_t>> templates(TEMPLATE_COUNT);
  templates[0] = {1, 2, 3, 4, 5};
  templates[2] = {6, 7, 8};
  templates[8] = {9};
  std::vector<uint8_t> block = BuildTemplateBlock(templates);
  ASSERT_EQ(block.size(), 36u + 5 + 3 + 1);
  EXPECT_EQ(LoadU32LE(&block[0]), 36u);
  EXPECT_EQ(LoadU32LE(&block[4]), 0xFFFFFFFFu);  // absent
  EXPECT_EQ(LoadU32LE(&block[8]), 41u);          // not a multiple of 4: no padding
  EXPECT_EQ(LoadU32LE(&block[32]), 44u);
  EXPECT_EQ(block[36], 1);
  EXPECT_EQ(block[41], 6);
  EXPECT_EQ(block[44], 9);
}

TEST(TemplateBlock, RefusesOtherThanNineEntries) {
  EXPECT_THROW(BuildTemplateBlock(std::vector<std::vector<uint8_t>>(8)), std::invalid_argument);
  EXPECT_THROW(BuildTemplateBlock(std::vector<std::vector<uint8_t>>(10)), std::invalid_argument);
}

}  // namespace
