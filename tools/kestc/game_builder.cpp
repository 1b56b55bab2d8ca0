#include "kestc/game_builder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "kestc/game_ini.h"
#include "kestc/page_dumper.h"
#include "kestc/script_compiler.h"
#include "kestc/source_text.h"
#include "script/atomic_file.h"
#include "storage/archive_paths.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"

namespace kest::kestc {

namespace {

namespace fs = std::filesystem;

// Sources and pages are small; anything this large is not one.
constexpr std::uintmax_t kMaxFileBytes = 64u << 20;
constexpr const char* kArchiveName = "game.dat";
// How far above a page its game folder is looked for.
constexpr int kMaxGameDepth = 16;

bool ReadWhole(const fs::path& path, std::string& bytes, TDiagnostics& errors) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  if (error) {
    errors.Add(path.string(), 0, 0, "cannot be read (" + error.message() + ")");
    return false;
  }
  if (size > kMaxFileBytes) {
    errors.Add(path.string(), 0, 0, "is too large (" + std::to_string(size) + " bytes)");
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  bytes.assign(static_cast<size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) {
    errors.Add(path.string(), 0, 0, "cannot be read");
    return false;
  }
  return true;
}

struct TSourceFile {
  std::string Relative;  // UTF-8, with "/"
  TScriptSource Script;
};

std::vector<TSourceFile> CollectSources(const fs::path& folder, TDiagnostics& errors) {
  std::vector<TSourceFile> files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; it != end; it.increment(error)) {
    if (error) break;
    if (!it->is_regular_file()) continue;
    const std::string relative = it->path().lexically_relative(folder).generic_string();
    if (relative.size() <= 4 || LowerAscii(relative.substr(relative.size() - 4)) != ".kst") continue;
    const std::optional<std::string> name = PageNameOfPath(relative);
    if (!name) {
      errors.Add(it->path().string(), 0, 0, "the file name has no Shift-JIS form, so no page can carry it");
      continue;
    }
    TSourceFile file{relative, {it->path().string(), *name, {}}};
    if (ReadWhole(it->path(), file.Script.Text, errors)) files.push_back(std::move(file));
  }
  if (error) errors.Add(folder.string(), 0, 0, "cannot be read (" + error.message() + ")");
  std::sort(files.begin(), files.end(),
            [](const TSourceFile& a, const TSourceFile& b) { return a.Relative < b.Relative; });
  return files;
}

std::vector<uint8_t> ProjectBytes(const TProjectSetting& setting) {
  TByteStream stream;
  setting.SaveToStream(stream);
  return stream.TakeBytes();
}

void WriteFile(const fs::path& path, std::span<const uint8_t> bytes) {
  fs::create_directories(path.parent_path());
  ReplaceFileAtomically(path.string(), bytes);
}

bool IsWithin(const fs::path& path, const fs::path& folder) {
  const fs::path relative = path.lexically_relative(folder);
  return !relative.empty() && *relative.begin() != "..";
}

// Pictures, sounds and every other file of the source folder go to the same
// place below the game folder; the pages' sources and game.ini do not, nor
// anything inside the game folder itself when it lies below the sources.
void CopyAssets(const fs::path& source, const fs::path& output) {
  const fs::path out = fs::weakly_canonical(output);
  const fs::path from = fs::weakly_canonical(source);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(from)) {
    if (!entry.is_regular_file() || IsWithin(entry.path(), out)) continue;
    const fs::path relative = entry.path().lexically_relative(from);
    const std::string name = relative.generic_string();
    if (name == "game.ini" || (name.size() > 4 && LowerAscii(name.substr(name.size() - 4)) == ".kst")) continue;
    fs::create_directories((out / relative).parent_path());
    fs::copy_file(entry.path(), out / relative, fs::copy_options::update_existing);
  }
}

