#pragma once
// The private folder that holds the work files of one player. Work file
// names are predictable, so they never go into the shared temporary folder
// itself: the folder is made with mkdtemp (only this user may enter it), each
// file is created exclusively and never through a symbolic link, and the
// folder goes away with everything in it when the player ends.

#include <cstdint>
#include <span>
#include <string>

namespace kest {

class TWorkFolder {
 public:
  // parent: where the folder is made; empty means $TMPDIR, else /tmp.
  explicit TWorkFolder(std::string parent = {});
  ~TWorkFolder();
  TWorkFolder(const TWorkFolder&) = delete;
  TWorkFolder& operator=(const TWorkFolder&) = delete;

  // The folder's path with a trailing "/"; made on first use. Raises
  // "作業用ファイルが作れません" when it cannot be made.
  const std::string& Path();
  bool Exists() const { return !FPath.empty(); }

  // Writes a new file of that name (no "/" in it) and answers its path.
  // Raises "作業用ファイルが作れません" when the file cannot be made or written;
  // no partial file is left.
  std::string CreateFile(const std::string& name, std::span<const uint8_t> bytes);
  // Deletes a file of the folder given by its path; a missing file is fine.
  static void DeleteFile(const std::string& path);

 private:
  [[noreturn]] static void FailCreate();
  void RemoveFolder();

  std::string FParent;
  std::string FPath;
};

}  // namespace kest
