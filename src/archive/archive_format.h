// The setup file's format: block tags, record layouts and constants shared by the
// setup program (which reads them) and the builder (which writes them).
// All numbers in a setup file are little-endian.
#pragma once

#include <cstdint>

#include "archive/names.h"
#include "base/path_buffer.h"  // strings of the archive end up in the program's path buffers

// Six bytes that stand directly in front of ImageSize in the program's data, so that the
// builder can find the value in a built stub and patch in the image size.
constexpr uint8_t IMAGE_SIZE_MARKER[6] = {0x77, 0x77, 0x67, 0x54, 0x29, 0x48};
constexpr uint32_t IMAGE_SIZE_MARKER_LENGTH = sizeof(IMAGE_SIZE_MARKER);

// Block header: u16 tag, u16 flags, u32 payload size, then the payload.
constexpr uint32_t BLOCK_HEADER_SIZE = 8;
constexpr uint16_t BLOCK_FLAG_COMPRESSED = 0x0001;
// A compressed payload starts with the u32 decoded size, then the coded stream.
constexpr uint32_t DECODED_SIZE_FIELD = 4;

// Block tags.
constexpr uint16_t BLOCK_SETUP_FLAGS = 0x1234;       // raw u32
constexpr uint16_t BLOCK_DEFAULT_DIR = 0x1235;       // loaded string, copied into InstallDir
constexpr uint16_t BLOCK_WIZARD_IMAGE = 0x1236;      // loaded picture
constexpr uint16_t BLOCK_BACKGROUND_IMAGE = 0x1237;  // loaded picture
constexpr uint16_t BLOCK_APP_NAME = 0x1238;          // loaded string
constexpr uint16_t BLOCK_BACKGROUND_TITLE = 0x1239;  // loaded string
constexpr uint16_t BLOCK_PAGE_TEXTS = 0x123A;        // raw u16 count, then (u32 size, stream) per list
constexpr uint16_t BLOCK_UNUSED = 0x123B;            // no meaning; skipped like an unknown tag
constexpr uint16_t BLOCK_DIR_REG_ROOT = 0x123C;      // raw u32
constexpr uint16_t BLOCK_DIR_REG_KEY = 0x123D;       // loaded string
constexpr uint16_t BLOCK_DIR_REG_VALUE = 0x123E;     // loaded string
constexpr uint16_t BLOCK_DIR_INI_FILE = 0x123F;      // loaded string
constexpr uint16_t BLOCK_DIR_INI_SECTION = 0x1240;   // loaded string
constexpr uint16_t BLOCK_DIR_INI_KEY = 0x1241;       // loaded string

// BLOCK_DIR_REG_ROOT's value: an index into the registry roots, not the system's HKEY value;
// any other index opens HKEY_CURRENT_USER.
constexpr uint32_t DIR_REG_CLASSES_ROOT = 0;
constexpr uint32_t DIR_REG_CURRENT_USER = 1;
constexpr uint32_t DIR_REG_LOCAL_MACHINE = 2;
constexpr uint32_t DIR_REG_USERS = 3;
constexpr uint16_t BLOCK_DIALOG_TEMPLATES = 0x1242;  // loaded offset table and templates
constexpr uint16_t BLOCK_FILE_TABLE = 0x1243;        // loaded u32 count, then the records
constexpr uint16_t BLOCK_START_PAGE = 0x1244;        // raw u16
constexpr uint16_t BLOCK_SPARE = 0x1245;             // loaded, read by nobody
// The builder's note of the code page the texts and names are written in (raw u16), for
// its own readers; the program skips it like an unknown tag. A setup without it is 1252.
constexpr uint16_t BLOCK_CODE_PAGE = 0x1246;
// How the progress page paces the installation (raw): u16 time slice (ms), then u16 gap
// between slices (ms). A tick installs files until its slice is used up, then waits the gap.
constexpr uint16_t BLOCK_INSTALL_PACING = 0x1247;
// What the system's list of installed programs shows beside the name (loaded): u16 the
// file table record whose installed file gives the icon, or APP_ENTRY_NO_ICON; i16 the
// icon's index in it; then APP_ENTRY_TEXT_COUNT texts, each ended by a zero byte, in the
// setup's code page: the version, the publisher, the web address. An empty text is not
// written; the web address is also what the closing page's web button opens.
constexpr uint16_t BLOCK_APP_ENTRY = 0x1248;
constexpr uint16_t BLOCK_END = 0x7F7F;               // u32 data size, then the data area

