#pragma once
// What the system variables read from and write to the running player. Each
// subsystem implements its own small interface; the store holds whichever are
// present, and a variable whose host is missing reads as 0, empty or false and
// ignores writes, so the store works before (and without) the rest of the
// player.

#include <cstdint>
#include <string>
#include <vector>

#include "common/game_clock.h"

namespace kest {

class TCustomParam;

// The call manager: the top call frame and the running page.
class ICallStackHost {
 public:
  virtual ~ICallStackHost() = default;
  // The top frame's result value, or nothing with no frame.
  virtual TCustomParam* ResultValue() = 0;
  // The running page's result type (0 with no page).
  virtual uint8_t PageResultType() = 0;
  virtual int32_t ParamCount() = 0;
  // Argument i of the current call; empty outside 0..ParamCount-1.
  virtual std::string ParamStr(int32_t index) = 0;
  // The component whose event started the call, when it still exists.
  virtual std::string SenderName() = 0;
  virtual int32_t StackCount() = 0;
  // Removes saved frame index (0 = the oldest); false outside the stack.
  virtual bool DeleteFrame(int32_t index) = 0;
};

// The scene: the current base screen's input state, focus and switches.
class ISceneHost {
 public:
  virtual ~ISceneHost() = default;
  virtual bool LeftClick() = 0;
  virtual void SetLeftClick(bool value) = 0;
  virtual bool RightClick() = 0;
  virtual void SetRightClick(bool value) = 0;
  virtual bool LeftPush() = 0;
  virtual bool RightPush() = 0;
  // The mouse position on the base screen, in scene coordinates.
  virtual int32_t MouseX() = 0;
  virtual int32_t MouseY() = 0;
  // Windows virtual-key numbers 0..255.
  virtual bool KeyPush(int32_t key) = 0;
  virtual bool KeyClick(int32_t key) = 0;
  virtual bool KeyRepeat(int32_t key) = 0;
  virtual bool WheelDown() = 0;
  virtual bool WheelUp() = 0;
  virtual bool CGDither() = 0;
  virtual void SetCGDither(bool value) = 0;
  virtual bool SoundOn() = 0;
  virtual void SetSoundOn(bool value) = 0;
  // The focused component's name, or empty.
  virtual std::string ActiveCompo() = 0;
  // Focuses the named control when it exists, may take the focus, is visible
  // and handles keys; otherwise nothing changes.
  virtual void SetActiveCompo(const std::string& name) = 0;
};

// The main window and the screen manager.
class IScreenHost {
 public:
  virtual ~IScreenHost() = default;
  // Moves the system cursor so that its scene x (or y) becomes the value.
  virtual void SetCursorX(int32_t x) = 0;
  virtual void SetCursorY(int32_t y) = 0;
  virtual bool FullScreen() = 0;
  virtual void SetFullScreen(bool on) = 0;
  virtual int32_t DisplayModeCount() = 0;
  virtual int32_t DisplayModeIndex() = 0;
  // Stores the chosen mode and applies it.
  virtual void SetDisplayModeIndex(int32_t index) = 0;
  // The installed font names (CP932), in any order; fixedPitch selects the
  // fixed-pitch ones.
  virtual std::vector<std::string> FontNames(bool fixedPitch) = 0;
};

// The project settings.
class IProjectHost {
 public:
  virtual ~IProjectHost() = default;
  virtual int32_t ScreenWidth() = 0;
  virtual int32_t ScreenHeight() = 0;
  virtual std::string Title() = 0;
};

// The message history (its default format).
class IHistoryHost {
 public:
  virtual ~IHistoryHost() = default;
  virtual int32_t HistoryCount() = 0;
  virtual int32_t HistoryMaxCount() = 0;
  virtual void SetHistoryMaxCount(int32_t value) = 0;
  // Six values of the default format that older saved games kept with the
  // variables.
  virtual void SetLegacyFormat(const int32_t (&values)[6]) = 0;
};

// The MIDI output.
class IMidiHost {
 public:
  virtual ~IMidiHost() = default;
  // The chosen port's name, empty without MIDI.
  virtual std::string MidiPort() = 0;
  virtual void SetMidiPort(const std::string& name) = 0;
  virtual int32_t MidiPortCount() = 0;
  virtual std::string MidiPortName(int32_t index) = 0;
};

// The hosts the store reads through; any may be missing.
struct TSystemVariableHosts {
  ICallStackHost* CallStack = nullptr;
  ISceneHost* Scene = nullptr;
  IScreenHost* Screen = nullptr;
  IProjectHost* Project = nullptr;
  IHistoryHost* History = nullptr;
  IMidiHost* Midi = nullptr;
  // @TickCount and @UpdateCount; nothing: both read 0.
  const TGameClock* Clock = nullptr;
};

}  // namespace kest
