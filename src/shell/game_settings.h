// The settings of game.ini beside the program.
#pragma once

#include <string>

namespace kest {

class TIniFile;

struct TGameSettings {
  bool DirectSound = true;  // [Sound] DirectSound
  int DelayTime = 500;      // [Sound] DelayTime, ms: whole hundreds in 100..500
  bool UseWMP = false;      // [Video] UseWMP
};

// Rounds down to whole hundreds, then clamps to 100..500.
int ClampDelayTime(int ms);
TGameSettings ReadGameSettings(const TIniFile& ini);
// Defaults when the file is absent.
TGameSettings LoadGameSettings(const std::string& path);

}  // namespace kest
