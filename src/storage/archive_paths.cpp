#include "storage/archive_paths.h"

#include "common/jstring.h"
#include "common/sjis.h"

namespace kest {
namespace {

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

std::optional<std::string> EntryNameOfHostPath(std::string_view relativeUtf8) {
  auto cp932 = Utf8ToCp932Strict(relativeUtf8);
  if (!cp932) return std::nullopt;
  std::string out;
  out.reserve(cp932->size());
  for (TJChar c : JChars(*cp932)) out += c.Bytes == "/" ? std::string_view("\\") : c.Bytes;
  return out;
}

}  // namespace kest
