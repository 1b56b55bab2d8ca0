#pragma once
// The installation record install.dat that the installer leaves beside a
// shipped game and on every disc of its set. The player reads which disc this
// is, whose game it belongs to and whether all data lie on the hard disk; the
// installer's own fields are kept as read so that writing the record back
// (the game adds the files it wrote) loses nothing.
//
// Layout (little-endian; strings are a 4-byte length and Shift-JIS bytes):
//   "is" + 3 digits (version; 108 written; no magic means version 0),
//   disc number, game identifier, 3 texts, flag A, text, flag, item count n,
//   text, value, flag, flag, 2 texts, n items of 4 values, 4 values, flag,
//   then by version: flag (from 101), written files (count + strings, from
//   102), full-install flag (from 103), flag B (from 104), flag (from 105),
//   list (count + strings, from 106), text (from 107), 2 texts (from 108).
// Values are 8 bytes from version 100 on and 4 bytes before. The versions are
// named in install_record_versions.h.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/install_record_versions.h"

namespace kest {

class TStream;

class TKestInstallSet {
 public:
  static constexpr int32_t kWrittenVersion = kInstallNewestVersion;

  // Replaces every field by those of the record at the stream's position.
  // Raises EReadError on a record that is cut short or holds a count larger
  // than the bytes behind it; the fields then keep their former values.
  void LoadFromStream(TStream& stream);
  // Writes every field, version "is108".
  void SaveToStream(TStream& stream) const;
  // Host paths. Saving replaces the file whole or not at all.
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

  // Adds a name to the written files unless it is there already (ignoring case).
  void AddWrittenFile(std::string_view name);

  bool operator==(const TKestInstallSet&) const = default;

  // The version the record was read with (written records say 108).
  int32_t Version = kWrittenVersion;
  // Which disc of the set this is, 0 for the first.
  int32_t DiscNumber = 0;
  // Equals the project title of the game the record belongs to.
  std::string GameId;
  // Files the game itself has written.
  std::vector<std::string> WrittenFiles;
  // All game data lie on the hard disk.
  bool FullInstall = false;

  // The installer's own fields, in the order they are stored.
  std::array<std::string, 3> InstallerTexts1;
  uint8_t InstallerFlagA = 0;
  std::string InstallerText2;
  uint8_t InstallerFlag2 = 0;
  std::string InstallerText3;
  int32_t InstallerValue = 0;
  uint8_t InstallerFlag3 = 0;
  uint8_t InstallerFlag4 = 0;
  std::array<std::string, 2> InstallerTexts4;
  std::vector<std::array<int64_t, 4>> InstallerItems;
  std::array<int64_t, 4> InstallerValues{};
  uint8_t InstallerFlag5 = 0;
  uint8_t InstallerFlag6 = 0;
  uint8_t InstallerFlagB = 0;
  uint8_t InstallerFlag7 = 0;
  std::vector<std::string> InstallerList;
  std::string InstallerText5;
  std::array<std::string, 2> InstallerTexts6;
};

}  // namespace kest
