// The default templates. Hidden controls are placeholders: the frame paints the picture and
// the separator into theirs and places pages on the page area; the folder chooser hides the
// controls of the system's save-file dialog that it does not use, which must still exist.
#include "builder/win32/default_templates.h"

#include <stdexcept>
#include <string>

#include "builder/win32/win32_constants.h"
#include "resources/dialog_ids.h"

namespace {

constexpr uint32_t VISIBLE_CHILD = WS_CHILD | WS_VISIBLE;
constexpr uint32_t FRAME_STYLE = VISIBLE_CHILD;
constexpr uint32_t FULL_SCREEN_FRAME_STYLE = VISIBLE_CHILD | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr uint32_t PAGE_STYLE = VISIBLE_CHILD | DS_CONTROL;
constexpr uint32_t CHOOSER_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
// Page texts are shown as written: a '&' in a path or a name is not a mnemonic.
constexpr uint32_t PAGE_TEXT_STYLE = SS_CENTER | SS_NOPREFIX;

// The frame: picture on the left, page area on the right, a separator, three buttons.
constexpr int16_t FRAME_MARGIN = 5;
constexpr int16_t FRAME_TOP = 4;
constexpr int16_t PICTURE_WIDTH = 85;
constexpr int16_t PAGE_AREA_X = 97;
constexpr int16_t SEPARATOR_Y = FRAME_TOP + PAGE_HEIGHT + 6;
constexpr int16_t SEPARATOR_WIDTH = PAGE_AREA_X + PAGE_WIDTH - FRAME_MARGIN;
constexpr int16_t SEPARATOR_HEIGHT = 2;
constexpr int16_t BUTTON_WIDTH = 50;
constexpr int16_t BUTTON_HEIGHT = 14;
constexpr int16_t BUTTON_Y = SEPARATOR_Y + SEPARATOR_HEIGHT + 6;
constexpr int16_t CANCEL_X = PAGE_AREA_X + PAGE_WIDTH - BUTTON_WIDTH;  // right-aligned with the page
constexpr int16_t NEXT_X = CANCEL_X - BUTTON_WIDTH;  // the three stand side by side
constexpr int16_t BACK_X = NEXT_X - BUTTON_WIDTH;
static_assert(FRAME_MARGIN + PICTURE_WIDTH < PAGE_AREA_X, "the picture stays left of the page");
static_assert(PAGE_AREA_X + PAGE_WIDTH <= FULL_SCREEN_FRAME_WIDTH - FRAME_MARGIN &&
              FULL_SCREEN_FRAME_WIDTH <= WINDOWED_FRAME_WIDTH, "the page fits both frames");
static_assert(BUTTON_Y + BUTTON_HEIGHT <= FULL_SCREEN_FRAME_HEIGHT - FRAME_MARGIN &&
              FULL_SCREEN_FRAME_HEIGHT <= WINDOWED_FRAME_HEIGHT, "the buttons fit both frames");

// Page texts: 174 wide and 25 high, two lines of about 40 characters.
constexpr int16_t TEXT_WIDTH = 174;
constexpr int16_t TEXT_HEIGHT = 25;
constexpr int16_t LABEL_HEIGHT = 8;  // one line
constexpr int16_t PUSH_BUTTON_HEIGHT = 14;
static_assert(4 + TEXT_WIDTH + 4 == PAGE_WIDTH, "page texts keep a margin of 4 on each side");

DialogItem Text(uint16_t id, uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy,
                const std::string& title = "") {
  return {VISIBLE_CHILD | style, x, y, cx, cy, id, CLASS_STATIC, title};
}

DialogItem PageText(uint16_t id, int16_t x, int16_t y) {
  return Text(id, PAGE_TEXT_STYLE, x, y, TEXT_WIDTH, TEXT_HEIGHT);
}

DialogItem Hidden(DialogItem item) {
  item.style &= ~WS_VISIBLE;
  return item;
}

DialogItem Button(uint16_t id, uint32_t type, int16_t x, int16_t y, int16_t cx, int16_t cy,
                  const std::string& title) {
  return {VISIBLE_CHILD | WS_TABSTOP | type, x, y, cx, cy, id, CLASS_BUTTON, title};
}

DialogItem Edit(uint16_t id, uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy) {
  return {VISIBLE_CHILD | WS_TABSTOP | WS_BORDER | style, x, y, cx, cy, id, CLASS_EDIT, ""};
}

DialogLayout Frame(uint32_t style, int16_t cx, int16_t cy, const std::string& title) {
  return {style, 0, 0, cx, cy, title,
          {Hidden(Text(ID_PICTURE_AREA, SS_LEFT, FRAME_MARGIN, FRAME_TOP, PICTURE_WIDTH, PAGE_HEIGHT)),
           Hidden(Text(ID_PAGE_AREA, SS_LEFT, PAGE_AREA_X, FRAME_TOP, PAGE_WIDTH, PAGE_HEIGHT)),
           Hidden(Text(ID_SEPARATOR, SS_LEFT, FRAME_MARGIN, SEPARATOR_Y, SEPARATOR_WIDTH, SEPARATOR_HEIGHT)),
           Button(ID_BACK, BS_PUSHBUTTON, BACK_X, BUTTON_Y, BUTTON_WIDTH, BUTTON_HEIGHT, "< &Back"),
           Button(ID_NEXT, BS_DEFPUSHBUTTON, NEXT_X, BUTTON_Y, BUTTON_WIDTH, BUTTON_HEIGHT, "&Next >"),
           Button(ID_CANCEL, BS_PUSHBUTTON, CANCEL_X, BUTTON_Y, BUTTON_WIDTH, BUTTON_HEIGHT, "Cancel")}};
}

DialogLayout Page(std::vector<DialogItem> items) {
  return {PAGE_STYLE, 0, 0, PAGE_WIDTH, PAGE_HEIGHT, "", std::move(items)};
}

// The welcome page and the confirmation page: four texts.
DialogLayout TextPage() {
  return Page({PageText(ID_PAGE_TEXT_1, 4, 15), PageText(ID_PAGE_TEXT_2, 4, 47),
               PageText(ID_PAGE_TEXT_3, 4, 79), PageText(ID_PAGE_TEXT_4, 4, 131)});
}

// A read-only text to scroll through, such as a read-me.
DialogLayout InformationPage() {
  return Page({Edit(ID_PAGE_TEXT_1, ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL,
                    5, 5, 170, 160)});
}

DialogLayout DirectoryPage() {
  return Page({Text(ID_PAGE_TEXT_1, SS_LEFT | SS_NOPREFIX, 3, 9, TEXT_WIDTH, 18),
               Edit(ID_DIRECTORY_EDIT, ES_AUTOHSCROLL, 3, 28, 146, PUSH_BUTTON_HEIGHT),
               Button(ID_BROWSE, BS_PUSHBUTTON, 153, 28, 24, PUSH_BUTTON_HEIGHT, "..."),
               Text(ID_SPACE_NEEDED_LABEL, SS_LEFT, 3, 46, 106, LABEL_HEIGHT),
               Text(ID_SPACE_NEEDED, SS_RIGHT, 114, 46, 35, LABEL_HEIGHT),
               Text(ID_SPACE_FREE_LABEL, SS_LEFT, 3, 58, 106, LABEL_HEIGHT),
               Text(ID_SPACE_FREE, SS_RIGHT, 114, 58, 35, LABEL_HEIGHT),
               PageText(ID_PAGE_TEXT_2, 3, 79), PageText(ID_PAGE_TEXT_3, 3, 108),
               PageText(ID_PAGE_TEXT_4, 3, 137)});
}

// The bar is painted over the hidden placeholder; the file line shows paths, hence no prefix.
DialogLayout ProgressPage() {
  // A group box is a frame around other controls, never a tab stop of its own.
  const DialogItem group{VISIBLE_CHILD | BS_GROUPBOX, 4, 6, 173, 55, ID_PROGRESS_GROUP, CLASS_BUTTON, ""};
  return Page({group,
               Text(ID_PAGE_TEXT_1, SS_RIGHT, 7, 20, 26, LABEL_HEIGHT),
               Text(ID_CURRENT_FILE, SS_NOPREFIX, 39, 20, 134, LABEL_HEIGHT),
               Hidden(Text(ID_PROGRESS_BAR, SS_LEFT, 13, 34, 154, 12)),
               Text(ID_PROGRESS_PERCENT, SS_LEFT, 14, 48, 25, LABEL_HEIGHT),
               Text(ID_PAGE_TEXT_2, PAGE_TEXT_STYLE, 4, 67, TEXT_WIDTH, 98)});
}

DialogLayout FinishPage() {
  return Page({PageText(ID_PAGE_TEXT_1, 4, 15), PageText(ID_PAGE_TEXT_2, 4, 49),
               Button(ID_OPEN_DOCUMENT, BS_PUSHBUTTON, 40, 78, 101, PUSH_BUTTON_HEIGHT, ""),
               PageText(ID_PAGE_TEXT_3, 4, 103),
               Button(ID_RUN_AT_END, BS_AUTOCHECKBOX, 4, 130, 173, 10, "")});
}

// The system's save-file dialog run on this template: its folder list and drive list serve
// as the folder chooser, and the controls it needs but we do not show are hidden.
DialogLayout FolderChooser() {
  constexpr int16_t HIDDEN_X = 128, HIDDEN_Y = 66, HIDDEN_CX = 64, HIDDEN_CY = 12;
  const DialogItem hidden[] = {
      Text(ID_CHOOSER_CURRENT_FOLDER, SS_NOPREFIX, HIDDEN_X, HIDDEN_Y, HIDDEN_CX, HIDDEN_CY),
      Text(ID_CHOOSER_FILE_NAME_LABEL, SS_LEFT, HIDDEN_X, HIDDEN_Y, HIDDEN_CX, HIDDEN_CY),
      Edit(ID_CHOOSER_FILE_NAME, ES_AUTOHSCROLL, HIDDEN_X, HIDDEN_Y, HIDDEN_CX, HIDDEN_CY),
      {VISIBLE_CHILD | WS_BORDER | WS_VSCROLL | LBS_SORT | LBS_NOTIFY, HIDDEN_X, HIDDEN_Y,
       HIDDEN_CX, HIDDEN_CY, ID_CHOOSER_FILE_LIST, CLASS_LIST_BOX, ""},
      Text(ID_CHOOSER_TYPE_LABEL, SS_LEFT, HIDDEN_X, HIDDEN_Y, HIDDEN_CX, HIDDEN_CY),
      {VISIBLE_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, HIDDEN_X, HIDDEN_Y, HIDDEN_CX, 40,
       ID_CHOOSER_TYPE_LIST, CLASS_COMBO_BOX, ""},
      Button(ID_CHOOSER_HELP, BS_PUSHBUTTON, HIDDEN_X, HIDDEN_Y, HIDDEN_CX, HIDDEN_CY, "&Help"),
      Button(ID_CHOOSER_READ_ONLY, BS_AUTOCHECKBOX, HIDDEN_X, HIDDEN_Y, HIDDEN_CX, HIDDEN_CY, "&Read only"),
  };
  DialogLayout chooser{
      CHOOSER_STYLE, 0, 0, FOLDER_CHOOSER_WIDTH, FOLDER_CHOOSER_HEIGHT, "Choose a Folder",
      {Text(ID_CHOOSER_FOLDER_LABEL, SS_LEFT, 5, 3, 186, LABEL_HEIGHT, "&Folder:"),
       Edit(ID_CHOOSER_FOLDER, ES_AUTOHSCROLL, 5, 13, 186, 12),
       {VISIBLE_CHILD | WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_SORT | LBS_OWNERDRAWFIXED |
            LBS_HASSTRINGS | LBS_NOTIFY | LBS_DISABLENOSCROLL,
        5, 31, 115, 76, ID_CHOOSER_FOLDER_LIST, CLASS_LIST_BOX, ""},
       Text(ID_CHOOSER_DRIVE_LABEL, SS_LEFT, 5, 104, 115, LABEL_HEIGHT, "Dri&ves:"),
       {VISIBLE_CHILD | WS_BORDER | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST |
            CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
        5, 114, 115, 68, ID_CHOOSER_DRIVE_LIST, CLASS_COMBO_BOX, ""},
       Button(ID_CHOOSER_OK, BS_DEFPUSHBUTTON, 128, 31, 64, PUSH_BUTTON_HEIGHT, "OK"),
       Button(ID_CHOOSER_CANCEL, BS_PUSHBUTTON, 128, 48, 64, PUSH_BUTTON_HEIGHT, "Cancel")}};
  for (const DialogItem& item : hidden) chooser.items.push_back(Hidden(item));
  return chooser;
}

// The closing page: the icon, a fixed text and, for a setup with a web address, a line about
// it and the web button. The caption text is not shown on the page; the program makes it
// the window's caption.
DialogLayout ClosingPage(WebButton web) {
  constexpr int16_t ICON_SIZE = 20;  // a 32-pixel icon in dialog units, rounded down
  constexpr int16_t TEXT_X = 4 + ICON_SIZE + 8;
  constexpr int16_t TEXT_CX = PAGE_WIDTH - TEXT_X - 4;
  DialogItem icon = Text(ID_UNADDRESSED, SS_ICON, 4, 15, ICON_SIZE, ICON_SIZE);
  icon.titleResource = PROGRAM_ICON;
  std::vector<DialogItem> items = {
      icon, Hidden(Text(ID_CLOSING_CAPTION, SS_LEFT, TEXT_X, 4, TEXT_CX, LABEL_HEIGHT, "Setup complete")),
      Text(ID_UNADDRESSED, SS_LEFT, TEXT_X, 15, TEXT_CX, TEXT_HEIGHT,
           "Thank you for installing. You can close this window now.")};
  if (web == WebButton::WITH) {
    items.push_back(Text(ID_UNADDRESSED, SS_LEFT, TEXT_X, 47, TEXT_CX, TEXT_HEIGHT,
                         "To learn more about the program and its news, visit its web site."));
    items.push_back(Button(ID_WEB_BUTTON, BS_PUSHBUTTON, TEXT_X, 79, TEXT_CX, PUSH_BUTTON_HEIGHT, "Visit the web site"));
  }
  return Page(items);
}

}  // namespace

