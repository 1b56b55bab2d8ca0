#include "common/app_globals.h"

namespace kest {

bool AppTerminating = false;
int64_t GameTime = 0;
int32_t FrameDelta = 0;
int64_t FrameCount = 0;
bool SwitchingScreen = false;

void ResetAppGlobals() {
  AppTerminating = false;
  GameTime = 0;
  FrameDelta = 0;
  FrameCount = 0;
  SwitchingScreen = false;
}

}  // namespace kest
