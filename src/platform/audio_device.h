// The one sound output of the player: 44100 Hz, 16-bit stereo. The mixers
// fill it through a callback; with no sound card a silent sink consumes the
// samples instead, so sounds still end and scripts waiting for them go on.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kest {

class IAudioDevice {
 public:
  static constexpr int kRate = 44100;
  static constexpr int kChannels = 2;
  // Fills `frames` stereo frames (interleaved left, right). Runs on the
  // device's own thread.
  using TFill = std::function<void(int16_t* samples, int frames)>;

  virtual ~IAudioDevice() = default;
  virtual void SetFill(TFill fill) = 0;
  virtual void Pause(bool paused) = 0;
  // Frames the device has taken since it was opened.
  virtual int64_t FramesPlayed() const = 0;
  virtual std::string Name() const = 0;
};

// Takes samples and throws them away. In real time it runs a thread that asks
// for 10 ms of samples every 10 ms; in game time it takes them only when
// Advance is called (the headless player, with its fixed tick length).
class TSilentAudioDevice final : public IAudioDevice {
 public:
  enum class TClock { RealTime, GameTime };
  explicit TSilentAudioDevice(TClock clock);
  ~TSilentAudioDevice() override;

  void SetFill(TFill fill) override;
  void Pause(bool paused) override { FPaused = paused; }
  int64_t FramesPlayed() const override { return FFrames; }
  std::string Name() const override { return "silent"; }
  // Game time: consumes the samples of `ms` milliseconds.
  void Advance(int ms);

 private:
  void Consume(int frames);

  std::mutex FLock;
  TFill FFill;
  std::atomic<bool> FPaused{false};
  std::atomic<bool> FStop{false};
  std::atomic<int64_t> FFrames{0};
  int64_t FRemainder = 0;  // thousandths of a frame not yet taken
  std::thread FThread;
};

// For tests: the device takes samples only when asked, exactly as many as
// asked, so a test sees every sample the mixers produce.
class TManualAudioDevice final : public IAudioDevice {
 public:
  void SetFill(TFill fill) override;
  void Pause(bool paused) override { FPaused = paused; }
  int64_t FramesPlayed() const override { return FFrames; }
  std::string Name() const override { return "manual"; }
  // Runs the fill for `frames` frames and answers them (interleaved); a
  // paused device answers silence and takes nothing.
  std::vector<int16_t> Pull(int frames);

 private:
  std::mutex FLock;
  TFill FFill;
  std::atomic<bool> FPaused{false};
  std::atomic<int64_t> FFrames{0};
};

// Writes what it takes to a 44100 Hz 16-bit stereo PCM WAV file, paced like
// the silent sink (in real time, or by Advance), to listen to or look at the
// player's output. The header's lengths are set when the file is closed.
class TWavFileAudioDevice final : public IAudioDevice {
 public:
  TWavFileAudioDevice(const std::string& path, TSilentAudioDevice::TClock clock);
  ~TWavFileAudioDevice() override;

  // False when the file could not be created.
  bool IsOpen() const { return FFile != nullptr; }
  void SetFill(TFill fill) override;
  void Pause(bool paused) override { FPacer.Pause(paused); }
  int64_t FramesPlayed() const override { return FPacer.FramesPlayed(); }
  std::string Name() const override { return "wav-file"; }
  void Advance(int ms) { FPacer.Advance(ms); }
  // Completes the file; later samples are dropped.
  void Close();

 private:
  void Write(const int16_t* samples, int frames);

  std::FILE* FFile = nullptr;
  uint32_t FDataBytes = 0;
  TSilentAudioDevice FPacer;
};

}  // namespace kest
