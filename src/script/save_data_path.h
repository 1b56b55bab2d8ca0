#pragma once
// Where the save file of a game lives: save.dat in the game folder when the
// player may write there, else a folder of the user's own named after the
// project title, $XDG_DATA_HOME/kestplayer/<title>/ ($HOME/.local/share when
// XDG_DATA_HOME is unset or empty). Host paths are UTF-8; the title is
// Shift-JIS.

#include <functional>
#include <string>
#include <string_view>

namespace kest {

struct TSaveDataPlaces {
  // The folder given on the command line, else the program's own folder.
  std::string GameFolder;
  std::string DataHome;
  std::string Home;
  // The writability probe; nothing means FolderIsWritable.
  std::function<bool(const std::string& folder)> IsWritable;

  // DataHome and Home as the environment has them.
  static TSaveDataPlaces FromEnvironment(std::string gameFolder);
};

// The title as one folder name: the characters \ / : , ; * ? " < > | and the
// control characters become "_", character by character so that the second
// byte of a double-byte character (ソ is 83 5C) stays; a title of nothing
// but dots, or no title, would name no folder of its own and becomes "_"s.
std::string SanitiseTitle(std::string_view title);

// Whether a file can be made in the folder: save.dat.$$$ is created and
// deleted again.
bool FolderIsWritable(const std::string& folder);

// The save file's path. When the per-user folder is chosen it is made with
// its parents, and a save.dat in the game folder is copied there unless one
// exists already. Raises "データファイルを作成することができません" when the
// folder cannot be made.
std::string ComputeSaveDataPath(const TSaveDataPlaces& places, std::string_view title);

}  // namespace kest
