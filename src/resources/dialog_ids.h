// Template numbers, control identifiers and resource numbers: the contract between the
// program, the dialog templates that a setup carries, the builder that writes them, and the
// resource script. Plain macros, because the resource compiler reads this header too.
#pragma once

// A control that no code looks up by id (a fixed text or picture); IDC_STATIC as a word.
#define ID_UNADDRESSED 0xFFFF

// The program's icon group: the main window's icon, also shown by the closing page.
#define PROGRAM_ICON 800
// The program's manifest: the one resource number and type that Windows reads it under.
#define PROGRAM_MANIFEST 1         // CREATEPROCESS_MANIFEST_RESOURCE_ID
#define MANIFEST_RESOURCE_TYPE 24  // RT_MANIFEST

// Dialog templates of the setup archive, by number.
#define TEMPLATE_FRAME_WINDOWED 0
#define TEMPLATE_FRAME_FULL_SCREEN 1
#define TEMPLATE_DIRECTORY_PAGE 2
#define TEMPLATE_INFORMATION_PAGE 3
#define TEMPLATE_PROGRESS_PAGE 4
#define TEMPLATE_TEXT_PAGE 5  // the welcome page and the confirmation page
#define TEMPLATE_FINISH_PAGE 6
#define TEMPLATE_FOLDER_CHOOSER 7
#define TEMPLATE_CLOSING_PAGE 8

// The frame dialog: its buttons and its three hidden areas.
#define ID_NEXT 1  // IDOK: the frame's default button
#define ID_CANCEL 2  // IDCANCEL
#define ID_BACK 1007
#define ID_PAGE_AREA 1006  // every page is moved to this placeholder's top-left corner
#define ID_PICTURE_AREA 1011  // the wizard picture is painted centred in it
#define ID_SEPARATOR 1012  // painted as a sunken line

// Every page: the controls that receive strings 1 to 4 of the page's text list.
#define ID_PAGE_TEXT_1 1000
#define ID_PAGE_TEXT_2 1001
#define ID_PAGE_TEXT_3 1002
#define ID_PAGE_TEXT_4 1003

// The directory page.
#define ID_DIRECTORY_EDIT 1004
#define ID_BROWSE 1005
#define ID_SPACE_NEEDED 1016
#define ID_SPACE_NEEDED_LABEL 1017
#define ID_SPACE_FREE_LABEL 1018
#define ID_SPACE_FREE 1019

// The progress page.
#define ID_PROGRESS_GROUP 99
#define ID_CURRENT_FILE 1008
#define ID_PROGRESS_BAR 1009  // hidden: the page paints the bar over its rectangle
#define ID_PROGRESS_PERCENT 1010

// The finish page.
#define ID_OPEN_DOCUMENT 1014
#define ID_RUN_AT_END 1015

// The closing page: a text that becomes the caption, and the web button.
#define ID_CLOSING_CAPTION 1005
#define ID_WEB_BUTTON 1006

// The folder chooser: our controls, and those of the system's save-file dialog that its
// template must hold (most of them hidden).
#define ID_CHOOSER_FOLDER 101
#define ID_CHOOSER_OK 1  // IDOK
#define ID_CHOOSER_CANCEL 2  // IDCANCEL
#define ID_CHOOSER_FOLDER_LABEL 1009
#define ID_CHOOSER_DRIVE_LABEL 1091
#define ID_CHOOSER_FOLDER_LIST 1121  // lst2
#define ID_CHOOSER_DRIVE_LIST 1137  // cmb2
#define ID_CHOOSER_CURRENT_FOLDER 1088  // stc1
#define ID_CHOOSER_FILE_NAME 1152  // edt1
#define ID_CHOOSER_FILE_LIST 1120  // lst1
#define ID_CHOOSER_TYPE_LABEL 1089  // stc2
#define ID_CHOOSER_TYPE_LIST 1136  // cmb1
#define ID_CHOOSER_HELP 1038  // pshHelp
#define ID_CHOOSER_READ_ONLY 1040  // chx1
#define ID_CHOOSER_FILE_NAME_LABEL 1090  // stc3
