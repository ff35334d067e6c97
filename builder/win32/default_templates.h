// The dialog templates 0 to 8 that a setup carries unless its author supplies others: the
// two frames, the pages, the folder chooser and the closing page, in English, in dialog
// units of DIALOG_FONT_FACE at DIALOG_FONT_POINTS. Control texts that the program sets from
// the page texts are left as placeholders.
#pragma once

#include <cstdint>
#include <vector>

#include "builder/win32/dialog_template.h"
#include "resources/dialog_ids.h"  // the template numbers

// Every page is a child dialog of this size, placed on the frame's page area.
constexpr int16_t PAGE_WIDTH = 182;
constexpr int16_t PAGE_HEIGHT = 172;

constexpr int16_t WINDOWED_FRAME_WIDTH = 288;
constexpr int16_t WINDOWED_FRAME_HEIGHT = 214;
// The full-screen frame has a caption and a modal frame, which take room of their own.
constexpr int16_t FULL_SCREEN_FRAME_WIDTH = 285;
constexpr int16_t FULL_SCREEN_FRAME_HEIGHT = 213;

constexpr int16_t FOLDER_CHOOSER_WIDTH = 199;
constexpr int16_t FOLDER_CHOOSER_HEIGHT = 139;

// Whether the closing page carries the web button (ID_WEB_BUTTON) and its line: a build
// gives it to a setup with a web address of its own ([setup] url) only.
enum class WebButton : bool { WITHOUT, WITH };

// The layout of template n (TEMPLATE_*); throws std::out_of_range unless n < TEMPLATE_COUNT.
DialogLayout DefaultTemplateLayout(uint32_t n, WebButton web = WebButton::WITH);

// BuildDialogTemplate(DefaultTemplateLayout(n, web)).
std::vector<uint8_t> DefaultTemplate(uint32_t n, WebButton web = WebButton::WITH);

// A template block that holds all nine default templates.
std::vector<uint8_t> DefaultTemplateBlock(WebButton web = WebButton::WITH);
