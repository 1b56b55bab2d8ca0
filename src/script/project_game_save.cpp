// Saved games: the requests of the scripts, the slots of the save file and
// loading one back.
#include <exception>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/save_versions.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "scene/button_captions.h"
#include "script/project.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"
#include "storage/zlib_codec.h"

namespace kest {

namespace {

std::string SlotEntryName(int32_t slot) { return TProject::kSlotPrefix + std::to_string(slot); }
std::string CaptionEntryName(int32_t slot) { return TProject::kCaptionPrefix + std::to_string(slot); }

// The captions entry starts with the CRC-32 of the slot's record it was
// written with: a slot another player has saved over keeps its own captions.
void WriteCaptionEntry(TVrFileCollection& save, int32_t slot, TKestBaseList& scene, std::span<const uint8_t> record) {
  const std::string name = CaptionEntryName(slot);
  while (TVrFile* old = save.FindEntry(name)) save.Remove(old);
  TVrFile* entry = save.AddMemoryFile(name);
  WriteInt(*entry->Content, static_cast<int32_t>(Crc32(record)));
  WriteButtonCaptions(scene, *entry->Content);
}

// The captions stored with the slot's record, when they were written with it.
// They are an addition of this player's: an entry that cannot be read leaves
// the captions as the record gave them, and never fails the load.
void ReadCaptionEntry(TVrFileCollection& save, int32_t slot, TKestBaseList& scene, std::span<const uint8_t> record) {
  const TVrFile* entry = save.FindEntry(CaptionEntryName(slot));
  if (!entry) return;
  try {
    TTpBigMemoryStream data;
    save.ExtractEntry(*entry, data);
    data.Seek(0);
    if (static_cast<uint32_t>(ReadInt(data)) != Crc32(record)) return;
    ReadButtonCaptions(scene, data);
  } catch (const std::exception&) {
  }
}

}  // namespace

void TProject::RequestSave(int32_t slot, std::string title, std::string jumpPage, int32_t jumpPc) {
  FPendingSave = slot;
  FSaveTitle = std::move(title);
  FJumpPage = std::move(jumpPage);
  FJumpPc = jumpPc;
}

bool TProject::DoRequests() {
  bool loaded = false;
  if (FPendingLoad >= 0) {
    const int32_t slot = FPendingLoad;
    FPendingLoad = -1;
    LoadGame(slot);
    loaded = true;
  }
  if (FPendingSave >= 0) {
    const int32_t slot = FPendingSave;
    FPendingSave = -1;
    SaveGame(slot, FSaveTitle, FJumpPage, FJumpPc);
    FSaveTitle.clear();
    FJumpPage.clear();
    FJumpPc = 0;
  }
  return loaded;
}

TGameRecordParts TProject::GameRecordParts() const {
  return {FParts.Scene, FInterpreter.get(), FParts.Vars, &GameTablesPart()};
}

bool TProject::SaveGame(int32_t slot, const std::string& title, const std::string& jumpPage, int32_t jumpPc) {
  if (title.empty() || !FParts.Scene || !FInterpreter) return false;
  try {
    const auto save = OpenSaveFile();
    const std::string name = SlotEntryName(slot);
    while (TVrFile* old = save->FindEntry(name)) save->Remove(old);
    TVrFile* entry = save->AddMemoryFile(name);
    WriteGameRecord(*entry->Content, GameRecordParts(), {kSaveNewestVersion, title, jumpPage, jumpPc});
    WriteCaptionEntry(*save, slot, *FParts.Scene, entry->Content->Data());
    // The status data go into the same write (when they are kept on disk),
    // so the file never holds the new slot with stale status data or the
    // reverse.
    if (FStatusRestored && FSetting.SaveToDisk) ReplaceStatusEntry(*save);
    StoreSaveFile(*save);
    SetSlotTitle(slot, title);
    return true;
  } catch (const std::exception& error) {
    FParts.Ui->ReportSaveFailure(error.what());
    return false;
  }
}

bool TProject::LoadGame(int32_t slot) {
  if (!FParts.Scene || !FInterpreter) return false;
  TTpBigMemoryStream data;
  std::unique_ptr<TVrFileCollection> save;
  try {
    save = OpenSaveFile();
    const TVrFile* entry = save->FindEntry(SlotEntryName(slot));
    if (!entry) return false;
    save->ExtractEntry(*entry, data);
  } catch (const std::exception&) {
    RefuseSavedGame();
    return false;
  }
  data.Seek(0);
  const TGameRecordParts parts = GameRecordParts();
  // The running game as a record of its own: a saved game found damaged
  // halfway gives way to it again, so nothing of the running game is lost.
  TByteStream running;
  TByteStream runningCaptions;
  bool changed = false;
  try {
    const TGameRecordHead head = ReadGameRecordHead(data);
    WriteGameRecord(running, parts, {kSaveNewestVersion, {}, {}, 0});
    WriteButtonCaptions(*FParts.Scene, runningCaptions);
    changed = true;
    LoadGameRecord(data, parts, head);
    ReadCaptionEntry(*save, slot, *FParts.Scene, data.Data());
    return true;
  } catch (const std::exception&) {
  }
  if (changed) {
    try {
      running.Seek(0);
      LoadGameRecord(running, parts, ReadGameRecordHead(running));
      runningCaptions.Seek(0);
      ReadButtonCaptions(*FParts.Scene, runningCaptions);
    } catch (const std::exception&) {
    }
  }
  RefuseSavedGame();
  return false;
}

void TProject::RefuseSavedGame() {
  AppTerminating = true;
  FParts.Ui->ShowMessage(FSetting.Title, Utf8ToCp932("このセーブデータは使用できません\r\n終了してください"),
                         TMessageIcon::Warning);
}

}  // namespace kest
