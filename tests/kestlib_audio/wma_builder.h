#pragma once
#include <cstdint>
#include <vector>

namespace kest {

// The bytes of an ASF file holding a WMA tone (empty when FFmpeg fails).
std::vector<uint8_t> BuildWma(int rate, int channels, int milliseconds);

}  // namespace kest
