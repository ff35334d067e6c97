// Template copies: a copy is made only for a template that lies wholly within the template
// block and the copy; the copy starts aligned whatever the template's offset.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "archive/setup_archive.h"
#include "archive/templates.h"
#include "base/memory.h"
#include "builder/win32/default_templates.h"
#include "resources/dialog_ids.h"
#include "support/dialog_templates.h"

using namespace test_templates;

namespace {

class TemplateCopyTest : public ::testing::Test {
 protected:
  void TearDown() override { FreeSetupArchive(); }

  void Load(const std::vector<uint8_t>& block) {
    ASSERT_TRUE(MemAlloc(static_cast<uint32_t>(block.size()), &Archive.templates));
    std::memcpy(Archive.templates, block.data(), block.size());
    Archive.templatesSize = static_cast<uint32_t>(block.size());
  }

  void SetOffset(uint32_t n, uint32_t offset) {
    for (int i = 0; i < 4; ++i) Archive.templates[4 * n + i] = static_cast<uint8_t>(offset >> (8 * i));
  }
};

TEST_F(TemplateCopyTest, CopiesUnalignedTemplateToAlignedBlock) {
  std::vector<uint8_t> page = PageTemplate();
  std::vector<uint8_t> odd = {0x55};  // template 3 of one byte: it never gets a copy
  Load(TemplateBlock({{3, odd}, {5, page}}));
  const uint32_t offset = TEMPLATE_TABLE_SIZE + 1;
  void* copy = GetTemplateCopy(5);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(copy) % 4, 0u);
  EXPECT_EQ(std::memcmp(copy, Archive.templates + offset, page.size()), 0);
  EXPECT_EQ(GlobalSize(GlobalHandle(copy)), TEMPLATE_COPY_SIZE);
  FreeTemplateCopy(copy);
  EXPECT_EQ(GetTemplateCopy(3), nullptr);
}

TEST_F(TemplateCopyTest, EachCallGetsItsOwnCopy) {
  Load(TemplateBlock({{5, PageTemplate()}}));
  void* first = GetTemplateCopy(5);
  void* second = GetTemplateCopy(5);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  FreeTemplateCopy(first);
  FreeTemplateCopy(second);
  FreeTemplateCopy(nullptr);  // ignored
}

TEST_F(TemplateCopyTest, NoCopyWithoutTemplateBlockOrTable) {
  EXPECT_EQ(GetTemplateCopy(0), nullptr);  // no block at all
  std::vector<uint8_t> block = TemplateBlock({{0, FrameTemplate()}});
  block.resize(TEMPLATE_TABLE_SIZE - 1);   // shorter than its offset table
  Load(block);
  EXPECT_EQ(GetTemplateCopy(0), nullptr);
}

TEST_F(TemplateCopyTest, NoCopyForOffsetOutsideTemplateArea) {
  Load(TemplateBlock({{0, FrameTemplate()}}));
  EXPECT_EQ(GetTemplateCopy(TEMPLATE_COUNT), nullptr);  // beyond the table
  EXPECT_EQ(GetTemplateCopy(1), nullptr);               // absent: offset 0xFFFFFFFF
  SetOffset(1, 0);                                      // inside the table
  EXPECT_EQ(GetTemplateCopy(1), nullptr);
  SetOffset(1, Archive.templatesSize);                  // at the block's end
  EXPECT_EQ(GetTemplateCopy(1), nullptr);
  SetOffset(1, Archive.templatesSize + 100);            // beyond it
  EXPECT_EQ(GetTemplateCopy(1), nullptr);
  void* frame = GetTemplateCopy(0);
  EXPECT_NE(frame, nullptr);
  FreeTemplateCopy(frame);
}

TEST_F(TemplateCopyTest, NoCopyForTemplateCutByBlockEnd) {
  std::vector<uint8_t> block = TemplateBlock({{0, FrameTemplate()}});
  block.resize(block.size() - 3);  // the last item's title is cut
  Load(block);
  EXPECT_EQ(GetTemplateCopy(0), nullptr);
}

TEST_F(TemplateCopyTest, LongBlockIsCopiedUpToCopySize) {
  // Template 0 followed by 20 KiB of other data: its copy takes the first 16 KiB.
  std::vector<uint8_t> frame = FrameTemplate();
  std::vector<uint8_t> filler(20 * 1024, 0xAB);
  Load(TemplateBlock({{0, frame}, {1, filler}}));
  void* copy = GetTemplateCopy(0);
  ASSERT_NE(copy, nullptr);
  const uint8_t* bytes = static_cast<const uint8_t*>(copy);
  EXPECT_EQ(std::memcmp(bytes, frame.data(), frame.size()), 0);
  EXPECT_EQ(bytes[TEMPLATE_COPY_SIZE - 1], 0xAB);
  FreeTemplateCopy(copy);
}

