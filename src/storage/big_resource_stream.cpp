#include "storage/big_resource_stream.h"

#include <algorithm>

#include "common/errors.h"
#include "common/sjis.h"
#include "storage/program_file.h"

namespace kest {

TTpBigResourceStream::TTpBigResourceStream(const std::string& programPath, std::string_view name, std::string_view type)
    : FProgramPath(programPath), FName(name), FType(type) {
  const auto resource = FindProgramResource(programPath, name, type);
  if (!resource) throw EKestError(Utf8ToCp932("リソースが見つかりません"));
  FFile = std::make_unique<TTpBigFileStream>(programPath, big_file_mode::kOpenRead | big_file_mode::kShareDenyWrite,
                                             TTpBigFileStream::kSingleFile);
  FStart = resource->Offset;
  FSize = resource->Size;
}

int64_t TTpBigResourceStream::Read(void* buffer, int64_t count) {
  const int64_t n = std::min(count, FSize - FPosition);
  if (n <= 0) return 0;
  FFile->Seek(FStart + FPosition);
  const int64_t got = FFile->Read(buffer, n);
  FPosition += got;
  return got;
}

int64_t TTpBigResourceStream::Write(const void*, int64_t) { throw EWriteError(FName + ": a resource is read-only"); }

void TTpBigResourceStream::Seek(int64_t position) { FPosition = std::clamp<int64_t>(position, 0, FSize); }

int64_t TTpBigResourceStream::CopyFrom(TTpBigStream&, int64_t) {
  throw EWriteError(FName + ": a resource is read-only");
}

}  // namespace kest
