#pragma once
// The bytes of a movie for libavformat: the player's stream read through its
// callbacks, or a file opened by name when the player has no stream for it.
#include <cstdint>
#include <cstdio>

#include "kestlib/lib/lib_state.h"

struct AVIOContext;

namespace kestlib::video {

class TVideoSource {
 public:
  TVideoSource() = default;
  TVideoSource(const TVideoSource&) = delete;
  TVideoSource& operator=(const TVideoSource&) = delete;
  ~TVideoSource();

  // Reads `stream` through `callbacks`, or the file `fileName` when the stream
  // is null. False when neither can be read.
  bool Open(const char* fileName, void* stream, const TLibCallbacks& callbacks);

  // The I/O context over the source (owned here), seekable.
  AVIOContext* Context() const { return FContext; }

 private:
  static int Read(void* opaque, uint8_t* buffer, int size);
  static int64_t Seek(void* opaque, int64_t offset, int whence);
  int64_t Size();
  int64_t Tell();
  bool SeekTo(int64_t position);

  void* FStream = nullptr;
  TLibCallbacks FCallbacks;
  std::FILE* FFile = nullptr;
  AVIOContext* FContext = nullptr;
};

}  // namespace kestlib::video
