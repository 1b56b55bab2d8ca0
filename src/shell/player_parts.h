// The subsystems a tick and the start-up sequence reach, seen from the main
// window. Each is an interface so the window runs headless and under test
// with fakes; the factory makes the real ones in the start-up order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/game_clock.h"

namespace kest {

struct TKestLib;

class TSceneInput;

class IPlayerProject {
 public:
  virtual ~IPlayerProject() = default;
  virtual std::string Title() const = 0;  // CP932
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
  // The size of the display mode preferred for full screen.
  virtual int FullScreenWidth() const { return ScreenWidth(); }
  virtual int FullScreenHeight() const { return ScreenHeight(); }
  virtual bool ShowToolbar() const = 0;
  virtual bool StopWhenInactive() const = 0;
  // The interpreter's work for one tick (the project, then the call manager).
  virtual void RunTick() = 0;
  // Carries out a pending save or load; true when a game was loaded.
  virtual bool DoRequests() = 0;
  // Asks for a save or load as a script does (the headless input script).
  virtual void RequestSave(int32_t slot, const std::string& title) = 0;
  virtual void RequestLoad(int32_t slot) = 0;
};

class IPlayerScene {
 public:
  virtual ~IPlayerScene() = default;
  virtual TSceneInput& Input() = 0;
  virtual void SetSize(int width, int height) = 0;
  virtual void ProcessInput() = 0;
  virtual void UpdateScene() = 0;
  virtual void DrawScene() = 0;
  virtual void ClearDirtyLists() = 0;
  // Around a display-mode switch.
  virtual void FreeSurfaces() = 0;
  virtual void ReloadSurfaces() = 0;
};

class IPlayerScreen {
 public:
  virtual ~IPlayerScreen() = default;
  virtual void Present() = 0;
  // -2 released, -1 windowed, >= 0 the full-screen display mode in use.
  virtual int CurrentMode() const = 0;
  virtual int ChosenMode() const = 0;
  virtual void SetChosenMode(int index) = 0;
  virtual int ModeCount() const = 0;
  virtual bool SetMode(int index) = 0;
  virtual void ReleaseDisplay() = 0;
  bool IsFullScreen() const { return CurrentMode() >= 0; }
};

class IPlayerMedia {
 public:
  virtual ~IPlayerMedia() = default;
  virtual void VideoStep() = 0;
  virtual void VideoPause() = 0;
  virtual void VideoSuspend() = 0;
  virtual void VideoResume() = 0;
  // The wave, Windows Media, Ogg, CD audio and MIDI managers, in that order.
  virtual void SuspendManagers() = 0;
  virtual void ResumeManagers() = 0;
  // Closes the MIDI output around a display switch, remembering play state.
  virtual void MidiCloseForSwitch() = 0;
  virtual void MidiReopenAfterSwitch() = 0;
};

// Work files and mounting: the virtual file manager's part of the window.
class IPlayerFiles {
 public:
  virtual ~IPlayerFiles() = default;
  virtual void DeletePendingFiles() = 0;
  virtual void MountMemory() = 0;
  virtual void SetBaseFolder(const std::string& folder) = 0;
  virtual void MountFile(const std::string& path) = 0;
  virtual void MountProgramResource() = 0;
};

struct TMediaInitArgs {
  int ScreenWidth = 0;
  int ScreenHeight = 0;
  // The project's full-screen size: the display mode preferred for full screen.
  int FullScreenWidth = 0;
  int FullScreenHeight = 0;
  // The extension library (none: no media) and the [Sound] settings.
  const TKestLib* KestLib = nullptr;
  bool DirectSound = true;
  int DelayTime = 500;
};

// Makes and frees the subsystems, step by step, for the main window.
class IPlayerFactory {
 public:
  virtual ~IPlayerFactory() = default;
  // The game clock every part is handed; the form moves it on.
  virtual TGameClock& Clock() = 0;
  virtual std::unique_ptr<IPlayerFiles> CreateFiles() = 0;
  virtual void InitSound() = 0;
  // The sound output the extension library renders into (its shared sound
  // address); null without one.
  virtual void* SoundOutput() = 0;
  virtual void CreateVariables() = 0;
  virtual void CreateSystemFunctions() = 0;
  virtual std::unique_ptr<IPlayerScene> CreateScene() = 0;
  virtual std::unique_ptr<IPlayerProject> CreateProject() = 0;
  virtual std::unique_ptr<IPlayerMedia> CreateMedia(const TMediaInitArgs& args) = 0;
  virtual std::unique_ptr<IPlayerScreen> CreateScreen(const TMediaInitArgs& args) = 0;
  virtual void InitColourTables() = 0;
  virtual void FreeSystemFunctions() = 0;
  virtual void FreeVariables() = 0;
};

}  // namespace kest
