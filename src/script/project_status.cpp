#include <climits>
#include <exception>
#include <filesystem>
#include <optional>
#include <string_view>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "script/project.h"
#include "script/save_archive.h"
#include "script/status_record.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_file_manager.h"

namespace kest {
namespace {

constexpr std::string_view kSavedFilePrefix = "save:";
constexpr int kSetAsideNames = 9999;

bool HasPrefix(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() && SameName(name.substr(0, prefix.size()), prefix);
}

// The slot number behind "GAMESAVEDATA": decimal digits only, within 32 bits.
std::optional<int32_t> SlotNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  int64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::string SlotTitleOf(TVrFileCollection& save, const TVrFile& entry) {
  TTpBigMemoryStream data;
  save.ExtractEntry(entry, data);
  data.Seek(0);
  ReadInt(data);
  return ReadStr(data);
}

void RemoveAll(TVrFileCollection& save, std::string_view name) {
  while (TVrFile* entry = save.FindEntry(name)) save.Remove(entry);
}

}  // namespace

std::string TProject::SaveDataPath() {
  if (!FSavePathComputed) {
    TSaveDataPlaces places = FOptions.SavePlaces;
    places.GameFolder = FOptions.GameFolder.empty() ? FOptions.ProgramFolder : FOptions.GameFolder;
    FSaveDataPath = ComputeSaveDataPath(places, FSetting.Title);
    FSavePathComputed = true;
  }
  return FSaveDataPath;
}

std::unique_ptr<TVrFileCollection> TProject::OpenSaveFile() { return OpenSaveArchive(SaveDataPath()); }

void TProject::RestoreStatus() {
  std::unique_ptr<TVrFileCollection> save;
  try {
    save = OpenSaveFile();
    RestoreStatusRecord(*save);
  } catch (const EReadError& error) {
    save = SetAsideSaveFile(error.what());
  }
  FStatusRestored = true;
  RestoreSavedFiles(*save);
}

// A save file that cannot be read would stop every start of the game. It is
// renamed to the first free "NAME.damaged-N" beside it, never deleted or
// overwritten, and the game starts without it. When it cannot be renamed
// the start stops, so that no later save replaces it.
std::unique_ptr<TVrFileCollection> TProject::SetAsideSaveFile(const std::string& problem) {
  namespace fs = std::filesystem;
  const std::string path = SaveDataPath();
  for (int n = 1; n <= kSetAsideNames; ++n) {
    const std::string aside = path + ".damaged-" + std::to_string(n);
    std::error_code error;
    if (fs::exists(aside, error)) continue;
    if (error) break;
    fs::rename(path, aside, error);
    if (error) break;
    FParts.Ui->ShowMessage(FSetting.Title,
                           Utf8ToCp932("セーブデータが読めないため、名前を変えて残しました：\r\n" + aside +
                                       "\r\nセーブデータなしで始めます。\r\n（") +
                               problem + Utf8ToCp932("）"),
                           TMessageIcon::Warning);
    return std::make_unique<TVrFileCollection>();
  }
  throw EReadError(problem);
}

void TProject::RestoreStatusRecord(TVrFileCollection& save) {
  const TVrFile* entry = save.FindEntry(kStatusEntry);
  if (!entry) return;
  TTpBigMemoryStream data;
  save.ExtractEntry(*entry, data);
  data.Seek(0);
  TStatusRecord record(*FParts.Vars, ReadListPart(), ImageCachePart(), TablesPart());
  try {
    record.LoadFromStream(data);
  } catch (const EReadError& error) {
    throw EReadError(Utf8ToCp932(SaveDataPath()) + ": " + kStatusEntry + ": " + error.what());
  }
}

void TProject::RestoreSavedFiles(TVrFileCollection& save) {
  TVrFileManager& files = *FParts.Files;
  if (files.Count() == 0) files.Mount("");
  TVrFileCollection& memory = *files.Collections(0);
  for (int32_t i = 0; i < save.Count(); ++i) {
    const TVrFile& entry = *save[i];
    if (!HasPrefix(entry.Name(), kSavedFilePrefix)) continue;
    TVrFile* copy = memory.AddMemoryFile(entry.Name());
    try {
      TTpBigMemoryStream data;
      save.ExtractEntry(entry, data);
      WriteExact(*copy->Content, data.Data().data(), data.Size());
      copy->Content->Seek(0);
    } catch (const EKestError&) {
      memory.Remove(copy);
    }
  }
}

bool TProject::SaveStatus() {
  if (!FStatusRestored) return false;
  try {
    const auto save = OpenSaveFile();
    ReplaceStatusEntry(*save);
    const std::string path = SaveDataPath();
    std::error_code error;
    if (!FSetting.SaveToDisk || !std::filesystem::is_directory(std::filesystem::path(path).parent_path(), error))
      return false;
    StoreSaveFile(*save);
    return true;
  } catch (const std::exception& error) {
    FParts.Ui->ReportSaveFailure(error.what());
    return false;
  }
}

void TProject::ReplaceStatusEntry(TVrFileCollection& save) {
  RemoveAll(save, kStatusEntry);
  TVrFile* entry = save.AddMemoryFile(kStatusEntry);
  TStatusRecord(*FParts.Vars, ReadListPart(), ImageCachePart(), TablesPart()).SaveToStream(*entry->Content);
}

void TProject::StoreSaveFile(TVrFileCollection& save) {
  save.OnWriteError = [this](const std::string& message) {
    FParts.Ui->ShowMessage(FSetting.Title, message, TMessageIcon::Warning);
  };
  StoreSaveArchive(save, SaveDataPath(), FOptions.SaveWriter);
}

void TProject::ReadSlotList() {
  FSavedGames.clear();
  const auto save = OpenSaveFile();
  const std::string_view prefix = kSlotPrefix;
  for (int32_t i = 0; i < save->Count(); ++i) {
    const TVrFile& entry = *(*save)[i];
    if (!HasPrefix(entry.Name(), prefix)) continue;
    const auto slot = SlotNumber(std::string_view(entry.Name()).substr(prefix.size()));
    if (!slot) continue;
    try {
      FSavedGames.push_back({SlotTitleOf(*save, entry), *slot});
    } catch (const EKestError&) {
    }
  }
}

std::string TProject::SlotTitle(int32_t slot) const {
  for (const TSavedGame& game : FSavedGames)
    if (game.Slot == slot) return game.Title;
  return {};
}

void TProject::SetSlotTitle(int32_t slot, std::string title) {
  for (TSavedGame& game : FSavedGames) {
    if (game.Slot == slot) {
      game.Title = std::move(title);
      return;
    }
  }
  FSavedGames.push_back({std::move(title), slot});
}

}  // namespace kest
