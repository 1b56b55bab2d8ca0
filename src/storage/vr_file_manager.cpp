#include "storage/vr_file_manager.h"

#include <sys/stat.h>
#include <unistd.h>

#include <unordered_set>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/sjis.h"
#include "storage/archive_paths.h"
#include "storage/install_record.h"

namespace kest {
namespace {

// "C:\..." and "\\host\..." name places on a Windows machine; here they can
// only be names inside the game data.
bool IsForeignPath(std::string_view name) { return (name.size() >= 2 && name[1] == ':') || name.starts_with("\\\\"); }

std::string WithTrailingBackslash(std::string_view folder) {
  std::string out(folder);
  if (!out.empty() && LastCharPos(out, '\\') + 1 != out.size() && out.back() != '/') out += '\\';
  return out;
}

bool StartsWith(const std::string& path, const std::string& prefix) {
  return !prefix.empty() && path.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

TVrFileManager::TVrFileManager(TOptions options)
    : FMountTable(std::move(options.MountTable)),
      FWork(std::move(options.TempParent)),
      FDiscPrompt(Utf8ToCp932("ディスク%dを入れてから[OK]をクリックしてください")),
      FQuitText(Utf8ToCp932("終了します")) {
  RefreshDiscRoots();
}

void TVrFileManager::SetDiscTexts(std::string prompt, std::string quit) {
  if (!prompt.empty()) FDiscPrompt = std::move(prompt);
  if (!quit.empty()) FQuitText = std::move(quit);
}

TVrFileManager::~TVrFileManager() {
  if (FWork.Exists()) {
    const std::string folder = FWork.Path();
    for (const std::string& file : FLocks.TakeAll()) FPendingDeletes.push_back(folder + file);
  }
  DeletePendingFiles();
}

void TVrFileManager::FailNotFound(std::string_view name) {
  throw EKestError(std::string(name) + Utf8ToCp932(":ファイルがありません"));
}

void TVrFileManager::SetBaseFolder(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  FBaseFolder = std::move(folder);
}

void TVrFileManager::RefreshDiscRoots() { FDiscRoots = ReadDiscRoots(FMountTable); }

std::optional<std::string> TVrFileManager::FindOnDisk(const std::string& folder, std::string_view name) {
  if (folder.empty() || name.empty() || IsForeignPath(name)) return std::nullopt;
  return FResolver.FindFile(folder, name);
}

std::optional<std::string> TVrFileManager::FindHostFile(std::string folder, std::string_view name) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return FindOnDisk(folder, name);
}

std::optional<std::string> TVrFileManager::FindOnDiscs(std::string_view name) {
  for (const std::string& root : FDiscRoots)
    if (auto path = FindOnDisk(root, name)) return path;
  return std::nullopt;
}

TVrFile* TVrFileManager::FindEntry(std::string_view name) const {
  for (const auto& collection : FCollections)
    if (TVrFile* entry = collection->FindEntry(name)) return entry;
  return nullptr;
}

bool TVrFileManager::Exists(std::string_view name) {
  if (name.empty()) return false;
  return FindEntry(name) || FindOnDisk(FBaseFolder, name) || FindOnDiscs(name);
}

bool TVrFileManager::LoadFromCollections(TTpBigMemoryStream& out, std::string_view name) {
  for (const auto& collection : FCollections) {
    const TVrFile* entry = collection->FindEntry(name);
    if (!entry) continue;
    if (!entry->Content && !collection->ArchiveStream()) continue;
    // An entry added to an archive without content has no bytes yet.
    if (entry->Content || entry->InArchive) collection->ExtractEntry(*entry, out);
    return true;
  }
  return false;
}

void TVrFileManager::LoadInto(TTpBigMemoryStream& out, std::string_view name) {
  if (auto path = FindOnDisk(FBaseFolder, name)) {
    out.LoadFromFile(*path);
  } else if (LoadFromCollections(out, name)) {
  } else if (auto disc_path = FindOnDiscs(name)) {
    out.LoadFromFile(*disc_path);
  } else {
    FailNotFound(name);
  }
}

void TVrFileManager::Load(TStream& target, std::string_view name) {
  if (auto* memory = dynamic_cast<TTpBigMemoryStream*>(&target)) {
    memory->Clear();
    LoadInto(*memory, name);
    memory->Seek(0);
    return;
  }
  TTpBigMemoryStream plain;
  LoadInto(plain, name);
  if (auto* bytes = dynamic_cast<TByteStream*>(&target)) *bytes = TByteStream();
  WriteExact(target, plain.Data().data(), plain.Size());
  target.Seek(0);
}

std::string TVrFileManager::MakeWorkFile(std::string_view name) {
  TTpBigMemoryStream bytes;
  LoadInto(bytes, name);
  const TVrLockData& lock = FLocks.Add(name);
  try {
    return FWork.CreateFile(lock.FileName(), bytes.Data());
  } catch (...) {
    FLocks.DiscardLast();
    throw;
  }
}

std::string TVrFileManager::GetFileName(std::string_view name) {
  if (auto path = FindOnDisk(FBaseFolder, name)) return *path;
  if (FindEntry(name)) {
    if (const TVrLockData* lock = FLocks.Find(name)) return FWork.Path() + lock->FileName();
    return MakeWorkFile(name);
  }
  if (auto path = FindOnDiscs(name)) return *path;
  return std::string(name);
}

namespace {

std::unique_ptr<TRangeStream> WholeFile(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) throw EReadError(Utf8ToCp932(path) + ": cannot open");
  return std::make_unique<TFileRangeStream>(path, static_cast<int64_t>(st.st_size), 0, TTpBigFileStream::kSingleFile);
}

}  // namespace

std::unique_ptr<TRangeStream> TVrFileManager::OpenRange(std::string_view name) {
  if (auto path = FindOnDisk(FBaseFolder, name)) return WholeFile(*path);
  for (const auto& collection : FCollections) {
    const TVrFile* entry = collection->FindEntry(name);
    if (!entry || (!entry->Content && !collection->ArchiveStream())) continue;
    if (auto range = collection->OpenRange(name)) return range;
  }
  if (auto path = FindOnDiscs(name)) return WholeFile(*path);
  FailNotFound(name);
}

void TVrFileManager::ListFiles(std::string_view folder, std::vector<std::string>& list) {
  const std::string game_folder = WithTrailingBackslash(folder);
  for (const auto& collection : FCollections) collection->ListFolder(game_folder, list);
  if (IsForeignPath(game_folder)) return;
  std::unordered_set<std::string> held;
  for (const std::string& name : list) held.insert(FoldName(name));
  auto add_from = [&](const std::string& root) {
    if (root.empty()) return;
    const auto host_folder = FResolver.FindFolder(root, game_folder);
    if (!host_folder) return;
    for (const std::string& file : THostNameResolver::ListFiles(*host_folder)) {
      std::string name = game_folder + file;
      if (held.insert(FoldName(name)).second) list.push_back(std::move(name));
    }
  };
  add_from(FBaseFolder);
  for (const std::string& root : FDiscRoots) add_from(root);
}

std::string TVrFileManager::FolderOf(std::string_view name) {
  if (!IsForeignPath(name)) return std::string(FolderPart(name));
  const size_t slash = LastCharPos(name, '\\');
  const size_t colon = LastCharPos(name, ':');
  size_t end = 0;
  if (slash != std::string_view::npos) end = slash + 1;
  if (colon != std::string_view::npos && colon + 1 > end) end = colon + 1;
  return std::string(name.substr(0, end));
}

int32_t TVrFileManager::Mount(const std::string& fileName) {
  for (const auto& collection : FCollections)
    if (collection->BaseFolder() == fileName) return -1;
  auto collection = std::make_unique<TVrFileCollection>();
  collection->Open(fileName);
  FCollections.push_back(std::move(collection));
  return Count() - 1;
}

int32_t TVrFileManager::MountResource(const std::string& moduleFileName, std::string_view resourceName,
                                      std::string_view resourceType) {
  auto collection = std::make_unique<TVrFileCollection>();
  collection->OpenResource(moduleFileName, resourceName, resourceType);
  FCollections.push_back(std::move(collection));
  return Count() - 1;
}

void TVrFileManager::Unmount(int32_t index) {
  if (index < 0 || index >= Count()) return;
  FCollections.erase(FCollections.begin() + index);
}

bool TVrFileManager::DiscMatches(const std::string& root, const std::string& gameId, int32_t disc) {
  const auto install = FResolver.FindFile(root, "install.dat");
  if (!install || !FResolver.FindFile(root, "game.dat")) return false;
  TKestInstallSet record;
  try {
    record.LoadFromFile(*install);
  } catch (const EKestError&) {
    return false;
  }
  return record.GameId == gameId && (disc < 0 || record.DiscNumber == disc);
}

int32_t TVrFileManager::MountMatchingDiscs(const std::string& gameId, int32_t disc) {
  int32_t mounted = 0;
  for (const std::string& root : FDiscRoots) {
    if (!DiscMatches(root, gameId, disc)) continue;
    try {
      if (Mount(*FResolver.FindFile(root, "game.dat")) >= 0) ++mounted;
    } catch (const EKestError&) {
    }
  }
  return mounted;
}

void TVrFileManager::UnmountDiscs(const std::vector<std::string>& roots) {
  for (int32_t i = Count() - 1; i >= 0; --i) {
    const std::string& folder = Collections(i)->BaseFolder();
    for (const std::string& root : roots) {
      if (StartsWith(folder, root)) {
        Unmount(i);
        break;
      }
    }
  }
}

bool TVrFileManager::ChangeDisc(int32_t n) {
  if (!FPrompt) return false;
  // A disc taken out is no longer in the mount table, yet its archive is
  // still mounted: both the old and the new roots count.
  std::vector<std::string> roots = FDiscRoots;
  RefreshDiscRoots();
  roots.insert(roots.end(), FDiscRoots.begin(), FDiscRoots.end());
  UnmountDiscs(roots);
  std::string ask = FDiscPrompt;
  if (const size_t at = ask.find("%d"); at != std::string::npos) ask.replace(at, 2, std::to_string(n));
  for (;;) {
    if (FPrompt->AskForDisc(FProjectTitle, ask) == TPromptAnswer::Ok) {
      RefreshDiscRoots();
      if (MountMatchingDiscs(FProjectTitle, n - 1) > 0) return true;
    } else if (FPrompt->ConfirmQuit(FProjectTitle, FQuitText) == TPromptAnswer::Ok) {
      AppTerminating = true;
      FPrompt->CloseMainWindow();
      return false;
    }
  }
}

void TVrFileManager::FileChanged(std::string_view name) {
  const std::vector<std::string> files = FLocks.Remove(name);
  if (!files.empty()) {
    const std::string folder = FWork.Path();
    for (const std::string& file : files) FPendingDeletes.push_back(folder + file);
  }
  FResolver.Invalidate();
}

void TVrFileManager::DeletePendingFiles() {
  for (const std::string& path : FPendingDeletes) TWorkFolder::DeleteFile(path);
  FPendingDeletes.clear();
}

}  // namespace kest
