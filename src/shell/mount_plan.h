// Which game data the player mounts at start-up, from its command line.
#pragma once

#include <string>
#include <vector>

namespace kest {

struct TMountStep {
  enum class TKind { SetBaseFolder, MountResource, MountFile };
  TKind Kind;
  std::string Path;
  bool operator==(const TMountStep&) const = default;
};

// True when the file's last two bytes are "kv": an archive appended to it.
bool EndsWithArchiveTrailer(const std::string& path);

// Without parameters: the program's folder is the base, then the program's
// embedded archive resource (when it has one) and an archive appended to the
// program. With parameters: the first is the base folder; then, for each, its
// game.dat (in any letter case: a folder copied from a Windows disc may spell
// it GAME.DAT) when the parameter names a folder holding one, and the parameter
// itself when it is a file ending in an archive trailer.
std::vector<TMountStep> PlanMounts(const std::vector<std::string>& params, const std::string& programPath,
                                   bool programHasArchiveResource);

}  // namespace kest
