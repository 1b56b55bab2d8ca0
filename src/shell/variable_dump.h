// The headless player's --dump-vars listing: every variable of the game
// (not the system ones) with its value, one per line, in UTF-8.
#pragma once

#include <string>

namespace kest {

class TParamCollection;

std::string DumpVariables(const TParamCollection& variables);

}  // namespace kest