DialogLayout DefaultTemplateLayout(uint32_t n, WebButton web) {
  switch (n) {
    case TEMPLATE_FRAME_WINDOWED:
      return Frame(FRAME_STYLE, WINDOWED_FRAME_WIDTH, WINDOWED_FRAME_HEIGHT, "");
    case TEMPLATE_FRAME_FULL_SCREEN:
      return Frame(FULL_SCREEN_FRAME_STYLE, FULL_SCREEN_FRAME_WIDTH, FULL_SCREEN_FRAME_HEIGHT, "Setup");
    case TEMPLATE_DIRECTORY_PAGE: return DirectoryPage();
    case TEMPLATE_INFORMATION_PAGE: return InformationPage();
    case TEMPLATE_PROGRESS_PAGE: return ProgressPage();
    case TEMPLATE_TEXT_PAGE: return TextPage();
    case TEMPLATE_FINISH_PAGE: return FinishPage();
    case TEMPLATE_FOLDER_CHOOSER: return FolderChooser();
    case TEMPLATE_CLOSING_PAGE: return ClosingPage(web);
  }
  throw std::out_of_range("no default template " + std::to_string(n));
}

std::vector<uint8_t> DefaultTemplate(uint32_t n, WebButton web) {
  return BuildDialogTemplate(DefaultTemplateLayout(n, web));
}

std::vector<uint8_t> DefaultTemplateBlock(WebButton web) {
  std::vector<std::vector<uint8_t>> templates;
  for (uint32_t n = 0; n < TEMPLATE_COUNT; ++n) templates.push_back(DefaultTemplate(n, web));
  return BuildTemplateBlock(templates);
}