// Every file of the game folder, named as the archive names entries.
std::vector<std::string> GameEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const std::string relative = entry.path().lexically_relative(folder).generic_string();
    if (relative == kArchiveName || relative == "game.ext") continue;
    const std::optional<std::string> name = EntryNameOfHostPath(relative);
    if (!name) throw EKestError(Utf8ToCp932(relative + ": the file name has no Shift-JIS form"));
    names.push_back(*name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void Pack(const fs::path& folder) {
  TVrFileCollection archive;
  archive.SetBaseFolder(folder.string());
  for (const std::string& name : GameEntries(folder)) archive.AddFile(name);
  TTpBigMemoryStream bytes;
  archive.WriteArchive(bytes);
  WriteFile(folder / kArchiveName, bytes.Data());
}

// The page's name in its game: the path below the nearest folder above it
// that holds kest.kpb, else the file name alone.
std::string PageNameOfFile(const std::string& path) {
  const fs::path file = fs::absolute(path).lexically_normal();
  std::error_code error;
  fs::path folder = file.parent_path();
  for (int depth = 0; depth < kMaxGameDepth && !folder.empty(); ++depth) {
    if (fs::exists(folder / "kest.kpb", error)) break;
    if (folder == folder.parent_path()) {
      folder = file.parent_path();
      break;
    }
    folder = folder.parent_path();
  }
  if (!fs::exists(folder / "kest.kpb", error)) folder = file.parent_path();
  std::string relative = file.lexically_relative(folder).generic_string();
  std::string name = Utf8ToCp932Strict(relative).value_or(relative);
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

}  // namespace

bool BuildGame(const TBuildOptions& options, TDiagnostics& errors) {
  const fs::path source(options.Source);
  const fs::path output(options.Output);
  if (!fs::is_directory(source)) {
    errors.Add(options.Source, 0, 0, "no such folder");
    return false;
  }
  std::vector<TSourceFile> files = CollectSources(source, errors);
  std::vector<TScriptSource> scripts;
  for (const TSourceFile& file : files) scripts.push_back(file.Script);
  const std::vector<TCompiledPage> pages = CompileScripts(scripts, errors);
  std::set<std::string> names;
  for (const TCompiledPage& page : pages) names.insert(page.Name);
  TProjectSetting setting = DefaultProjectSetting();
  const fs::path ini = source / "game.ini";
  std::string iniText;
  if (fs::exists(ini)) ReadWhole(ini, iniText, errors);
  ReadGameIni(iniText, ini.string(), names, setting, errors);
  if (!errors.Empty()) return false;
  try {
    for (size_t i = 0; i < pages.size(); ++i) {
      const std::string& relative = files[i].Relative;
      WriteFile(output / (relative.substr(0, relative.size() - 4) + ".ksb"), PageBytes(*pages[i].Page));
    }
    WriteFile(output / "kest.kpb", ProjectBytes(setting));
    CopyAssets(source, output);
    if (options.Pack) Pack(output);
  } catch (const EKestError& error) {
    errors.Add(options.Output, 0, 0, Cp932ToUtf8(error.what()));
  } catch (const std::exception& error) {
    errors.Add(options.Output, 0, 0, error.what());
  }
  return errors.Empty();
}

bool DumpPageFile(const std::string& path, std::string& text, TDiagnostics& errors) {
  std::string bytes;
  if (!ReadWhole(path, bytes, errors)) return false;
  const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  TByteStream head(data);
  if (data.size() < 4) {
    errors.Add(path, 0, 0, "is no compiled page (too short)");
    return false;
  }
  const int32_t version = ReadInt(head);
  if (version < kOldestPageVersion || version > kNewestPageVersion) {
    errors.Add(path, 0, 0,
               "page version " + std::to_string(version) + " cannot be read (versions " +
                   std::to_string(kOldestPageVersion) + " to " + std::to_string(kNewestPageVersion) + ")");
    return false;
  }
  const std::string name = PageNameOfFile(path);
  try {
    TPage page;
    page.LoadFromBytes(name, data, nullptr);
    text = DumpPage(page, name);
  } catch (const EKestError& error) {
    errors.Add(path, 0, 0, Cp932ToUtf8(error.what()));
    return false;
  }
  return true;
}

}  // namespace kest::kestc
