#include "storage/install_record.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "storage/big_memory_stream.h"

namespace kest {
namespace {

int32_t ReadVersion(TStream& stream) {
  const int64_t start = stream.Position();
  char magic[2] = {};
  if (stream.Read(magic, 2) != 2 || magic[0] != 'i' || magic[1] != 's') {
    stream.Seek(start);
    return 0;
  }
  char digits[3];
  ReadExact(stream, digits, 3);
  int32_t version = 0;
  for (char d : digits) {
    if (d < '0' || d > '9') throw EReadError("install.dat: the version is not a number");
    version = version * 10 + (d - '0');
  }
  return version;
}

void WriteVersion(TStream& stream) {
  char magic[6];
  std::snprintf(magic, sizeof magic, "is%.3d", TKestInstallSet::kWrittenVersion);
  WriteExact(stream, magic, 5);
}

int64_t ValueBytes(int32_t version) { return version >= kInstallSinceWideValues ? 8 : 4; }

// Narrow values widen with their sign, as a signed 32-bit value becomes a
// 64-bit one.
int64_t ReadValue(TStream& stream, int32_t version) {
  return version < kInstallSinceWideValues ? static_cast<int64_t>(ReadInt(stream)) : ReadInt64(stream);
}

int32_t ReadCount(TStream& stream, int64_t bytesEach) {
  const int32_t count = ReadInt(stream);
  if (count < 0) throw EReadError("install.dat: a count is negative");
  RequireRemaining(stream, count * bytesEach);
  return count;
}

std::vector<std::string> ReadStrings(TStream& stream, bool skipEmpty) {
  const int32_t count = ReadCount(stream, 4);
  std::vector<std::string> list;
  list.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    std::string s = ReadStr(stream);
    if (!skipEmpty || !s.empty()) list.push_back(std::move(s));
  }
  return list;
}

void WriteStrings(TStream& stream, const std::vector<std::string>& list) {
  WriteInt(stream, static_cast<int32_t>(list.size()));
  for (const std::string& s : list) WriteStr(stream, s);
}

template <size_t N>
void ReadTexts(TStream& stream, std::array<std::string, N>& texts) {
  for (std::string& s : texts) s = ReadStr(stream);
}

template <size_t N>
void WriteTexts(TStream& stream, const std::array<std::string, N>& texts) {
  for (const std::string& s : texts) WriteStr(stream, s);
}

void ReadValues(TStream& stream, int32_t version, std::array<int64_t, 4>& values) {
  for (int64_t& v : values) v = ReadValue(stream, version);
}

void WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) throw EWriteError("install.dat: the record cannot be written");
    data += n;
    size -= static_cast<size_t>(n);
  }
}

}  // namespace

void TKestInstallSet::LoadFromStream(TStream& stream) {
  TKestInstallSet r;
  const int32_t version = ReadVersion(stream);
  r.Version = version;
  r.DiscNumber = ReadInt(stream);
  r.GameId = ReadStr(stream);
  ReadTexts(stream, r.InstallerTexts1);
  r.InstallerFlagA = ReadByte(stream);
  r.InstallerText2 = ReadStr(stream);
  r.InstallerFlag2 = ReadByte(stream);
  const int32_t items = ReadCount(stream, 4 * ValueBytes(version));
  r.InstallerText3 = ReadStr(stream);
  r.InstallerValue = ReadInt(stream);
  r.InstallerFlag3 = ReadByte(stream);
  r.InstallerFlag4 = ReadByte(stream);
  ReadTexts(stream, r.InstallerTexts4);
  RequireRemaining(stream, int64_t{items} * 4 * ValueBytes(version));
  r.InstallerItems.resize(static_cast<size_t>(items));
  for (auto& item : r.InstallerItems) ReadValues(stream, version, item);
  ReadValues(stream, version, r.InstallerValues);
  r.InstallerFlag5 = ReadByte(stream);
  if (version >= kInstallSinceInstallerFlag6) r.InstallerFlag6 = ReadByte(stream);
  if (version >= kInstallSinceWrittenFiles) r.WrittenFiles = ReadStrings(stream, true);
  if (version >= kInstallSinceFullInstall) r.FullInstall = ReadFlag(stream);
  if (version >= kInstallSinceInstallerFlagB) r.InstallerFlagB = ReadByte(stream);
  if (version >= kInstallSinceInstallerFlag7) r.InstallerFlag7 = ReadByte(stream);
  if (version >= kInstallSinceInstallerList) r.InstallerList = ReadStrings(stream, false);
  if (version >= kInstallSinceInstallerText5) r.InstallerText5 = ReadStr(stream);
  if (version >= kInstallSinceInstallerTexts6) ReadTexts(stream, r.InstallerTexts6);
  *this = std::move(r);
}

void TKestInstallSet::SaveToStream(TStream& stream) const {
  WriteVersion(stream);
  WriteInt(stream, DiscNumber);
  WriteStr(stream, GameId);
  WriteTexts(stream, InstallerTexts1);
  WriteByte(stream, InstallerFlagA);
  WriteStr(stream, InstallerText2);
  WriteByte(stream, InstallerFlag2);
  WriteInt(stream, static_cast<int32_t>(InstallerItems.size()));
  WriteStr(stream, InstallerText3);
  WriteInt(stream, InstallerValue);
  WriteByte(stream, InstallerFlag3);
  WriteByte(stream, InstallerFlag4);
  WriteTexts(stream, InstallerTexts4);
  for (const auto& item : InstallerItems)
    for (int64_t v : item) WriteInt64(stream, v);
  for (int64_t v : InstallerValues) WriteInt64(stream, v);
  WriteByte(stream, InstallerFlag5);
  WriteByte(stream, InstallerFlag6);
  WriteStrings(stream, WrittenFiles);
  WriteFlag(stream, FullInstall);
  WriteByte(stream, InstallerFlagB);
  WriteByte(stream, InstallerFlag7);
  WriteStrings(stream, InstallerList);
  WriteStr(stream, InstallerText5);
  WriteTexts(stream, InstallerTexts6);
}

void TKestInstallSet::LoadFromFile(const std::string& path) {
  TTpBigMemoryStream file;
  file.LoadFromFile(path);
  LoadFromStream(file);
}

void TKestInstallSet::SaveToFile(const std::string& path) const {
  TByteStream bytes;
  SaveToStream(bytes);
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) throw EWriteError(Utf8ToCp932(path) + ": the record cannot be written");
  try {
    WriteAll(fd, bytes.Data().data(), bytes.Data().size());
    if (fsync(fd) != 0) throw EWriteError(Utf8ToCp932(path) + ": the record cannot be written");
  } catch (...) {
    close(fd);
    unlink(temp.c_str());
    throw;
  }
  close(fd);
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    throw EWriteError(Utf8ToCp932(path) + ": the record cannot be written");
  }
}

void TKestInstallSet::AddWrittenFile(std::string_view name) {
  if (name.empty()) return;
  for (const std::string& held : WrittenFiles)
    if (SameName(held, name)) return;
  WrittenFiles.emplace_back(name);
}

}  // namespace kest
