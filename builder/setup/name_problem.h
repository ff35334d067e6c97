// What a name's fault is, in the words the builder's messages use (the manifest's problems
// and verify's faults alike), and what is expected instead.
#pragma once

#include <string>

#include "archive/names.h"

std::string NameProblem(NameFault fault);
