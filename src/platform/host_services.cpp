#include "platform/host_services.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <thread>

extern char** environ;

namespace kest {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v && *v ? v : std::string();
}

std::string Home() {
  std::string home = Env("HOME");
  return home.empty() ? "/" : home;
}

// The user-dirs file names the desktop, documents, pictures and music folders.
std::string UserDir(const char* key, const char* fallback) {
  std::string config = Env("XDG_CONFIG_HOME");
  if (config.empty()) config = Home() + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  const std::string prefix = std::string(key) + "=\"";
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') continue;
    std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
    return value;
  }
  return Home() + "/" + fallback;
}

std::optional<std::string> Zenity(std::vector<std::string> argv) {
  if (!HaveProgram("zenity")) return std::nullopt;
  argv.insert(argv.begin(), "zenity");
  auto result = RunProgram(argv, true);
  if (!result || result->Status != 0) return std::nullopt;
  std::string out = result->Output;
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  if (out.empty()) return std::nullopt;
  return out;
}

}  // namespace

bool HaveProgram(const std::string& name) {
  std::string path = Env("PATH");
  size_t start = 0;
  while (start <= path.size()) {
    size_t colon = path.find(':', start);
    std::string dir = path.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  return false;
}

std::string XdgFolder(TSpecialFolder which) {
  switch (which) {
    case TSpecialFolder::Home: return Home();
    case TSpecialFolder::Desktop: return UserDir("XDG_DESKTOP_DIR", "Desktop");
    case TSpecialFolder::Documents: return UserDir("XDG_DOCUMENTS_DIR", "Documents");
    case TSpecialFolder::Pictures: return UserDir("XDG_PICTURES_DIR", "Pictures");
    case TSpecialFolder::Music: return UserDir("XDG_MUSIC_DIR", "Music");
    case TSpecialFolder::Config: {
      std::string v = Env("XDG_CONFIG_HOME");
      return v.empty() ? Home() + "/.config" : v;
    }
    case TSpecialFolder::Data: {
      std::string v = Env("XDG_DATA_HOME");
      return v.empty() ? Home() + "/.local/share" : v;
    }
    case TSpecialFolder::Temporary: {
      std::string v = Env("TMPDIR");
      return v.empty() ? "/tmp" : v;
    }
  }
  return Home();
}

// How often a waiting caller's turn comes: one tick of the window's loop.
constexpr int kTurnMs = 15;

std::optional<TProgramResult> RunProgram(const std::vector<std::string>& argv, bool wait,
                                         const std::function<void()>& turn) {
  if (argv.empty()) return std::nullopt;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int out[2] = {-1, -1};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (wait) {
    if (::pipe2(out, O_CLOEXEC) != 0) return std::nullopt;
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (wait) ::close(out[1]);
  if (rc != 0) {
    if (wait) ::close(out[0]);
    return std::nullopt;
  }
  TProgramResult result;
  if (!wait) {
    // Reaped in the background: an opener may take its time handing over.
    std::thread([pid] {
      int status = 0;
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
    result.Status = 0;
    return result;
  }
  char buffer[4096];
  for (;;) {
    if (turn) {
      pollfd ready{out[0], POLLIN, 0};
      const int polled = ::poll(&ready, 1, kTurnMs);
      if (polled < 0 && errno != EINTR) break;
      if (polled <= 0) {
        turn();
        continue;
      }
    }
    ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (result.Output.size() < (1u << 20)) result.Output.append(buffer, static_cast<size_t>(n));
  }
  ::close(out[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

bool TDesktopHostServices::OpenUrl(const std::string& url) {
  // xdg-open stays running for some desktops, so it is not waited for.
  return RunProgram({"xdg-open", url}, false).has_value();
}

std::optional<std::string> TDesktopHostServices::ChooseFile(const std::string& title, const std::string& folder,
                                                            bool forSaving) {
  std::vector<std::string> argv = {"--file-selection", "--title=" + title};
  if (!folder.empty()) argv.push_back("--filename=" + folder + "/");
  if (forSaving) argv.push_back("--save");
  return Zenity(argv);
}

std::optional<std::string> TDesktopHostServices::ChooseFolder(const std::string& title, const std::string& folder) {
  std::vector<std::string> argv = {"--file-selection", "--directory", "--title=" + title};
  if (!folder.empty()) argv.push_back("--filename=" + folder + "/");
  return Zenity(argv);
}

}  // namespace kest