// SetupFlags bits.
constexpr uint32_t SETUP_FLAG_FULL_SCREEN = 0x0001;  // full-screen background mode
constexpr uint32_t SETUP_FLAG_CHANGE_DIR = 0x0002;   // the user may change InstallDir

// BLOCK_INSTALL_PACING read as one u32: the slice in the low half, the gap in the high one.
// A setup without the block installs one file per tick (slice 0) with 50 ms between them.
constexpr uint32_t PACING_GAP_SHIFT = 16;
constexpr uint32_t PACING_SLICE_MASK = 0xFFFF;
constexpr uint32_t InstallPacing(uint16_t sliceMs, uint16_t gapMs) {
  return uint32_t(gapMs) << PACING_GAP_SHIFT | sliceMs;
}
constexpr uint32_t PacingSliceMs(uint32_t pacing) { return pacing & PACING_SLICE_MASK; }
constexpr uint32_t PacingGapMs(uint32_t pacing) { return pacing >> PACING_GAP_SHIFT; }
constexpr uint16_t DEFAULT_PACING_GAP_MS = 50;
constexpr uint32_t DEFAULT_INSTALL_PACING = InstallPacing(0, DEFAULT_PACING_GAP_MS);

// BLOCK_APP_ENTRY's fields.
constexpr uint32_t APP_ENTRY_ICON_RECORD = 0;  // u16
constexpr uint32_t APP_ENTRY_ICON_INDEX = 2;   // i16
constexpr uint32_t APP_ENTRY_TEXTS = 4;        // the texts, in this order:
constexpr uint32_t APP_ENTRY_VERSION = 0;
constexpr uint32_t APP_ENTRY_PUBLISHER = 1;
constexpr uint32_t APP_ENTRY_URL = 2;
constexpr uint32_t APP_ENTRY_TEXT_COUNT = 3;
constexpr uint16_t APP_ENTRY_NO_ICON = 0xFFFF;

// BLOCK_PAGE_TEXTS: the program keeps this many lists; further lists are skipped.
constexpr uint32_t PAGE_TEXT_LISTS = 9;
constexpr uint32_t PAGE_TEXT_COUNT_FIELD = 2;   // u16 list count in front of the lists
constexpr uint32_t PAGE_TEXT_SIZE_FIELD = 4;    // u32 decoded size in front of each list's stream
// One list: u16 string count, then the NUL-terminated strings back to back.
constexpr uint32_t PAGE_TEXT_STRING_COUNT_FIELD = 2;

// BLOCK_START_PAGE: this value runs the whole page sequence; 0 to 6 run one page alone.
constexpr uint16_t START_PAGE_ALL = 0xFFFF;
constexpr uint16_t LAST_PAGE = 6;

// BLOCK_DIALOG_TEMPLATES: a table of u32 offsets for templates 0 to 8, then the templates.
constexpr uint32_t TEMPLATE_COUNT = 9;
constexpr uint32_t TEMPLATE_TABLE_SIZE = TEMPLATE_COUNT * 4;
// A dialog is made from a copy of its template of this many bytes at most.
constexpr uint32_t TEMPLATE_COPY_SIZE = 16384;

// BLOCK_FILE_TABLE: u32 record count in front of the records.
constexpr uint32_t FILE_TABLE_COUNT_FIELD = 4;

