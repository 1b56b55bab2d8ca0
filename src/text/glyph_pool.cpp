#include "text/glyph_pool.h"

#include <algorithm>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// Free blocks are out of bounds for the address checker, as freed heap
// memory would be, so a glyph used after it went is still caught.
#define KEST_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define KEST_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define KEST_POISON(p, n) ((void)(p), (void)(n))
#define KEST_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace kest {

namespace {
constexpr size_t kMaxChunk = 8192;
}

void* TGlyphPool::Allocate(int blockClass) {
  if (!FFree[blockClass]) Grow(blockClass);
  TFreeBlock* block = FFree[blockClass];
  KEST_UNPOISON(block, kBlockSizes[blockClass]);
  FFree[blockClass] = block->Next;
  return block;
}

void TGlyphPool::Free(void* block, int blockClass) noexcept {
  auto* b = static_cast<TFreeBlock*>(block);
  b->Next = FFree[blockClass];
  FFree[blockClass] = b;
  KEST_POISON(b, kBlockSizes[blockClass]);
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
