#include "script/save_archive.h"

#include <filesystem>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "script/atomic_file.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"

namespace kest {

std::unique_ptr<TVrFileCollection> OpenSaveArchive(const std::string& path) {
  auto save = std::make_unique<TVrFileCollection>();
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return save;
  auto bytes = std::make_unique<TTpBigMemoryStream>();
  bytes->LoadFromFile(path);
  const int64_t size = bytes->Size();
  save->OpenStream(std::move(bytes), Utf8ToCp932(path));
  // The index says where the entries end: a file shorter than that was cut
  // off, and is refused as a whole rather than entry by entry.
  if (save->EndOffset() > size) throw EReadError(Utf8ToCp932(path) + ": the file is cut short");
  return save;
}

void ReplaceSaveEntry(TVrFileCollection& save, std::string_view name, std::span<const uint8_t> bytes) {
  while (TVrFile* old = save.FindEntry(name)) save.Remove(old);
  WriteExact(*save.AddMemoryFile(name)->Content, bytes.data(), static_cast<int64_t>(bytes.size()));
}

void StoreSaveArchive(TVrFileCollection& save, const std::string& path, IFileByteWriter* writer) {
  TTpBigMemoryStream archive;
  if (!save.WriteArchive(archive)) throw EWriteError(Utf8ToCp932(path) + ": the archive cannot be made");
  ReplaceFileAtomically(path, archive.Data(), writer);
}

}  // namespace kest
