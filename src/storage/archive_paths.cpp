#include "storage/archive_paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include "common/jstring.h"
#include "common/sjis.h"

namespace kest {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The name with every single-byte "\" replaced by "/".
std::string WithSlashes(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (TJChar c : JChars(name)) {
    if (c.Bytes == "\\") {
      out += '/';
    } else {
      out += c.Bytes;
    }
  }
  return out;
}

bool IsSafePart(std::string_view part) {
  if (part.empty() || part == "." || part == "..") return false;
  for (TJChar c : JChars(part)) {
    if (c.Bytes.size() != 1) continue;
    const auto b = static_cast<uint8_t>(c.Bytes[0]);
    if (b < 0x20 || b == 0x7F || b == '/' || b == ':') return false;
  }
  return true;
}

bool Exists(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0;
}

// The entry of folder named like part ignoring ASCII case (a game copied from
// a Windows disc may spell BG\TITLE.PXA as bg/title.pxa), or nothing.
// Host names are UTF-8 (or raw bytes); they are compared as the Shift-JIS
// they stand for, so a UTF-8 byte in the lead-byte range never hides the
// ASCII letter after it from case folding.
std::string AsShiftJis(std::string_view host) { return Utf8ToCp932Strict(host).value_or(std::string(host)); }

std::optional<std::string> MatchInFolder(const std::string& folder, std::string_view part) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return std::nullopt;
  const std::string wanted = AsShiftJis(part);
  std::optional<std::string> found;
  while (const dirent* entry = readdir(dir)) {
    if (SameName(AsShiftJis(entry->d_name), wanted)) {
      found = entry->d_name;
      break;
    }
  }
  closedir(dir);
  return found;
}

// Resolves relative (with "/" between parts) below folder, each part exactly
// when it exists, else ignoring ASCII case.
std::optional<std::string> ResolveNoCase(const std::string& folder, std::string_view relative) {
  std::string path = folder;
  size_t begin = 0;
  while (begin <= relative.size()) {
    size_t end = relative.find('/', begin);
    if (end == std::string_view::npos) end = relative.size();
    const std::string_view part = relative.substr(begin, end - begin);
    if (!part.empty()) {
      std::string exact = path + std::string(part);
      if (Exists(exact)) {
        path = std::move(exact);
      } else if (auto match = MatchInFolder(path, part)) {
        path += *match;
      } else {
        return std::nullopt;
      }
      if (end < relative.size()) path += '/';
    }
    begin = end + 1;
  }
  return path;
}

}  // namespace

size_t LastCharPos(std::string_view name, char c) {
  size_t found = std::string_view::npos;
  for (TJChar ch : JChars(name))
    if (ch.Bytes.size() == 1 && ch.Bytes[0] == c) found = ch.Offset;
  return found;
}

std::string_view FolderPart(std::string_view name) {
  const size_t slash = LastCharPos(name, '\\');
  return slash == std::string_view::npos ? std::string_view() : name.substr(0, slash + 1);
}

std::string_view ExtensionPart(std::string_view name) {
  const std::string_view file = name.substr(FolderPart(name).size());
  const size_t dot = LastCharPos(file, '.');
  return dot == std::string_view::npos ? std::string_view() : file.substr(dot);
}

std::optional<std::string> HostPathOf(const std::string& folder, std::string_view name) {
  const auto utf8 = Cp932ToUtf8Strict(WithSlashes(name));
  if (!utf8) return std::nullopt;
  return folder + *utf8;
}

std::optional<std::string> FindHostFile(const std::string& folder, std::string_view name) {
  if (folder.empty() || name.empty()) return std::nullopt;
  if (const auto utf8 = Cp932ToUtf8Strict(WithSlashes(name))) {
    if (auto path = ResolveNoCase(folder, *utf8); path && IsRegularFile(*path)) return path;
  }
  if (auto raw = ResolveNoCase(folder, WithSlashes(name)); raw && IsRegularFile(*raw)) return raw;
  return std::nullopt;
}

bool IsSafeEntryName(std::string_view name) {
  if (name.empty()) return false;
  size_t begin = 0;
  for (TJChar c : JChars(name)) {
    if (c.Bytes != "\\") continue;
    if (!IsSafePart(name.substr(begin, c.Offset - begin))) return false;
    begin = c.Offset + 1;
  }
  return IsSafePart(name.substr(begin));
}

std::optional<std::string> EntryNameOfHostPath(std::string_view relative_utf8) {
  auto cp932 = Utf8ToCp932Strict(relative_utf8);
  if (!cp932) return std::nullopt;
  std::string out;
  out.reserve(cp932->size());
  for (TJChar c : JChars(*cp932)) out += c.Bytes == "/" ? std::string_view("\\") : c.Bytes;
  return out;
}

}  // namespace kest
