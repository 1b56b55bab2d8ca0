// Host services of the program entry: where the program lives, what kind of
// file system it runs from, the instance lock, the user's language.
#pragma once

#include <memory>
#include <string>

namespace kest {

// Absolute path of the running program (/proc/self/exe).
std::string ProgramPath();
std::string ProgramFolder();

// True when the folder lies on a CD or DVD file system (ISO 9660 or UDF).
bool IsOnOpticalDisc(const std::string& folder);

// True when the user's messages language is Japanese (LC_ALL, LC_MESSAGES, LANG).
bool JapaneseLocale();

// True when an X11 or Wayland display is named in the environment.
bool HasDisplay();

// Holds an advisory lock named by an instance key for its lifetime; a second
// holder of the same key in any process fails to take it.
class TInstanceLock {
 public:
  // nullptr when another process holds the key (or the lock cannot be made).
  static std::unique_ptr<TInstanceLock> Acquire(const std::string& key);
  // The lock file used for a key: kestplayer-<hash>.lock in $XDG_RUNTIME_DIR,
  // else in the temporary folder.
  static std::string LockPath(const std::string& key);
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

 private:
  explicit TInstanceLock(int fd) : FFd(fd) {}
  int FFd;
};

}  // namespace kest
