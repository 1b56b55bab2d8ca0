#include "common/app_globals.h"

namespace kest {

bool AppTerminating = false;
bool SwitchingScreen = false;

void ResetAppGlobals() {
  AppTerminating = false;
  SwitchingScreen = false;
}

}  // namespace kest
