#include "platform/sdl/sdl_audio_device.h"

#include <SDL.h>

#include <cstring>

namespace kest {
namespace {

class TSdlAudioDevice final : public IAudioDevice {
 public:
  static std::unique_ptr<TSdlAudioDevice> Open(std::string* error) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      if (error) *error = SDL_GetError();
      return nullptr;
    }
    std::unique_ptr<TSdlAudioDevice> device(new TSdlAudioDevice);
    SDL_AudioSpec want{}, have{};
    want.freq = kRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    want.samples = 1024;
    want.callback = &TSdlAudioDevice::Callback;
    want.userdata = device.get();
    device->FId = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device->FId == 0) {
      if (error) *error = SDL_GetError();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return nullptr;
    }
    device->FName = SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "sdl";
    SDL_PauseAudioDevice(device->FId, 0);
    return device;
  }

  ~TSdlAudioDevice() override {
    if (FId) SDL_CloseAudioDevice(FId);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  void SetFill(TFill fill) override {
    SDL_LockAudioDevice(FId);
    FFill = std::move(fill);
    SDL_UnlockAudioDevice(FId);
  }
  void Pause(bool paused) override { SDL_PauseAudioDevice(FId, paused ? 1 : 0); }
  int64_t FramesPlayed() const override { return FFrames; }
  std::string Name() const override { return FName; }

 private:
  TSdlAudioDevice() = default;

  static void Callback(void* self, Uint8* stream, int bytes) {
    auto* device = static_cast<TSdlAudioDevice*>(self);
    const int frames = bytes / (kChannels * 2);
    std::memset(stream, 0, static_cast<size_t>(bytes));
    if (device->FFill) device->FFill(reinterpret_cast<int16_t*>(stream), frames);
    device->FFrames += frames;
  }

  SDL_AudioDeviceID FId = 0;
  TFill FFill;
  std::atomic<int64_t> FFrames{0};
  std::string FName;
};

}  // namespace

std::unique_ptr<IAudioDevice> OpenSdlAudio(std::string* error) { return TSdlAudioDevice::Open(error); }

}  // namespace kest