TEST(DialogTemplateLength, MeasuresClassicTemplates) {
  std::vector<uint8_t> frame = FrameTemplate();
  EXPECT_EQ(DialogTemplateLength(frame.data(), static_cast<uint32_t>(frame.size())), frame.size());
  frame.push_back(0);  // trailing bytes are not part of it
  EXPECT_EQ(DialogTemplateLength(frame.data(), static_cast<uint32_t>(frame.size())), frame.size() - 1);
  EXPECT_EQ(DialogTemplateLength(frame.data(), static_cast<uint32_t>(frame.size() - 2)), 0u);
  EXPECT_EQ(DialogTemplateLength(frame.data(), 17), 0u);
}

TEST(DialogTemplateLength, RejectsItemCountBeyondData) {
  std::vector<uint8_t> page = PageTemplate();
  page[8] = 200;  // the header promises 200 items; the template holds one
  EXPECT_EQ(DialogTemplateLength(page.data(), static_cast<uint32_t>(page.size())), 0u);
}

TEST(DialogTemplateLength, MeasuresExtendedTemplates) {
  std::vector<uint8_t> t;
  PutWord(t, 1);           // version
  PutWord(t, 0xFFFF);      // extended signature
  PutDword(t, 0);          // help id
  PutDword(t, 0);          // extended style
  PutDword(t, WS_CHILD | DS_SETFONT);
  PutWord(t, 1);           // one item
  for (int i = 0; i < 4; ++i) PutWord(t, 10);
  PutWord(t, 0);           // menu
  PutWord(t, 0);           // class
  PutString(t, "T");
  PutWord(t, 8); PutWord(t, 400); t.push_back(0); t.push_back(0);
  PutString(t, "MS Sans Serif");
  while (t.size() % 4) t.push_back(0);
  for (int i = 0; i < 3; ++i) PutDword(t, 0);  // help id, extended style, style
  for (int i = 0; i < 4; ++i) PutWord(t, 5);
  PutDword(t, ID_PAGE_TEXT_1);
  PutWord(t, 0xFFFF); PutWord(t, STATIC_CLASS);
  PutString(t, "x");
  PutWord(t, 2); PutWord(t, 0x1234);  // two bytes of creation data
  EXPECT_EQ(DialogTemplateLength(t.data(), static_cast<uint32_t>(t.size())), t.size());
  EXPECT_EQ(DialogTemplateLength(t.data(), static_cast<uint32_t>(t.size() - 1)), 0u);
}

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(TemplateCopyTest, CopyMakesUsableDialog) {
  Load(TemplateBlock({{4, std::vector<uint8_t>(3, 0)}, {5, PageTemplate()}}));
  void* copy = GetTemplateCopy(5);
  ASSERT_NE(copy, nullptr);
  // A page is a child dialog: it needs a parent window.
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                           static_cast<LPCDLGTEMPLATEA>(copy), parent,
                                           IgnoreMessages, 0);
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(GetDlgItem(dialog, ID_PAGE_TEXT_1), nullptr);
  DestroyWindow(parent);
  FreeTemplateCopy(copy);
}

// The builder's default templates, copied as the program copies them, make dialogs that hold
// the controls the program looks for.
TEST_F(TemplateCopyTest, DefaultTemplatesMakeDialogsWithTheirControls) {
  Load(DefaultTemplateBlock());
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 600, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  const std::pair<uint32_t, int> probes[] = {
      {TEMPLATE_FRAME_WINDOWED, ID_PAGE_AREA}, {TEMPLATE_FRAME_FULL_SCREEN, ID_NEXT},
      {TEMPLATE_DIRECTORY_PAGE, ID_BROWSE},    {TEMPLATE_INFORMATION_PAGE, ID_PAGE_TEXT_1},
      {TEMPLATE_PROGRESS_PAGE, ID_PROGRESS_BAR}, {TEMPLATE_TEXT_PAGE, ID_PAGE_TEXT_4},
      {TEMPLATE_FINISH_PAGE, ID_RUN_AT_END},   {TEMPLATE_FOLDER_CHOOSER, ID_CHOOSER_FILE_NAME_LABEL},
      {TEMPLATE_CLOSING_PAGE, ID_WEB_BUTTON}};
  for (auto [n, id] : probes) {
    void* copy = GetTemplateCopy(n);
    ASSERT_NE(copy, nullptr) << n;
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             static_cast<LPCDLGTEMPLATEA>(copy), parent,
                                             IgnoreMessages, 0);
    EXPECT_NE(dialog, nullptr) << n;
    EXPECT_NE(GetDlgItem(dialog, id), nullptr) << n;
    DestroyWindow(dialog);
    FreeTemplateCopy(copy);
  }
  DestroyWindow(parent);
}

}  // namespace
