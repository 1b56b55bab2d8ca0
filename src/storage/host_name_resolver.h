#pragma once
// Finds the host file behind a game name. Games name their files in
// Shift-JIS with "\" between folders and ignore letter case, while a game
// folder copied from a Windows disc keeps whatever case the disc had, in
// UTF-8 (or, copied by an old tool, in raw Shift-JIS bytes). So every part of
// a name is matched against the folder's entries read as Shift-JIS and
// compared ignoring ASCII case. The listing of each folder is kept and read
// again when the folder's modification time changes.

#include <sys/types.h>

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kest {

class THostNameResolver {
 public:
  // The host path of the regular file that name denotes below folder (a host
  // path ending with "/"); nothing when there is none. Parts "." and ".."
  // never match, so a name cannot reach outside the folder.
  std::optional<std::string> FindFile(const std::string& folder, std::string_view name);
  // Likewise for a folder; the path ends with "/". An empty name is folder.
  std::optional<std::string> FindFolder(const std::string& folder, std::string_view name);
  // The other regular file beside a host file that has its name with another
  // extension (".ext" beside GAME.DAT finds GAME.EXT); nothing when none.
  std::optional<std::string> FindSibling(const std::string& hostPath, std::string_view extension);
  // The Shift-JIS names of the regular files directly in a host folder,
  // sorted; names that cannot stand as one part of a game name are left out.
  static std::vector<std::string> ListFiles(const std::string& hostFolder);
  // Forgets every listing (after the player itself changed a folder).
  void Invalidate() { FListings.clear(); }

 private:
  struct TListing {
    timespec Modified{};
    ino_t Inode = 0;
    // A listing read while its folder's time was still that of the current
    // second may miss a change made within the same clock step.
    bool Settled = false;
    // Host name -> its directory-entry type; folded Shift-JIS name -> host name.
    std::unordered_map<std::string, unsigned char> Types;
    std::unordered_map<std::string, std::string> Names;
  };

  std::optional<std::string> Resolve(const std::string& folder, std::string_view name, bool wantFolder);
  std::optional<std::string> FindPart(const std::string& folder, std::string_view part, bool wantFolder);
  const TListing* Listing(const std::string& folder);

  static constexpr size_t kMaxListings = 512;
  std::unordered_map<std::string, TListing> FListings;
};

}  // namespace kest
