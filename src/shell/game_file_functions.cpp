#include "shell/game_file_functions.h"

#include <exception>
#include <memory>

#include "common/sjis.h"
#include "imaging/pexa_collection.h"
#include "scene/kest_base_list.h"
#include "script/atomic_file.h"
#include "script/save_archive.h"
#include "shell/screen_capture.h"
#include "storage/archive_paths.h"
#include "storage/big_memory_stream.h"
#include "storage/install_record.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_file_manager.h"

namespace kest {

namespace {

bool HasPrefix(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() && SameName(name.substr(0, prefix.size()), prefix);
}

// The in-memory files are the first collection, made on first use.
TVrFileCollection& MemoryFiles(TVrFileManager& files) {
  if (files.Count() == 0) files.Mount("");
  return *files.Collections(0);
}

// Written like the save file, so a crash never leaves half a picture.
bool WriteHostFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  try {
    ReplaceFileAtomically(path.string(), bytes);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

TGameFileFunctions::~TGameFileFunctions() {
  std::error_code error;
  for (const std::filesystem::path& path : FDeleteAtEnd) std::filesystem::remove(path, error);
}

bool TGameFileFunctions::IsMemoryName(std::string_view name) { return HasPrefix(name, "mem:") || IsSavedName(name); }

bool TGameFileFunctions::IsSavedName(std::string_view name) { return HasPrefix(name, "save:"); }

bool TGameFileFunctions::FileExists(const std::string& name) {
  try {
    return FParts.Files && FParts.Files->Exists(name);
  } catch (const std::exception&) {
    return false;
  }
}

std::optional<std::string> TGameFileFunctions::LoadTextFile(const std::string& name) {
  if (!FParts.Files || name.empty()) return std::nullopt;
  try {
    const bool available = FParts.EnsureFile ? FParts.EnsureFile(name) : FParts.Files->Exists(name);
    if (!available) return std::nullopt;
    TTpBigMemoryStream data;
    FParts.Files->Load(data, name);
    const std::span<const uint8_t> bytes = data.Data();
    return std::string(bytes.begin(), bytes.end());
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool TGameFileFunctions::CopyFile(const std::string& src, const std::string& dst) {
  if (!FParts.Files || !IsMemoryName(src) || dst.empty()) return false;
  const TVrFile* entry = MemoryFiles(*FParts.Files).FindEntry(src);
  if (!entry || !entry->Content) return false;
  // A copy first: the source and the target may be the same file.
  const std::span<const uint8_t> data = entry->Content->Data();
  const std::vector<uint8_t> bytes(data.begin(), data.end());
  StoreMemoryFile(dst, bytes);
  return true;
}

void TGameFileFunctions::StoreMemoryFile(const std::string& name, std::span<const uint8_t> bytes) {
  TVrFileCollection& memory = MemoryFiles(*FParts.Files);
  TVrFile* entry = memory.FindEntry(name);
  if (!entry) entry = memory.AddMemoryFile(name);
  entry->Content = std::make_unique<TTpMemoryStream>(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  entry->Size = static_cast<int64_t>(bytes.size());
  if (IsSavedName(name)) StoreInSaveFile(name, bytes);
  FParts.Files->FileChanged(name);
}

// A failure leaves the in-memory file, which the game goes on with.
void TGameFileFunctions::StoreInSaveFile(const std::string& name, std::span<const uint8_t> bytes) {
  if (!FParts.SaveDataPath) return;
  try {
    const std::string path = FParts.SaveDataPath();
    if (path.empty()) return;
    const auto save = OpenSaveArchive(path);
    ReplaceSaveEntry(*save, name, bytes);
    StoreSaveArchive(*save, path);
  } catch (const std::exception&) {
  }
}

std::filesystem::path TGameFileFunctions::SaveFolder() const {
  if (!FParts.SaveDataPath) return {};
  try {
    const std::string path = FParts.SaveDataPath();
    return path.empty() ? std::filesystem::path() : std::filesystem::path(path).parent_path();
  } catch (const std::exception&) {
    return {};
  }
}

bool TGameFileFunctions::SaveScreen(const TSaveScreenRequest& request) {
  const std::string& name = request.Name;
  if (!FParts.Files || !FParts.Scene || !SameName(ExtensionPart(name), ".pxa")) return false;
  const std::filesystem::path folder = SaveFolder();
  std::error_code error;
  if (folder.empty() || !std::filesystem::is_directory(folder, error)) return false;
  const bool memory = IsMemoryName(name);
  // A file on disk stays inside the save folder, whatever the name says.
  std::optional<std::string> hostPath;
  if (!memory) {
    if (!IsSafeEntryName(name)) return false;
    hostPath = HostPathOf(folder.string() + "/", name);
    if (!hostPath) return false;
  }
  TCaptureRequest capture;
  capture.Back = request.Back;
  capture.Width = request.Width == 0 ? FParts.Scene->Width() : request.Width;
  capture.Height = request.Height == 0 ? FParts.Scene->Height() : request.Height;
  capture.Raw = memory;
  const std::vector<uint8_t> bytes = CaptureBaseScreen(*FParts.Scene, capture);
  if (bytes.empty()) return false;
  if (memory) {
    StoreMemoryFile(name, bytes);
  } else {
    if (!WriteHostFile(*hostPath, bytes)) return false;
    FParts.Files->FileChanged(name);
  }
  if (TPexaCollection* pictures = FParts.Scene->Pictures()) pictures->Forget(name);
  if (!memory) RegisterCapture(name, *hostPath, request.Register);
  return true;
}

void TGameFileFunctions::RegisterCapture(const std::string& name, const std::filesystem::path& path, int32_t kind) {
  if (kind == 1) {
    for (const std::filesystem::path& known : FDeleteAtEnd)
      if (known == path) return;
    FDeleteAtEnd.push_back(path);
  } else if (kind == 2) {
    const std::filesystem::path record = SaveFolder() / "install.dat";
    std::error_code error;
    if (!std::filesystem::is_regular_file(record, error)) return;
    try {
      TKestInstallSet install;
      install.LoadFromFile(record.string());
      install.AddWrittenFile(name);
      install.SaveToFile(record.string());
    } catch (const std::exception&) {
    }
  }
}

}  // namespace kest
