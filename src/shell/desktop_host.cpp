#include "shell/desktop_host.h"

#include <filesystem>
#include <string_view>

#include "common/sjis.h"
#include "platform/host_services.h"
#include "storage/archive_paths.h"

namespace kest {

namespace {

bool HasPrefix(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

std::string StartFolder() { return XdgFolder(TSpecialFolder::Desktop) + "/"; }

// "Text files|*.txt;*.log|All|*.*": pairs of a description and patterns,
// which zenity takes as "Text files | *.txt *.log".
void AddFilters(std::vector<std::string>& argv, const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  const std::string text = Cp932ToUtf8(filter);
  while (start <= text.size()) {
    const size_t bar = text.find('|', start);
    parts.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string patterns = parts[i + 1];
    for (char& c : patterns)
      if (c == ';') c = ' ';
    argv.push_back("--file-filter=" + parts[i] + " | " + patterns);
  }
}

}  // namespace

std::optional<std::string> TDesktopHost::RunDialog(std::vector<std::string> argv) {
  if (!FRunner.Installed("zenity")) return std::nullopt;
  std::optional<std::string> chosen = FRunner.Run(argv);
  if (!chosen) return std::nullopt;
  while (!chosen->empty() && (chosen->back() == '\n' || chosen->back() == '\r')) chosen->pop_back();
  if (chosen->empty()) return std::nullopt;
  return Utf8ToCp932(*chosen);
}

std::optional<std::string> TDesktopHost::SelectOpenFile(const std::string& filter) {
  std::vector<std::string> argv{"zenity", "--file-selection", "--filename=" + StartFolder()};
  AddFilters(argv, filter);
  return RunDialog(std::move(argv));
}

std::optional<std::string> TDesktopHost::SelectSaveFile(const std::string& filter) {
  std::vector<std::string> argv{"zenity", "--file-selection", "--save", "--confirm-overwrite",
                                "--filename=" + StartFolder()};
  AddFilters(argv, filter);
  return RunDialog(std::move(argv));
}

std::optional<std::string> TDesktopHost::SelectDirectory() {
  std::optional<std::string> folder =
      RunDialog({"zenity", "--file-selection", "--directory", "--filename=" + StartFolder()});
  if (folder && folder->back() != '\\') folder->push_back('\\');
  return folder;
}

// A game names its folders the Windows way ("save\", "data\movies"): such a
// name is found below the game's folder ignoring case. A drive letter names
// nothing on this host.
std::optional<std::string> TDesktopHost::HostFolderOf(const std::string& name) {
  if (name.find('\\') == std::string::npos) return Cp932ToUtf8(name);
  if (name.size() >= 2 && name[1] == ':') return std::nullopt;
  std::string game = name;
  while (!game.empty() && game.back() == '\\') game.pop_back();
  if (!FGameFolder || (!game.empty() && !IsSafeEntryName(game))) return std::nullopt;
  const std::string base = FGameFolder();
  if (base.empty()) return std::nullopt;
  return FNames.FindFolder(base, game);
}

// Only web and ftp addresses and folders that exist are opened; a folder
// goes as an absolute path, so no name is ever taken for an option.
void TDesktopHost::OpenUrl(const std::string& url) {
  if (HasPrefix(url, "http") || HasPrefix(url, "ftp")) {
    FRunner.Launch({"xdg-open", Cp932ToUtf8(url)});
    return;
  }
  if (url.empty()) return;
  const std::optional<std::string> host = HostFolderOf(url);
  if (!host) return;
  std::error_code error;
  const std::filesystem::path folder(*host);
  if (!std::filesystem::is_directory(folder, error)) return;
  std::filesystem::path absolute = std::filesystem::absolute(folder, error);
  if (error) return;
  absolute = absolute.lexically_normal();
  std::string text = absolute.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  FRunner.Launch({"xdg-open", text});
}

}  // namespace kest
