#include "shell/mount_plan.h"

#include <filesystem>
#include <fstream>

#include "storage/host_name_resolver.h"

namespace kest {

namespace fs = std::filesystem;

bool EndsWithArchiveTrailer(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const auto size = static_cast<long long>(in.tellg());
  if (size < 2) return false;
  in.seekg(size - 2);
  char tail[2] = {};
  in.read(tail, 2);
  return in && tail[0] == 'k' && tail[1] == 'v';
}

std::vector<TMountStep> PlanMounts(const std::vector<std::string>& params, const std::string& programPath,
                                   bool programHasArchiveResource) {
  using K = TMountStep::TKind;
  std::vector<TMountStep> steps;
  if (params.empty()) {
    steps.push_back({K::SetBaseFolder, fs::path(programPath).parent_path().string() + "/"});
    if (programHasArchiveResource) steps.push_back({K::MountResource, {}});
    if (EndsWithArchiveTrailer(programPath)) steps.push_back({K::MountFile, programPath});
    return steps;
  }
  std::string base = params.front();
  if (base.empty() || base.back() != '/') base += '/';
  steps.push_back({K::SetBaseFolder, base});
  THostNameResolver resolver;
  for (const std::string& param : params) {
    const std::string folder = param.empty() || param.back() == '/' ? param : param + "/";
    if (auto dat = resolver.FindFile(folder, "game.dat")) steps.push_back({K::MountFile, std::move(*dat)});
    if (EndsWithArchiveTrailer(param)) steps.push_back({K::MountFile, param});
  }
  return steps;
}

}  // namespace kest
