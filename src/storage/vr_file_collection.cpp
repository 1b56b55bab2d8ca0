#include "storage/vr_file_collection.h"

#include <sys/stat.h>

#include <filesystem>
#include <unordered_set>

#include "common/errors.h"
#include "common/sjis.h"
#include "storage/archive_paths.h"
#include "storage/big_resource_stream.h"
#include "storage/program_file.h"
#include "storage/zlib_codec.h"

namespace kest {
namespace {

constexpr std::string_view kSentinelName = "\\EOF\\";
constexpr uint16_t kReadShared = big_file_mode::kOpenRead | big_file_mode::kShareDenyWrite;

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string HostFolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string WithTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string HostExtension(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return UpperName(path.substr(dot));
}

// Our own player carries no extension, so a program is told by its first
// bytes as well as by the Windows extensions.
bool LooksLikeProgram(const std::string& path, TTpBigStream& file) {
  const std::string ext = HostExtension(path);
  if (ext == ".EXE" || ext == ".SCR") return true;
  uint8_t magic[4];
  file.Seek(0);
  const bool elf =
      file.Read(magic, 4) == 4 && magic[0] == 0x7F && magic[1] == 'E' && magic[2] == 'L' && magic[3] == 'F';
  file.Seek(0);
  return elf;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

}  // namespace

TVrFileCollection::TVrFileCollection(int64_t segmentSize) : FSegmentSize(segmentSize) {}

TVrFileCollection::~TVrFileCollection() { Clear(); }

void TVrFileCollection::Reset() {
  Clear();
  FArchive.reset();
  FArchiveFileName.clear();
  FResourceName.clear();
  FResourceType.clear();
  FDisplayName.clear();
  FVersion = 0;
  FEndOffset = 0;
}

void TVrFileCollection::SetBaseFolder(std::string folder) { FBaseFolder = WithTrailingSlash(std::move(folder)); }

std::string TVrFileCollection::ArchiveDisplayName() const {
  return FDisplayName.empty() ? Utf8ToCp932(FArchiveFileName) : FDisplayName;
}

void TVrFileCollection::Fail(std::string_view entry, const std::string& problem) const {
  std::string message = ArchiveDisplayName();
  if (!entry.empty()) message += ": " + std::string(entry);
  throw EReadError(message + ": " + problem);
}

void TVrFileCollection::Open(const std::string& fileName, bool asFolder) {
  Reset();
  FArchiveFileName = fileName;
  if (fileName.empty()) return;
  const bool exists = IsRegularFile(fileName);
  SetBaseFolder(exists || asFolder ? HostFolderOf(fileName) : fileName);
  if (!exists) return;
  try {
    if (const auto start = FindAppendedArchive(fileName)) {
      FArchive = std::make_unique<TTpBigFileStream>(fileName, kReadShared, TTpBigFileStream::kSingleFile);
      FArchiveSegmentSize = TTpBigFileStream::kSingleFile;
      FArchive->Seek(*start);
      ReadIndex(*FArchive);
      return;
    }
    FArchive = std::make_unique<TTpBigFileStream>(fileName, kReadShared, FSegmentSize);
    FArchiveSegmentSize = FSegmentSize;
    if (LooksLikeProgram(fileName, *FArchive)) {
      FArchive.reset();
      return;
    }
    if (const auto index_name = FResolver.FindSibling(fileName, ".ext")) {
      TTpBigMemoryStream index;
      index.LoadFromFile(*index_name);
      ReadIndex(index);
    } else {
      ReadIndex(*FArchive);
    }
  } catch (...) {
    FArchive.reset();
    throw;
  }
}

void TVrFileCollection::OpenResource(const std::string& moduleFileName, std::string_view resourceName,
                                     std::string_view resourceType) {
  Reset();
  if (!IsRegularFile(moduleFileName)) return;
  const auto resource = FindProgramResource(moduleFileName, resourceName, resourceType);
  if (!resource || resource->Size == 0) throw EKestError(Utf8ToCp932("リソースが見つかりません"));
  FArchiveFileName = moduleFileName;
  FResourceName = resourceName;
  FResourceType = resourceType;
  FDisplayName = Utf8ToCp932(moduleFileName) + " (" + FResourceName + ")";
  FArchive = std::make_unique<TTpBigResourceStream>(moduleFileName, resourceName, resourceType);
  try {
    ReadIndex(*FArchive);
  } catch (...) {
    FArchive.reset();
    throw;
  }
}

void TVrFileCollection::OpenStream(std::unique_ptr<TTpBigStream> stream, const std::string& displayName) {
  Reset();
  FDisplayName = displayName;
  FArchive = std::move(stream);
  try {
    ReadIndex(*FArchive);
  } catch (...) {
    FArchive.reset();
    throw;
  }
}

TVrFile* TVrFileCollection::FindEntry(std::string_view name) const {
  if (SameName(name, kSentinelName)) return nullptr;
  return Find(name);
}

void TVrFileCollection::Extract(TStream& target, std::string_view name) {
  if (auto* memory = dynamic_cast<TTpBigMemoryStream*>(&target)) {
    memory->Clear();
    const TVrFile* entry = FindEntry(name);
    if (entry && (entry->Content || (entry->InArchive && FArchive))) {
      ReadEntry(*entry, *memory);
    } else if (!ExtractFromFolder(*memory, name)) {
      throw EKestError(std::string(name) + Utf8ToCp932(":ファイルがありません"));
    }
    memory->Seek(0);
    return;
  }
  if (auto* bytes = dynamic_cast<TByteStream*>(&target)) static_cast<TByteStream&>(*bytes) = TByteStream();
  TTpBigMemoryStream plain;
  Extract(plain, name);
  WriteExact(target, plain.Data().data(), plain.Size());
  target.Seek(0);
}

void TVrFileCollection::ExtractEntry(const TVrFile& entry, TTpBigMemoryStream& out) {
  if (entry.Content || (entry.InArchive && FArchive)) {
    ReadEntry(entry, out);
    return;
  }
  TTpBigMemoryStream file;
  if (!ExtractFromFolder(file, entry.Name())) throw EKestError(entry.Name() + Utf8ToCp932(":ファイルがありません"));
  WriteExact(out, file.Data().data(), file.Size());
}

bool TVrFileCollection::ExtractFromFolder(TTpBigMemoryStream& out, std::string_view name) {
  const auto path = FResolver.FindFile(FBaseFolder, name);
  if (!path || (!FArchiveFileName.empty() && SameFile(*path, FArchiveFileName))) return false;
  out.LoadFromFile(*path);
  return true;
}

void TVrFileCollection::ReadStoredBytes(const TVrFile& entry, TTpBigMemoryStream& out) {
  const int64_t size = FArchive->Size();
  if (entry.Offset < 0 || entry.Size < 0 || entry.Offset > size || entry.Size > size - entry.Offset)
    Fail(entry.Name(), "its data lies outside the archive");
  FArchive->Seek(entry.Offset);
  const int64_t base = out.Size();
  uint8_t* bytes = out.Extend(entry.Size);
  const int64_t got = FArchive->Read(bytes, entry.Size);
  if (got != entry.Size) {
    out.Truncate(base);
    Fail(entry.Name(), "its data is cut short");
  }
}

void TVrFileCollection::ReadEntry(const TVrFile& entry, TTpBigMemoryStream& out) {
  if (entry.Content) {
    const auto data = entry.Content->Data();
    WriteExact(out, data.data(), static_cast<int64_t>(data.size()));
    return;
  }
  if (entry.Stored) {
    ReadStoredBytes(entry, out);
    return;
  }
  if (entry.Size == 0) return;
  FPacked.Clear();
  ReadStoredBytes(entry, FPacked);
  ZlibInflate(FPacked.Data(), out, InflateBound(entry.Size), ArchiveDisplayName() + ": " + entry.Name());
}

std::unique_ptr<TRangeStream> TVrFileCollection::OpenRange(std::string_view name) {
  const TVrFile* entry = FindEntry(name);
  if (!entry) return nullptr;
  const bool streamable = !entry->Content && entry->InArchive && entry->Stored && FArchive;
  if (streamable && dynamic_cast<TTpBigFileStream*>(FArchive.get())) {
    const int64_t size = FArchive->Size();
    if (entry->Offset < 0 || entry->Size < 0 || entry->Offset > size || entry->Size > size - entry->Offset)
      Fail(entry->Name(), "its data lies outside the archive");
    return std::make_unique<TFileRangeStream>(FArchiveFileName, entry->Size, entry->Offset, FArchiveSegmentSize);
  }
  if (streamable && IsResource()) {
    const int64_t size = FArchive->Size();
    if (entry->Offset < 0 || entry->Size < 0 || entry->Offset > size || entry->Size > size - entry->Offset)
      Fail(entry->Name(), "its data lies outside the archive");
    return std::make_unique<TResourceRangeStream>(FArchiveFileName, FResourceName, entry->Size, entry->Offset,
                                                  FResourceType);
  }
  auto memory = std::make_unique<TTpBigMemoryStream>();
  Extract(*memory, name);
  const int64_t length = memory->Size();
  return std::make_unique<TRangeStream>(std::move(memory), 0, length);
}

TVrFile* TVrFileCollection::AddFile(std::string_view name) { return AddNamed(name); }

TVrFile* TVrFileCollection::AddMemoryFile(std::string_view name) {
  TVrFile* file = AddFile(name);
  file->Content = std::make_unique<TTpMemoryStream>();
  return file;
}

void TVrFileCollection::DeleteFile(std::string_view name) { Remove(FindEntry(name)); }

void TVrFileCollection::ListFolder(std::string_view folder, std::vector<std::string>& list) const {
  std::unordered_set<std::string> held;
  for (const std::string& name : list) held.insert(FoldName(name));
  for (int32_t i = 0; i < Count(); ++i) {
    const std::string& name = (*this)[i]->Name();
    if (SameName(name, kSentinelName) || !SameName(FolderPart(name), folder)) continue;
    if (held.insert(FoldName(name)).second) list.push_back(name);
  }
}

uint32_t TVrFileCollection::ComputeChecksum(const TVrFile& entry) {
  TTpBigMemoryStream bytes;
  if (entry.ChecksumOfPlain || entry.Content || !entry.InArchive || !FArchive) {
    ExtractEntry(entry, bytes);
  } else {
    ReadStoredBytes(entry, bytes);
  }
  return Crc32(bytes.Data());
}

}  // namespace kest
