// The player's command line: game folders and archives, and the options of
// the windowed and the headless player.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/ui_box_kinds.h"

namespace kest {

struct TCommandLine {
  std::vector<std::string> Params;  // the game folder first, then further data
  bool Config = false;              // "/config" (any case) or --config
  bool Headless = false;
  bool Help = false;
  int64_t Ticks = 0;  // 0: until closed (headless: kDefaultHeadlessTicks)
  int32_t DeltaMs = 15;
  std::string InputFile;
  std::string TraceFile;
  bool TraceSteps = false;
  std::vector<TUiResult> Answers;
  std::string Date;  // pins the date and time variables: YYYY-MM-DD[THH:MM:SS]
  bool DumpVariables = false;
  std::string CaptureFolder;  // headless: PNG pictures of drawn ticks
  int64_t CaptureTick = 0;    // only this tick (0: every tick)
  std::string CrcFile;        // headless: a CRC-32 of every drawn tick
  std::string AudioWavFile;   // headless: the sound output, as a WAV file
  std::string SettingsFile;   // the sound and video settings (empty: game.ini beside the program)
  bool IntegerScale = false;
  bool TestPattern = false;  // a test picture in place of the scene        // full screen at a whole multiple
  int32_t OutputBits = 0;    // 15, 16 or 32; 0 follows the display
  std::vector<TDisplayMode> DisplayModes;  // headless: the modes the fake display offers
  std::string Error;                       // non-empty: the command line is wrong

  static constexpr int64_t kDefaultHeadlessTicks = 200;
};

TCommandLine ParseCommandLine(const std::vector<std::string>& args);
const char* UsageText();

}  // namespace kest
