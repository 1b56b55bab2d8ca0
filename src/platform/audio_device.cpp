#include "platform/audio_device.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <vector>

namespace kest {

TSilentAudioDevice::TSilentAudioDevice(TClock clock) {
  if (clock != TClock::RealTime) return;
  FThread = std::thread([this] {
    using namespace std::chrono;
    auto next = steady_clock::now();
    while (!FStop) {
      next += milliseconds(10);
      std::this_thread::sleep_until(next);
      if (!FPaused) Consume(kRate / 100);
    }
  });
}

TSilentAudioDevice::~TSilentAudioDevice() {
  FStop = true;
  if (FThread.joinable()) FThread.join();
}

void TSilentAudioDevice::SetFill(TFill fill) {
  std::lock_guard guard(FLock);
  FFill = std::move(fill);
}

void TSilentAudioDevice::Advance(int ms) {
  if (ms <= 0 || FPaused) return;
  FRemainder += static_cast<int64_t>(ms) * kRate;
  const int frames = static_cast<int>(FRemainder / 1000);
  FRemainder %= 1000;
  Consume(frames);
}

void TSilentAudioDevice::Consume(int frames) {
  if (frames <= 0) return;
  std::vector<int16_t> samples(static_cast<size_t>(frames) * kChannels);
  {
    std::lock_guard guard(FLock);
    if (FFill) FFill(samples.data(), frames);
  }
  FFrames += frames;
}

void TManualAudioDevice::SetFill(TFill fill) {
  std::lock_guard guard(FLock);
  FFill = std::move(fill);
}

std::vector<int16_t> TManualAudioDevice::Pull(int frames) {
  std::vector<int16_t> samples(static_cast<size_t>(std::max(frames, 0)) * kChannels);
  if (frames <= 0 || FPaused) return samples;
  {
    std::lock_guard guard(FLock);
    if (FFill) FFill(samples.data(), frames);
  }
  FFrames += frames;
  return samples;
}

namespace {

void PutLe(uint8_t* at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// The canonical 44-byte header of a PCM WAV file holding `dataBytes`.
std::array<uint8_t, 44> WavHeader(uint32_t dataBytes) {
  std::array<uint8_t, 44> h{};
  const uint32_t rate = IAudioDevice::kRate, channels = IAudioDevice::kChannels, align = channels * 2;
  std::memcpy(&h[0], "RIFF", 4);
  PutLe(&h[4], 36 + dataBytes, 4);
  std::memcpy(&h[8], "WAVEfmt ", 8);
  PutLe(&h[16], 16, 4);
  PutLe(&h[20], 1, 2);
  PutLe(&h[22], channels, 2);
  PutLe(&h[24], rate, 4);
  PutLe(&h[28], rate * align, 4);
  PutLe(&h[32], align, 2);
  PutLe(&h[34], 16, 2);
  std::memcpy(&h[36], "data", 4);
  PutLe(&h[40], dataBytes, 4);
  return h;
}

}  // namespace

TWavFileAudioDevice::TWavFileAudioDevice(const std::string& path, TSilentAudioDevice::TClock clock) : FPacer(clock) {
  FFile = std::fopen(path.c_str(), "wb");
  if (FFile) {
    const auto header = WavHeader(0);
    std::fwrite(header.data(), 1, header.size(), FFile);
  }
  SetFill(nullptr);
}

TWavFileAudioDevice::~TWavFileAudioDevice() { Close(); }

void TWavFileAudioDevice::SetFill(TFill fill) {
  FPacer.SetFill([this, fill = std::move(fill)](int16_t* samples, int frames) {
    if (fill) fill(samples, frames);
    Write(samples, frames);
  });
}

void TWavFileAudioDevice::Write(const int16_t* samples, int frames) {
  if (!FFile) return;
  const size_t count = static_cast<size_t>(frames) * kChannels;
  std::vector<uint8_t> bytes(count * 2);
  for (size_t i = 0; i < count; ++i) PutLe(&bytes[i * 2], static_cast<uint16_t>(samples[i]), 2);
  FDataBytes += static_cast<uint32_t>(std::fwrite(bytes.data(), 1, bytes.size(), FFile));
}

void TWavFileAudioDevice::Close() {
  FPacer.SetFill(nullptr);
  if (!FFile) return;
  const auto header = WavHeader(FDataBytes);
  std::fseek(FFile, 0, SEEK_SET);
  std::fwrite(header.data(), 1, header.size(), FFile);
  std::fclose(FFile);
  FFile = nullptr;
}

}  // namespace kest
