// Loads the extension library by name and holds its entry points.
#pragma once

#include <memory>
#include <string>

#include "kestlib/kestlib_api.h"

namespace kest {

// The entry points, one pointer each, named as the library exports them.
struct TKestLib {
#define KEST_DECLARE_ENTRY(R, name, params) R(*name) params = nullptr;
  KEST_LIB_FUNCTIONS(KEST_DECLARE_ENTRY)
#undef KEST_DECLARE_ENTRY
};

// The result of a load: the table, or the message (UTF-8) of the box the
// player shows before it stops.
struct TKestLibLoad {
  std::shared_ptr<const TKestLib> lib;
  std::string error;
};

// The library file the player looks for beside its own program.
inline constexpr const char* kKestLibFileName = "libkest.so";

// Opens the library at `path` (dlopen), checks kestVersion and looks every
// entry point up. A missing file, a wrong version or a missing entry point
// gives the error text and no table.
TKestLibLoad LoadKestLib(const std::string& path);

// Checks a table that is already filled (a library linked in, or a test fake):
// the version must be 108 and no entry may be missing.
TKestLibLoad CheckKestLib(std::shared_ptr<const TKestLib> lib, const std::string& fileName);

}  // namespace kest
