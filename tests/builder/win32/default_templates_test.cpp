// The default templates, read back: every control of every template where the program
// looks for it, with its class, style and rectangle, and all of them inside their dialog.
#include <gtest/gtest.h>

#include "archive/archive_format.h"
#include "base/byte_order.h"
#include "builder/win32/default_templates.h"
#include "builder/win32/win32_constants.h"
#include "resources/dialog_ids.h"
#include "support/dialog_template_reader.h"

using test_support::ItemById;
using test_support::ReadDialog;
using test_support::ReadDialogTemplate;
using test_support::ReadItem;

namespace {

constexpr uint32_t SHOWN = WS_CHILD | WS_VISIBLE;
constexpr uint32_t HIDDEN = WS_CHILD;
constexpr uint32_t PUSH = SHOWN | WS_TABSTOP | BS_PUSHBUTTON;
constexpr uint32_t CENTRED_TEXT = SHOWN | SS_CENTER | SS_NOPREFIX;
constexpr uint32_t PAGE_TEMPLATES[] = {TEMPLATE_DIRECTORY_PAGE, TEMPLATE_INFORMATION_PAGE,
                                       TEMPLATE_PROGRESS_PAGE,  TEMPLATE_TEXT_PAGE,
                                       TEMPLATE_FINISH_PAGE,    TEMPLATE_CLOSING_PAGE};
// A combo box's height includes its dropped list, a pop-up that may pass the dialog's edge;
// only the closed selection field must lie inside.
constexpr int16_t COMBO_FIELD_HEIGHT = 12;

struct Control {
  uint16_t id;
  uint16_t controlClass;
  uint32_t style;
  int16_t x, y, cx, cy;
};

// Each control as expected, and no other.
void ExpectControls(uint32_t n, const std::vector<Control>& expected) {
  ReadDialog d = ReadDialogTemplate(DefaultTemplate(n));
  EXPECT_EQ(d.items.size(), expected.size());
  for (const Control& c : expected) {
    SCOPED_TRACE(testing::Message() << "template " << n << ", control " << c.id);
    const ReadItem& item = ItemById(d, c.id);
    EXPECT_EQ(item.classOrdinal, c.controlClass);
    EXPECT_EQ(item.style, c.style);
    EXPECT_EQ(item.x, c.x);
    EXPECT_EQ(item.y, c.y);
    EXPECT_EQ(item.cx, c.cx);
    EXPECT_EQ(item.cy, c.cy);
  }
}

TEST(DefaultTemplates, FramesHoldAreasAndButtons) {
  EXPECT_EQ(ReadDialogTemplate(DefaultTemplate(TEMPLATE_FRAME_WINDOWED)).style, 0x50000040u);
  ReadDialog full = ReadDialogTemplate(DefaultTemplate(TEMPLATE_FRAME_FULL_SCREEN));
  EXPECT_EQ(full.style, 0x50C800C0u);
  EXPECT_FALSE(full.title.empty());
  EXPECT_EQ(full.cx, 285);
  EXPECT_EQ(full.cy, 213);
  for (uint32_t n : {TEMPLATE_FRAME_WINDOWED, TEMPLATE_FRAME_FULL_SCREEN}) {
    ExpectControls(n, {{ID_PICTURE_AREA, CLASS_STATIC, HIDDEN, 5, 4, 85, 172},
                       {ID_PAGE_AREA, CLASS_STATIC, HIDDEN, 97, 4, 182, 172},
                       {ID_SEPARATOR, CLASS_STATIC, HIDDEN, 5, 182, 274, 2},
                       {ID_BACK, CLASS_BUTTON, PUSH, 129, 190, 50, 14},
                       {ID_NEXT, CLASS_BUTTON, SHOWN | WS_TABSTOP | BS_DEFPUSHBUTTON, 179, 190, 50, 14},
                       {ID_CANCEL, CLASS_BUTTON, PUSH, 229, 190, 50, 14}});
  }
  ReadDialog windowed = ReadDialogTemplate(DefaultTemplate(TEMPLATE_FRAME_WINDOWED));
  EXPECT_EQ(windowed.cx, 288);
  EXPECT_EQ(windowed.cy, 214);
}

TEST(DefaultTemplates, PagesAreChildControlsOfPageSize) {
  for (uint32_t n : PAGE_TEMPLATES) {
    ReadDialog d = ReadDialogTemplate(DefaultTemplate(n));
    EXPECT_EQ(d.style, 0x50000440u) << n;
    EXPECT_EQ(d.cx, 182) << n;
    EXPECT_EQ(d.cy, 172) << n;
    EXPECT_EQ(d.pointSize, 8) << n;
    EXPECT_EQ(d.face, "MS Sans Serif") << n;
  }
}

TEST(DefaultTemplates, TextPageHoldsFourCentredTexts) {
  ExpectControls(TEMPLATE_TEXT_PAGE, {{ID_PAGE_TEXT_1, CLASS_STATIC, CENTRED_TEXT, 4, 15, 174, 25},
                                      {ID_PAGE_TEXT_2, CLASS_STATIC, CENTRED_TEXT, 4, 47, 174, 25},
                                      {ID_PAGE_TEXT_3, CLASS_STATIC, CENTRED_TEXT, 4, 79, 174, 25},
                                      {ID_PAGE_TEXT_4, CLASS_STATIC, CENTRED_TEXT, 4, 131, 174, 25}});
}

TEST(DefaultTemplates, InformationPageIsReadOnlyScrollingEdit) {
  ExpectControls(TEMPLATE_INFORMATION_PAGE, {{ID_PAGE_TEXT_1, CLASS_EDIT, 0x50A10844u, 5, 5, 170, 160}});
}

TEST(DefaultTemplates, DirectoryPageHoldsFolderAndSpace) {
  const uint32_t edit = SHOWN | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
  ExpectControls(TEMPLATE_DIRECTORY_PAGE,
                 {{ID_PAGE_TEXT_1, CLASS_STATIC, SHOWN | SS_LEFT | SS_NOPREFIX, 3, 9, 174, 18},
                  {ID_DIRECTORY_EDIT, CLASS_EDIT, edit, 3, 28, 146, 14},
                  {ID_BROWSE, CLASS_BUTTON, PUSH, 153, 28, 24, 14},
                  {ID_SPACE_NEEDED_LABEL, CLASS_STATIC, SHOWN | SS_LEFT, 3, 46, 106, 8},
                  {ID_SPACE_NEEDED, CLASS_STATIC, SHOWN | SS_RIGHT, 114, 46, 35, 8},
                  {ID_SPACE_FREE_LABEL, CLASS_STATIC, SHOWN | SS_LEFT, 3, 58, 106, 8},
                  {ID_SPACE_FREE, CLASS_STATIC, SHOWN | SS_RIGHT, 114, 58, 35, 8},
                  {ID_PAGE_TEXT_2, CLASS_STATIC, CENTRED_TEXT, 3, 79, 174, 25},
                  {ID_PAGE_TEXT_3, CLASS_STATIC, CENTRED_TEXT, 3, 108, 174, 25},
                  {ID_PAGE_TEXT_4, CLASS_STATIC, CENTRED_TEXT, 3, 137, 174, 25}});
}

TEST(DefaultTemplates, ProgressPageHoldsFileLineAndBarPlaceholder) {
  ExpectControls(TEMPLATE_PROGRESS_PAGE,
                 {{ID_PROGRESS_GROUP, CLASS_BUTTON, SHOWN | BS_GROUPBOX, 4, 6, 173, 55},
                  {ID_PAGE_TEXT_1, CLASS_STATIC, SHOWN | SS_RIGHT, 7, 20, 26, 8},
                  {ID_CURRENT_FILE, CLASS_STATIC, SHOWN | SS_NOPREFIX, 39, 20, 134, 8},
                  {ID_PROGRESS_BAR, CLASS_STATIC, HIDDEN, 13, 34, 154, 12},
                  {ID_PROGRESS_PERCENT, CLASS_STATIC, SHOWN | SS_LEFT, 14, 48, 25, 8},
                  {ID_PAGE_TEXT_2, CLASS_STATIC, CENTRED_TEXT, 4, 67, 174, 98}});
}

TEST(DefaultTemplates, FinishPageHoldsOpenButtonAndRunCheckBox) {
  ExpectControls(TEMPLATE_FINISH_PAGE,
                 {{ID_PAGE_TEXT_1, CLASS_STATIC, CENTRED_TEXT, 4, 15, 174, 25},
                  {ID_PAGE_TEXT_2, CLASS_STATIC, CENTRED_TEXT, 4, 49, 174, 25},
                  {ID_OPEN_DOCUMENT, CLASS_BUTTON, PUSH, 40, 78, 101, 14},
                  {ID_PAGE_TEXT_3, CLASS_STATIC, CENTRED_TEXT, 4, 103, 174, 25},
                  {ID_RUN_AT_END, CLASS_BUTTON, SHOWN | WS_TABSTOP | BS_AUTOCHECKBOX, 4, 130, 173, 10}});
}

TEST(DefaultTemplates, FolderChooserShowsFolderListAndDrives) {
  ReadDialog d = ReadDialogTemplate(DefaultTemplate(TEMPLATE_FOLDER_CHOOSER));
  EXPECT_EQ(d.style, 0x80C800C0u);
  EXPECT_EQ(d.cx, 199);
  EXPECT_EQ(d.cy, 139);
  const uint32_t list = SHOWN | WS_VSCROLL | LBS_SORT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                        LBS_NOTIFY | LBS_DISABLENOSCROLL;
  const uint32_t drives = SHOWN | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
  const ReadItem& folders = ItemById(d, ID_CHOOSER_FOLDER_LIST);
  EXPECT_EQ(folders.style & list, list);
  EXPECT_EQ(folders.classOrdinal, CLASS_LIST_BOX);
  EXPECT_EQ(ItemById(d, ID_CHOOSER_DRIVE_LIST).style & drives, drives);
  EXPECT_EQ(ItemById(d, ID_CHOOSER_DRIVE_LIST).classOrdinal, CLASS_COMBO_BOX);
  EXPECT_EQ(ItemById(d, ID_CHOOSER_OK).style, SHOWN | WS_TABSTOP | BS_DEFPUSHBUTTON);
  EXPECT_EQ(ItemById(d, ID_CHOOSER_FOLDER).style & ES_AUTOHSCROLL, ES_AUTOHSCROLL);
  EXPECT_EQ(ItemById(d, ID_CHOOSER_FOLDER).classOrdinal, CLASS_EDIT);
  const ReadItem& label = ItemById(d, ID_CHOOSER_FOLDER_LABEL);
  EXPECT_EQ(label.y + label.cy, ItemById(d, ID_CHOOSER_FOLDER).y - 2);  // right above the box
}

TEST(DefaultTemplates, FolderChooserPlacesVisibleControls) {
  const uint32_t skip = 0;  // styles are checked by FolderChooserShowsFolderListAndDrives
  ReadDialog d = ReadDialogTemplate(DefaultTemplate(TEMPLATE_FOLDER_CHOOSER));
  for (Control c : std::vector<Control>{{ID_CHOOSER_FOLDER, CLASS_EDIT, skip, 5, 13, 186, 12},
                                        {ID_CHOOSER_FOLDER_LIST, CLASS_LIST_BOX, skip, 5, 31, 115, 76},
                                        {ID_CHOOSER_DRIVE_LIST, CLASS_COMBO_BOX, skip, 5, 114, 115, 68},
                                        {ID_CHOOSER_OK, CLASS_BUTTON, skip, 128, 31, 64, 14},
                                        {ID_CHOOSER_CANCEL, CLASS_BUTTON, skip, 128, 48, 64, 14},
                                        {ID_CHOOSER_FOLDER_LABEL, CLASS_STATIC, skip, 5, 3, 186, 8},
                                        {ID_CHOOSER_DRIVE_LABEL, CLASS_STATIC, skip, 5, 104, 115, 8}}) {
    const ReadItem& item = ItemById(d, c.id);
    EXPECT_EQ(item.classOrdinal, c.controlClass) << c.id;
    EXPECT_TRUE(item.x == c.x && item.y == c.y && item.cx == c.cx && item.cy == c.cy) << c.id;
    EXPECT_TRUE(item.style & WS_VISIBLE) << c.id;
  }
}

TEST(DefaultTemplates, FolderChooserHidesSaveDialogControls) {
  ReadDialog d = ReadDialogTemplate(DefaultTemplate(TEMPLATE_FOLDER_CHOOSER));
  const std::pair<uint16_t, uint16_t> hidden[] = {
      {ID_CHOOSER_CURRENT_FOLDER, CLASS_STATIC}, {ID_CHOOSER_FILE_NAME, CLASS_EDIT},
      {ID_CHOOSER_FILE_LIST, CLASS_LIST_BOX},    {ID_CHOOSER_TYPE_LABEL, CLASS_STATIC},
      {ID_CHOOSER_TYPE_LIST, CLASS_COMBO_BOX},   {ID_CHOOSER_HELP, CLASS_BUTTON},
      {ID_CHOOSER_READ_ONLY, CLASS_BUTTON},      {ID_CHOOSER_FILE_NAME_LABEL, CLASS_STATIC}};
  for (auto [id, controlClass] : hidden) {
    const ReadItem& item = ItemById(d, id);
    EXPECT_EQ(item.classOrdinal, controlClass) << id;
    EXPECT_EQ(item.style & WS_VISIBLE, 0u) << id;
  }
  EXPECT_EQ(d.items.size(), 7u + std::size(hidden));
}

TEST(DefaultTemplates, ClosingPageHoldsCaptionWebButtonAndIcon) {
  ReadDialog d = ReadDialogTemplate(DefaultTemplate(TEMPLATE_CLOSING_PAGE));
  EXPECT_EQ(ItemById(d, ID_CLOSING_CAPTION).classOrdinal, CLASS_STATIC);
  EXPECT_FALSE(ItemById(d, ID_CLOSING_CAPTION).title.empty());
  const ReadItem& web = ItemById(d, ID_WEB_BUTTON);
  EXPECT_EQ(web.classOrdinal, CLASS_BUTTON);
  EXPECT_EQ(web.style, PUSH);
  EXPECT_FALSE(web.title.empty());
  int icons = 0, texts = 0;
  for (const ReadItem& item : d.items) {
    if (item.titleIsOrdinal && item.titleOrdinal == PROGRAM_ICON && (item.style & 0xF) == SS_ICON) ++icons;
    if (item.id == ID_UNADDRESSED && !item.titleIsOrdinal && !item.title.empty()) ++texts;
  }
  EXPECT_EQ(icons, 1);
  EXPECT_GE(texts, 1);
  EXPECT_LE(texts, 2);
}

TEST(DefaultTemplates, ClosingPageWithoutAWebAddressHasNoWebButton) {
  ReadDialog d = ReadDialogTemplate(DefaultTemplate(TEMPLATE_CLOSING_PAGE, WebButton::WITHOUT));
  for (const ReadItem& item : d.items) EXPECT_NE(item.id, ID_WEB_BUTTON);
  EXPECT_EQ(ItemById(d, ID_CLOSING_CAPTION).classOrdinal, CLASS_STATIC);
  // The other templates are the same either way.
  for (uint32_t n = 0; n < TEMPLATE_COUNT; ++n) {
    if (n == TEMPLATE_CLOSING_PAGE) continue;
    EXPECT_EQ(DefaultTemplate(n, WebButton::WITHOUT), DefaultTemplate(n, WebButton::WITH)) << n;
  }
}

TEST(DefaultTemplates, EveryControlLiesInsideItsDialog) {
  for (uint32_t n = 0; n < TEMPLATE_COUNT; ++n) {
    ReadDialog d = ReadDialogTemplate(DefaultTemplate(n));
    for (const ReadItem& item : d.items) {
      const int16_t height = item.classOrdinal == CLASS_COMBO_BOX ? COMBO_FIELD_HEIGHT : item.cy;
      EXPECT_TRUE(item.x >= 0 && item.y >= 0 && item.cx > 0 && height > 0 &&
                  item.x + item.cx <= d.cx && item.y + height <= d.cy)
          << "template " << n << ", control " << item.id;
    }
  }
}

TEST(DefaultTemplates, FramePageAreaHasPageSize) {
  for (uint32_t frame : {TEMPLATE_FRAME_WINDOWED, TEMPLATE_FRAME_FULL_SCREEN}) {
    const ReadDialog frameDialog = ReadDialogTemplate(DefaultTemplate(frame));
    const ReadItem& area = ItemById(frameDialog, ID_PAGE_AREA);
    for (uint32_t page : PAGE_TEMPLATES) {
      ReadDialog d = ReadDialogTemplate(DefaultTemplate(page));
      EXPECT_TRUE(d.cx == area.cx && d.cy == area.cy) << frame << " " << page;
    }
  }
}

TEST(DefaultTemplates, BlockHoldsAllNineAtUnalignedOffsets) {
  std::vector<uint8_t> block = DefaultTemplateBlock();
  EXPECT_EQ(LoadU32LE(block.data()), 36u);
  int unaligned = 0;
  for (uint32_t n = 0; n < TEMPLATE_COUNT; ++n) {
    std::vector<uint8_t> alone = DefaultTemplate(n);
    uint32_t offset = LoadU32LE(&block[4 * n]);
    ASSERT_LE(offset + alone.size(), block.size()) << n;
    EXPECT_TRUE(std::equal(alone.begin(), alone.end(), block.begin() + offset)) << n;
    uint32_t end = n + 1 < TEMPLATE_COUNT ? LoadU32LE(&block[4 * n + 4]) : block.size();
    EXPECT_EQ(end - offset, alone.size()) << n;  // back to back
    unaligned += offset % 4 != 0;
  }
  EXPECT_GT(unaligned, 0);
}

TEST(DefaultTemplates, NoTemplateBeyondTheNine) {
  EXPECT_THROW(DefaultTemplateLayout(TEMPLATE_COUNT), std::out_of_range);
}

}  // namespace
