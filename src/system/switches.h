// The switches of a program's command line, as both programs read them.
#pragma once

// The walk over a run of switches that both programs' command lines share: for each switch
// it calls take with the switch's letter in upper case and the text behind the letter;
// take returns how far it read. The rest of a switch's word is passed over.
using TakeSwitch = const char* (*)(char letter, const char* rest);
void WalkSwitches(const char* text, TakeSwitch take);

// The arguments of a whole command line as the system gives it (GetCommandLineA): the text
// behind the program's name, which is quoted when it holds a space, and the blanks after it.
const char* CommandTail(const char* commandLine);

// Copies a path argument, quoted or not, into a PATH_BUFFER_SIZE buffer. Characters beyond
// the buffer's room are passed over, so the buffer always stays terminated. Returns the
// position behind the argument.
const char* ReadPathArgument(const char* p, char* buffer);
