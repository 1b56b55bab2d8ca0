#pragma once
// How the scene names objects: the automatic names of new objects, and the
// new name an object gets when another takes its name.

#include <functional>
#include <string>
#include <string_view>

namespace kest {

// Whether some registered object bears the name.
using TNameTaken = std::function<bool(std::string_view)>;

// "object0", "object1", ...: the first that nobody bears.
std::string AutomaticName(const TNameTaken& taken);

// The name for an object whose name another object takes: a trailing "_N"
// (N > 1, from the second character on) is counted on from N, anything else
// gets "_2", "_3", ... The name is walked by character, so a trail byte 0x5F
// ("ダ" is 83 5F) is not taken for "_".
std::string CollisionName(std::string_view name, const TNameTaken& taken);

}  // namespace kest
