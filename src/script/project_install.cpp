#include "common/sjis.h"
#include "script/project.h"
#include "storage/archive_paths.h"
#include "storage/big_memory_stream.h"
#include "storage/install_record.h"
#include "storage/vr_file_manager.h"

namespace kest {
namespace {

// Collections that hold game data: the in-memory one of the empty name holds
// none.
bool HasMountedArchive(const TVrFileManager& files) {
  for (int32_t i = 0; i < files.Count(); ++i)
    if (files.Collections(i)->ArchiveStream()) return true;
  return false;
}

}  // namespace

bool TProject::CheckInstall() {
  TVrFileManager& files = *FParts.Files;
  const std::string info = Utf8ToCp932("情報");
  if (files.FindHostFile(FOptions.ProgramFolder, "install.dat") && files.BaseFolder().empty())
    files.SetBaseFolder(FOptions.ProgramFolder);
  if (!files.Exists("install.dat")) {
    FParts.Ui->ShowMessage(info, Utf8ToCp932("インストールし直してください"), TMessageIcon::Information);
    return false;
  }
  TTpBigMemoryStream bytes;
  files.Load(bytes, "install.dat");
  TKestInstallSet install;
  install.LoadFromStream(bytes);
  if (const auto game_dat = files.FindHostFile(FOptions.ProgramFolder, "game.dat")) {
    files.Mount(*game_dat);
    if (install.FullInstall) return true;
  } else if (install.FullInstall && HasMountedArchive(files)) {
    return true;
  }
  return SearchDiscs(install.GameId);
}

bool TProject::SearchDiscs(const std::string& gameId) {
  TVrFileManager& files = *FParts.Files;
  for (;;) {
    files.RefreshDiscRoots();
    if (files.MountMatchingDiscs(gameId, -1) > 0) return true;
    if (FParts.Ui->AskOkCancel(Utf8ToCp932("情報"), Utf8ToCp932("ディスクを入れてください")) == TPromptAnswer::Ok)
      continue;
    if (FParts.Ui->AskOkCancel(FSetting.Title, FSetting.QuitText) == TPromptAnswer::Ok) return false;
  }
}

bool TProject::EnsureFile(std::string_view name) {
  if (FParts.Files->Exists(name)) return true;
  const int32_t disc = FFolderDisks.DiscOf(name);
  if (disc <= 0) return false;
  const std::string extension = FoldName(ExtensionPart(name)) + ".";
  const std::string streamed = FoldName(FSetting.StreamedExtensions) + ".";
  if (streamed.find(extension) != std::string::npos) return false;
  return FParts.Files->ChangeDisc(disc);
}

}  // namespace kest
