#pragma once
// Cursor files written byte by byte: icon directories of headerless BMP or
// PNG entries, and animated cursors around them.

#include <cstdint>
#include <string>
#include <vector>

namespace kest::test {

inline void Add16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void Add32(std::vector<uint8_t>& b, uint32_t v) {
  Add16(b, v & 0xFFFF);
  Add16(b, v >> 16);
}
inline void AddTag(std::vector<uint8_t>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

// A headerless BMP of a directory entry: XOR rows top-down as raw bytes, the
// AND mask top-down as '0'/'1' strings (missing rows are 0); both are padded
// to 4 bytes and stored bottom-up under a header of twice the height.
inline std::vector<uint8_t> CursorBmp(int32_t width, int32_t height, int bits, const std::vector<uint32_t>& palette,
                                      const std::vector<std::vector<uint8_t>>& rows,
                                      const std::vector<std::string>& mask) {
  std::vector<uint8_t> b;
  for (uint32_t v : {40u, uint32_t(width), uint32_t(2 * height)}) Add32(b, v);
  Add16(b, 1);
  Add16(b, uint32_t(bits));
  for (uint32_t v : {0u, 0u, 0u, 0u, uint32_t(palette.size()), 0u}) Add32(b, v);
  for (uint32_t q : palette) Add32(b, q);
  const size_t rowBytes = (size_t(width) * size_t(bits) + 31) / 32 * 4;
  for (int32_t y = height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(rowBytes, 0);
    if (size_t(y) < rows.size()) std::copy(rows[y].begin(), rows[y].end(), row.begin());
    b.insert(b.end(), row.begin(), row.end());
  }
  const size_t maskBytes = (size_t(width) + 31) / 32 * 4;
  for (int32_t y = height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskBytes, 0);
    if (size_t(y) < mask.size())
      for (size_t x = 0; x < mask[y].size(); ++x)
        if (mask[y][x] == '1') row[x / 8] |= uint8_t(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

struct TCursorEntry {
  uint8_t Width = 0, Height = 0;  // as the directory tells them (0 = 256)
  uint16_t HotX = 0, HotY = 0;
  std::vector<uint8_t> Data;
};

// An icon directory: type 2 for a cursor, 1 for an icon.
inline std::vector<uint8_t> MakeCur(const std::vector<TCursorEntry>& entries, uint16_t type = 2) {
  std::vector<uint8_t> b;
  Add16(b, 0);
  Add16(b, type);
  Add16(b, uint32_t(entries.size()));
  uint32_t at = uint32_t(6 + 16 * entries.size());
  for (const TCursorEntry& e : entries) {
    b.push_back(e.Width);
    b.push_back(e.Height);
    Add16(b, 0);
    Add16(b, e.HotX);
    Add16(b, e.HotY);
    Add32(b, uint32_t(e.Data.size()));
    Add32(b, at);
    at += uint32_t(e.Data.size());
  }
  for (const TCursorEntry& e : entries) b.insert(b.end(), e.Data.begin(), e.Data.end());
  return b;
}

// A 1 x 1 cursor of one colour, 0x00RRGGBB.
inline std::vector<uint8_t> DotCursor(uint32_t rgb) {
  return MakeCur({{1, 1, 0, 0, CursorBmp(1, 1, 24, {}, {{uint8_t(rgb), uint8_t(rgb >> 8), uint8_t(rgb >> 16)}}, {})}});
}

inline void AddChunk(std::vector<uint8_t>& b, const char* tag, const std::vector<uint8_t>& data) {
  AddTag(b, tag);
  Add32(b, uint32_t(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  if (data.size() % 2) b.push_back(0);
}

// An animated cursor of whole cursor files; "rate" and "seq " only when given.
inline std::vector<uint8_t> MakeAni(const std::vector<std::vector<uint8_t>>& frames, uint32_t steps, uint32_t jiffies,
                                    const std::vector<uint32_t>& rates = {},
                                    const std::vector<uint32_t>& sequence = {}) {
  std::vector<uint8_t> anih;
  for (uint32_t v : {36u, uint32_t(frames.size()), steps, 0u, 0u, 0u, 0u, jiffies}) Add32(anih, v);
  Add32(anih, sequence.empty() ? 1u : 3u);
  std::vector<uint8_t> body;
  AddTag(body, "ACON");
  AddChunk(body, "anih", anih);
  auto list = [](const std::vector<uint32_t>& values) {
    std::vector<uint8_t> b;
    for (uint32_t v : values) Add32(b, v);
    return b;
  };
  if (!rates.empty()) AddChunk(body, "rate", list(rates));
  if (!sequence.empty()) AddChunk(body, "seq ", list(sequence));
  std::vector<uint8_t> fram;
  AddTag(fram, "fram");
  for (const std::vector<uint8_t>& f : frames) AddChunk(fram, "icon", f);
  AddChunk(body, "LIST", fram);
  std::vector<uint8_t> b;
  AddChunk(b, "RIFF", body);
  return b;
}

}  // namespace kest::test
