// The headless player's input script: one event per line, "TICK EVENT ARGS",
// delivered before the tick of that number runs (ticks count from 1).
//   12 key-down 0x41      12 key-up 65       12 key-repeat 13
//   30 mouse-down 100 200 left|right|middle    31 mouse-up 100 200
//   30 move 10 20         40 wheel up|down
//   50 activate | deactivate | close | toolbar exit|screen
//   60 event start.kst:label [ARG ...]   posts a script event (UTF-8 words)
//   70 text こんにちは                     types the rest of the line (UTF-8) into the text box
//   80 save 3 A title                     asks for a save of slot 3 with that title (UTF-8)
//   90 load 3                             asks for a load of slot 3
// Blank lines and lines starting with # are skipped.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/input_event.h"

namespace kest {

// A script event the script posts as if a component had fired it.
struct THeadlessScriptEvent {
  std::string Reference;  // Shift-JIS
  std::vector<std::string> Args;
};

// A save or load asked for as the script would, carried out at the end of
// the tick.
struct THeadlessGameRequest {
  bool Load = false;
  int32_t Slot = 0;
  std::string Title;  // Shift-JIS
};

class THeadlessInput {
 public:
  // Parses the script; false with *error naming the line when it is wrong.
  bool Parse(const std::string& text, std::string* error);
  bool Load(const std::string& path, std::string* error);
  const std::vector<TInputEvent>& EventsAt(int64_t tick) const;
  const std::vector<THeadlessScriptEvent>& ScriptEventsAt(int64_t tick) const;
  const std::vector<THeadlessGameRequest>& GameRequestsAt(int64_t tick) const;
  int64_t LastTick() const;

 private:
  std::map<int64_t, std::vector<TInputEvent>> FEvents;
  std::map<int64_t, std::vector<THeadlessScriptEvent>> FScriptEvents;
  std::map<int64_t, std::vector<THeadlessGameRequest>> FGameRequests;
};

}  // namespace kest
