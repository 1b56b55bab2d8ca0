#pragma once
// The mouse cursor over the scene: the cursor file the front screen names,
// read as a picture of the game and handed to the sink when it changes; the
// system's arrow when there is no file or it cannot be shown.

#include <string>

#include "platform/cursor_sink.h"

namespace kest {

class TPexaCollection;

class TSceneCursor {
 public:
  void SetSink(ICursorSink* sink) {
    FSink = sink;
    FShown.clear();
    FArrow = false;
  }
  void Show(const std::string& file, TPexaCollection* pictures);

 private:
  bool Load(const std::string& file, TPexaCollection& pictures, TCursorPicture& out);

  ICursorSink* FSink = nullptr;
  std::string FShown;
  bool FArrow = false;
};

}  // namespace kest
