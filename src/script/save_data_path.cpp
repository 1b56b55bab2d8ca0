#include "script/save_data_path.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "common/errors.h"
#include "common/jstring.h"
#include "common/sjis.h"
#include "storage/host_name_resolver.h"

namespace kest {
namespace {

constexpr std::string_view kForbidden = "\\/:,;*?\"<>|";
constexpr const char* kSaveName = "save.dat";

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

bool IsForbidden(const TJChar& c) {
  if (c.Bytes.size() != 1) return false;
  const auto b = static_cast<uint8_t>(c.Bytes[0]);
  return b < 0x20 || b == 0x7F || kForbidden.find(c.Bytes[0]) != std::string_view::npos;
}

std::string UserFolder(const TSaveDataPlaces& places, std::string_view title) {
  std::string base = places.DataHome;
  if (base.empty() && !places.Home.empty()) base = WithSlash(places.Home) + ".local/share";
  if (base.empty()) throw EKestError(Utf8ToCp932("データファイルを作成することができません"));
  return WithSlash(base) + "kestplayer/" + Cp932ToUtf8(SanitiseTitle(title)) + "/";
}

}  // namespace

TSaveDataPlaces TSaveDataPlaces::FromEnvironment(std::string gameFolder) {
  TSaveDataPlaces places;
  places.GameFolder = std::move(gameFolder);
  if (const char* data = std::getenv("XDG_DATA_HOME")) places.DataHome = data;
  if (const char* home = std::getenv("HOME")) places.Home = home;
  return places;
}

std::string SanitiseTitle(std::string_view title) {
  std::string out;
  bool only_dots = true;
  for (const TJChar c : JChars(title)) {
    if (c.Bytes != ".") only_dots = false;
    out += IsForbidden(c) ? std::string_view("_") : c.Bytes;
  }
  if (!only_dots) return out;
  return out.empty() ? std::string("_") : std::string(out.size(), '_');
}

bool FolderIsWritable(const std::string& folder) {
  const std::string probe = WithSlash(folder) + "save.dat.$$$";
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  close(fd);
  const bool made = access(probe.c_str(), F_OK) == 0;
  unlink(probe.c_str());
  return made;
}

std::string ComputeSaveDataPath(const TSaveDataPlaces& places, std::string_view title) {
  const std::string game_folder = WithSlash(places.GameFolder.empty() ? std::string("./") : places.GameFolder);
  // A game folder copied from a Windows disc may hold SAVE.DAT.
  const std::string old = THostNameResolver().FindFile(game_folder, kSaveName).value_or(game_folder + kSaveName);
  const bool writable = places.IsWritable ? places.IsWritable(game_folder) : FolderIsWritable(game_folder);
  if (writable) return old;
  const std::string folder = UserFolder(places, title);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder))
    throw EKestError(Utf8ToCp932("データファイルを作成することができません"));
  const std::string path = folder + kSaveName;
  if (std::filesystem::is_regular_file(old, error))
    std::filesystem::copy_file(old, path, std::filesystem::copy_options::skip_existing, error);
  return path;
}

}  // namespace kest
