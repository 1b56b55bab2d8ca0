#include "common/state_io.h"

#include "common/stream.h"

namespace kest {

void TStateIo::Int(int32_t& value) {
  if (FReading)
    value = ReadInt(FStream);
  else
    WriteInt(FStream, value);
}

void TStateIo::Byte(uint8_t& value) {
  if (FReading)
    value = ReadByte(FStream);
  else
    WriteByte(FStream, value);
}

void TStateIo::Flag(bool& value) {
  if (FReading)
    value = ReadFlag(FStream);
  else
    WriteFlag(FStream, value);
}

void TStateIo::Str(std::string& value) {
  if (FReading)
    value = ReadStr(FStream);
  else
    WriteStr(FStream, value);
}

}  // namespace kest
