#pragma once
// Entry names are game paths: Shift-JIS with "\" between folders. Every
// search in them walks by characters, since the second byte of a double-byte
// character may be 0x5C ("bg\ソ.pxa" holds one inside ソ) or 0x2E.

#include <optional>
#include <string>
#include <string_view>

namespace kest {

// Byte offset of the last character c in name, or npos; c is a single byte.
size_t LastCharPos(std::string_view name, char c);
// Everything up to and including the last "\" (empty without one).
std::string_view FolderPart(std::string_view name);
// The extension with its dot: from the last "." behind the last "\", or empty.
std::string_view ExtensionPart(std::string_view name);

// The host path of an entry below a host folder (which ends with "/"): the
// name converted to UTF-8 with "/" for "\". Nothing when the name does not
// convert.
std::optional<std::string> HostPathOf(const std::string& folder, std::string_view name);

// Whether writing an entry of this name below a folder stays inside it: no
// empty name, no "." or ".." part, no leading "\" or "/", no drive letter,
// no "/" or ":" or control byte inside a part.
bool IsSafeEntryName(std::string_view name);

// The entry name of a relative host path: "/" becomes "\", UTF-8 becomes
// Shift-JIS. Nothing when a character has no Shift-JIS form.
std::optional<std::string> EntryNameOfHostPath(std::string_view relativeUtf8);

}  // namespace kest