// One file record: the fixed fields at these offsets, packed without alignment, then the
// version block when a bit of FE_VERSION_BLOCK is set, then six strings.
constexpr uint32_t FILE_ENTRY_RECORD_LENGTH = 0;  // u32, the whole record's bytes
constexpr uint32_t FILE_ENTRY_STATUS = 4;         // u16 EntryStatus, 0 in the archive
constexpr uint32_t FILE_ENTRY_ICON_INDEX = 6;     // u16
constexpr uint32_t FILE_ENTRY_DIR_CODE = 8;       // u8 DirCode
constexpr uint32_t FILE_ENTRY_END_ACTION = 9;     // u8 EndAction
constexpr uint32_t FILE_ENTRY_SHARED = 10;        // u8, 1 = shared file
constexpr uint32_t FILE_ENTRY_INSTALL_MODE = 11;  // u8 InstallMode
constexpr uint32_t FILE_ENTRY_REGISTRATION = 12;  // u8 Registration
constexpr uint32_t FILE_ENTRY_FLAGS = 13;         // u8 FE_* bits
constexpr uint32_t FILE_ENTRY_CHECKSUM = 14;      // u32 FileChecksum of the content
constexpr uint32_t FILE_ENTRY_SIZE = 18;          // u32 uncompressed size
constexpr uint32_t FILE_ENTRY_PACKED_SIZE = 22;   // u32 bytes of its stream in the data area
constexpr uint32_t FILE_ENTRY_FIXED_SIZE = 26;
// Version block, at these offsets behind the fixed fields: five u32.
constexpr uint32_t FILE_VERSION_FILE_MS = 0;
constexpr uint32_t FILE_VERSION_FILE_LS = 4;
constexpr uint32_t FILE_VERSION_PRODUCT_MS = 8;
constexpr uint32_t FILE_VERSION_PRODUCT_LS = 12;
constexpr uint32_t FILE_VERSION_LANGUAGE = 16;  // a 16-bit language id
constexpr uint32_t FILE_ENTRY_VERSION_SIZE = 20;
static_assert(FILE_VERSION_LANGUAGE + 4 == FILE_ENTRY_VERSION_SIZE, "the language ends the block");
// Strings: name, groupFolder, groupShortcut, groupArguments, desktopShortcut, desktopArguments.
constexpr uint32_t FILE_ENTRY_STRINGS = 6;
static_assert(FILE_ENTRY_PACKED_SIZE + 4 == FILE_ENTRY_FIXED_SIZE, "packed size ends the fields");

enum EntryStringIndex : uint32_t {
  ENTRY_NAME = 0,
  ENTRY_GROUP_FOLDER = 1,
  ENTRY_GROUP_SHORTCUT = 2,
  ENTRY_GROUP_ARGUMENTS = 3,
  ENTRY_DESKTOP_SHORTCUT = 4,
  ENTRY_DESKTOP_ARGUMENTS = 5,
};

// Destination directory; any other value is DIR_INSTALL.
enum DirCode : uint8_t { DIR_INSTALL = 0, DIR_WINDOWS = 1, DIR_SYSTEM = 2, DIR_FONTS = 3 };
enum EndAction : uint8_t { END_NONE = 0, END_OPEN = 1, END_RUN = 2 };
// Any other value is MODE_KEEP. A MODE_EXTERNAL file lies beside the setup, without data.
enum InstallMode : uint8_t { MODE_KEEP = 0, MODE_REMOVE = 1, MODE_EXTERNAL = 2 };
enum Registration : uint8_t {
  REGISTER_NONE = 0,
  REGISTER_SCREEN_SAVER = 1,
  REGISTER_COM_SERVER = 2,
};
constexpr uint8_t FE_UNINSTALLER = 0x01;
constexpr uint8_t FE_VERSION_CHECK = 0x02;
constexpr uint8_t FE_LANGUAGE_CHECK = 0x04;
// Either check carries the record's version block.
constexpr uint8_t FE_VERSION_BLOCK = FE_VERSION_CHECK | FE_LANGUAGE_CHECK;
// The outcome of a record's installation, written into the loaded table.
enum EntryStatus : uint16_t {
  STATUS_NONE = 0,
  STATUS_REPLACED = 23,
  STATUS_CREATED = 25,
  STATUS_NOT_PLACED = 27,
};

// BLOCK_END: u32 data size of the first volume, then its data. Each continuation volume
// starts with its own u32 data size.
constexpr uint32_t VOLUME_SIZE_FIELD = 4;

