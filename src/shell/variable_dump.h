// The headless player's --dump-vars listing: every variable of the game
// (not the system ones) with its value, one per line, in UTF-8.
#pragma once

#include <string>

namespace kest {

class TKestReadList;
class TParamCollection;

std::string DumpVariables(const TParamCollection& variables);
// The read marks, a line "read:PAGE COMMAND SCREEN" each, in the order they
// were set.
std::string DumpReadMarks(const TKestReadList& marks);

}  // namespace kest
