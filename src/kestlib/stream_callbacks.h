// The four stream callbacks handed to the extension library. The library
// reads the program's streams from its own threads; every callback holds one
// program-wide lock while it runs, and a null stream answers 0.
#pragma once

#include <mutex>

#include "kestlib/kestlib_api.h"

namespace kest {

class TStream;

std::mutex& KestStreamLock();

extern "C" {
int64_t KestStreamSize(void* stream);
int32_t KestStreamRead(void* stream, void* buffer, int32_t count);
int64_t KestStreamPosition(void* stream);
int64_t KestStreamSeek(void* stream, int64_t position);
void KestSaveFpu(void);
void KestRestoreFpu(void);
}

}  // namespace kest
