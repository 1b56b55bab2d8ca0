#pragma once
// The archive's compression: one zlib stream per entry at the fastest level,
// and the standard CRC-32 over entry bytes.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kest {

class TTpBigMemoryStream;

std::vector<uint8_t> ZlibCompress(std::span<const uint8_t> plain, int level = 1);

// Appends the inflated bytes of one zlib stream to out. Raises EReadError
// with context in its message when the stream is damaged, ends early, or would
// inflate to more than max_size bytes; memory grows only with the bytes that
// really come out, never to max_size up front.
void ZlibInflate(std::span<const uint8_t> packed, TTpBigMemoryStream& out, int64_t maxSize, const std::string& context);

// The most an entry of `stored` bytes may inflate to: what deflate can reach
// at all (a little over 1032 to 1), and never more than 1 GiB.
int64_t InflateBound(int64_t stored);

uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t crc = 0);

}  // namespace kest
