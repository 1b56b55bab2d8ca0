#pragma once
// What the Ogg and Windows Media entry points share: the table from handles
// to items, the item functions over a player, and the decoder the player's
// own mixer reads as bytes.
#include <map>
#include <memory>
#include <mutex>

#include "kestlib/lib/audio_player.h"

namespace kestlib {

// Handles are never 0 and never reused while the library is loaded.
template <class T>
class TItemTable {
 public:
  KestHandle Add(std::unique_ptr<T> item) {
    std::lock_guard guard(FLock);
    const KestHandle handle = ++FLast;
    FItems.emplace(handle, std::move(item));
    return handle;
  }
  T* Find(KestHandle handle) {
    std::lock_guard guard(FLock);
    auto it = FItems.find(handle);
    return it == FItems.end() ? nullptr : it->second.get();
  }
  void Remove(KestHandle handle) {
    std::unique_ptr<T> item;
    {
      std::lock_guard guard(FLock);
      auto it = FItems.find(handle);
      if (it == FItems.end()) return;
      item = std::move(it->second);
      FItems.erase(it);
    }
  }

 private:
  std::mutex FLock;
  std::map<KestHandle, std::unique_ptr<T>> FItems;
  KestHandle FLast = 0;
};

// Decoded PCM as bytes at the file's own rate and channel count, for the
// player's mixer, which reads and seeks it like a file.
class TPcmStream {
 public:
  explicit TPcmStream(std::unique_ptr<IAudioDecoder> decoder);
  KestWaveFormat Format() const;
  int64_t Size() const { return FSize; }
  int64_t Position() const { return FPosition; }
  void SetPosition(int64_t position);
  int32_t Read(void* buffer, int32_t count);
  int32_t LengthMs() const;

 private:
  std::unique_ptr<IAudioDecoder> FDecoder;
  int32_t FAlign;
  int64_t FSize;
  int64_t FPosition = 0;
  int16_t FFrame[2] = {};  // the frame a read stopped inside
};

// An item's value, or the "no item" answer.
template <class R, class T, class F>
R WithItem(TItemTable<T>& table, KestHandle handle, F f) {
  T* item = table.Find(handle);
  if (!item) return NoItem<R>();
  return f(*item);
}

inline KestBool ToBool(bool value) { return value ? -1 : 0; }

}  // namespace kestlib

// The item functions of a family whose items are TAudioPlayer in `table`.
#define KEST_DEFINE_AUDIO_ITEM_FUNCTIONS(Kind, table)                                                            \
  KEST_EXPORT int32_t kest##Kind##GetPan(KestHandle item) {                                                      \
    return kestlib::WithItem<int32_t>(table, item, [](kestlib::TAudioPlayer& p) { return p.GetPan(); });         \
  }                                                                                                              \
  KEST_EXPORT void kest##Kind##SetPan(KestHandle item, int32_t value) {                                          \
    kestlib::WithItem<void>(table, item, [&](kestlib::TAudioPlayer& p) { p.SetPan(value); });                    \
  }                                                                                                              \
  KEST_EXPORT int32_t kest##Kind##GetVolume(KestHandle item) {                                                   \
    return kestlib::WithItem<int32_t>(table, item, [](kestlib::TAudioPlayer& p) { return p.GetVolume(); });      \
  }                                                                                                              \
  KEST_EXPORT void kest##Kind##SetVolume(KestHandle item, int32_t value) {                                       \
    kestlib::WithItem<void>(table, item, [&](kestlib::TAudioPlayer& p) { p.SetVolume(value); });                 \
  }                                                                                                              \
  KEST_EXPORT int32_t kest##Kind##GetPosition(KestHandle item) {                                                 \
    return kestlib::WithItem<int32_t>(table, item, [](kestlib::TAudioPlayer& p) { return p.GetPosition(); });    \
  }                                                                                                              \
  KEST_EXPORT void kest##Kind##SetPosition(KestHandle item, int32_t value) {                                     \
    kestlib::WithItem<void>(table, item, [&](kestlib::TAudioPlayer& p) { p.SetPosition(value); });               \
  }                                                                                                              \
  KEST_EXPORT int32_t kest##Kind##GetLength(KestHandle item) {                                                   \
    return kestlib::WithItem<int32_t>(table, item, [](kestlib::TAudioPlayer& p) { return p.GetLength(); });      \
  }                                                                                                              \
  KEST_EXPORT KestBool kest##Kind##IsEnd(KestHandle item) {                                                      \
    return kestlib::WithItem<KestBool>(table, item,                                                              \
                                       [](kestlib::TAudioPlayer& p) { return kestlib::ToBool(p.IsEnd()); });     \
  }                                                                                                              \
  KEST_EXPORT KestBool kest##Kind##IsPlaying(KestHandle item) {                                                  \
    return kestlib::WithItem<KestBool>(table, item,                                                              \
                                       [](kestlib::TAudioPlayer& p) { return kestlib::ToBool(p.IsPlaying()); }); \
  }                                                                                                              \
  KEST_EXPORT KestBool kest##Kind##IsPaused(KestHandle item) {                                                   \
    return kestlib::WithItem<KestBool>(table, item,                                                              \
                                       [](kestlib::TAudioPlayer& p) { return kestlib::ToBool(p.IsPaused()); });  \
  }                                                                                                              \
  KEST_EXPORT void kest##Kind##Play(KestHandle item) {                                                           \
    kestlib::WithItem<void>(table, item, [](kestlib::TAudioPlayer& p) { p.Play(); });                            \
  }                                                                                                              \
  KEST_EXPORT void kest##Kind##Pause(KestHandle item) {                                                          \
    kestlib::WithItem<void>(table, item, [](kestlib::TAudioPlayer& p) { p.Pause(); });                           \
  }                                                                                                              \
  KEST_EXPORT KestBool kest##Kind##GetAutoRepeat(KestHandle item) {                                              \
    return kestlib::WithItem<KestBool>(table, item,                                                              \
                                       [](kestlib::TAudioPlayer& p) { return kestlib::ToBool(p.GetRepeat()); }); \
  }                                                                                                              \
  KEST_EXPORT void kest##Kind##SetAutoRepeat(KestHandle item, KestBool value) {                                  \
    kestlib::WithItem<void>(table, item, [&](kestlib::TAudioPlayer& p) { p.SetRepeat(value != 0); });            \
  }
