// Recording stand-ins for the subsystems the main window drives.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "scene/scene_input.h"
#include "shell/player_parts.h"

namespace kest::test {

using TLog = std::vector<std::string>;

class TFakeProject final : public IPlayerProject {
 public:
  explicit TFakeProject(TLog& log) : log_(log) {}
  ~TFakeProject() override {
    if (on_free) on_free();
  }
  std::string Title() const override { return title; }
  int ScreenWidth() const override { return width; }
  int ScreenHeight() const override { return height; }
  bool ShowToolbar() const override { return toolbar; }
  bool StopWhenInactive() const override { return stop_when_inactive; }
  void RunTick() override {
    log_.push_back("RunTick");
    if (on_tick) on_tick();
  }
  bool DoRequests() override {
    log_.push_back("DoRequests");
    bool loaded = load_next;
    load_next = false;
    return loaded;
  }
  void RequestSave(int32_t slot, const std::string&) override { log_.push_back("save " + std::to_string(slot)); }
  void RequestLoad(int32_t slot) override { log_.push_back("load " + std::to_string(slot)); }

  std::string title = "Demo";
  int width = 800, height = 600;
  bool toolbar = true, stop_when_inactive = true, load_next = false;
  std::function<void()> on_tick;
  std::function<void()> on_free;  // the status data are stored here

 private:
  TLog& log_;
};

class TFakeScene final : public IPlayerScene {
 public:
  explicit TFakeScene(TLog& log) : log_(log) {}
  TSceneInput& Input() override { return input; }
  void SetSize(int w, int h) override { log_.push_back("SetSize " + std::to_string(w) + "x" + std::to_string(h)); }
  void ProcessInput() override { log_.push_back("ProcessInput"); }
  void UpdateScene() override { log_.push_back("UpdateScene"); }
  void DrawScene() override { log_.push_back("DrawScene"); }
  void ClearDirtyLists() override { log_.push_back("ClearDirtyLists"); }
  void FreeSurfaces() override { log_.push_back("FreeSurfaces"); }
  void ReloadSurfaces() override { log_.push_back("ReloadSurfaces"); }
  TSceneInput input;

 private:
  TLog& log_;
};

class TFakeScreen final : public IPlayerScreen {
 public:
  explicit TFakeScreen(TLog& log) : log_(log) {}
  void Present() override { log_.push_back("Present"); }
  int CurrentMode() const override { return mode; }
  int ChosenMode() const override { return chosen; }
  void SetChosenMode(int index) override { chosen = index; }
  int ModeCount() const override { return 3; }
  bool SetMode(int index) override {
    log_.push_back("SetMode " + std::to_string(index));
    if (index >= 0 && fail_switch) return false;
    mode = index;
    return true;
  }
  void ReleaseDisplay() override { log_.push_back("ReleaseDisplay"); }
  int mode = -1, chosen = -1;
  bool fail_switch = false;

 private:
  TLog& log_;
};

class TFakeMedia final : public IPlayerMedia {
 public:
  explicit TFakeMedia(TLog& log) : log_(log) {}
  void VideoStep() override { log_.push_back("VideoStep"); }
  void VideoPause() override { log_.push_back("VideoPause"); }
  void VideoSuspend() override { log_.push_back("VideoSuspend"); }
  void VideoResume() override { log_.push_back("VideoResume"); }
  void SuspendManagers() override { log_.push_back("SuspendManagers"); }
  void ResumeManagers() override { log_.push_back("ResumeManagers"); }
  void MidiCloseForSwitch() override { log_.push_back("MidiClose"); }
  void MidiReopenAfterSwitch() override { log_.push_back("MidiReopen"); }

 private:
  TLog& log_;
};

class TFakeFiles final : public IPlayerFiles {
 public:
  TFakeFiles(TLog& log, std::string mount_error) : log_(log), mount_error_(std::move(mount_error)) {}
  void DeletePendingFiles() override { log_.push_back("DeletePendingFiles"); }
  void MountMemory() override { log_.push_back("MountMemory"); }
  void SetBaseFolder(const std::string& folder) override { log_.push_back("SetBaseFolder " + folder); }
  void MountFile(const std::string& path) override {
    log_.push_back("MountFile " + path);
    if (!mount_error_.empty()) throw std::runtime_error(mount_error_);
  }
  void MountProgramResource() override { log_.push_back("MountProgramResource"); }

 private:
  TLog& log_;
  std::string mount_error_;
};

class TFakeFactory final : public IPlayerFactory {
 public:
  TGameClock& Clock() override { return clock; }
  TGameClock clock;
  std::unique_ptr<IPlayerFiles> CreateFiles() override { return std::make_unique<TFakeFiles>(log, mount_error); }
  void InitSound() override {
    log.push_back("InitSound");
    if (sound_fails) throw std::runtime_error("no sound device");
  }
  void* SoundOutput() override { return nullptr; }
  void CreateVariables() override { log.push_back("CreateVariables"); }
  void CreateSystemFunctions() override { log.push_back("CreateSystemFunctions"); }
  std::unique_ptr<IPlayerScene> CreateScene() override {
    auto s = std::make_unique<TFakeScene>(log);
    scene = s.get();
    return s;
  }
  std::unique_ptr<IPlayerProject> CreateProject() override {
    if (project_fails) throw std::runtime_error(project_error);
    auto p = std::make_unique<TFakeProject>(log);
    p->toolbar = toolbar;
    p->stop_when_inactive = stop_when_inactive;
    project = p.get();
    return p;
  }
  std::unique_ptr<IPlayerMedia> CreateMedia(const TMediaInitArgs&) override {
    return std::make_unique<TFakeMedia>(log);
  }
  std::unique_ptr<IPlayerScreen> CreateScreen(const TMediaInitArgs&) override {
    auto s = std::make_unique<TFakeScreen>(log);
    s->chosen = chosen_mode;
    screen = s.get();
    return s;
  }
  void InitColourTables() override { log.push_back("InitColourTables"); }
  void FreeSystemFunctions() override { log.push_back("FreeSystemFunctions"); }
  void FreeVariables() override { log.push_back("FreeVariables"); }

  TLog log;
  TFakeScene* scene = nullptr;
  TFakeProject* project = nullptr;
  TFakeScreen* screen = nullptr;
  bool toolbar = true, stop_when_inactive = true, sound_fails = false, project_fails = false;
  std::string project_error;
  std::string mount_error;  // every archive mount fails with it
  int chosen_mode = -1;
};

}  // namespace kest::test
