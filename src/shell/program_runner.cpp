#include "shell/program_runner.h"

#include "platform/host_services.h"

namespace kest {

bool TSpawnRunner::Launch(const std::vector<std::string>& argv) { return RunProgram(argv, false).has_value(); }

std::optional<std::string> TSpawnRunner::Run(const std::vector<std::string>& argv) {
  const std::optional<TProgramResult> result = RunProgram(argv, true, FTurn);
  if (!result || result->Status != 0) return std::nullopt;
  return result->Output;
}

bool TSpawnRunner::Installed(const std::string& program) { return HaveProgram(program); }

std::unique_ptr<IProgramRunner> MakeProgramRunner(bool headless) {
  if (headless) return std::make_unique<TRecordingRunner>();
  return std::make_unique<TSpawnRunner>();
}

}  // namespace kest
