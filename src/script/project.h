#pragma once
// The loaded game. Creating the project runs the whole loading sequence:
// it locates the data of a shipped game, reads kest.kpb, restores the status
// data from the save file, brings back the files the game wrote, declares
// the project's variables, reads the list of saved games and starts the
// start page. Any failure shows its box and leaves AppTerminating set, so
// the window closes; the project still exists and answers its defaults.
// Destroying it runs the exit page and stores the status data.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/command_hosts.h"
#include "script/game_record.h"
#include "script/kept_status_parts.h"
#include "script/project_interpreter.h"
#include "script/project_setting.h"
#include "script/project_ui.h"
#include "script/save_data_path.h"
#include "storage/folder_disk_list.h"

namespace kest {

class IFileByteWriter;
class TKestBaseList;
class TParamCollection;
class TProject;
class TVrFileCollection;
class TVrFileManager;

// What the project works with; none of it is owned except the interpreter
// the factory makes. Files, Vars and Ui are required and must outlive the
// project.
struct TProjectParts {
  TVrFileManager* Files = nullptr;
  TParamCollection* Vars = nullptr;
  IProjectUi* Ui = nullptr;
  // Makes the call manager once the status data are restored.
  std::function<std::unique_ptr<IProjectInterpreter>(TProject&)> MakeInterpreter;
  // The status parts of the read marks, the image cache and the tables;
  // nothing means the project's own stand-in that keeps what it read.
  IStatusPart* ReadList = nullptr;
  IStatusPart* ImageCache = nullptr;
  IStatusPart* Tables = nullptr;
  // What saved games hold beside the interpreter and the variables: the
  // scene with its histories (none: games cannot be saved or loaded) and the
  // game tables (nothing: the project's stand-in that keeps what it read).
  TKestBaseList* Scene = nullptr;
  IStatusPart* GameTables = nullptr;
};

struct TProjectOptions {
  // The first command-line parameter, the game folder given by the authoring
  // tool (a host path); empty when the player runs a shipped game.
  std::string GameFolder;
  // The player's own folder (a host path).
  std::string ProgramFolder;
  // Where a per-user save folder goes; its GameFolder is filled in here.
  TSaveDataPlaces SavePlaces;
  // How the save file is written; nothing means plain writes.
  IFileByteWriter* SaveWriter = nullptr;
};

struct TSavedGame {
  std::string Title;
  int32_t Slot = 0;
};

class TProject final : public IGameRequests {
 public:
  static constexpr const char* kStatusEntry = "STATUSSAVEDATA";
  static constexpr const char* kSlotPrefix = "GAMESAVEDATA";
  // Our own entry beside each slot, which other players pass over.
  static constexpr const char* kCaptionPrefix = "KESTCAPTIONS";

  TProject(TProjectParts parts, TProjectOptions options);
  ~TProject() override;
  TProject(const TProject&) = delete;
  TProject& operator=(const TProject&) = delete;

  // The settings, as the shell and the system variables read them.
  const std::string& Title() const { return FSetting.Title; }
  int32_t ScreenWidth() const { return FSetting.ScreenWidth; }
  int32_t ScreenHeight() const { return FSetting.ScreenHeight; }
  int32_t FullScreenWidth() const { return FSetting.FullScreenWidth; }
  int32_t FullScreenHeight() const { return FSetting.FullScreenHeight; }
  bool ShowToolbar() const { return FSetting.ShowToolbar; }
  bool StopWhenInactive() const { return FSetting.StopWhenInactive; }
  bool SaveToDisk() const { return FSetting.SaveToDisk; }
  const std::string& StartPage() const { return FSetting.StartPage; }
  const std::string& ExitPage() const { return FSetting.ExitPage; }
  const std::string& RegistryKey() const { return FSetting.RegistryKey; }
  int32_t IdentificationCode() const { return FSetting.IdentificationCode; }
  const std::string& StreamedExtensions() const { return FSetting.StreamedExtensions; }
  const std::string& DiscPrompt() const { return FSetting.DiscPrompt; }
  const std::string& QuitText() const { return FSetting.QuitText; }
  // The settings as read (the defaults before loading).
  const TProjectSetting& Setting() const { return FSetting; }
  const TFolderDiskList& FolderDisks() const { return FFolderDisks; }
  // The variables the project declared itself (those the status did not bring).
  const std::vector<std::string>& ProjectVarNames() const { return FProjectVarNames; }

