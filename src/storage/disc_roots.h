#pragma once
// Game discs on the host are the mounted ISO 9660 and UDF file systems. A
// disc appears as a mount point only once it is inserted (and carries its
// label in the path), so the list is read again whenever a disc is searched.

#include <string>
#include <vector>

namespace kest {

inline constexpr const char* kMountTable = "/proc/self/mountinfo";

// The mount points (each with a trailing "/") of the disc file systems in the
// mount table, sorted by path so that the order does not depend on the order
// of insertion. A missing or unreadable table means no disc.
std::vector<std::string> ReadDiscRoots(const std::string& mountTable = kMountTable);

}  // namespace kest
