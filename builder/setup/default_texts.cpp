// The default English texts. Each page text fits its control: a 174x25 text holds two lines
// of about 40 characters, a label one short line.
#include "builder/setup/default_texts.h"

namespace {

// Doubles every occurrence of c, which the control or the formatter would otherwise take as
// its own mark.
std::string Doubled(const std::string& text, char c) {
  std::string out;
  for (char ch : text) {
    out += ch;
    if (ch == c) out += ch;
  }
  return out;
}

std::vector<std::string> Messages(const std::string& app, const std::string& formatApp) {
  std::vector<std::string> m(MESSAGE_COUNT);
  m[MESSAGE_PROGRAM_TITLE] = app + " Setup";
  m[MESSAGE_CHOOSER_CAPTION] = "Choose a Folder";
  m[MESSAGE_CHOOSER_FOLDER_LABEL] = "&Folder:";
  m[MESSAGE_CHOOSER_DRIVE_LABEL] = "Dri&ves:";
  m[MESSAGE_CHECKING_FOLDER] = "Checking the folder and the free disk space...";
  m[MESSAGE_FOLDER_NOT_CREATED] = "Setup cannot create this folder. Please choose another one.";
  m[MESSAGE_CREATE_FOLDER] = "This folder does not exist yet. Do you want Setup to create it?";
  m[MESSAGE_REPLACE_READ_ONLY] =
      "Some files that Setup has to replace are read-only. Do you want to replace them anyway?";
  m[MESSAGE_CHECK_FAILED] = "Setup cannot install into this folder.";
  m[MESSAGE_NOT_WRITABLE] = "%s is read-only, and Setup cannot make it writable.";
  m[MESSAGE_IN_USE_DIFFERENT] =
      "%s is in use by another program and differs from the file to install. "
      "Close that program and try again.";
  m[MESSAGE_LOW_DISK_SPACE] =
      "There is not enough free space on this drive. Do you want to install anyway?";
  m[MESSAGE_STOP_INSTALLATION] = "Do you want to stop the installation?";
  m[MESSAGE_CANCEL_SETUP] = app + " is not installed yet. Do you want to quit Setup?";
  m[MESSAGE_NOT_COMPLETED] = "The installation was not completed.";
  m[MESSAGE_CANNOT_READ] = "%s cannot be opened for reading.";
  m[MESSAGE_NO_TEMPORARY_FILE] = "Setup cannot create the temporary file %s.";
  m[MESSAGE_DAMAGED_COPY] =
      "%s was damaged while it was copied. The setup files may be damaged; "
      "please get a new copy of Setup.";
  // Shown with Abort, Retry and Ignore while installing, and as the reason on the finish page.
  m[MESSAGE_CANNOT_REPLACE] =
      "%s is in use or protected and could not be replaced. Close any program that uses it "
      "and choose Retry, or Ignore to keep the old file.";
  m[MESSAGE_INSERT_DISK] = "Please insert disk %d of " + formatApp + " Setup and click OK.";
  m[MESSAGE_REPLACE_NEWER] =
      "%s already exists and is newer than the file to install. Replace it with the older file?";
  m[MESSAGE_REPLACE_LANGUAGE] =
      "%s is in another language than the file to install. Do you want to replace it?";
  return m;
}

std::vector<std::string> Buttons() {
  std::vector<std::string> b(BUTTON_TEXT_COUNT);
  b[BUTTON_TEXT_BACK] = "< &Back";
  b[BUTTON_TEXT_NEXT] = "&Next >";
  b[BUTTON_TEXT_CANCEL] = "Cancel";
  b[BUTTON_TEXT_INSTALL] = "&Install";
  b[BUTTON_TEXT_CHOOSER_OK] = "OK";
  b[BUTTON_TEXT_STOP] = "Cancel";
  return b;
}

}  // namespace

std::vector<std::string> DefaultUninstallTexts(const std::string& appName) {
  const std::string app = appName.empty() ? "the program" : appName;
  const std::string formatApp = Doubled(app, '%');
  std::vector<std::string> texts(UNINSTALL_TEXTS_KNOWN);
  texts[UNINSTALL_TITLE] = appName.empty() ? "Uninstall" : appName + " Uninstall";
  texts[UNINSTALL_CONFIRM] = "Do you want to remove " + app + " and all of its components from your computer?";
  texts[UNINSTALL_SHARED_QUESTION] =
      "No program uses the shared file %s any more, as far as Windows knows.\n\n"
      "Do you want to remove it? If you are not sure, click No: a program that still needs it "
      "would stop working.";
  texts[UNINSTALL_DONE] = app + " was removed from your computer.";
  texts[UNINSTALL_DONE_AT_RESTART] =
      formatApp + " was removed. These files are in use and will be removed when Windows starts again:\n\n%s";
  texts[UNINSTALL_NOT_REMOVED] = formatApp + " was removed, except for these files, which could not be removed:\n\n%s";
  texts[UNINSTALL_DAMAGED] = "The uninstall information of " + app + " is missing or damaged, so nothing was removed.";
  return texts;
}

std::vector<std::vector<std::string>> DefaultPageTexts(const std::string& appName) {
  const std::string& app = appName;
  const std::string formatApp = Doubled(appName, '%');
  const std::string labelApp = Doubled(appName, '&');
  std::vector<std::vector<std::string>> lists(DEFAULT_TEXT_LISTS);
  lists[WELCOME_TEXTS] = {
      "Welcome",
      "Welcome to the setup of " + app + ".",
      "This program installs " + app + " on your computer.",
      "Please close other programs before you go on.",
      "Click Next to continue, or Cancel to quit Setup.",
  };
  lists[INFORMATION_TEXTS] = {"Information", ""};
  lists[DIRECTORY_TEXTS] = {
      "Installation Folder",
      "Setup will install " + app + " in this folder. Type another or click ... to browse.",
      "If the folder does not exist, Setup will create it.",
      "Make sure that the drive has enough free space.",
      "Click Next to continue.",
      "Space required:",
      "Space available:",
      "%d MB",
  };
  lists[CONFIRMATION_TEXTS] = {
      "Ready to Install",
      "Setup is ready to install " + app + ".",
      formatApp + " will be installed in %s",
      "To review or change anything, click Back.",
      "Click Install to begin.",
  };
  lists[PROGRESS_TEXTS] = {
      "Installing",
      "File:",
      "Please wait while Setup copies the files of " + app + " to your computer.",
  };
  lists[FINISH_TEXTS] = {
      "Finished",
      app + " has been installed on your computer.",
      "The read-me file holds the latest notes about " + app + ".",
      "Setup can start " + app + " for you as soon as it closes.",
      "Setup could not finish. %s",
      "&View the read-me file",
      "&Start " + labelApp + " now",
  };
  lists[MESSAGE_LIST] = Messages(app, formatApp);
  lists[BUTTON_TEXTS] = Buttons();
  return lists;
}
