#include "shell/ini_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "common/sjis.h"

namespace kest {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

TIniFile TIniFile::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return Parse(text);
}

TIniFile TIniFile::Parse(std::string_view text) {
  TIniFile ini;
  std::string section;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    TLine line{std::string(raw), {}, {}, {}};
    std::string_view t = Trim(raw);
    if (!t.empty() && t.front() == '[' && t.back() == ']') {
      section = std::string(Trim(t.substr(1, t.size() - 2)));
    } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
      size_t eq = t.find('=');
      if (eq != std::string_view::npos && eq > 0) {
        line.Key = std::string(Trim(t.substr(0, eq)));
        line.Value = std::string(Trim(t.substr(eq + 1)));
      }
    }
    line.Section = section;
    ini.FLines.push_back(std::move(line));
  }
  return ini;
}

const TIniFile::TLine* TIniFile::Find(std::string_view section, std::string_view key) const {
  for (const TLine& line : FLines)
    if (!line.Key.empty() && SameName(line.Section, section) && SameName(line.Key, key)) return &line;
  return nullptr;
}

std::optional<std::string> TIniFile::ReadString(std::string_view section, std::string_view key) const {
  const TLine* line = Find(section, key);
  if (!line) return std::nullopt;
  return line->Value;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  auto value = ReadString(section, key);
  if (!value || value->empty()) return fallback;
  const char* first = value->data();
  const char* last = first + value->size();
  if (*first == '+') ++first;
  int result = 0;
  auto [ptr, ec] = std::from_chars(first, last, result);
  return ec == std::errc() && ptr == last ? result : fallback;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  auto value = ReadString(section, key);
  if (!value) return fallback;
  if (*value == "1" || SameName(*value, "true")) return true;
  if (*value == "0" || SameName(*value, "false")) return false;
  return fallback;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  for (TLine& line : FLines) {
    if (!line.Key.empty() && SameName(line.Section, section) && SameName(line.Key, key)) {
      line.Value = std::string(value);
      line.Text = line.Key + "=" + line.Value;
      return;
    }
  }
  // A new key goes behind the last line of its section, or into a new section.
  size_t insert_at = FLines.size();
  bool found = false;
  for (size_t i = 0; i < FLines.size(); ++i) {
    if (!SameName(FLines[i].Section, section)) continue;
    std::string_view t = Trim(FLines[i].Text);
    bool head = !t.empty() && t.front() == '[';
    if (head && found) break;
    if (head || !t.empty()) insert_at = i + 1;
    found = true;
  }
  if (!found) {
    if (!FLines.empty() && !Trim(FLines.back().Text).empty()) FLines.push_back({"", FLines.back().Section, {}, {}});
    FLines.push_back({"[" + std::string(section) + "]", std::string(section), {}, {}});
    insert_at = FLines.size();
  }
  TLine line{std::string(key) + "=" + std::string(value), std::string(section), std::string(key), std::string(value)};
  FLines.insert(FLines.begin() + static_cast<long>(insert_at), std::move(line));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::Text() const {
  std::string out;
  for (const TLine& line : FLines) {
    out += line.Text;
    out += "\r\n";
  }
  return out;
}

bool TIniFile::Save(const std::string& path, std::string* error) const {
  const std::string temp = path + ".tmp";
  auto fail = [&](const char* what) {
    if (error) *error = std::string(what) + " " + temp + ": " + std::strerror(errno);
    return false;
  };
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return fail("cannot create");
  bool ok = WriteAll(fd, Text()) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok) {
    ::unlink(temp.c_str());
    return fail("cannot write");
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return fail("cannot rename");
  }
  return true;
}

}  // namespace kest
