#include "script/page.h"

#include <algorithm>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/sjis.h"
#include "language/param_collection.h"
#include "language/param_types.h"
#include "scene/property_table.h"
#include "script/command.h"
#include "script/command_factory.h"
#include "script/project_ui.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_manager.h"

namespace kest {

namespace {

// The smallest command record: a type byte and the common header.
constexpr int64_t kMinCommandBytes = 1 + 10;

}  // namespace

TPage::TPage(TParamCollection* vars) : FVars(vars), FCommands(*this) {}

TPage::~TPage() {
  FCommands.Clear();
  if (FVars && !FName.empty()) FVars->DeletePageVars(FName);
}

std::span<uint8_t, kMaskSlotSize> TPage::Mask(int32_t id) {
  return std::span<uint8_t, kMaskSlotSize>(FMasks.data() + kMaskSlotSize * id, kMaskSlotSize);
}

std::span<const uint8_t, kMaskSlotSize> TPage::Mask(int32_t id) const {
  return std::span<const uint8_t, kMaskSlotSize>(FMasks.data() + kMaskSlotSize * id, kMaskSlotSize);
}

bool TPage::HasProperty(int32_t id, int32_t property) const {
  return (Mask(id)[static_cast<size_t>(property / 8)] >> (property % 8)) & 1;
}

void TPage::SetProperty(int32_t id, int32_t property) {
  Mask(id)[static_cast<size_t>(property / 8)] |= static_cast<uint8_t>(1u << (property % 8));
}

void TPage::UpdateMasks() {
  for (int32_t i = 0; i < FCommands.Count(); ++i) {
    TCommand& c = *FCommands.Items(i);
    for (const TFieldValue& f : c.Fields())
      for (size_t p = 0; p < f.Props.size(); ++p)
        if (f.Props[p]) SetProperty(c.GetCommandId(), static_cast<int32_t>(p));
  }
}

uint8_t TPage::ResultType() const {
  const auto type = static_cast<uint8_t>(ResultKind % 128);
  return type >= PT_INT && type <= PT_STR ? type : uint8_t{PT_NONE};
}

TParamPtr TPage::NewResult() const {
  const uint8_t type = ResultType();
  return type == PT_NONE ? nullptr : CreateParam(type);
}

void TPage::Load(std::string_view name, TVrFileManager& files, IProjectUi* ui) {
  FCommands.Clear();
  FName = std::string(name);
  TTpBigMemoryStream bytes;
  files.Load(bytes, name);
  LoadFromBytes(name, bytes.Data(), ui);
}

void TPage::LoadFromBytes(std::string_view name, std::span<const uint8_t> bytes, IProjectUi* ui) {
  FCommands.Clear();
  FName = std::string(name);
  TByteStream stream(bytes);
  try {
    Version = ReadInt(stream);
  } catch (const EReadError& error) {
    throw EReadError(FName + ": " + error.what());
  }
  if (Version > kNewestPageVersion) return;
  if (Version < kOldestPageVersion) {
    if (ui) ui->ShowMessage("", FName + "\r\n" + Utf8ToCp932("リビルドしてください"), TMessageIcon::Warning);
    AppTerminating = true;
    return;
  }
  try {
    ResultKind = ReadByte(stream);
    ReadMasks(stream);
    ReadCommands(stream);
  } catch (const EReadError& error) {
    FCommands.Clear();
    throw EReadError(FName + ": " + error.what());
  } catch (...) {
    FCommands.Clear();
    throw;
  }
}

void TPage::ReadMasks(TStream& stream) {
  FMasks.fill(0);
  const int32_t count = ReadInt(stream);
  const int32_t size = ReadInt(stream);
  if (count < 0 || size < 0) throw EReadError();
  // No records, or empty ones: nothing to read, whatever the other count
  // says. Otherwise the product bounds both the record buffer and the loop.
  if (count == 0 || size == 0) return;
  RequireRemaining(stream, static_cast<int64_t>(count) * size);
  std::vector<uint8_t> record(static_cast<size_t>(size));
  for (int32_t i = 0; i < count; ++i) {
    ReadExact(stream, record.data(), size);
    if (i > 60) continue;
    // A record longer than a slot runs on into the following slots (which
    // later records overwrite); nothing past the mask area is kept.
    const size_t start = static_cast<size_t>(kMaskSlotSize * i);
    const size_t n = std::min<size_t>(record.size(), FMasks.size() - start);
    std::copy_n(record.begin(), n, FMasks.begin() + static_cast<std::ptrdiff_t>(start));
  }
}

void TPage::ReadCommands(TStream& stream) {
  const int32_t count = ReadInt(stream);
  if (count < 0) throw EReadError();
  RequireRemaining(stream, count * kMinCommandBytes);
  for (int32_t i = 0; i < count; ++i) {
    auto command = CreateCommand(FCommands, ReadByte(stream));
    command->LoadFromStream(stream);
    FCommands.Add(std::move(command));
  }
}

void TPage::SaveToStream(TStream& stream) const {
  WriteInt(stream, Version);
  WriteByte(stream, ResultKind);
  WriteInt(stream, kCommandIdCount);
  WriteInt(stream, kMaskSlotSize);
  WriteExact(stream, FMasks.data(), kMaskAreaSize);
  WriteInt(stream, FCommands.Count());
  for (int32_t i = 0; i < FCommands.Count(); ++i) {
    const TCommand& c = *FCommands.Items(i);
    WriteByte(stream, c.GetCommandId());
    c.SaveToStream(stream);
  }
}

}  // namespace kest
