// The extension library's C interface: media playback (Ogg, Windows Media,
// movies) behind one table of entry points, looked up by name at start-up.
// Booleans cross the boundary as 0 / -1; item handles are opaque 32-bit
// values; positions and lengths are milliseconds; volume and pan are in
// hundredths of a decibel.
#pragma once

#include <cstdint>

extern "C" {

typedef int32_t KestBool;    // 0 false, -1 true
typedef int32_t KestHandle;  // 0 = no item

// Stream callbacks over the program's streams; the library calls them from its
// own threads, so the player serialises them on one lock.
typedef int64_t (*KestStreamSizeProc)(void* stream);
typedef int32_t (*KestStreamReadProc)(void* stream, void* buffer, int32_t count);
typedef int64_t (*KestStreamPositionProc)(void* stream);
typedef int64_t (*KestStreamSeekProc)(void* stream, int64_t position);
typedef void (*KestFpuProc)(void);

// A window message handed on to a media manager.
struct KestMessage {
  void* window;
  uint32_t message;
  uintptr_t wparam;
  intptr_t lparam;
};

// The player's sound output as the library sees it (through kestInit's
// shared sound address): 44100 Hz, 16-bit stereo. A source renders `frames`
// frames (interleaved left, right) into `samples` and answers how many it
// wrote; the rest of the block is silence. Render runs on the device's
// thread; once detach returns it is no longer called for that source. With
// game_time set the output follows the game's clock instead of a sound card
// (a headless run): a render then waits for data it has not decoded yet
// rather than answering silence, so every run hears the same.
typedef int32_t (*KestSoundRender)(void* source, int16_t* samples, int32_t frames);
struct KestSoundBus {
  void* context;
  void (*attach)(void* context, void* source, KestSoundRender render);
  void (*detach)(void* context, void* source);
  int32_t game_time;
};

// A movie's current frame, in the pixel layout the player asked for.
struct KestVideoFrame {
  const void* pixels;
  int32_t pitch;  // bytes from one row to the next
  int32_t width, height;
  int32_t bits;  // 15, 16 or 32
};

// The decoder's output format.
struct KestWaveFormat {
  int32_t channels;
  int32_t samples_per_second;
  int32_t bytes_per_second;
  int32_t block_align;
  int32_t bits_per_sample;
};

}  // extern "C"

// Window messages the library posts to the main window.
namespace kest::kestmsg {
constexpr uint32_t kWmpNotify1 = 0x680;
constexpr uint32_t kWmpNotify2 = 0x681;
constexpr uint32_t kVideoNotify = 0x682;
constexpr uint32_t kWmpNotify3 = 0x683;
}  // namespace kest::kestmsg

