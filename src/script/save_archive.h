#pragma once
// The save file as an archive of entries: read whole from disk (an empty
// archive when there is no file yet), entries replaced by name, and written
// back whole in one atomic replace, so a crash leaves the old file or the new
// one. The project's saved games and status data and the scripts' "save:"
// files all go through here.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace kest {

class IFileByteWriter;
class TVrFileCollection;

std::unique_ptr<TVrFileCollection> OpenSaveArchive(const std::string& path);
// Drops every entry of the name (an archive may hold one twice) and adds it
// anew with the bytes.
void ReplaceSaveEntry(TVrFileCollection& save, std::string_view name, std::span<const uint8_t> bytes);
// Raises EWriteError when the archive cannot be made or the file written.
void StoreSaveArchive(TVrFileCollection& save, const std::string& path, IFileByteWriter* writer = nullptr);

}  // namespace kest
