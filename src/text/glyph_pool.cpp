#include "text/glyph_pool.h"

#include <algorithm>

namespace kest {

namespace {
constexpr size_t kMaxChunk = 8192;
}

void* TGlyphPool::Allocate(int blockClass) {
  if (!FFree[blockClass]) Grow(blockClass);
  TFreeBlock* block = FFree[blockClass];
  FFree[blockClass] = block->Next;
  return block;
}

void TGlyphPool::Free(void* block, int blockClass) noexcept {
  auto* b = static_cast<TFreeBlock*>(block);
  b->Next = FFree[blockClass];
  FFree[blockClass] = b;
}

void TGlyphPool::Grow(int blockClass) {
  const size_t count = FNextChunk[blockClass];
  const size_t size = kBlockSizes[blockClass];
  FNextChunk[blockClass] = std::min(count * 2, kMaxChunk);
  FChunks.push_back(std::make_unique_for_overwrite<std::byte[]>(count * size));
  std::byte* base = FChunks.back().get();
  // Handed out from the front of the chunk.
  for (size_t i = count; i-- > 0;) Free(base + i * size, blockClass);
}

}  // namespace kest
