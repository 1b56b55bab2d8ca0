// ExtractFile: game files copied out of the virtual file system to a folder
// on disk, asking before a file there is overwritten.

#include <exception>
#include <fstream>

#include "common/sjis.h"
#include "language/desktop_functions.h"
#include "platform/dialogs.h"
#include "platform/host_services.h"
#include "shell/game_file_functions.h"
#include "storage/archive_paths.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_manager.h"

namespace kest {

namespace {

// One character of Shift-JIS text from i: two bytes behind a lead byte.
size_t CharLength(std::string_view s, size_t i) {
  return IsLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// "*" and "?" over characters, ASCII letters in any case. A star that fails
// is retried one character further from the last star only: every earlier
// star's choice would give no other match, so the time stays linear in the
// name for each character of the mask.
bool MatchesMask(std::string_view name, std::string_view mask) {
  size_t n = 0, m = 0;
  size_t starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = ++m;
      starName = n;
      continue;
    }
    if (m < mask.size()) {
      const size_t cn = CharLength(name, n);
      const size_t cm = mask[m] == '?' ? 1 : CharLength(mask, m);
      if (mask[m] == '?' || SameName(name.substr(n, cn), mask.substr(m, cm))) {
        n += cn;
        m += cm;
        continue;
      }
    }
    if (starMask == std::string_view::npos) return false;
    starName += CharLength(name, starName);
    n = starName;
    m = starMask;
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::string DropLeadingBackslash(std::string text) {
  if (!text.empty() && text[0] == '\\') text.erase(0, 1);
  return text;
}

std::optional<std::filesystem::path> SpecialFolder(std::string_view name) {
  if (SameName(name, "Desktop")) return XdgFolder(TSpecialFolder::Desktop);
  if (SameName(name, "MyDocuments")) return XdgFolder(TSpecialFolder::Documents);
  return std::nullopt;
}

// The part below a base folder; one that would climb out of it (or name a
// drive) is the base folder itself.
std::optional<std::filesystem::path> Below(const std::filesystem::path& base, std::string rest) {
  rest = DropLeadingBackslash(std::move(rest));
  while (!rest.empty() && rest.back() == '\\') rest.pop_back();
  if (rest.empty() || rest.find("..") != std::string::npos || rest.find(':') != std::string::npos ||
      !IsSafeEntryName(rest))
    return base;
  const std::optional<std::string> path = HostPathOf(base.string() + "/", rest);
  if (!path) return std::nullopt;
  return std::filesystem::path(*path);
}

}  // namespace

std::optional<std::filesystem::path> TGameFileFunctions::ExtractionFolder(const std::optional<std::string>& folder) {
  std::optional<std::filesystem::path> target;
  if (!folder) {
    const std::optional<std::string> chosen = FParts.Desktop ? FParts.Desktop->SelectDirectory() : std::nullopt;
    if (!chosen) return std::nullopt;
    std::string host = Cp932ToUtf8(*chosen);
    while (host.size() > 1 && (host.back() == '\\' || host.back() == '/')) host.pop_back();
    target = std::filesystem::path(host);
  } else if (!folder->empty() && (*folder)[0] == '{') {
    const size_t close = folder->find('}');
    if (close == std::string::npos) return std::nullopt;
    const std::optional<std::filesystem::path> special = SpecialFolder(std::string_view(*folder).substr(1, close - 1));
    if (!special) return std::nullopt;
    target = Below(*special, folder->substr(close + 1));
  } else {
    // A relative folder lies below the game's save folder, which the player
    // may write to wherever the program itself is installed.
    const std::filesystem::path saves = SaveFolder();
    if (saves.empty()) return std::nullopt;
    target = Below(saves, *folder);
  }
  if (!target) return std::nullopt;
  std::error_code error;
  std::filesystem::create_directories(*target, error);
  if (!std::filesystem::is_directory(*target, error)) return std::nullopt;
  return target;
}

bool TGameFileFunctions::ExtractFile(const std::vector<std::string>& patterns, bool confirm,
                                     const std::optional<std::string>& folder) {
  if (!FParts.Files) return false;
  const std::optional<std::filesystem::path> target = ExtractionFolder(folder);
  if (!target) return false;
  bool written = false;
  bool noToAll = false;
  const bool single = patterns.size() == 1;
  for (const std::string& pattern : patterns)
    if (ExtractPattern(pattern, single, confirm, noToAll, *target)) written = true;
  return written;
}

bool TGameFileFunctions::ExtractPattern(std::string pattern, bool single, bool& confirm, bool& noToAll,
                                        const std::filesystem::path& folder) {
  pattern = DropLeadingBackslash(std::move(pattern));
  std::vector<std::string> names;
  if (pattern.find_first_of("*?") != std::string::npos) {
    const std::string gameFolder = TVrFileManager::FolderOf(pattern);
    const std::string mask = pattern.substr(gameFolder.size());
    std::vector<std::string> listed;
    FParts.Files->ListFiles(gameFolder, listed);
    for (const std::string& name : listed)
      if (MatchesMask(std::string_view(name).substr(TVrFileManager::FolderOf(name).size()), mask))
        names.push_back(name);
  } else {
    names.push_back(pattern);
  }
  bool written = false;
  for (const std::string& name : names) {
    const TWriteStep step = ExtractOne(name, single, confirm, noToAll, folder);
    if (step == TWriteStep::StopPattern) break;
    if (step == TWriteStep::Written) written = true;
  }
  return written;
}

// Names that would leave the folder ("..\..\x", "C:\x", "\x") are never
// written: the target is always below the chosen folder.
TGameFileFunctions::TWriteStep TGameFileFunctions::ExtractOne(const std::string& name, bool single, bool& confirm,
                                                              bool& noToAll, const std::filesystem::path& folder) {
  if (!IsSafeEntryName(name) || !FileExists(name)) return TWriteStep::Skipped;
  const std::optional<std::string> host = HostPathOf(folder.string() + "/", name);
  if (!host) return TWriteStep::Skipped;
  const std::filesystem::path target(*host);
  std::error_code error;
  if (std::filesystem::exists(target, error)) {
    if (noToAll) return TWriteStep::Skipped;
    if (confirm && FParts.Dialogs) {
      const std::string text = target.string() + "\r\n\r\n既に同名のファイルが存在します。上書きしますか？";
      const TUiResult answer =
          FParts.Dialogs->MessageBox(text, FParts.Caption ? FParts.Caption() : std::string(), TUiIcon::Question,
                                     single ? TUiButtons::YesNo : TUiButtons::YesNoCancelNoAllYesAll);
      if (answer == TUiResult::Cancel) return TWriteStep::StopPattern;
      if (answer == TUiResult::NoToAll) noToAll = true;
      if (answer == TUiResult::YesToAll) confirm = false;
      if (answer != TUiResult::Yes && answer != TUiResult::YesToAll) return TWriteStep::Skipped;
    }
  }
  try {
    TTpBigMemoryStream data;
    FParts.Files->Load(data, name);
    std::filesystem::create_directories(target.parent_path(), error);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    const std::span<const uint8_t> bytes = data.Data();
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return out.flush() ? TWriteStep::Written : TWriteStep::Skipped;
  } catch (const std::exception&) {
    return TWriteStep::Skipped;
  }
}

}  // namespace kest
