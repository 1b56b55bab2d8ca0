#include "storage/host_name_resolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "common/jstring.h"
#include "common/sjis.h"
#include "storage/archive_paths.h"

namespace kest {
namespace {

bool HasType(const std::string& path, bool wantFolder) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  return wantFolder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

// A host entry's name as a game would spell it.
std::string GameNameOf(const char* hostName) {
  if (auto cp932 = Utf8ToCp932Strict(hostName)) return *cp932;
  return hostName;
}

// The parts of a game name, split at "\" (by character) and "/".
std::vector<std::string_view> SplitParts(std::string_view name) {
  std::vector<std::string_view> parts;
  size_t begin = 0;
  for (TJChar c : JChars(name)) {
    if (c.Bytes != "\\" && c.Bytes != "/") continue;
    if (c.Offset > begin) parts.push_back(name.substr(begin, c.Offset - begin));
    begin = c.Offset + 1;
  }
  if (begin < name.size()) parts.push_back(name.substr(begin));
  return parts;
}

// A directory entry's type when the file system reports it; links and
// unknown types are looked at through stat.
bool HasEntryType(unsigned char type, const std::string& path, bool wantFolder) {
  if (type == DT_DIR) return wantFolder;
  if (type == DT_REG) return !wantFolder;
  return HasType(path, wantFolder);
}

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

}  // namespace

std::optional<std::string> THostNameResolver::FindFile(const std::string& folder, std::string_view name) {
  return Resolve(folder, name, false);
}

std::optional<std::string> THostNameResolver::FindFolder(const std::string& folder, std::string_view name) {
  return Resolve(folder, name, true);
}

std::optional<std::string> THostNameResolver::FindSibling(const std::string& hostPath, std::string_view extension) {
  const size_t slash = hostPath.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string("./") : hostPath.substr(0, slash + 1);
  const std::string base = hostPath.substr(slash == std::string::npos ? 0 : slash + 1);
  std::string name = GameNameOf(base.c_str());
  const size_t dot = LastCharPos(name, '.');
  if (dot != std::string::npos) name.resize(dot);
  auto sibling = FindFile(folder, name + std::string(extension));
  if (sibling && *sibling == folder + base) return std::nullopt;
  return sibling;
}

std::optional<std::string> THostNameResolver::Resolve(const std::string& folder, std::string_view name,
                                                      bool wantFolder) {
  if (folder.empty()) return std::nullopt;
  const std::vector<std::string_view> parts = SplitParts(name);
  if (parts.empty() && !wantFolder) return std::nullopt;
  std::string path = folder;
  for (size_t i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    auto found = FindPart(path, parts[i], wantFolder || !last);
    if (!found) return std::nullopt;
    path = std::move(*found);
    if (!last || wantFolder) path += '/';
  }
  if (parts.empty() && !HasType(path, true)) return std::nullopt;
  return path;
}

// The listing answers for exact names too, so that a name found in a known
// folder costs one stat of the folder and none of the file.
std::optional<std::string> THostNameResolver::FindPart(const std::string& folder, std::string_view part,
                                                       bool wantFolder) {
  if (part == "." || part == "..") return std::nullopt;
  const TListing* listing = Listing(folder);
  if (!listing) return std::nullopt;
  auto take = [&](const std::string& host) -> std::optional<std::string> {
    const auto type = listing->Types.find(host);
    if (type == listing->Types.end()) return std::nullopt;
    std::string path = folder + host;
    if (!HasEntryType(type->second, path, wantFolder)) return std::nullopt;
    return path;
  };
  if (const auto utf8 = Cp932ToUtf8Strict(part)) {
    if (auto path = take(*utf8)) return path;
  }
  if (auto path = take(std::string(part))) return path;
  const auto hit = listing->Names.find(FoldName(part));
  if (hit == listing->Names.end()) return std::nullopt;
  return take(hit->second);
}

const THostNameResolver::TListing* THostNameResolver::Listing(const std::string& folder) {
  struct stat st {};
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  auto cached = FListings.find(folder);
  if (cached != FListings.end() && cached->second.Settled && cached->second.Inode == st.st_ino &&
      SameTime(cached->second.Modified, st.st_mtim))
    return &cached->second;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return nullptr;
  TListing listing;
  listing.Modified = st.st_mtim;
  listing.Inode = st.st_ino;
  listing.Settled = st.st_mtim.tv_sec + 2 < std::time(nullptr);
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    const std::string host = entry->d_name;
    if (host == "." || host == "..") continue;
    listing.Types.emplace(host, entry->d_type);
    names.push_back(host);
  }
  closedir(dir);
  // Of names that fold alike, the first in byte order wins, whatever order
  // the file system lists them in.
  std::sort(names.begin(), names.end());
  for (const std::string& host : names) listing.Names.emplace(FoldName(GameNameOf(host.c_str())), host);
  if (FListings.size() >= kMaxListings) FListings.clear();
  return &(FListings[folder] = std::move(listing));
}

std::vector<std::string> THostNameResolver::ListFiles(const std::string& hostFolder) {
  std::vector<std::string> files;
  DIR* dir = opendir(hostFolder.c_str());
  if (!dir) return files;
  while (const dirent* entry = readdir(dir)) {
    if (!HasType(hostFolder + entry->d_name, false)) continue;
    std::string name = GameNameOf(entry->d_name);
    if (LastCharPos(name, '\\') == std::string::npos && LastCharPos(name, '/') == std::string::npos)
      files.push_back(std::move(name));
  }
  closedir(dir);
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace kest
