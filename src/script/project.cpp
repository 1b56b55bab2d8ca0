#include "script/project.h"

#include <exception>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "language/param_collection.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_manager.h"

namespace kest {
namespace {

constexpr const char* kSettingName = "kest.kpb";
constexpr const char* kOriginalSettingName = "/original_kest.kpb";

std::string InfoCaption() { return Utf8ToCp932("情報"); }

// The settings a project has before any file is read.
TProjectSetting DefaultSetting() {
  TProjectSetting setting;
  setting.Title = InfoCaption();
  setting.SaveToDisk = true;
  setting.StreamedExtensions = "wav.wma.ogg";
  setting.DiscPrompt = Utf8ToCp932("ディスク%dを入れてから[OK]をクリックしてください");
  setting.QuitText = Utf8ToCp932("終了します");
  return setting;
}

void AssignDeclared(TCustomParam& value, const TProjectVar& var) {
  switch (var.Kind) {
    case 1: value.SetAsInt(var.IntValue); break;
    case 2: value.SetAsFloat(ExtendedToLongDouble(var.FloatValue)); break;
    case 3: value.SetAsFlag(var.FlagValue); break;
    default: value.SetAsStr(var.StrValue); break;
  }
}

}  // namespace

TProject::TProject(TProjectParts parts, TProjectOptions options)
    : FParts(std::move(parts)), FOptions(std::move(options)), FSetting(DefaultSetting()) {
  AppTerminating = true;
  try {
    Load();
  } catch (const std::exception& error) {
    AppTerminating = true;
    FParts.Ui->ShowStartupError(error.what());
  }
}

TProject::~TProject() {
  RunExitPage();
  SaveStatus();
  FInterpreter.reset();
}

void TProject::Load() {
  if (FOptions.GameFolder.empty() && !CheckInstall()) return;
  if (!LoadSetting()) return;
  RestoreStatus();
  DeclareVars();
  AppTerminating = false;
  ReadSlotList();
  ReadOriginalSetting();
  StartInterpreter();
}

bool TProject::LoadSetting() {
  TTpBigMemoryStream file;
  try {
    FParts.Files->Load(file, kSettingName);
  } catch (const EKestError& error) {
    // A missing or empty folder, a file that is no game, or an archive cut
    // short before its project file: the player says which, and where.
    const std::string& folder = FOptions.GameFolder.empty() ? FOptions.ProgramFolder : FOptions.GameFolder;
    FParts.Ui->ShowStartupError(Utf8ToCp932(folder) + ": " + error.what() + "\r\n" +
                                Utf8ToCp932("プロジェクトがありません"));
    return false;
  }
  if (file.Size() == 0) {
    FParts.Ui->ShowMessage(InfoCaption(), Utf8ToCp932("プロジェクトがありません"), TMessageIcon::Warning);
    return false;
  }
  TProjectSetting setting;
  try {
    setting.LoadFromStream(file);
  } catch (const EReadError& error) {
    throw EReadError(std::string(kSettingName) + ": " + error.what());
  }
  TakeSetting(std::move(setting));
  return true;
}

void TProject::TakeSetting(TProjectSetting setting) {
  FSetting = std::move(setting);
  FFolderDisks.Clear();
  for (const TFolderDisk& item : FSetting.FolderDisks) FFolderDisks.Add(item.Folder, item.Disc);
  FParts.Files->SetProjectTitle(FSetting.Title);
  FParts.Files->SetDiscTexts(FSetting.DiscPrompt, FSetting.QuitText);
  FParts.Ui->SetTitle(FSetting.Title);
}

// Kinds outside 1..4 carry no value: such a record would make a reference
// with no target, or no variable at all, so it declares nothing.
void TProject::DeclareVars() {
  TParamCollection& vars = *FParts.Vars;
  for (const TProjectVar& var : FSetting.Vars) {
    if (!var.HasValue() || vars.FindVar(var.Name)) continue;
    TParamCollectionItem::ValidateName(var.Name);
    TParamCollectionItem* item = vars.AddVar(var.Kind);
    item->SetName(var.Name);
    AssignDeclared(*item->Value(), var);
    FProjectVarNames.push_back(var.Name);
  }
}

void TProject::ReadOriginalSetting() {
  if (!FParts.Files->Exists(kOriginalSettingName)) return;
  TTpBigMemoryStream file;
  FParts.Files->Load(file, kOriginalSettingName);
  TProjectSetting original;
  try {
    original.LoadFromStream(file);
  } catch (const EReadError& error) {
    throw EReadError(std::string(kOriginalSettingName) + ": " + error.what());
  }
  FFolderDisks.Clear();
  for (const TFolderDisk& item : original.FolderDisks) FFolderDisks.Add(item.Folder, item.Disc);
}

void TProject::StartInterpreter() {
  if (FParts.MakeInterpreter) FInterpreter = FParts.MakeInterpreter(*this);
  if (!FParts.Files->Exists(FSetting.StartPage)) {
    FParts.Ui->ShowMessage(InfoCaption(), Utf8ToCp932("スタートページがありません"), TMessageIcon::Warning);
    AppTerminating = true;
    return;
  }
  if (FInterpreter) FInterpreter->LoadStartPage(FSetting.StartPage);
  FLoaded = true;
}

void TProject::RunExitPage() {
  if (!FInterpreter || FSetting.ExitPage.empty()) return;
  AppTerminating = false;
  // Whatever ends the page (an error, a headless question left without an
  // answer) ends it here: the status data are stored all the same.
  try {
    FInterpreter->RunExitPage(FSetting.ExitPage);
  } catch (...) {
  }
  AppTerminating = true;
}

void TProject::RunTick() {
  if (FInterpreter) FInterpreter->RunTick();
}

}  // namespace kest
