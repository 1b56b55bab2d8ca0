#include "storage/program_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>

#include "common/errors.h"
#include "common/sjis.h"
#include "storage/big_file_stream.h"
#include "storage/big_memory_stream.h"

namespace kest {
namespace {

constexpr int64_t kTrailerSize = 6;
constexpr int64_t kFooterSize = 12;
constexpr char kFooterMagic[4] = {'k', 'r', 'e', 's'};

// What lies where in a program file.
struct TProgramLayout {
  int64_t ProgramEnd = 0;
  int64_t SectionStart = 0;
  int64_t SectionEnd = 0;
  std::optional<int64_t> ArchiveStart;
  int64_t ArchiveEnd = 0;
  std::vector<TProgramResource> Resources;
};

std::unique_ptr<TTpBigFileStream> OpenProgram(const std::string& path) {
  return std::make_unique<TTpBigFileStream>(path, big_file_mode::kOpenRead | big_file_mode::kShareDenyWrite,
                                            TTpBigFileStream::kSingleFile);
}

bool ReadAt(TStream& file, int64_t position, void* buffer, int64_t count) {
  if (position < 0 || count < 0 || position > file.Size() - count) return false;
  file.Seek(position);
  return file.Read(buffer, count) == count;
}

int64_t LittleEndian(const uint8_t* b, int bytes) {
  uint64_t v = 0;
  for (int i = bytes; i-- > 0;) v = v << 8 | b[i];
  return bytes == 4 ? static_cast<int32_t>(static_cast<uint32_t>(v)) : static_cast<int64_t>(v);
}

std::optional<int64_t> AppendedArchiveIn(TStream& file) {
  const int64_t size = file.Size();
  uint8_t trailer[kTrailerSize];
  if (!ReadAt(file, size - kTrailerSize, trailer, kTrailerSize)) return std::nullopt;
  if (trailer[4] != 'k' || trailer[5] != 'v') return std::nullopt;
  const int64_t start = LittleEndian(trailer, 4);
  uint8_t magic[2];
  if (start < 0 || start > size - kTrailerSize - 2 || !ReadAt(file, start, magic, 2)) return std::nullopt;
  if (magic[0] != 'v' || magic[1] != 'f') return std::nullopt;
  return start;
}

constexpr int32_t kMaxNameLength = 4096;

std::optional<std::string> ReadName(TStream& file) {
  const int32_t length = ReadInt(file);
  if (length < 0 || length > kMaxNameLength) return std::nullopt;
  file.Seek(file.Position() - 4);
  return ReadStr(file);
}

// The records of a section [start, end); nothing when any of it is unsound.
// A record is at least 24 bytes, which bounds the count before anything is
// kept for it.
std::optional<std::vector<TProgramResource>> ReadTable(TStream& file, int64_t start, int64_t end) {
  const int64_t length = end - start;
  try {
    file.Seek(start);
    const int32_t count = ReadInt(file);
    if (count < 0 || count > (length - 4) / 24) return std::nullopt;
    std::vector<TProgramResource> resources;
    for (int32_t i = 0; i < count; ++i) {
      TProgramResource r;
      auto name = ReadName(file);
      auto type = name ? ReadName(file) : std::nullopt;
      if (!type) return std::nullopt;
      r.Name = std::move(*name);
      r.Type = std::move(*type);
      const int64_t offset = ReadInt64(file);
      r.Size = ReadInt64(file);
      if (offset < 0 || r.Size < 0 || offset > length - kFooterSize || r.Size > length - kFooterSize - offset)
        return std::nullopt;
      r.Offset = start + offset;
      resources.push_back(std::move(r));
    }
    return resources;
  } catch (const EReadError&) {
    return std::nullopt;
  }
}

TProgramLayout ReadLayout(TStream& file) {
  TProgramLayout layout;
  const int64_t size = file.Size();
  layout.ArchiveStart = AppendedArchiveIn(file);
  const int64_t tail = layout.ArchiveStart.value_or(size);
  layout.ArchiveEnd = layout.ArchiveStart ? size - kTrailerSize : size;
  layout.ProgramEnd = tail;
  layout.SectionStart = layout.SectionEnd = tail;
  uint8_t footer[kFooterSize];
  if (!ReadAt(file, tail - kFooterSize, footer, kFooterSize)) return layout;
  if (std::memcmp(footer + 8, kFooterMagic, 4) != 0) return layout;
  const int64_t length = LittleEndian(footer, 8);
  if (length < kFooterSize + 4 || length > tail) return layout;
  auto resources = ReadTable(file, tail - length, tail);
  if (!resources) return layout;
  layout.ProgramEnd = layout.SectionStart = tail - length;
  layout.Resources = std::move(*resources);
  return layout;
}

void CopyRange(TTpBigFileStream& from, int64_t start, int64_t end, TTpBigFileStream& to) {
  if (end <= start) return;
  from.Seek(start);
  if (to.CopyFrom(from, end - start) != end - start) throw EWriteError(Utf8ToCp932(to.FileName()) + ": cannot write");
}

void WriteSection(TTpBigFileStream& program, const std::vector<TProgramResource>& keep, std::string_view name,
                  std::string_view type, std::span<const uint8_t> content, TTpBigFileStream& out) {
  const int64_t start = out.Position();
  TTpBigMemoryStream table;
  const auto count = static_cast<int32_t>(keep.size() + 1);
  int64_t table_size = 4;
  for (const auto& r : keep) table_size += 8 + static_cast<int64_t>(r.Name.size() + r.Type.size()) + 16;
  table_size += 8 + static_cast<int64_t>(name.size() + type.size()) + 16;
  WriteInt(table, count);
  int64_t offset = table_size;
  for (const auto& r : keep) {
    WriteStr(table, r.Name);
    WriteStr(table, r.Type);
    WriteInt64(table, offset);
    WriteInt64(table, r.Size);
    offset += r.Size;
  }
  WriteStr(table, name);
  WriteStr(table, type);
  WriteInt64(table, offset);
  WriteInt64(table, static_cast<int64_t>(content.size()));
  WriteExact(out, table.Data().data(), table.Size());
  for (const auto& r : keep) CopyRange(program, r.Offset, r.Offset + r.Size, out);
  WriteExact(out, content.data(), static_cast<int64_t>(content.size()));
  TTpBigMemoryStream footer;
  WriteInt64(footer, out.Position() - start + kFooterSize);
  WriteExact(footer, kFooterMagic, 4);
  WriteExact(out, footer.Data().data(), footer.Size());
}

void WriteTrailer(TTpBigFileStream& out, int64_t archiveStart) {
  if (archiveStart > std::numeric_limits<int32_t>::max())
    throw EWriteError(Utf8ToCp932(out.FileName()) + ": the archive would start beyond 2 GiB");
  TTpBigMemoryStream trailer;
  WriteInt(trailer, static_cast<int32_t>(archiveStart));
  WriteExact(trailer, "kv", 2);
  WriteExact(out, trailer.Data().data(), trailer.Size());
}

void RequireDistinct(const std::string& in, const std::string& out) {
  std::error_code error;
  if (in == out || std::filesystem::equivalent(in, out, error))
    throw EWriteError(Utf8ToCp932(out) + ": the output must be another file than the program");
}

void KeepMode(const std::string& from, const std::string& to) {
  struct stat st {};
  if (stat(from.c_str(), &st) == 0) chmod(to.c_str(), st.st_mode & 07777);
}

}  // namespace

std::optional<int64_t> FindAppendedArchive(const std::string& path) {
  try {
    return AppendedArchiveIn(*OpenProgram(path));
  } catch (const EReadError&) {
    return std::nullopt;
  }
}

std::vector<TProgramResource> ListProgramResources(const std::string& programPath) {
  try {
    return ReadLayout(*OpenProgram(programPath)).Resources;
  } catch (const EReadError&) {
    return {};
  }
}

std::optional<TProgramResource> FindProgramResource(const std::string& programPath, std::string_view name,
                                                    std::string_view type) {
  const std::vector<TProgramResource> all = ListProgramResources(programPath);
  for (auto it = all.rbegin(); it != all.rend(); ++it)
    if (SameName(it->Name, name) && SameName(it->Type, type)) return *it;
  return std::nullopt;
}

bool HasArchiveResource(const std::string& programPath, std::string_view name, std::string_view type) {
  const auto resource = FindProgramResource(programPath, name, type);
  if (!resource || resource->Size < 2) return false;
  try {
    uint8_t last[2];
    return ReadAt(*OpenProgram(programPath), resource->Offset + resource->Size - 2, last, 2) && last[0] == 'v' &&
           last[1] == 'f';
  } catch (const EReadError&) {
    return false;
  }
}

void WriteProgramWithResource(const std::string& programPath, const std::string& outPath, std::string_view name,
                              std::string_view type, std::span<const uint8_t> content) {
  RequireDistinct(programPath, outPath);
  auto program = OpenProgram(programPath);
  const TProgramLayout layout = ReadLayout(*program);
  std::vector<TProgramResource> keep;
  for (const auto& r : layout.Resources)
    if (!(SameName(r.Name, name) && SameName(r.Type, type))) keep.push_back(r);
  {
    TTpBigFileStream out(outPath, big_file_mode::kCreate, TTpBigFileStream::kSingleFile);
    CopyRange(*program, 0, layout.ProgramEnd, out);
    WriteSection(*program, keep, name, type, content, out);
    if (layout.ArchiveStart) {
      const int64_t start = out.Position();
      CopyRange(*program, *layout.ArchiveStart, layout.ArchiveEnd, out);
      WriteTrailer(out, start);
    }
  }
  KeepMode(programPath, outPath);
}

void WriteProgramWithArchive(const std::string& programPath, const std::string& archivePath,
                             const std::string& outPath) {
  RequireDistinct(programPath, outPath);
  RequireDistinct(archivePath, outPath);
  auto program = OpenProgram(programPath);
  const TProgramLayout layout = ReadLayout(*program);
  TTpBigFileStream archive(archivePath, big_file_mode::kOpenRead | big_file_mode::kShareDenyWrite);
  {
    TTpBigFileStream out(outPath, big_file_mode::kCreate, TTpBigFileStream::kSingleFile);
    CopyRange(*program, 0, layout.SectionEnd, out);
    const int64_t start = out.Position();
    if (start > std::numeric_limits<int32_t>::max())
      throw EWriteError(Utf8ToCp932(outPath) + ": the archive would start beyond 2 GiB");
    archive.Seek(0);
    if (out.CopyFrom(archive, archive.Size()) != archive.Size())
      throw EWriteError(Utf8ToCp932(outPath) + ": cannot write");
    WriteTrailer(out, start);
  }
  KeepMode(programPath, outPath);
}

}  // namespace kest
