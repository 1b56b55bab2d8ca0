#include "storage/folder_disk_list.h"

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "storage/archive_paths.h"

namespace kest {
namespace {

std::string WithTrailingBackslash(std::string_view folder) {
  std::string out(folder);
  if (LastCharPos(out, '\\') + 1 != out.size() || out.empty()) out += '\\';
  return out;
}

}  // namespace

void TFolderDiskList::LoadFromStream(TStream& stream) {
  const int32_t count = ReadInt(stream);
  if (count < 0) throw EReadError("folder-to-disc list: the count is negative");
  // Every item takes at least its string length and its disc number.
  RequireRemaining(stream, static_cast<int64_t>(count) * 8);
  std::vector<TFolderDisk> items;
  items.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    TFolderDisk item;
    item.Folder = ReadStr(stream);
    item.Disc = ReadInt(stream);
    items.push_back(std::move(item));
  }
  FItems = std::move(items);
}

void TFolderDiskList::SaveToStream(TStream& stream) const {
  WriteInt(stream, static_cast<int32_t>(FItems.size()));
  for (const TFolderDisk& item : FItems) {
    WriteStr(stream, item.Folder);
    WriteInt(stream, item.Disc);
  }
}

const TFolderDisk* TFolderDiskList::FindFolder(std::string_view folder) const {
  for (const TFolderDisk& item : FItems)
    if (SameName(WithTrailingBackslash(item.Folder), folder)) return &item;
  return nullptr;
}

int32_t TFolderDiskList::DiscOf(std::string_view fileName) const {
  std::string name = UpperName(fileName);
  while (!name.empty()) {
    if (const TFolderDisk* item = FindFolder(WithTrailingBackslash(name))) return item->Disc;
    const size_t slash = LastCharPos(name, '\\');
    name.resize(slash == std::string::npos ? 0 : slash);
  }
  return 0;
}

}  // namespace kest
