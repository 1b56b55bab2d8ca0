#pragma once
// The mouse cursor over the scene: the cursor file the front screen names,
// read once when it comes to be shown (an animated or still cursor file, else
// a picture of the game) and handed to the sink when it changes; an animated
// one hands over each of its steps as the game's clock reaches it. The
// system's arrow shows when there is no file or it cannot be shown.

#include <string>
#include <vector>

#include "imaging/cursor_file.h"
#include "platform/cursor_sink.h"

namespace kest {

class TPexaCollection;

class TSceneCursor {
 public:
  void SetSink(ICursorSink* sink) {
    FSink = sink;
    FShown.clear();
    FArrow = false;
    FFrames.clear();
    FSteps.clear();
  }
  // Once a tick: shows the file, or steps the one shown by the tick's time.
  // The file to show, with the milliseconds since the last call (an animated
  // cursor that stays steps on by them).
  void Show(const std::string& file, TPexaCollection* pictures, int32_t elapsed);

 private:
  bool Load(const std::string& file, TPexaCollection& pictures);
  bool LoadCursorFile(const std::vector<uint8_t>& bytes);
  bool LoadPicture(const std::string& file, TPexaCollection& pictures, TCursorPicture& out);
  void Step(int32_t milliseconds);

  ICursorSink* FSink = nullptr;
  std::string FShown;
  bool FArrow = false;
  std::vector<TCursorPicture> FFrames;
  std::vector<TCursorStep> FSteps;
  size_t FStep = 0;
  // Time into the current step and the whole animation, in sixty-thousandths
  // of a second, where both milliseconds and jiffies are whole numbers.
  int64_t FElapsed = 0;
  int64_t FCycle = 0;
};

}  // namespace kest