// The uninstall program's archive blocks, in the block header layout above: the setup
// appends them to the uninstall program in place of its closing BLOCK_END header, and
// closes them with a new one (their tags mean these blocks to the uninstall program alone).
// A counted string is a u16 byte count, then that many ANSI characters without NUL.
constexpr uint16_t UNINSTALL_FILES = 0x1235;      // u32 count, then file records
constexpr uint16_t UNINSTALL_SHORTCUTS = 0x1236;  // u32 count, then shortcut records
constexpr uint16_t UNINSTALL_APP_KEY = 0x1238;    // u32 root, then the key path (counted)
constexpr uint32_t UNINSTALL_ROOT_LOCAL_MACHINE = 0x80000002;  // the system's HKLM value
constexpr uint32_t UNINSTALL_COUNT_FIELD = 4;     // u32 record count of a block
constexpr uint32_t UNINSTALL_ROOT_FIELD = 4;      // u32 root of UNINSTALL_APP_KEY
constexpr uint32_t COUNTED_STRING_LENGTH_FIELD = 2;
constexpr uint32_t COUNTED_STRING_MAX = 0xFFFF;   // a longer text is cut to this
// A file record: directory and name (counted strings), then a u8 of these flags. The
// directory is "." for InstallDir, ".\sub" below it, else absolute, without a trailing
// backslash. A shortcut record: its folder (absolute, no trailing backslash) and file name.
constexpr uint8_t UNINSTALL_SHARED = 1;           // its "SharedDLLs" count was raised
constexpr uint8_t UNINSTALL_FONT = 2;             // a font in the Fonts folder
constexpr uint8_t UNINSTALL_SELF_REGISTERED = 4;  // a COM server that registered itself
// Behind the blocks above, in front of the end header: the file records of this run's
// UNINSTALL_FILES block whose files the run created (there was no file of that name
// before): u32 count, then that many u32 indexes into that block's records, rising.
// Outside the installation folder only such files are removed (a file that the setup
// replaced was the system's or another program's before). Without the block no file
// there is known to be created.
constexpr uint16_t UNINSTALL_CREATED = 0x1240;
constexpr uint32_t UNINSTALL_INDEX_FIELD = 4;
// Behind them, in front of the end header: the files whose "SharedDLLs" count this run
// raised but that no file record of it lists (a file kept, or not removed with the
// application): u32 count, then each file's full path as a counted string. The uninstall
// program lowers each count once and leaves the file.
constexpr uint16_t UNINSTALL_COUNTS = 0x1241;

// The key under HKEY_LOCAL_MACHINE that lists an application for removal: this, then its
// name (KEY_NAME_MAX characters at most).
constexpr char UNINSTALL_KEY_PREFIX[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr uint32_t UNINSTALL_KEY_PREFIX_LENGTH = sizeof(UNINSTALL_KEY_PREFIX) - 1;
// A buffer for the key path of the longest name, and its terminator.
constexpr uint32_t UNINSTALL_KEY_PATH_SIZE = UNINSTALL_KEY_PREFIX_LENGTH + KEY_NAME_MAX + 1;

// The uninstall program's own block, written by the builder in front of the closing
// BLOCK_END header: a u16 count, then that many counted strings, by UninstallText.
constexpr uint16_t UNINSTALL_TEXTS = 0x1234;
constexpr uint32_t UNINSTALL_TEXT_COUNT_FIELD = 2;
enum UninstallText : uint16_t {
  UNINSTALL_TITLE = 0,            // caption of every message box
  UNINSTALL_CONFIRM = 1,          // asked once before anything is removed
  UNINSTALL_SHARED_QUESTION = 2,  // %s: a shared file that no program counts any more
  UNINSTALL_DONE = 3,             // everything was removed
  UNINSTALL_DONE_AT_RESTART = 4,  // %s: the files removed when Windows starts again
  UNINSTALL_NOT_REMOVED = 5,      // %s: what could not be removed
  UNINSTALL_DAMAGED = 6,          // the data are missing or damaged: nothing was removed
  UNINSTALL_TEXTS_KNOWN = 7,
};


// Continuation volumes: the setup file's name with this suffix in place of its extension.
constexpr const char* VOLUME_SUFFIX_FORMAT = ".D%2.2d";
