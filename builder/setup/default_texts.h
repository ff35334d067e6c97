// The English page texts a setup carries unless its author supplies others: lists 0 to 7
// (list 8 is absent). Strings that the program formats hold exactly one placeholder: %s for
// a path or a message, %d for a number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/page_texts.h"
#include "archive/text_numbers.h"

// The lists the default texts fill: pages 0 to 5, the messages and the buttons (list 8 is absent).
constexpr uint32_t DEFAULT_TEXT_LISTS = BUTTON_TEXTS + 1;
static_assert(DEFAULT_TEXT_LISTS <= PAGE_TEXT_LISTS, "the program keeps every default list");

// The texts for a program called appName. A '%' in the name is doubled in the strings that
// the program formats, and a '&' in labels that would take it for a mnemonic.
std::vector<std::vector<std::string>> DefaultPageTexts(const std::string& appName);

// The uninstall program's texts (by UninstallText) go by this number where the manifest
// sets one; it names no list of the setup's.
constexpr uint32_t UNINSTALL_TEXT_LIST = 100;
static_assert(UNINSTALL_TEXT_LIST >= PAGE_TEXT_LISTS, "the uninstall texts are no page list");

// The uninstall program's English texts for a program called appName, by UninstallText.
std::vector<std::string> DefaultUninstallTexts(const std::string& appName);
