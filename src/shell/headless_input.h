// The headless player's input script: one event per line, "TICK EVENT ARGS",
// delivered before the tick of that number runs (ticks count from 1).
//   12 key-down 0x41      12 key-up 65       12 key-repeat 13
//   30 mouse-down 100 200 left|right|middle    31 mouse-up 100 200
//   30 move 10 20         40 wheel up|down
//   50 activate | deactivate | close | toolbar exit|screen
// Blank lines and lines starting with # are skipped.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/input_event.h"

namespace kest {

class THeadlessInput {
 public:
  // Parses the script; false with *error naming the line when it is wrong.
  bool Parse(const std::string& text, std::string* error);
  bool Load(const std::string& path, std::string* error);
  const std::vector<TInputEvent>& EventsAt(int64_t tick) const;
  int64_t LastTick() const { return events_.empty() ? 0 : events_.rbegin()->first; }

 private:
  std::map<int64_t, std::vector<TInputEvent>> events_;
};

}  // namespace kest
