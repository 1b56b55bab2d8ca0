#pragma once
// Read-only windows onto part of a big stream, used to stream sounds and
// movies straight out of the archive. Each window owns its own underlying
// stream, so two windows over one file never share a position, and one
// window may be shared by a playback thread and the main thread: Seek and
// Read each hold the window's lock throughout.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "common/stream.h"
#include "storage/big_file_stream.h"
#include "storage/big_stream.h"

namespace kest {

enum class TSeekOrigin { Beginning, Current, End };

class TRangeStream : public TStream {
 public:
  // The whole of the underlying stream from start on. A length of 0 is an
  // empty window: an empty archive entry must not stream the rest of the file.
  static constexpr int64_t kToEnd = -1;

  TRangeStream(std::unique_ptr<TTpBigStream> source, int64_t start, int64_t length);

  // The new position inside the window; targets outside it are clamped to it.
  int64_t Seek(int64_t offset, TSeekOrigin origin);
  void Seek(int64_t position) override { Seek(position, TSeekOrigin::Beginning); }
  int64_t Read(void* buffer, int64_t count) override;
  // The window is read-only.
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Position() override;
  int64_t Size() override { return FLength; }

  int64_t Start() const { return FStart; }

 private:
  std::mutex FLock;
  std::unique_ptr<TTpBigStream> FSource;
  int64_t FStart;
  int64_t FLength;
};

// A window onto a (possibly segmented) file, opened read-only.
class TFileRangeStream : public TRangeStream {
 public:
  TFileRangeStream(const std::string& fileName, int64_t length, int64_t start,
                   int64_t segmentSize = TTpBigFileStream::kDefaultSegmentSize);
};

// A window onto a resource of a program file.
class TResourceRangeStream : public TRangeStream {
 public:
  TResourceRangeStream(const std::string& programPath, std::string_view resourceName, int64_t length, int64_t start,
                       std::string_view resourceType);
};

}  // namespace kest