// Every entry point: X(return type, name, parameter list). The loader and the
// library are both generated from this list, so they cannot drift apart.
#define KEST_ITEM_FUNCTIONS(X, Kind)                                 \
  X(int32_t, kest##Kind##GetPan, (KestHandle item))                  \
  X(void, kest##Kind##SetPan, (KestHandle item, int32_t value))      \
  X(int32_t, kest##Kind##GetVolume, (KestHandle item))               \
  X(void, kest##Kind##SetVolume, (KestHandle item, int32_t value))   \
  X(int32_t, kest##Kind##GetPosition, (KestHandle item))             \
  X(void, kest##Kind##SetPosition, (KestHandle item, int32_t value)) \
  X(int32_t, kest##Kind##GetLength, (KestHandle item))               \
  X(KestBool, kest##Kind##IsEnd, (KestHandle item))                  \
  X(KestBool, kest##Kind##IsPlaying, (KestHandle item))              \
  X(KestBool, kest##Kind##IsPaused, (KestHandle item))               \
  X(void, kest##Kind##Play, (KestHandle item))                       \
  X(void, kest##Kind##Pause, (KestHandle item))                      \
  X(KestBool, kest##Kind##GetAutoRepeat, (KestHandle item))          \
  X(void, kest##Kind##SetAutoRepeat, (KestHandle item, KestBool value))

#define KEST_LIB_FUNCTIONS(X) KEST_LIB_CORE_FUNCTIONS(X) KEST_LIB_MEDIA_FUNCTIONS(X)
#define KEST_LIB_MEDIA_FUNCTIONS(X) KEST_LIB_OGG_FUNCTIONS(X) KEST_LIB_WMP_FUNCTIONS(X) KEST_LIB_VIDEO_FUNCTIONS(X)

#define KEST_LIB_CORE_FUNCTIONS(X)                                                                            \
  X(int32_t, kestVersion, (void))                                                                             \
  X(void, kestInit,                                                                                           \
    (void** form_window, void** panel_window, void* instance, void** shared_sound, KestStreamSizeProc size,   \
     KestStreamReadProc read, KestStreamPositionProc position, KestStreamSeekProc seek, KestFpuProc save_fpu, \
     KestFpuProc restore_fpu, KestBool flag))                                                                 \
  X(void, kestFinal, (void))                                                                                  \
  X(void, kestOggmanSetUseThread, (KestBool value))                                                           \
  X(void, kestOggmanUpdate, (void))

#define KEST_LIB_OGG_FUNCTIONS(X)                                              \
  X(KestHandle, kestOggmanAdd, (void* stream, KestBool is_ogg))                \
  X(void, kestOggmanDel, (KestHandle item))                                    \
  X(void, kestOggmanRestore, (void))                                           \
  X(KestHandle, kestOggStrmanAdd, (void* stream, KestBool is_ogg))             \
  X(void, kestOggStrmanDel, (KestHandle item))                                 \
  KEST_ITEM_FUNCTIONS(X, Ogg)                                                  \
  X(int32_t, kestOggGetRepeatPos, (KestHandle item))                           \
  X(void, kestOggSetRepeatPos, (KestHandle item, int32_t value))               \
  X(KestBool, kestOggStrGetFormat, (KestHandle item, KestWaveFormat * format)) \
  X(int64_t, kestOggStrGetSize, (KestHandle item))                             \
  X(int64_t, kestOggStrGetPos, (KestHandle item))                              \
  X(void, kestOggStrSetPos, (KestHandle item, int64_t position))               \
  X(int32_t, kestOggStrRead, (KestHandle item, void* buffer, int32_t count))   \
  X(int32_t, kestOggStrGetLen, (KestHandle item))

#define KEST_LIB_WMP_FUNCTIONS(X)                                \
  X(KestHandle, kestWmpmanAdd, (const void* data, int32_t size)) \
  X(void, kestWmpmanDel, (KestHandle item))                      \
  X(void, kestWmpmanProcessEvent, (const KestMessage* message))  \
  X(void, kestWmpmanRestore, (void))                             \
  KEST_ITEM_FUNCTIONS(X, Wmp)

// kestVideoGetFrame and kestVideoFrameDone take the place of a device
// context: the frame is read in place and handed back.
#define KEST_LIB_VIDEO_FUNCTIONS(X)                                                                      \
  X(KestHandle, kestVidmanAdd, (const char* file_name, void* stream, KestBool draw_to_surface))          \
  X(void, kestVidmanDel, (KestHandle item))                                                              \
  X(void, kestVidmanProcessEvent, (const KestMessage* message))                                          \
  X(void, kestVidmanSuspend, (void))                                                                     \
  X(void, kestVidmanResume, (void))                                                                      \
  KEST_ITEM_FUNCTIONS(X, Video)                                                                          \
  X(int32_t, kestVideoGetSourceWidth, (KestHandle item))                                                 \
  X(int32_t, kestVideoGetSourceHeight, (KestHandle item))                                                \
  X(KestBool, kestVideoGetVisible, (KestHandle item))                                                    \
  X(void, kestVideoSetVisible, (KestHandle item, KestBool value))                                        \
  X(KestBool, kestVideoNeedPaint, (KestHandle item))                                                     \
  X(void, kestVideoSetRect, (KestHandle item, int32_t left, int32_t top, int32_t right, int32_t bottom)) \
  X(void*, kestVideoGetDC, (KestHandle item))                                                            \
  X(KestBool, kestVideoGetFrame, (KestHandle item, int32_t bits, KestVideoFrame * frame))                \
  X(void, kestVideoFrameDone, (KestHandle item))

namespace kest {
constexpr int32_t kKestLibVersion = 108;
}
