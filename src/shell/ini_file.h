// A plain INI file (game.ini beside the program): sections and keys match
// ignoring ASCII case; rewriting keeps every other line, comment and section
// as it was, and replaces the file atomically.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kest {

class TIniFile {
 public:
  // An absent or unreadable file reads as empty.
  static TIniFile Load(const std::string& path);
  static TIniFile Parse(std::string_view text);

  std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
  // A value that is not a whole decimal number gives the default.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  // 1 / 0 / true / false in any case; anything else gives the default.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  std::string Text() const;
  // Writes a temporary file beside the target, flushes it to disk, then
  // renames it over the target; on failure the old file stays whole.
  bool Save(const std::string& path, std::string* error = nullptr) const;

 private:
  struct TLine {
    std::string Text;     // the line as read, without its line break
    std::string Section;  // the section it belongs to
    std::string Key;      // empty for section heads, comments and blanks
    std::string Value;
  };
  const TLine* Find(std::string_view section, std::string_view key) const;

  std::vector<TLine> FLines;
};

}  // namespace kest
