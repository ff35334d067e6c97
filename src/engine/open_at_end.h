// Opening a document with the program that the system associates with its type: the
// installed file marked END_OPEN once the installation has succeeded, and any document by
// name (the closing page's web address).
#pragma once

#include <windows.h>

#include <cstdint>

// Room for a registry value read by ReadDefaultValue, terminator included.
constexpr uint32_t REGISTRY_VALUE_SIZE = 260;
// Room for the command line that the registry's open command makes, terminator included.
constexpr uint32_t OPEN_COMMAND_SIZE = 520;
// OpenDocument's result when the command line would outgrow OPEN_COMMAND_SIZE: nothing is
// started (a cut command line could name another program or another file). It is WinExec's
// own "out of resources" result, so no caller needs to tell the two apart.
constexpr int OPEN_COMMAND_TOO_LONG = 0;

// Opens the installed file of OpenAtEndEntry with its associated program; nothing when
// there is no entry or the file is not there.
void OpenAtEnd();

// Opens document with the program associated with it: the shell's result when it
// succeeded (above 32); otherwise the registry's error when the open command of extension
// (with its dot) cannot be read; otherwise the result of starting that command with the
// document (WinExec: above 31 on success), or OPEN_COMMAND_TOO_LONG.
int OpenDocument(const char* document, const char* extension);

// Reads the default value of root\subkey into buffer (REGISTRY_VALUE_SIZE bytes), always
// terminated; empty when the value cannot be read. 0, or the error of opening the key.
LONG ReadDefaultValue(HKEY root, const char* subkey, char* buffer);

// Turns the open command template in command (OPEN_COMMAND_SIZE bytes) into the command
// line for document: the template is cut at its first "%1", quoted or bare, and a space
// and the unquoted document follow. False, with command emptied, when the result would
// not fit.
bool BuildOpenCommand(char* command, const char* document);
