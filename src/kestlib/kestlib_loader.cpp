#include "kestlib/kestlib_loader.h"

#include <dlfcn.h>

#include <string_view>

namespace kest {
namespace {

std::string FileNameOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string MissingFileMessage(const std::string& fileName) { return fileName + "\nファイルがありません"; }

// Keeps the library mapped for as long as a table refers to it.
struct TLoadedKestLib : TKestLib {
  void* handle = nullptr;
  ~TLoadedKestLib() {
    if (handle) dlclose(handle);
  }
};

const char* FirstMissingEntry(const TKestLib& lib) {
#define KEST_CHECK_ENTRY(R, name, params) \
  if (!lib.name) return #name;
  KEST_LIB_FUNCTIONS(KEST_CHECK_ENTRY)
#undef KEST_CHECK_ENTRY
  return nullptr;
}

}  // namespace

TKestLibLoad CheckKestLib(std::shared_ptr<const TKestLib> lib, const std::string& fileName) {
  if (!lib || !lib->kestVersion) return {nullptr, MissingFileMessage(fileName)};
  // The version is asked before anything else is looked at, as an older
  // library may lack later entry points.
  if (lib->kestVersion() != kKestLibVersion) return {nullptr, fileName + "のバージョンがあいません"};
  if (const char* missing = FirstMissingEntry(*lib)) return {nullptr, fileName + ": " + missing + " がありません"};
  return {std::move(lib), {}};
}

TKestLibLoad LoadKestLib(const std::string& path) {
  const std::string file_name = FileNameOf(path);
  // Never unmapped: the media libraries it loads keep process-wide state.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle) return {nullptr, MissingFileMessage(file_name)};
  auto lib = std::make_shared<TLoadedKestLib>();
  lib->handle = handle;
#define KEST_LOOKUP_ENTRY(R, name, params) lib->name = reinterpret_cast<R(*) params>(dlsym(handle, #name));
  KEST_LIB_FUNCTIONS(KEST_LOOKUP_ENTRY)
#undef KEST_LOOKUP_ENTRY
  return CheckKestLib(std::move(lib), file_name);
}

}  // namespace kest
