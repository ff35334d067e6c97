// The command line's defines (-D NAME=VALUE) and their use in a manifest: ${NAME} in any
// string value, arrays' and inline tables' included, stands for the value; $${ writes ${.
#pragma once

#include <toml++/toml.h>

#include <string>
#include <vector>

#include "builder/manifest/manifest.h"

// Whether name is a define's name: [A-Za-z_][A-Za-z0-9_]*.
bool IsDefineName(const std::string& name);

// "NAME=VALUE" into *defines (a later one of a name wins); false with *error saying why not.
bool ParseDefine(const std::string& text, Defines* defines, std::string* error);

// text with every ${NAME} replaced by its define and every $${ by ${; false with *fault
// saying what is wrong and *at the byte offset in text where it is.
bool ExpandText(const std::string& text, const Defines& defines, std::string* expanded, std::string* fault,
                size_t* at);

namespace manifest_reading {

// Expands the defines in every string value below node (whose dotted key is key), each
// problem at its place in source, the manifest's text.
void ExpandDefines(toml::node& node, const std::string& key, const Defines& defines, const std::string& source,
                   std::vector<ManifestProblem>* problems);

}  // namespace manifest_reading
