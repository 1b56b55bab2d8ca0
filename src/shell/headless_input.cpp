#include "shell/headless_input.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/sjis.h"

namespace kest {
namespace {

bool ParseInt(const std::string& word, long long& out) {
  try {
    size_t used = 0;
    out = std::stoll(word, &used, 0);
    return used == word.size();
  } catch (...) {
    return false;
  }
}

bool ParseLine(std::istringstream& in, const std::string& verb, TInputEvent& ev) {
  using T = TInputEvent::TType;
  std::vector<std::string> args;
  for (std::string w; in >> w;) args.push_back(w);
  long long a = 0, b = 0;
  auto ints = [&](size_t n) {
    if (args.size() < n) return false;
    if (n >= 1 && !ParseInt(args[0], a)) return false;
    if (n >= 2 && !ParseInt(args[1], b)) return false;
    return true;
  };
  if (verb == "key-down" || verb == "key-up" || verb == "key-repeat") {
    if (args.size() != 1 || !ints(1) || a < 0 || a > 0xFFFF) return false;
    ev.Type = verb == "key-up" ? T::KeyUp : T::KeyDown;
    ev.Key = static_cast<int>(a);
    ev.Repeat = verb == "key-repeat";
    return true;
  }
  if (verb == "mouse-down" || verb == "mouse-up" || verb == "move") {
    if (args.size() < 2 || args.size() > 3 || !ints(2)) return false;
    ev.Type = verb == "move" ? T::MouseMove : verb == "mouse-up" ? T::MouseUp : T::MouseDown;
    ev.X = static_cast<int>(a);
    ev.Y = static_cast<int>(b);
    if (args.size() == 3) {
      if (args[2] == "left")
        ev.Button = TInputEvent::kLeft;
      else if (args[2] == "right")
        ev.Button = TInputEvent::kRight;
      else if (args[2] == "middle")
        ev.Button = TInputEvent::kMiddle;
      else
        return false;
    }
    return true;
  }
  if (verb == "wheel") {
    if (args.size() != 1 || (args[0] != "up" && args[0] != "down")) return false;
    ev.Type = T::Wheel;
    ev.WheelSteps = args[0] == "up" ? 1 : -1;
    return true;
  }
  if (verb == "toolbar") {
    if (args.size() != 1 || (args[0] != "exit" && args[0] != "screen")) return false;
    ev.Type = T::ToolbarClick;
    ev.ToolbarButton = args[0] == "exit" ? 0 : 1;
    return true;
  }
  if (!args.empty()) return false;
  if (verb == "activate")
    ev.Type = T::Activated;
  else if (verb == "deactivate")
    ev.Type = T::Deactivated;
  else if (verb == "close")
    ev.Type = T::CloseRequest;
  else
    return false;
  return true;
}

}  // namespace

bool THeadlessInput::Parse(const std::string& text, std::string* error) {
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream in(line);
    std::string tick_word, verb;
    if (!(in >> tick_word) || tick_word[0] == '#') continue;
    long long tick = 0;
    TInputEvent ev;
    const bool timed = ParseInt(tick_word, tick) && tick >= 1 && (in >> verb);
    if (timed && verb == "event") {
      THeadlessScriptEvent script;
      for (std::string w; in >> w;) {
        std::string cp932 = Utf8ToCp932(w);
        if (script.Reference.empty()) {
          script.Reference = std::move(cp932);
        } else {
          script.Args.push_back(std::move(cp932));
        }
      }
      if (!script.Reference.empty()) {
        FScriptEvents[tick].push_back(std::move(script));
        continue;
      }
    }
    if (timed && verb == "text") {
      // The rest of the line, spaces inside it kept, as an input method commits it.
      std::string text;
      std::getline(in, text);
      if (!text.empty() && text[0] == ' ') text.erase(0, 1);
      if (!text.empty()) {
        ev.Type = TInputEvent::TType::TextInput;
        ev.Text = std::move(text);
        FEvents[tick].push_back(std::move(ev));
        continue;
      }
    }
    if (timed && (verb == "save" || verb == "load")) {
      THeadlessGameRequest request;
      request.Load = verb == "load";
      std::string slot_word, title;
      long long slot = 0;
      if ((in >> slot_word) && ParseInt(slot_word, slot) && slot >= 0 && slot <= INT32_MAX) {
        std::getline(in, title);
        if (!title.empty() && title[0] == ' ') title.erase(0, 1);
        if (request.Load == title.empty()) {
          request.Slot = static_cast<int32_t>(slot);
          request.Title = Utf8ToCp932(title);
          FGameRequests[tick].push_back(std::move(request));
          continue;
        }
      }
    }
    if (!timed || verb == "event" || verb == "text" || verb == "save" || verb == "load" || !ParseLine(in, verb, ev)) {
      if (error) *error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
      return false;
    }
    FEvents[tick].push_back(ev);
  }
  return true;
}

bool THeadlessInput::Load(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot open " + path;
    return false;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (Parse(text, error)) return true;
  if (error) *error = path + ": " + *error;
  return false;
}

const std::vector<TInputEvent>& THeadlessInput::EventsAt(int64_t tick) const {
  static const std::vector<TInputEvent> kNone;
  auto it = FEvents.find(tick);
  return it == FEvents.end() ? kNone : it->second;
}

const std::vector<THeadlessScriptEvent>& THeadlessInput::ScriptEventsAt(int64_t tick) const {
  static const std::vector<THeadlessScriptEvent> kNone;
  auto it = FScriptEvents.find(tick);
  return it == FScriptEvents.end() ? kNone : it->second;
}

const std::vector<THeadlessGameRequest>& THeadlessInput::GameRequestsAt(int64_t tick) const {
  static const std::vector<THeadlessGameRequest> kNone;
  auto it = FGameRequests.find(tick);
  return it == FGameRequests.end() ? kNone : it->second;
}

int64_t THeadlessInput::LastTick() const {
  const int64_t input = FEvents.empty() ? 0 : FEvents.rbegin()->first;
  const int64_t script = FScriptEvents.empty() ? 0 : FScriptEvents.rbegin()->first;
  const int64_t requests = FGameRequests.empty() ? 0 : FGameRequests.rbegin()->first;
  return std::max({input, script, requests});
}

}  // namespace kest
