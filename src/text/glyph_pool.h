#pragma once
// Glyph memory. Every glyph of an engine lives in a block of one size from
// the engine's pool, and a glyph that goes gives its block back for the next,
// so parsing a long text costs no allocation per character.

#include <cstddef>
#include <memory>
#include <vector>

namespace kest {

class TGlyphPool {
 public:
  // Two block sizes: characters and most operations fit the small one,
  // variable glyphs the large one (checked where glyphs are made).
  static constexpr size_t kBlockSizes[2] = {128, 256};
  static constexpr int BlockClass(size_t size) { return size <= kBlockSizes[0] ? 0 : 1; }

  TGlyphPool() = default;
  TGlyphPool(const TGlyphPool&) = delete;
  TGlyphPool& operator=(const TGlyphPool&) = delete;

  void* Allocate(int blockClass);
  void Free(void* block, int blockClass) noexcept;

 private:
  struct TFreeBlock {
    TFreeBlock* Next;
  };
  void Grow(int blockClass);

  std::vector<std::unique_ptr<std::byte[]>> FChunks;
  TFreeBlock* FFree[2] = {nullptr, nullptr};
  size_t FNextChunk[2] = {64, 64};  // blocks; doubles up to a limit
};

}  // namespace kest
