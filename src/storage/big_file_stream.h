#pragma once
// A file that continues in numbered segment files once it passes the segment
// size: data.dat, then data.001, data.002 ... Byte p of the stream is byte
// p mod SegmentSize of segment p div SegmentSize.

#include <cstdint>
#include <string>
#include <vector>

#include "storage/big_stream.h"

namespace kest {

class TTpBigFileStream : public TTpBigStream {
 public:
  static constexpr int64_t kDefaultSegmentSize = int64_t{1} << 30;
  // A segment size of 0 or less keeps the stream in the one file: program
  // files are read that way, so that "prog" never looks for "prog.001".
  static constexpr int64_t kSingleFile = 0;

  // Opening for reading (access 0) or reading and writing (2) opens every
  // existing segment up to the first missing one and raises EReadError when
  // not even the first exists. Any other access creates the stream anew: the
  // old segments are deleted and new ones appear as they are written.
  TTpBigFileStream(std::string fileName, uint16_t mode, int64_t segmentSize = kDefaultSegmentSize);
  ~TTpBigFileStream() override;
  TTpBigFileStream(const TTpBigFileStream&) = delete;
  TTpBigFileStream& operator=(const TTpBigFileStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Position() override { return FPosition; }
  // A position past the end stands at the end.
  void Seek(int64_t position) override;
  int64_t Size() override;

  // Segment to segment when the source is segmented too, so no buffer stands
  // between them.
  int64_t CopyFrom(TTpBigStream& source, int64_t count) override;

  const std::string& FileName() const { return FFileName; }
  uint16_t Mode() const { return FMode; }
  int64_t SegmentSize() const { return FSegmentSize; }
  int32_t SegmentCount() const { return static_cast<int32_t>(FSegments.size()); }
  // The name of segment i: the file name itself for 0, else the name without
  // its extension, ".", and i in at least three digits.
  std::string SegmentName(int32_t index) const;
  static std::string SegmentName(const std::string& fileName, int32_t index);

 private:
  struct TSegment {
    int Fd;
    int64_t Size;
  };

  bool Writable() const;
  void OpenExisting();
  void DeleteSegments();
  TSegment& SegmentForWrite(size_t index);
  // Where position p lies: the segment and the offset inside it.
  size_t SegmentOf(int64_t p) const;
  int64_t OffsetIn(int64_t p) const;
  int64_t CopyFromSegments(TTpBigFileStream& source, int64_t count);

  std::string FFileName;
  uint16_t FMode;
  int64_t FSegmentSize;
  int64_t FPosition = 0;
  std::vector<TSegment> FSegments;
};

}  // namespace kest
