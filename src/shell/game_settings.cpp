#include "shell/game_settings.h"

#include <algorithm>

#include "shell/ini_file.h"

namespace kest {

int ClampDelayTime(int ms) {
  // Division truncates toward zero, as the settings dialog's own rounding does.
  return std::clamp(ms / 100 * 100, 100, 500);
}

TGameSettings ReadGameSettings(const TIniFile& ini) {
  TGameSettings s;
  s.DirectSound = ini.ReadBool("Sound", "DirectSound", s.DirectSound);
  s.DelayTime = ClampDelayTime(ini.ReadInteger("Sound", "DelayTime", s.DelayTime));
  s.UseWMP = ini.ReadBool("Video", "UseWMP", s.UseWMP);
  return s;
}

TGameSettings LoadGameSettings(const std::string& path) { return ReadGameSettings(TIniFile::Load(path)); }

}  // namespace kest