  // Loading went through to the start page.
  bool Loaded() const { return FLoaded; }
  // The status data were read (or there were none): only then are they written.
  bool StatusRestored() const { return FStatusRestored; }
  IProjectInterpreter* Interpreter() const { return FInterpreter.get(); }

  // Computed once. Raises "データファイルを作成することができません".
  std::string SaveDataPath();
  // Stores the status record in the save file, replacing the file whole;
  // false (reported to the shell) when it was not written.
  bool SaveStatus();
  // The interpreter's tick.
  void RunTick();

  // Save and load requests (slot -1: none), carried out by DoRequests at
  // the end of the tick: the load first, then the save. True when a load
  // was carried out (the tick then draws nothing).
  void RequestSave(int32_t slot, std::string title, std::string jumpPage, int32_t jumpPc) override;
  void RequestLoad(int32_t slot) override { FPendingLoad = slot; }
  bool DoRequests();
  // Writes the slot with the status data in one replacement of the save
  // file; an empty title saves nothing. False when nothing was saved; a
  // failure to write is reported and the game goes on.
  bool SaveGame(int32_t slot, const std::string& title, const std::string& jumpPage, int32_t jumpPc);
  // False when the slot is not in the save file. An unusable record shows
  // its box and stops the scripts, the game left as it was before the load.
  bool LoadGame(int32_t slot);

  // The saved games in the save file, rebuilt from it.
  void ReadSlotList();
  const std::vector<TSavedGame>& SavedGames() const { return FSavedGames; }
  std::string SlotTitle(int32_t slot) const;
  void SetSlotTitle(int32_t slot, std::string title);

  // Locates the data of a shipped game (install.dat, game.dat, the discs).
  bool CheckInstall();
  // Whether the file can be reached, asking for its disc when it lies on
  // one that is not inserted and its kind is not one that streams from a disc.
  bool EnsureFile(std::string_view name);

 private:
  void Load();
  bool LoadSetting();
  void TakeSetting(TProjectSetting setting);
  void RestoreStatus();
  void RestoreStatusRecord(TVrFileCollection& save);
  std::unique_ptr<TVrFileCollection> SetAsideSaveFile(const std::string& problem);
  void RestoreSavedFiles(TVrFileCollection& save);
  void DeclareVars();
  void ReadOriginalSetting();
  void StartInterpreter();
  void RunExitPage();
  // The save file as an archive in memory; an empty one when there is none.
  std::unique_ptr<TVrFileCollection> OpenSaveFile();
  bool SearchDiscs(const std::string& gameId);
  TGameRecordParts GameRecordParts() const;
  void ReplaceStatusEntry(TVrFileCollection& save);
  void StoreSaveFile(TVrFileCollection& save);
  void RefuseSavedGame();
  IStatusPart& ReadListPart() const { return FParts.ReadList ? *FParts.ReadList : FKeptReadList; }
  IStatusPart& ImageCachePart() const { return FParts.ImageCache ? *FParts.ImageCache : FKeptImageCache; }
  IStatusPart& TablesPart() const { return FParts.Tables ? *FParts.Tables : FKeptTables; }
  IStatusPart& GameTablesPart() const { return FParts.GameTables ? *FParts.GameTables : FKeptGameTables; }

  TProjectParts FParts;
  TProjectOptions FOptions;
  TProjectSetting FSetting;
  TFolderDiskList FFolderDisks;
  std::vector<std::string> FProjectVarNames;
  std::vector<TSavedGame> FSavedGames;
  std::unique_ptr<IProjectInterpreter> FInterpreter;
  std::string FSaveDataPath;
  bool FSavePathComputed = false;
  bool FLoaded = false;
  bool FStatusRestored = false;
  int32_t FPendingLoad = -1;
  int32_t FPendingSave = -1;
  std::string FSaveTitle;
  std::string FJumpPage;
  int32_t FJumpPc = 0;
  mutable TKeptReadList FKeptReadList;
  mutable TKeptImageCacheState FKeptImageCache;
  mutable TKeptStatusTables FKeptTables;
  mutable TKeptStatusTables FKeptGameTables;
};

}  // namespace kest
