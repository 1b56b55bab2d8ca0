#pragma once
// The type codes of values and the scopes of script variables, as stored in
// every record and passed by every operation.

#include <cstdint>

namespace kest {

enum TParamType : uint8_t {
  PT_NONE = 0,  // a reference: it has no elements of its own
  PT_INT = 1,
  PT_FLOAT = 2,
  PT_BOOL = 3,
  PT_STR = 4,
};

// Scopes of the variable-creation command.
enum TParamScope : uint8_t {
  PS_GLOBAL = 0,
  PS_AUTODELETE = 1,  // owned by the call frame that made it
  PS_LOCAL = 2,       // owned by that frame and seen only while it is current
  PS_STATUS = 3,      // kept with the status data, initialised once
};

// The largest array the store makes: enough for any game's tables, small
// enough that a script or a damaged save cannot exhaust memory.
inline constexpr int64_t kMaxParamElements = int64_t{1} << 24;

}  // namespace kest
