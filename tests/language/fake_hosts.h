#pragma once
// Stand-ins for the subsystems behind the system variables: plain fields that
// the tests set and read back.

#include <array>
#include <string>
#include <vector>

#include "language/custom_param.h"
#include "language/system_variable_host.h"

namespace kest::test {

struct FakeCallStack : ICallStackHost {
  TCustomParam* Result = nullptr;
  uint8_t PageType = 0;
  std::vector<std::string> Params;
  std::string Sender;
  int32_t Stack = 0;

  TCustomParam* ResultValue() override { return Result; }
  uint8_t PageResultType() override { return PageType; }
  int32_t ParamCount() override { return static_cast<int32_t>(Params.size()); }
  std::string ParamStr(int32_t i) override { return Params.at(static_cast<size_t>(i)); }
  std::string SenderName() override { return Sender; }
  int32_t StackCount() override { return Stack; }
  bool DeleteFrame(int32_t index) override {
    Deleted.push_back(index);
    --Stack;
    return true;
  }
  std::vector<int32_t> Deleted;
};

struct FakeScene : ISceneHost {
  bool LClick = false, RClick = false, LPush = false, RPush = false;
  int32_t X = 0, Y = 0;
  std::array<bool, 256> Push{}, Click{}, Repeat{};
  bool Down = false, Up = false, Dither = false, Sound = false;
  std::string Active;
  std::vector<std::string> Controls;  // what SetActiveCompo may focus

  bool LeftClick() override { return LClick; }
  void SetLeftClick(bool v) override { LClick = v; }
  bool RightClick() override { return RClick; }
  void SetRightClick(bool v) override { RClick = v; }
  bool LeftPush() override { return LPush; }
  bool RightPush() override { return RPush; }
  int32_t MouseX() override { return X; }
  int32_t MouseY() override { return Y; }
  bool KeyPush(int32_t k) override { return Push.at(static_cast<size_t>(k)); }
  bool KeyClick(int32_t k) override { return Click.at(static_cast<size_t>(k)); }
  bool KeyRepeat(int32_t k) override { return Repeat.at(static_cast<size_t>(k)); }
  bool WheelDown() override { return Down; }
  bool WheelUp() override { return Up; }
  bool CGDither() override { return Dither; }
  void SetCGDither(bool v) override { Dither = v; }
  bool SoundOn() override { return Sound; }
  void SetSoundOn(bool v) override { Sound = v; }
  std::string ActiveCompo() override { return Active; }
  void SetActiveCompo(const std::string& name) override {
    for (const std::string& c : Controls) {
      if (c == name) Active = name;
    }
  }
};

struct FakeScreen : IScreenHost {
  std::vector<int32_t> CursorXs, CursorYs;
  bool Full = false;
  int32_t Modes = 0, Mode = -1;
  std::vector<std::string> Fonts, FixedFonts;

  void SetCursorX(int32_t x) override { CursorXs.push_back(x); }
  void SetCursorY(int32_t y) override { CursorYs.push_back(y); }
  bool FullScreen() override { return Full; }
  void SetFullScreen(bool on) override { Full = on; }
  int32_t DisplayModeCount() override { return Modes; }
  int32_t DisplayModeIndex() override { return Mode; }
  void SetDisplayModeIndex(int32_t i) override { Mode = i; }
  std::vector<std::string> FontNames(bool fixedPitch) override { return fixedPitch ? FixedFonts : Fonts; }
};

struct FakeProject : IProjectHost {
  int32_t Width = 0, Height = 0;
  std::string Name;

  int32_t ScreenWidth() override { return Width; }
  int32_t ScreenHeight() override { return Height; }
  std::string Title() override { return Name; }
};

struct FakeHistory : IHistoryHost {
  int32_t Count = 0, MaxCount = 0;
  std::vector<int32_t> Legacy;

  int32_t HistoryCount() override { return Count; }
  int32_t HistoryMaxCount() override { return MaxCount; }
  void SetHistoryMaxCount(int32_t v) override { MaxCount = v; }
  void SetLegacyFormat(const int32_t (&values)[6]) override { Legacy.assign(values, values + 6); }
};

struct FakeMidi : IMidiHost {
  std::vector<std::string> Ports;
  std::string Port;

  std::string MidiPort() override { return Port; }
  void SetMidiPort(const std::string& name) override { Port = name; }
  int32_t MidiPortCount() override { return static_cast<int32_t>(Ports.size()); }
  std::string MidiPortName(int32_t i) override { return Ports.at(static_cast<size_t>(i)); }
};

struct FakeHosts {
  FakeCallStack CallStack;
  FakeScene Scene;
  FakeScreen Screen;
  FakeProject Project;
  FakeHistory History;
  FakeMidi Midi;

  TSystemVariableHosts All() { return {&CallStack, &Scene, &Screen, &Project, &History, &Midi}; }
};

}  // namespace kest::test
