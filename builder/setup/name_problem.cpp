#include "builder/setup/name_problem.h"

std::string NameProblem(NameFault fault) {
  switch (fault) {
    case NAME_OK: break;
    case NAME_EMPTY: return "has an empty name or an empty part; expected a name in every part";
    case NAME_DOT_PART: return "has a part \".\" or \"..\"; expected names inside their folder";
    case NAME_BAD_CHARACTER:
      return "holds one of \\ / : * ? \" < > | where Windows cannot store it; expected a name without them";
    case NAME_CONTROL_CHARACTER: return "holds a control character; expected printable characters";
    case NAME_TRAILING_DOT_OR_SPACE:
      return "ends a name with a dot or a space, which Windows drops; expected a name that ends otherwise";
    case NAME_RESERVED_DEVICE:
      return "names a device of Windows (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9); expected another name";
    case NAME_TOO_LONG:
      return "has a name of more than " + std::to_string(NAME_PART_MAX) + " characters; expected a shorter one";
  }
  return "";
}
