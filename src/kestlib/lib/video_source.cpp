#include "kestlib/lib/video_source.h"

#include <algorithm>
#include <cstdio>

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace kestlib::video {
namespace {

constexpr int kBufferSize = 32 * 1024;

}  // namespace

TVideoSource::~TVideoSource() {
  if (FContext) {
    av_freep(&FContext->buffer);
    avio_context_free(&FContext);
  }
  if (FFile) std::fclose(FFile);
}

bool TVideoSource::Open(const char* fileName, void* stream, const TLibCallbacks& callbacks) {
  if (stream) {
    if (!callbacks.read || !callbacks.seek || !callbacks.size || !callbacks.position) return false;
    FStream = stream;
    FCallbacks = callbacks;
  } else {
    if (!fileName || !*fileName) return false;
    FFile = std::fopen(fileName, "rb");
    if (!FFile) return false;
  }
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
  if (!buffer) return false;
  FContext = avio_alloc_context(buffer, kBufferSize, 0, this, &TVideoSource::Read, nullptr, &TVideoSource::Seek);
  if (!FContext) {
    av_free(buffer);
    return false;
  }
  return true;
}

int TVideoSource::Read(void* opaque, uint8_t* buffer, int size) {
  auto* self = static_cast<TVideoSource*>(opaque);
  int got = 0;
  if (self->FFile) {
    got = static_cast<int>(std::fread(buffer, 1, static_cast<size_t>(std::max(size, 0)), self->FFile));
  } else {
    got = self->FCallbacks.read(self->FStream, buffer, size);
  }
  return got > 0 ? std::min(got, size) : AVERROR_EOF;
}

int64_t TVideoSource::Size() {
  if (FFile) {
    int64_t here = ftello(FFile);
    if (fseeko(FFile, 0, SEEK_END) != 0) return -1;
    int64_t size = ftello(FFile);
    fseeko(FFile, here, SEEK_SET);
    return size;
  }
  return FCallbacks.size(FStream);
}

int64_t TVideoSource::Tell() { return FFile ? ftello(FFile) : FCallbacks.position(FStream); }

bool TVideoSource::SeekTo(int64_t position) {
  if (position < 0) return false;
  if (FFile) return fseeko(FFile, position, SEEK_SET) == 0;
  return FCallbacks.seek(FStream, position) == position;
}

int64_t TVideoSource::Seek(void* opaque, int64_t offset, int whence) {
  auto* self = static_cast<TVideoSource*>(opaque);
  int64_t target = 0;
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return self->Size();
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = self->Tell() + offset; break;
    case SEEK_END: {
      int64_t size = self->Size();
      if (size < 0) return -1;
      target = size + offset;
      break;
    }
    default: return -1;
  }
  return self->SeekTo(target) ? target : -1;
}

}  // namespace kestlib::video
