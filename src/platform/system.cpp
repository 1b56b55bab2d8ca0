#include "platform/system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace kest {
namespace {

constexpr long kIso9660Magic = 0x9660;
constexpr long kUdfMagic = 0x15013346;

uint64_t Fnv1a64(std::string_view bytes) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  return h;
}

std::string EnvOr(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

}  // namespace

std::string ProgramPath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : path.string();
}

std::string ProgramFolder() { return std::filesystem::path(ProgramPath()).parent_path().string(); }

bool IsOnOpticalDisc(const std::string& folder) {
  struct statfs fs {};
  if (statfs(folder.c_str(), &fs) != 0) return false;
  const long type = static_cast<long>(fs.f_type);
  return type == kIso9660Magic || type == kUdfMagic;
}

bool JapaneseLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(name);
    if (v && *v) return std::string_view(v).substr(0, 2) == "ja";
  }
  return false;
}

bool HasDisplay() {
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (w && *w);
}

std::string TInstanceLock::LockPath(const std::string& key) {
  const std::string folder = EnvOr("XDG_RUNTIME_DIR", EnvOr("TMPDIR", "/tmp").c_str());
  char name[64];
  std::snprintf(name, sizeof name, "kestplayer-%016llx.lock", static_cast<unsigned long long>(Fnv1a64(key)));
  return folder + "/" + name;
}

std::unique_ptr<TInstanceLock> TInstanceLock::Acquire(const std::string& key) {
  const std::string path = LockPath(key);
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return nullptr;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<TInstanceLock>(new TInstanceLock(fd));
}

TInstanceLock::~TInstanceLock() {
  // The file stays: removing it would let a third process lock a new inode
  // while a second still waits on the old one.
  ::flock(FFd, LOCK_UN);
  ::close(FFd);
}

}  // namespace kest
