#include "script/game_record.h"

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/stream.h"
#include "language/param_collection.h"
#include "scene/kest_base_list.h"
#include "script/project_interpreter.h"
#include "script/status_part.h"

namespace kest {

namespace {

// The version given to the tables: their record has had one layout since
// saved games first carried it.
constexpr int32_t kTablesRecordVersion = 103;

}  // namespace

void WriteGameRecord(TStream& stream, const TGameRecordParts& parts, const TGameRecordHead& head) {
  WriteInt(stream, kSaveNewestVersion);
  WriteStr(stream, head.Title);
  WriteStr(stream, head.JumpPage);
  WriteInt(stream, head.JumpPc);
  parts.Scene->SaveState(stream);
  parts.Scene->Story().History.SaveToStream(stream);
  parts.Interpreter->SaveState(stream);
  parts.Vars->SaveGameVars(stream);
  parts.Tables->SaveStatusPart(stream);
}

TGameRecordHead ReadGameRecordHead(TStream& stream) {
  TGameRecordHead head;
  head.Version = ReadInt(stream);
  if (head.Version < kOldestGameRecord || head.Version > kSaveNewestVersion)
    throw EReadError("saved game: version " + std::to_string(head.Version) + " cannot be loaded");
  head.Title = ReadStr(stream);
  head.JumpPage = ReadStr(stream);
  head.JumpPc = ReadInt(stream);
  return head;
}

void LoadGameRecord(TStream& stream, const TGameRecordParts& parts, const TGameRecordHead& head) {
  const int32_t version = head.Version;
  parts.Scene->LoadRecord(stream, version);
  parts.Scene->Story().History.LoadFromStream(stream, version);
  parts.Interpreter->LoadState(stream, version);
  if (!head.JumpPage.empty()) parts.Interpreter->EnterJumpPage(head.JumpPage, head.JumpPc);
  parts.Vars->LoadGameVars(stream, version);
  if (version >= kSaveSinceTables) parts.Tables->LoadStatusPart(stream, kTablesRecordVersion);
  parts.Scene->RestoreTexts();
}

}  // namespace kest
