#include "script/project_setting.h"

#include <variant>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"

namespace kest {
namespace {

using S = TProjectSetting;

// A stored field: the member it fills and the first version that carries it.
struct TSettingField {
  std::variant<std::string S::*, int32_t S::*, bool S::*, std::vector<TProjectVar> S::*, std::vector<TFolderDisk> S::*>
      Member;
  int32_t Since = 0;
};

// Every field behind the version, in stored order. The reader and the writer
// both walk this table, so a field is written exactly where it is read.
constexpr TSettingField kFields[] = {
    {&S::Title},
    {&S::ScreenWidth},
    {&S::ScreenHeight},
    {&S::FullScreenWidth},
    {&S::FullScreenHeight},
    {&S::StartPage},
    {&S::ExitPage, 110},
    {&S::RegistryKey},
    {&S::IdentificationCode},
    {&S::SaveToDisk, 104},
    {&S::IdleSleep, 106},
    {&S::StreamedExtensions, 109},
    {&S::StopWhenInactive, 113},
    {&S::Reserved, 114},
    {&S::ShowToolbar, 116},
    {&S::DiscPrompt},
    {&S::QuitText},
    {&S::Vars},
    {&S::FolderDisks},
};

// The smallest project variable record: its kind byte and the name's length.
constexpr int64_t kMinVarRecord = 5;

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

void ReadValue(TStream& stream, std::string& value) { value = ReadStr(stream); }
void ReadValue(TStream& stream, int32_t& value) { value = ReadInt(stream); }
void ReadValue(TStream& stream, bool& value) { value = ReadFlag(stream); }

void ReadValue(TStream& stream, std::vector<TProjectVar>& vars) {
  const int32_t count = ReadInt(stream);
  if (count < 0) throw EReadError("kest.kpb: the variable count is negative");
  RequireRemaining(stream, static_cast<int64_t>(count) * kMinVarRecord);
  vars.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) vars.push_back(ReadVar(stream));
}

void ReadValue(TStream& stream, std::vector<TFolderDisk>& items) {
  TFolderDiskList disks;
  disks.LoadFromStream(stream);
  items = disks.Items();
}

void WriteValue(TStream& stream, const std::string& value) { WriteStr(stream, value); }
void WriteValue(TStream& stream, int32_t value) { WriteInt(stream, value); }
void WriteValue(TStream& stream, bool value) { WriteFlag(stream, value); }

void WriteValue(TStream& stream, const std::vector<TProjectVar>& vars) {
  WriteInt(stream, static_cast<int32_t>(vars.size()));
  for (const TProjectVar& var : vars) WriteVar(stream, var);
}

void WriteValue(TStream& stream, const std::vector<TFolderDisk>& items) {
  TFolderDiskList list;
  for (const TFolderDisk& item : items) list.Add(item.Folder, item.Disc);
  list.SaveToStream(stream);
}

}  // namespace

void TProjectSetting::LoadFromStream(TStream& stream) {
  TProjectSetting read;
  read.Version = ReadInt(stream);
  if (read.Version > kNewestVersion) throw EKestError(Utf8ToCp932("このバージョンには対応していません"));
  for (const TSettingField& field : kFields)
    if (read.Version >= field.Since) std::visit([&](auto member) { ReadValue(stream, read.*member); }, field.Member);
  *this = std::move(read);
}

void TProjectSetting::SaveToStream(TStream& stream) const {
  WriteInt(stream, Version);
  for (const TSettingField& field : kFields)
    if (Version >= field.Since) std::visit([&](auto member) { WriteValue(stream, this->*member); }, field.Member);
}

}  // namespace kest
