#pragma once
// The project settings file kest.kpb (and /original_kest.kpb, whose
// folder-to-disc list alone is used). Fields are gated by the file's version;
// an older file reads the value the player has always assumed for a field it
// does not carry.
//
// Layout (little-endian; strings are a 4-byte length and Shift-JIS bytes):
//   version (at most 116), title, screen width, height, full-screen width,
//   height, start page, exit page (from 110), registry key, identification
//   code, save to disk (from 104), idle-sleep flag (from 106), streamed
//   extensions (from 109), stop when inactive (from 113), reserved flag (from
//   114), show toolbar (from 116), disc prompt, quit text, project variables
//   (count, then kind byte, name, value by kind: 1 integer, 2 10-byte real,
//   3 flag, 4 string, any other kind no value), folder-to-disc list. The
//   reader and the writer share one table of these fields and their versions.

#include <cstdint>
#include <string>
#include <vector>

#include "common/extended.h"
#include "storage/folder_disk_list.h"

namespace kest {

class TStream;

// One variable the project declares at start.
struct TProjectVar {
  uint8_t Kind = 0;
  std::string Name;
  int32_t IntValue = 0;
  // Kept as stored, so that writing the file back changes no bit.
  TExtendedBytes FloatValue{};
  bool FlagValue = false;
  std::string StrValue;

  bool HasValue() const { return Kind >= 1 && Kind <= 4; }
  bool operator==(const TProjectVar&) const = default;
};

class TProjectSetting {
 public:
  static constexpr int32_t kNewestVersion = 116;

  // Replaces every field by the settings at the stream's position. Raises
  // "このバージョンには対応していません" for a version above 116, and
  // EReadError for a file cut short or holding a count larger than the bytes
  // behind it; the fields then keep their former values.
  void LoadFromStream(TStream& stream);
  // Writes the fields that Version carries, in the reader's order.
  void SaveToStream(TStream& stream) const;

  bool operator==(const TProjectSetting&) const = default;

  int32_t Version = kNewestVersion;
  std::string Title;
  int32_t ScreenWidth = 0;
  int32_t ScreenHeight = 0;
  int32_t FullScreenWidth = 0;
  int32_t FullScreenHeight = 0;
  std::string StartPage;
  std::string ExitPage;
  std::string RegistryKey;
  int32_t IdentificationCode = 0;
  // A file from before the field still keeps its status data (read marks,
  // status variables) on disk, as every game of that time did.
  bool SaveToDisk = true;
  bool IdleSleep = false;
  std::string StreamedExtensions = ".wav.wma.ogg.mid";
  bool StopWhenInactive = false;
  bool Reserved = false;
  bool ShowToolbar = true;
  std::string DiscPrompt;
  std::string QuitText;
  std::vector<TProjectVar> Vars;
  std::vector<TFolderDisk> FolderDisks;
};

}  // namespace kest
