#include "shell/player_factory.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/sjis.h"
#include "script/call_man.h"
#include "shell/media_part.h"
#include "shell/player_files.h"
#include "shell/project_part.h"
#include "shell/scene_part.h"

#include <filesystem>

namespace kest {

void* TPlayerFactory::SoundOutput() { return FBus ? FBus->CBus() : nullptr; }

bool TPlayerFactory::SetWavOutput(const std::string& path, std::string* error) {
  // Opened now, so that a file that cannot be written stops the player
  // before the game starts.
  auto file = std::make_unique<TWavFileAudioDevice>(path, TSilentAudioDevice::TClock::GameTime);
  if (!file->IsOpen()) {
    if (error) *error = "cannot write the sound file " + path + ": " + std::strerror(errno);
    return false;
  }
  FAdvanceSound = [device = file.get()](int32_t ms) { device->Advance(ms); };
  FAudio = std::move(file);
  return true;
}

void TPlayerFactory::InitSound() {
  if (FBus) return;
  if (!FAudio) OpenSound();
  FBus = std::make_unique<TSoundBus>(*FAudio);
  FBus->SetGameTime(FAdvanceSound != nullptr);
}

void TPlayerFactory::OpenSound() {
  if (FHeadless) {
    auto silent = std::make_unique<TSilentAudioDevice>(TSilentAudioDevice::TClock::GameTime);
    FAdvanceSound = [device = silent.get()](int32_t ms) { device->Advance(ms); };
    FAudio = std::move(silent);
    return;
  }
  std::string error = "none opened";
  if (FOpenSoundCard) FAudio = FOpenSoundCard(&error);
  if (!FAudio) {
    std::fprintf(stderr, "kestplayer: no sound device (%s); playing silently\n", error.c_str());
    FAudio = std::make_unique<TSilentAudioDevice>(TSilentAudioDevice::TClock::RealTime);
  }
}

std::unique_ptr<IPlayerScreen> TPlayerFactory::CreateScreen(const TMediaInitArgs& args) {
  if (!FScreenOutput) return nullptr;
  auto manager = std::make_unique<TScreenManager>(FDisplay, FScreenOutput, args.ScreenWidth, args.ScreenHeight,
                                                  args.FullScreenWidth, args.FullScreenHeight, FForcedBits);
  auto part = std::make_unique<TScreenPart>(std::move(manager), FFrameObserver);
  FGameState.SetScreen(&part->Manager());
  part->SetTestPattern(FTestPattern);
  if (FScene) {
    FScene->SetScreen(&part->Manager());
    FScene->SetDrawing(!FTestPattern);
    part->SetDirtySource([scene = FScene] { return scene->DirtyRects(); });
  }
  return part;
}

std::unique_ptr<IPlayerMedia> TPlayerFactory::CreateMedia(const TMediaInitArgs& args) {
  if (!args.KestLib) return nullptr;
  TMediaPart::TOptions options;
  options.DirectSound = args.DirectSound;
  options.DelayTime = args.DelayTime;
  options.Bus = FBus.get();
  options.Clock = FMediaClock;
  options.MixOnTick = FHeadless;
  auto media = std::make_unique<TMediaPart>(*args.KestLib, FFiles, options);
  FMedia = media.get();
  FSceneMedia = std::make_unique<TSceneMediaPart>(*media, FFiles);
  if (FScene) FScene->Bases().SetMedia(FSceneMedia.get());
  return media;
}

std::unique_ptr<IPlayerFiles> TPlayerFactory::CreateFiles() {
  auto files = std::make_unique<TPlayerFiles>(FProgramPath, FDialogs, FClose);
  FFiles = &files->Manager();
  TGameFileParts& fileParts = FFileHost.Parts();
  fileParts.Files = FFiles;
  fileParts.Dialogs = FDialogs;
  fileParts.Desktop = &FDesktopHost;
  FDesktopHost.SetGameFolder([this] { return FFiles ? FFiles->BaseFolder() : std::string(); });
  return files;
}

std::unique_ptr<IPlayerProject> TPlayerFactory::CreateProject() {
  if (!FFiles || !FVariables) return nullptr;
  FProjectUi = std::make_unique<TProjectUi>(FDialogs);
  TProjectParts parts;
  parts.Files = FFiles;
  parts.Vars = FVariables.get();
  parts.Ui = FProjectUi.get();
  if (FScene) {
    FReadListPart = std::make_unique<TReadListStatusPart>(FScene->Bases().Story().ReadList);
    parts.ReadList = FReadListPart.get();
    parts.Scene = &FScene->Bases();
  }
  parts.MakeInterpreter = [this](TProject& project) -> std::unique_ptr<IProjectInterpreter> {
    TCallManParts man;
    man.Files = FFiles;
    man.Vars = FVariables.get();
    man.Funcs = &FFuncs;
    man.Ui = FProjectUi.get();
    man.Events = Events();
    man.FindSender = [this](const std::string& name) -> TObjectHandle {
      TKestObject* object = FScene ? FScene->Bases().FindObject(name) : nullptr;
      return object ? object->Life() : nullptr;
    };
    man.EnsureFile = [&project](std::string_view page) { return project.EnsureFile(page); };
    man.Clock = &Clock();
    man.Hosts.Game = &FGameHost;
    man.Hosts.Scene = FScene ? &FScene->Bases() : nullptr;
    man.Hosts.Saves = &project;
    ConnectFileHosts(project);
    FGameState.SetProject(&project);
    auto interpreter = std::make_unique<TCallMan>(std::move(man));
    FStoryPages = std::make_unique<TScriptStoryPages>(*interpreter, *FFiles);
    if (FScene) FScene->Bases().Story().SetPages(FStoryPages.get());
    if (FScene)
      FScene->Bases().SetEvaluator([call = interpreter.get()](TKestParser& expression) {
        const TCustomParam* value = call->Evaluate(expression);
        return value ? value->GetAsInt() : 0;
      });
    return interpreter;
  };
  TProjectOptions options;
  options.GameFolder = FGameFolder;
  options.ProgramFolder = std::filesystem::path(FProgramPath).parent_path().string();
  options.SavePlaces = TSaveDataPlaces::FromEnvironment("");
  auto project = std::make_unique<TProject>(std::move(parts), std::move(options));
  if (FScene) FScene->SetPictureSource(FFiles, static_cast<uint32_t>(project->IdentificationCode()));
  return std::make_unique<TProjectPart>(std::move(project));
}

void TPlayerFactory::PostScriptEvent(std::string reference, const std::vector<std::string>& args) {
  TTimerData record;
  record.Reference = std::move(reference);
  record.Sender = TObjectRef(FScriptSender);
  for (const std::string& arg : args) record.Args.Add(arg);
  Events()->PostEvent(std::move(record));
}

std::unique_ptr<IPlayerScene> TPlayerFactory::CreateScene() {
  auto scene = std::make_unique<TScenePart>();
  FScene = scene.get();
  FSceneFunctions = std::make_unique<TSceneFunctionHost>(scene->Bases());
  FFuncs.Hosts.Scene = FSceneFunctions.get();
  FFuncs.PropertyTypes = &FPropertyTypes;
  FGameState.SetScene(&scene->Bases());
  FFuncs.Hosts.GameState = &FGameState;
  FFileHost.Parts().Scene = &scene->Bases();
  scene->Bases().SetClock(&Clock());
  scene->Bases().SetFonts(FFonts);
  scene->Bases().SetCursorSink(FCursorSink);
  scene->Bases().SetMedia(FSceneMedia.get());
  if (FVariables) {
    FTextVariables = std::make_unique<TStoreVarEvaluator>(*FVariables, FFuncs);
    scene->Bases().SetTextVariables(FTextVariables.get(), [vars = FVariables.get()] { return vars->TextDelay; });
    FVariables->Hosts.Scene = &scene->VariableHost();
    FVariables->Hosts.History = &scene->HistoryHost();
    scene->Bases().SetDefaultCursor([vars = FVariables.get()] { return vars->CursorName; });
    scene->Bases().SetSelection([vars = FVariables.get()](const std::string& name, int32_t index) {
      vars->SelStr = name;
      vars->SelIndex = index;
    });
  }
  return scene;
}

void TPlayerFactory::FreeVariables() {
  // The interpreter the scene evaluated with went with the project.
  if (FScene) {
    FScene->Bases().SetEvaluator(nullptr);
    FScene->Bases().SetSelection(nullptr);
    FScene->Bases().SetDefaultCursor(nullptr);
    FScene->Bases().SetTextVariables(nullptr, nullptr);
    FScene->Bases().Story().SetPages(nullptr);
    // The managers go after the scene: its sounds leave their items to them.
    FScene->Bases().SetMedia(nullptr);
  }
  FFileHost.Parts().Scene = nullptr;
  FFuncs.Hosts.Scene = nullptr;
  FFuncs.Hosts.GameState = nullptr;
  FSceneFunctions.reset();
  FGameState.SetScene(nullptr);
  FGameState.SetProject(nullptr);
  FGameState.SetScreen(nullptr);
  FSceneMedia.reset();
  FStoryPages.reset();
  FTextVariables.reset();
  FVariables.reset();
  FScene = nullptr;
  // The media managers go after this, with nothing left to reach them.
  FMedia = nullptr;
}

void TPlayerFactory::ConnectFileHosts(TProject& project) {
  TGameFileParts& parts = FFileHost.Parts();
  parts.SaveDataPath = [&project] { return project.SaveDataPath(); };
  parts.EnsureFile = [&project](std::string_view name) { return project.EnsureFile(name); };
  parts.Caption = [&project] { return Cp932ToUtf8(project.Title()); };
  FFuncs.Hosts.Files = &FFileHost;
  FFuncs.Hosts.Desktop = &FDesktopHost;
}

TKestReadList* TPlayerFactory::ReadMarks() const { return FScene ? &FScene->Bases().Story().ReadList : nullptr; }

TTimerList* TPlayerFactory::Events() { return FScene ? &FScene->Bases().Events() : &FEvents; }

void TPlayerFactory::CreateVariables() {
  if (!FDateClock) FDateClock = std::make_unique<TSystemDateClock>();
  FVariables = std::make_unique<TParamCollection>();
  FVariables->SetDateClock(FDateClock.get());
  FVariables->Hosts.Clock = &Clock();
}

}  // namespace kest
