// Byte sources over the player's streams and over memory, and the choice of
// decoder by the first bytes of a file.
#include <algorithm>
#include <cstring>

#include "kestlib/lib/audio_source.h"

namespace kestlib {
namespace {

class TCallbackSource : public IByteSource {
 public:
  TCallbackSource(const TLibCallbacks& callbacks, void* stream) : FCallbacks(callbacks), FStream(stream) {}
  int64_t Size() override { return FCallbacks.size(FStream); }
  int64_t Position() override { return FCallbacks.position(FStream); }
  int32_t Read(void* buffer, int32_t count) override {
    if (count <= 0) return 0;
    const int32_t got = FCallbacks.read(FStream, buffer, count);
    return std::clamp(got, 0, count);
  }
  bool Seek(int64_t position) override { return position >= 0 && FCallbacks.seek(FStream, position) == position; }

 private:
  TLibCallbacks FCallbacks;
  void* FStream;
};

class TMemorySource : public IByteSource {
 public:
  explicit TMemorySource(std::vector<uint8_t> bytes)
      : FBytes(std::move(bytes)), FData(FBytes.data()), FSize(FBytes.size()) {}
  TMemorySource(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
  int64_t Size() override { return static_cast<int64_t>(FSize); }
  int64_t Position() override { return static_cast<int64_t>(FPosition); }
  int32_t Read(void* buffer, int32_t count) override {
    if (count <= 0 || FPosition >= FSize) return 0;
    const size_t n = std::min(static_cast<size_t>(count), FSize - FPosition);
    std::memcpy(buffer, FData + FPosition, n);
    FPosition += n;
    return static_cast<int32_t>(n);
  }
  bool Seek(int64_t position) override {
    if (position < 0 || static_cast<uint64_t>(position) > FSize) return false;
    FPosition = static_cast<size_t>(position);
    return true;
  }

 private:
  std::vector<uint8_t> FBytes;
  const uint8_t* FData;
  size_t FSize;
  size_t FPosition = 0;
};

}  // namespace

std::unique_ptr<IByteSource> MakeCallbackSource(const TLibCallbacks& callbacks, void* stream) {
  if (!stream || !callbacks.size || !callbacks.read || !callbacks.position || !callbacks.seek) return nullptr;
  return std::make_unique<TCallbackSource>(callbacks, stream);
}

std::unique_ptr<IByteSource> MakeMemorySource(std::vector<uint8_t> bytes) {
  return std::make_unique<TMemorySource>(std::move(bytes));
}

std::unique_ptr<IByteSource> MakeMemoryView(const uint8_t* data, size_t size) {
  return std::make_unique<TMemorySource>(data, size);
}

std::unique_ptr<IAudioDecoder> OpenSound(std::unique_ptr<IByteSource> source, bool oggHint) {
  if (!source) return nullptr;
  char magic[4] = {};
  if (!source->Seek(0)) return nullptr;
  const int32_t got = source->Read(magic, 4);
  if (!source->Seek(0)) return nullptr;
  if (got == 4 && std::memcmp(magic, "OggS", 4) == 0) return OpenVorbis(std::move(source));
  if (got == 4 && std::memcmp(magic, "RIFF", 4) == 0) return OpenWav(std::move(source));
  return oggHint ? OpenVorbis(std::move(source)) : OpenWav(std::move(source));
}

}  // namespace kestlib
