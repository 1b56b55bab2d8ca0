#pragma once
// The file functions of expressions over the running player: the virtual
// file manager, the in-memory files that the save file carries, the scene's
// base screens, and the boxes the player asks its questions with.

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "language/file_functions.h"

namespace kest {

class IDesktopFunctions;
class IDialogs;
class TKestBaseList;
class TVrFileManager;

struct TGameFileParts {
  TVrFileManager* Files = nullptr;
  // Where the overwrite question of ExtractFile goes.
  IDialogs* Dialogs = nullptr;
  // The folder dialog of an ExtractFile without a folder (none: cancelled).
  IDesktopFunctions* Desktop = nullptr;
  // The scene whose base screens SaveScreen takes (none: no captures).
  TKestBaseList* Scene = nullptr;
  // The host path of the save file (empty: the game has none yet); its
  // folder takes SaveScreen's captures and ExtractFile's relative folders.
  std::function<std::string()> SaveDataPath;
  // Whether a game file can be reached, asking for its disc (none: it can
  // when the file manager has it).
  std::function<bool(std::string_view)> EnsureFile;
  // The boxes' caption (UTF-8).
  std::function<std::string()> Caption;
};

class TGameFileFunctions final : public IFileFunctions {
 public:
  explicit TGameFileFunctions(TGameFileParts parts) : FParts(std::move(parts)) {}
  // The captures registered for deletion go now.
  ~TGameFileFunctions() override;
  TGameFileFunctions(const TGameFileFunctions&) = delete;
  TGameFileFunctions& operator=(const TGameFileFunctions&) = delete;

  TGameFileParts& Parts() { return FParts; }

  bool FileExists(const std::string& name) override;
  std::optional<std::string> LoadTextFile(const std::string& name) override;
  bool CopyFile(const std::string& src, const std::string& dst) override;
  bool SaveScreen(const TSaveScreenRequest& request) override;
  bool ExtractFile(const std::vector<std::string>& patterns, bool confirm,
                   const std::optional<std::string>& folder) override;

  // "mem:" or "save:" at the start, any case.
  static bool IsMemoryName(std::string_view name);
  static bool IsSavedName(std::string_view name);

 private:
  // The in-memory file of that name takes the bytes, and a "save:" one is
  // written into the save file as well.
  void StoreMemoryFile(const std::string& name, std::span<const uint8_t> bytes);
  void StoreInSaveFile(const std::string& name, std::span<const uint8_t> bytes);
  std::filesystem::path SaveFolder() const;
  void RegisterCapture(const std::string& name, const std::filesystem::path& path, int32_t kind);
  std::optional<std::filesystem::path> ExtractionFolder(const std::optional<std::string>& folder);
  bool ExtractPattern(std::string pattern, bool single, bool& confirm, bool& noToAll,
                      const std::filesystem::path& folder);
  // Answers how the loop over the pattern's files goes on.
  enum class TWriteStep { Written, Skipped, StopPattern };
  TWriteStep ExtractOne(const std::string& name, bool single, bool& confirm, bool& noToAll,
                        const std::filesystem::path& folder);

  TGameFileParts FParts;
  std::vector<std::filesystem::path> FDeleteAtEnd;
};

}  // namespace kest
