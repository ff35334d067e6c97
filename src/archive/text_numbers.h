// The numbers of the texts a setup carries: its string lists, each page's strings, the
// messages and the button labels. One home for the program, which shows them by number, and
// the builder, which writes them.
#pragma once

#include <cstdint>

// Lists 0 to 5: the texts of pages 0 to 5. String 0 is the page's title; strings 1 to 4 go
// to controls ID_PAGE_TEXT_1 to ID_PAGE_TEXT_4 unless a page's strings are listed below.
constexpr uint32_t WELCOME_TEXTS = 0;
constexpr uint32_t INFORMATION_TEXTS = 1;
constexpr uint32_t DIRECTORY_TEXTS = 2;
constexpr uint32_t CONFIRMATION_TEXTS = 3;
constexpr uint32_t PROGRESS_TEXTS = 4;
constexpr uint32_t FINISH_TEXTS = 5;
// List 6 is the message list, whose string 0 is the program's title; list 7 holds the
// button labels.
constexpr uint32_t MESSAGE_LIST = 6;
constexpr uint32_t BUTTON_TEXTS = 7;
constexpr uint32_t TITLE_MESSAGE = 0;
static_assert(FINISH_TEXTS < MESSAGE_LIST && MESSAGE_LIST < BUTTON_TEXTS, "page lists, then messages, then buttons");

// A page's strings: its title, then what its controls show.
constexpr uint32_t PAGE_TITLE = 0;
constexpr uint32_t FIRST_CONTROL_TEXT = 1;  // strings 1 to 4 go to controls ID_PAGE_TEXT_1 to 4
constexpr uint32_t CONTROL_TEXTS = 4;
constexpr uint32_t INFORMATION_TEXT = 1;  // empty by default: the page is skipped
constexpr uint32_t DIRECTORY_SPACE_NEEDED_LABEL = 5;
constexpr uint32_t DIRECTORY_SPACE_FREE_LABEL = 6;
constexpr uint32_t DIRECTORY_MEGABYTES_FORMAT = 7;  // %d megabytes
constexpr uint32_t CONFIRMATION_FOLDER_FORMAT = 2;  // %s the installation folder
constexpr uint32_t PROGRESS_FILE_LABEL = 1;
constexpr uint32_t PROGRESS_NOTE = 2;
constexpr uint32_t FINISH_SUCCESS = 1;
constexpr uint32_t FINISH_DOCUMENT_NOTE = 2;  // goes with the open button
constexpr uint32_t FINISH_RUN_NOTE = 3;  // goes with the run check box
constexpr uint32_t FINISH_FAILURE_FORMAT = 4;  // %s the message that ended the installation
constexpr uint32_t FINISH_OPEN_LABEL = 5;
constexpr uint32_t FINISH_RUN_LABEL = 6;

// The message list. Numbers not named here are unused and empty.
enum MessageText : uint32_t {
  MESSAGE_PROGRAM_TITLE = 0,
  MESSAGE_CHOOSER_CAPTION = 1,
  MESSAGE_CHOOSER_FOLDER_LABEL = 2,
  MESSAGE_CHOOSER_DRIVE_LABEL = 3,
  MESSAGE_CHECKING_FOLDER = 4,
  MESSAGE_FOLDER_NOT_CREATED = 5,
  MESSAGE_CREATE_FOLDER = 6,       // yes/no
  MESSAGE_REPLACE_READ_ONLY = 7,   // yes/no
  MESSAGE_CHECK_FAILED = 8,        // heading of the messages 9 and 10
  MESSAGE_NOT_WRITABLE = 9,        // %s a file
  MESSAGE_IN_USE_DIFFERENT = 10,   // %s a file
  MESSAGE_LOW_DISK_SPACE = 11,     // yes/no
  MESSAGE_STOP_INSTALLATION = 13,  // yes/no
  MESSAGE_CANCEL_SETUP = 14,       // yes/no
  MESSAGE_NOT_COMPLETED = 15,
  MESSAGE_CANNOT_READ = 16,        // %s a file
  MESSAGE_NO_TEMPORARY_FILE = 17,  // %s a file
  MESSAGE_DAMAGED_COPY = 21,       // %s a file
  MESSAGE_CANNOT_REPLACE = 22,     // %s a file; abort/retry/ignore, and the finish page's reason
  MESSAGE_INSERT_DISK = 28,        // %d the disk's number; OK/cancel
  MESSAGE_REPLACE_NEWER = 29,      // %s a file; yes/no
  MESSAGE_REPLACE_LANGUAGE = 30,   // %s a file; yes/no
  MESSAGE_COUNT = 31,
};
static_assert(MESSAGE_PROGRAM_TITLE == TITLE_MESSAGE, "the title opens the message list");

// The button labels (apart from the frame buttons' flags of the wizard, BUTTON_BACK and so on).
enum ButtonText : uint32_t {
  BUTTON_TEXT_BACK = 0,
  BUTTON_TEXT_NEXT = 1,
  BUTTON_TEXT_CANCEL = 2,
  BUTTON_TEXT_INSTALL = 3,  // Next on the confirmation page
  BUTTON_TEXT_CHOOSER_OK = 4,
  BUTTON_TEXT_STOP = 5,  // the folder chooser's Cancel and the progress page's
  BUTTON_TEXT_COUNT = 6,
};
