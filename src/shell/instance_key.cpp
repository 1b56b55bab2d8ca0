#include "shell/instance_key.h"

#include <filesystem>

#include "common/sjis.h"

namespace kest {

std::string MakeInstanceKey(std::string_view text) {
  std::string key = UpperName(text);
  bool ends_in_delimiter = false;
  for (size_t i = 0; i < key.size();) {
    const bool lead = IsLeadByte(static_cast<uint8_t>(key[i])) && i + 1 < key.size();
    ends_in_delimiter = !lead && key[i] == '\\';
    i += lead ? 2 : 1;
  }
  if (!ends_in_delimiter) key += '\\';
  for (size_t i = 0; i < key.size();) {
    if (IsLeadByte(static_cast<uint8_t>(key[i])) && i + 1 < key.size()) {
      i += 2;
      continue;
    }
    if (key[i] == '\\') key[i] = '-';
    ++i;
  }
  return key;
}

std::string InstanceKeyForParameter(const std::string& parameter) {
  std::error_code ec;
  std::string text = parameter;
  if (std::filesystem::is_directory(parameter, ec)) {
    auto canonical = std::filesystem::weakly_canonical(std::filesystem::absolute(parameter, ec), ec);
    if (!ec) {
      text = canonical.string();
      while (text.size() > 1 && text.back() == '/') text.pop_back();
    }
  }
  return MakeInstanceKey(Utf8ToCp932Strict(text).value_or(text));
}

std::string InstanceKeyForStart(const TCommandLine& commandLine, const std::string& programFolder) {
  if (commandLine.Config) return MakeInstanceKey("/config");
  return InstanceKeyForParameter(commandLine.Params.empty() ? programFolder : commandLine.Params.front());
}

}  // namespace kest
