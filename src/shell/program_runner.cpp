#include "shell/program_runner.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <thread>

extern char** environ;

namespace kest {

namespace {

std::vector<char*> ArgPointers(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  for (const std::string& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return status;
}

}  // namespace

bool TSpawnRunner::Launch(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  std::vector<char*> args = ArgPointers(argv);
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
  // Reaped in the background: the opener may take its time handing over.
  std::thread([pid] { WaitFor(pid); }).detach();
  return true;
}

std::optional<std::string> TSpawnRunner::Run(const std::vector<std::string>& argv) {
  if (argv.empty()) return std::nullopt;
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
  std::vector<char*> args = ArgPointers(argv);
  pid_t pid = 0;
  const int started = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  std::string output;
  if (started == 0) {
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) != 0) {
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) break;
      output.append(buffer, static_cast<size_t>(n));
    }
  }
  close(pipeEnds[0]);
  if (started != 0) return std::nullopt;
  const int status = WaitFor(pid);
  if (status < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

bool TSpawnRunner::Installed(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string_view rest(path);
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    const std::string_view dir = rest.substr(0, colon);
    if (!dir.empty() && access((std::filesystem::path(dir) / program).c_str(), X_OK) == 0) return true;
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return false;
}

std::unique_ptr<IProgramRunner> MakeProgramRunner(bool headless) {
  if (headless) return std::make_unique<TRecordingRunner>();
  return std::make_unique<TSpawnRunner>();
}

}  // namespace kest
