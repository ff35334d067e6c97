// The text names of the manifest, and their places in the page-text lists.
#include "builder/manifest/text_names.h"

#include "builder/setup/default_texts.h"

namespace {

// The lists in the order of their sections.
const std::vector<TextName> NAMES = {
    {"welcome", "title", WELCOME_TEXTS, PAGE_TITLE, 0},
    {"welcome", "line1", WELCOME_TEXTS, 1, 0},
    {"welcome", "line2", WELCOME_TEXTS, 2, 0},
    {"welcome", "line3", WELCOME_TEXTS, 3, 0},
    {"welcome", "line4", WELCOME_TEXTS, 4, 0},
    {"information", "title", INFORMATION_TEXTS, PAGE_TITLE, 0},
    {"information", "text", INFORMATION_TEXTS, INFORMATION_TEXT, 0},
    {"directory", "title", DIRECTORY_TEXTS, PAGE_TITLE, 0},
    {"directory", "line1", DIRECTORY_TEXTS, 1, 0},
    {"directory", "line2", DIRECTORY_TEXTS, 2, 0},
    {"directory", "line3", DIRECTORY_TEXTS, 3, 0},
    {"directory", "line4", DIRECTORY_TEXTS, 4, 0},
    {"directory", "space_needed_label", DIRECTORY_TEXTS, DIRECTORY_SPACE_NEEDED_LABEL, 0},
    {"directory", "space_free_label", DIRECTORY_TEXTS, DIRECTORY_SPACE_FREE_LABEL, 0},
    {"directory", "megabytes", DIRECTORY_TEXTS, DIRECTORY_MEGABYTES_FORMAT, 'd'},
    {"confirmation", "title", CONFIRMATION_TEXTS, PAGE_TITLE, 0},
    {"confirmation", "line1", CONFIRMATION_TEXTS, 1, 0},
    {"confirmation", "folder", CONFIRMATION_TEXTS, CONFIRMATION_FOLDER_FORMAT, 's'},
    {"confirmation", "line3", CONFIRMATION_TEXTS, 3, 0},
    {"confirmation", "line4", CONFIRMATION_TEXTS, 4, 0},
    {"progress", "title", PROGRESS_TEXTS, PAGE_TITLE, 0},
    {"progress", "file_label", PROGRESS_TEXTS, PROGRESS_FILE_LABEL, 0},
    {"progress", "note", PROGRESS_TEXTS, PROGRESS_NOTE, 0},
    {"finish", "title", FINISH_TEXTS, PAGE_TITLE, 0},
    {"finish", "success", FINISH_TEXTS, FINISH_SUCCESS, 0},
    {"finish", "document_note", FINISH_TEXTS, FINISH_DOCUMENT_NOTE, 0},
    {"finish", "run_note", FINISH_TEXTS, FINISH_RUN_NOTE, 0},
    {"finish", "failure", FINISH_TEXTS, FINISH_FAILURE_FORMAT, 's'},
    {"finish", "open_button", FINISH_TEXTS, FINISH_OPEN_LABEL, 0},
    {"finish", "run_check_box", FINISH_TEXTS, FINISH_RUN_LABEL, 0},
    {"messages", "title", MESSAGE_LIST, MESSAGE_PROGRAM_TITLE, 0},
    {"messages", "chooser_caption", MESSAGE_LIST, MESSAGE_CHOOSER_CAPTION, 0},
    {"messages", "chooser_folder_label", MESSAGE_LIST, MESSAGE_CHOOSER_FOLDER_LABEL, 0},
    {"messages", "chooser_drive_label", MESSAGE_LIST, MESSAGE_CHOOSER_DRIVE_LABEL, 0},
    {"messages", "checking_folder", MESSAGE_LIST, MESSAGE_CHECKING_FOLDER, 0},
    {"messages", "folder_not_created", MESSAGE_LIST, MESSAGE_FOLDER_NOT_CREATED, 0},
    {"messages", "create_folder", MESSAGE_LIST, MESSAGE_CREATE_FOLDER, 0},
    {"messages", "replace_read_only", MESSAGE_LIST, MESSAGE_REPLACE_READ_ONLY, 0},
    {"messages", "check_failed", MESSAGE_LIST, MESSAGE_CHECK_FAILED, 0},
    {"messages", "not_writable", MESSAGE_LIST, MESSAGE_NOT_WRITABLE, 's'},
    {"messages", "in_use_different", MESSAGE_LIST, MESSAGE_IN_USE_DIFFERENT, 's'},
    {"messages", "low_disk_space", MESSAGE_LIST, MESSAGE_LOW_DISK_SPACE, 0},
    {"messages", "stop_installation", MESSAGE_LIST, MESSAGE_STOP_INSTALLATION, 0},
    {"messages", "cancel_setup", MESSAGE_LIST, MESSAGE_CANCEL_SETUP, 0},
    {"messages", "not_completed", MESSAGE_LIST, MESSAGE_NOT_COMPLETED, 0},
    {"messages", "cannot_read", MESSAGE_LIST, MESSAGE_CANNOT_READ, 's'},
    {"messages", "no_temporary_file", MESSAGE_LIST, MESSAGE_NO_TEMPORARY_FILE, 's'},
    {"messages", "damaged_copy", MESSAGE_LIST, MESSAGE_DAMAGED_COPY, 's'},
    {"messages", "cannot_replace", MESSAGE_LIST, MESSAGE_CANNOT_REPLACE, 's'},
    {"messages", "insert_disk", MESSAGE_LIST, MESSAGE_INSERT_DISK, 'd'},
    {"messages", "replace_newer", MESSAGE_LIST, MESSAGE_REPLACE_NEWER, 's'},
    {"messages", "replace_language", MESSAGE_LIST, MESSAGE_REPLACE_LANGUAGE, 's'},
    {"buttons", "back", BUTTON_TEXTS, BUTTON_TEXT_BACK, 0},
    {"buttons", "next", BUTTON_TEXTS, BUTTON_TEXT_NEXT, 0},
    {"buttons", "cancel", BUTTON_TEXTS, BUTTON_TEXT_CANCEL, 0},
    {"buttons", "install", BUTTON_TEXTS, BUTTON_TEXT_INSTALL, 0},
    {"buttons", "chooser_ok", BUTTON_TEXTS, BUTTON_TEXT_CHOOSER_OK, 0},
    {"buttons", "stop", BUTTON_TEXTS, BUTTON_TEXT_STOP, 0},
    {"uninstall", "title", UNINSTALL_TEXT_LIST, UNINSTALL_TITLE, 0},
    {"uninstall", "confirm", UNINSTALL_TEXT_LIST, UNINSTALL_CONFIRM, 0},
    {"uninstall", "shared_question", UNINSTALL_TEXT_LIST, UNINSTALL_SHARED_QUESTION, 's'},
    {"uninstall", "done", UNINSTALL_TEXT_LIST, UNINSTALL_DONE, 0},
    {"uninstall", "done_at_restart", UNINSTALL_TEXT_LIST, UNINSTALL_DONE_AT_RESTART, 's'},
    {"uninstall", "not_removed", UNINSTALL_TEXT_LIST, UNINSTALL_NOT_REMOVED, 's'},
    {"uninstall", "damaged", UNINSTALL_TEXT_LIST, UNINSTALL_DAMAGED, 0},
};

}  // namespace

const std::vector<TextName>& TextNames() { return NAMES; }

const TextName* FindTextName(const std::string& section, const std::string& name) {
  for (const TextName& entry : NAMES) {
    if (section == entry.section && name == entry.name) return &entry;
  }
  return nullptr;
}

std::vector<std::string> TextSections() {
  std::vector<std::string> sections;
  for (const TextName& entry : NAMES) {
    if (sections.empty() || sections.back() != entry.section) sections.push_back(entry.section);
  }
  return sections;
}

std::string CheckTextConversion(const TextName& entry, const std::string& text) {
  if (entry.conversion == 0) return "";  // shown as it stands, '%' and all
  int filled = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    ++i;
    if (next == '%') continue;
    if (next == entry.conversion) {
      ++filled;
      continue;
    }
    return std::string("has a conversion other than %") + entry.conversion +
           "; write \"%%\" for a percent sign";
  }
  if (filled != 1) {
    return std::string("needs exactly one %") + entry.conversion + ", has " + std::to_string(filled);
  }
  return "";
}
