#pragma once
// The masks over an archive index: names and offsets are each XORed with a
// generator stream of their own (state := state * 5 + ArchiveKey, from 0).

#include <cstdint>
#include <string>

#include "common/tp_random.h"

namespace kest {

inline constexpr uint32_t kArchiveKey = 1604829307u;

class TArchiveMask {
 public:
  TArchiveMask() : FRandom(kArchiveKey) {}

  // One value per byte, its low 8 bits; the same call masks and unmasks.
  void MaskName(std::string& name) {
    for (char& b : name) b = static_cast<char>(static_cast<uint8_t>(b) ^ static_cast<uint8_t>(FRandom.Next()));
  }
  // The low half with the value, the high half with its sign extension.
  int64_t MaskOffset64(int64_t offset) {
    const auto v = static_cast<int64_t>(static_cast<int32_t>(FRandom.Next()));
    return offset ^ v;
  }
  int32_t MaskOffset32(int32_t offset) { return static_cast<int32_t>(static_cast<uint32_t>(offset) ^ FRandom.Next()); }

 private:
  TTpRandom FRandom;
};

}  // namespace kest
