#pragma once
// A read-only stream over one resource of a program file (see program_file.h
// for where resources live).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "storage/big_file_stream.h"

namespace kest {

class TTpBigResourceStream : public TTpBigStream {
 public:
  // Raises EKestError "リソースが見つかりません" when the program has no
  // resource of that name and type.
  TTpBigResourceStream(const std::string& programPath, std::string_view name, std::string_view type);

  int64_t Read(void* buffer, int64_t count) override;
  // A resource cannot be written: raises EWriteError.
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Position() override { return FPosition; }
  void Seek(int64_t position) override;
  int64_t Size() override { return FSize; }
  // Only from another resource stream; any other source copies nothing.
  int64_t CopyFrom(TTpBigStream& source, int64_t count) override;

  const std::string& ProgramPath() const { return FProgramPath; }
  const std::string& ResourceName() const { return FName; }
  const std::string& ResourceType() const { return FType; }

 private:
  std::string FProgramPath;
  std::string FName;
  std::string FType;
  std::unique_ptr<TTpBigFileStream> FFile;
  int64_t FStart = 0;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};

}  // namespace kest
