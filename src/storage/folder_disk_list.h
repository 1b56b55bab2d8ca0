#pragma once
// Which disc of a multi-disc game holds a folder. Stored at the end of the
// project settings: a 4-byte count, then per item the folder (a string) and
// its disc number (4 bytes).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kest {

class TStream;

struct TFolderDisk {
  std::string Folder;
  int32_t Disc = 0;
  bool operator==(const TFolderDisk&) const = default;
};

class TFolderDiskList {
 public:
  // Replaces the items. Raises EReadError on a list cut short or a count
  // larger than the bytes behind it; the items then stay as they were.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;

  void Add(std::string_view folder, int32_t disc) { FItems.push_back({std::string(folder), disc}); }
  void Clear() { FItems.clear(); }
  const std::vector<TFolderDisk>& Items() const { return FItems; }

  // The disc of the innermost listed folder that holds the file, ignoring
  // case; 0 when the file is not on a numbered disc.
  int32_t DiscOf(std::string_view fileName) const;

 private:
  // The item for this folder (given with its trailing "\"), or nothing.
  const TFolderDisk* FindFolder(std::string_view folder) const;

  std::vector<TFolderDisk> FItems;
};

}  // namespace kest
