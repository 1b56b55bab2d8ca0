#include "script/project_setting.h"

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"

namespace kest {
namespace {

// The smallest project variable record: its kind byte and the name's length.
constexpr int64_t kMinVarRecord = 5;

TFolderDiskList ListOf(const std::vector<TFolderDisk>& items) {
  TFolderDiskList list;
  for (const TFolderDisk& item : items) list.Add(item.Folder, item.Disc);
  return list;
}

TProjectVar ReadVar(TStream& stream) {
  TProjectVar var;
  var.Kind = ReadByte(stream);
  var.Name = ReadStr(stream);
  switch (var.Kind) {
    case 1: var.IntValue = ReadInt(stream); break;
    case 2: ReadExact(stream, var.FloatValue.data(), static_cast<int64_t>(var.FloatValue.size())); break;
    case 3: var.FlagValue = ReadFlag(stream); break;
    case 4: var.StrValue = ReadStr(stream); break;
    default: break;
  }
  return var;
}

void WriteVar(TStream& stream, const TProjectVar& var) {
  WriteByte(stream, var.Kind);
  WriteStr(stream, var.Name);
  switch (var.Kind) {
    case 1: WriteInt(stream, var.IntValue); break;
    case 2: WriteExact(stream, var.FloatValue.data(), static_cast<int64_t>(var.FloatValue.size())); break;
    case 3: WriteFlag(stream, var.FlagValue); break;
    case 4: WriteStr(stream, var.StrValue); break;
    default: break;
  }
}

}  // namespace

void TProjectSetting::LoadFromStream(TStream& stream) {
  TProjectSetting read;
  read.ReadHead(stream);
  read.ReadFlags(stream);
  read.DiscPrompt = ReadStr(stream);
  read.QuitText = ReadStr(stream);
  read.ReadVars(stream);
  TFolderDiskList disks;
  disks.LoadFromStream(stream);
  read.FolderDisks = disks.Items();
  *this = std::move(read);
}

void TProjectSetting::ReadHead(TStream& stream) {
  Version = ReadInt(stream);
  if (Version > kNewestVersion) throw EKestError(Utf8ToCp932("このバージョンには対応していません"));
  Title = ReadStr(stream);
  ScreenWidth = ReadInt(stream);
  ScreenHeight = ReadInt(stream);
  FullScreenWidth = ReadInt(stream);
  FullScreenHeight = ReadInt(stream);
  StartPage = ReadStr(stream);
  if (Version >= 110) ExitPage = ReadStr(stream);
  RegistryKey = ReadStr(stream);
  IdentificationCode = ReadInt(stream);
}

void TProjectSetting::ReadFlags(TStream& stream) {
  if (Version > 103) SaveToDisk = ReadFlag(stream);
  if (Version >= 106) IdleSleep = ReadFlag(stream);
  if (Version >= 109) StreamedExtensions = ReadStr(stream);
  if (Version > 112) StopWhenInactive = ReadFlag(stream);
  if (Version >= 114) Reserved = ReadFlag(stream);
  if (Version >= 116) ShowToolbar = ReadFlag(stream);
}

void TProjectSetting::ReadVars(TStream& stream) {
  const int32_t count = ReadInt(stream);
  if (count < 0) throw EReadError("kest.kpb: the variable count is negative");
  RequireRemaining(stream, static_cast<int64_t>(count) * kMinVarRecord);
  Vars.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) Vars.push_back(ReadVar(stream));
}

void TProjectSetting::SaveToStream(TStream& stream) const {
  WriteInt(stream, Version);
  WriteStr(stream, Title);
  WriteInt(stream, ScreenWidth);
  WriteInt(stream, ScreenHeight);
  WriteInt(stream, FullScreenWidth);
  WriteInt(stream, FullScreenHeight);
  WriteStr(stream, StartPage);
  if (Version >= 110) WriteStr(stream, ExitPage);
  WriteStr(stream, RegistryKey);
  WriteInt(stream, IdentificationCode);
  WriteFlags(stream);
  WriteStr(stream, DiscPrompt);
  WriteStr(stream, QuitText);
  WriteVars(stream);
  ListOf(FolderDisks).SaveToStream(stream);
}

void TProjectSetting::WriteFlags(TStream& stream) const {
  if (Version > 103) WriteFlag(stream, SaveToDisk);
  if (Version >= 106) WriteFlag(stream, IdleSleep);
  if (Version >= 109) WriteStr(stream, StreamedExtensions);
  if (Version > 112) WriteFlag(stream, StopWhenInactive);
  if (Version >= 114) WriteFlag(stream, Reserved);
  if (Version >= 116) WriteFlag(stream, ShowToolbar);
}

void TProjectSetting::WriteVars(TStream& stream) const {
  WriteInt(stream, static_cast<int32_t>(Vars.size()));
  for (const TProjectVar& var : Vars) WriteVar(stream, var);
}

}  // namespace kest
