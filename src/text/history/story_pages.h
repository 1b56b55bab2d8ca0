#pragma once
// What the history needs from the script: whether a page file is still in the
// game data, and the glyph stream of one of its text commands. A history only
// points into the script; everything it shows is read back through here.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kest {

class IStoryPages {
 public:
  virtual ~IStoryPages() = default;
  // Whether the page file is in the game data (names compare ignoring case).
  virtual bool Exists(const std::string& page) = 0;
  // The glyph stream of the page's command when the page exists, the index
  // lies inside it and the command is a text command; nothing otherwise.
  virtual std::optional<std::vector<uint8_t>> TextCommand(const std::string& page, int32_t command) = 0;
};

}  // namespace kest
