// The one sound output of the player: 44100 Hz, 16-bit stereo. The mixers
// fill it through a callback; with no sound card a silent sink consumes the
// samples instead, so sounds still end and scripts waiting for them go on.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

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

}  // namespace kest
